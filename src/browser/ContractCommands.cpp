#include "browser/ContractCommands.h"

#include "browser/ContractStore.h"
#include "browser/MainCommands.h"
#include "codes/TDLGenterCaption.h"
#include "codes/TFrmCodeMan.h"
#include "codes/TFrmTreeCodeMan.h"
#include "codes/TfrmZDYset.h"
#include "common/DataGrid.h"
#include "common/GridExport.h"
#include "common/GridLayouts.h"
#include "common/SortDialog.h"
#include "contracts/TfrmContractEdit.h"
#include "data/CompactDatabase.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/ImportWizard.h"
#include "maintenance/TfrmBackup.h"
#include "maintenance/TfrmChangePass.h"
#include "maintenance/TfrmCompanyInfo.h"
#include "maintenance/TfrmDataClean.h"
#include "maintenance/TfrmOperMan.h"
#include "platform/AppInfo.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/TfrmCltMan.h"
#include "reference/TfrmGCitemMan.h"
#include "reference/TfrmGoodSet.h"
#include "shipments/TfrmOutXiaoShouDeptCX.h"
#include "shipments/TFrmOutXiaoshouDeptGl.h"

#include <QAction>
#include <QDebug>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// The failure texts the operator sees; the database's own text goes to the log.

struct CommandDef
{
    int code;         // right code, or 0 when the action is found by name
    const char* name; // objectName when code is 0
    void (ContractCommands::*run)();
};

// Every command this class runs. One line per command.
const CommandDef kCommands[] = {
    {201, nullptr, &ContractCommands::addContract},
    {202, nullptr, &ContractCommands::modifyContract},
    {207, nullptr, &ContractCommands::copyContract},
    {203, nullptr, &ContractCommands::deleteContract},
    {0, "actApprove", &ContractCommands::toggleApproval},
    {0, "actBatchType", &ContractCommands::batchChangeType},
    {0, "actBatchDept", &ContractCommands::batchChangeDepartment},
    {204, nullptr, &ContractCommands::sortGrid},
    {205, nullptr, &ContractCommands::chooseColumns},
    {206, nullptr, &ContractCommands::saveGridLayout},
    {301, nullptr, &ContractCommands::exportGrid},
    {0, "actCleanContracts", &ContractCommands::cleanEmptyContracts},
    {0, "actCleanClients", &ContractCommands::cleanEmptyClients},
    {504, nullptr, &ContractCommands::compactDatabase},
    {505, nullptr, &ContractCommands::connectNetworkData},
    {104, nullptr, &ContractCommands::openCodeLists},
    {105, nullptr, &ContractCommands::openContractTypes},
    {106, nullptr, &ContractCommands::openClientTypes},
    {107, nullptr, &ContractCommands::openProjectTypes},
    {108, nullptr, &ContractCommands::openDepartments},
    {208, nullptr, &ContractCommands::openCounterparts},
    {209, nullptr, &ContractCommands::openProjects},
    {210, nullptr, &ContractCommands::openGoods},
    {216, nullptr, &ContractCommands::openShipmentQuery},
    {0, "actShipments", &ContractCommands::openShipments},
    {0, "actCalculator", &ContractCommands::startCalculator},
    {0, "actNotepad", &ContractCommands::startNotepad},
    {0, "actHelpFile", &ContractCommands::openHelpFile},
    {0, "actReadme", &ContractCommands::openReadme},
    {0, "actWhatsNew", &ContractCommands::openWhatsNew},
    {0, "actAbout", &ContractCommands::showAbout},
    {101, nullptr, &ContractCommands::openCompanyInfo},
    {102, nullptr, &ContractCommands::changePassword},
    {103, nullptr, &ContractCommands::openOperators},
    {109, nullptr, &ContractCommands::openCustomFields},
    {502, nullptr, &ContractCommands::openDataCleanup},
    {503, nullptr, &ContractCommands::openBackup},
    {501, nullptr, &ContractCommands::importContracts},
    {506, nullptr, &ContractCommands::importClients},
};

} // namespace

ContractCommands::ContractCommands(MainCommands* commands, ContractCommandsHost host,
                                   QObject* parent)
    : QObject(parent), m_commands(commands), m_host(std::move(host))
{
    setObjectName(QStringLiteral("ContractCommands"));
    for (const CommandDef& def : kCommands) {
        QAction* action = def.code ? m_commands->action(def.code)
                                   : m_commands->action(QString::fromLatin1(def.name));
        Q_ASSERT(action);
        m_commands->setHandler(action, [this, run = def.run] { (this->*run)(); });
    }
    // "常见问题" is a menu entry with nothing behind it.
    m_commands->setHandler(m_commands->action(QStringLiteral("actFaq")), [] {});
}

void ContractCommands::refresh()
{
    if (m_host.refreshList)
        m_host.refreshList();
}

// ---- Contracts of the grid

void ContractCommands::addContract()
{
    editContract(0);
}

void ContractCommands::modifyContract()
{
    if (m_host.grid->model()->rowCount() == 0) {
        ShowMess(QStringLiteral("此表为空，没有客户记录需要修改！"), mkError);
        return;
    }
    editContract(1);
}

void ContractCommands::copyContract()
{
    if (m_host.grid->model()->rowCount() == 0) {
        ShowMess(QStringLiteral("合同记录是空，不能复制！"), mkInfo);
        return;
    }
    editContract(2);
}

void ContractCommands::editContract(int mode)
{
    DataGrid* grid = m_host.grid;
    const int row = grid->currentRow();
    const qint64 id =
        mode == 0 || row < 0 ? -1 : grid->model()->value(row, QStringLiteral("F_ID")).toLongLong();
    const QString typePath = m_host.selectedTypePath ? m_host.selectedTypePath() : QString();
    // The edit window steps through the list as it stands here.
    auto navigator = [grid](int step) -> qint64 {
        const int count = grid->model()->rowCount();
        if (count == 0)
            return -1;
        const int current = grid->currentRow();
        const int target = step == 0   ? 0
                           : step == 1 ? current - 1
                           : step == 2 ? current + 1
                                       : count - 1;
        if (target < 0 || target >= count || target == current)
            return -1;
        grid->setCurrentRow(target);
        return grid->model()->value(target, QStringLiteral("F_ID")).toLongLong();
    };
    qint64 saved = -1;
    if (!OpenContractEdit(mode, id, m_host.window, &saved, typePath, navigator))
        return;
    refresh();
    const int at = grid->model()->findRow(QStringLiteral("F_ID"), saved);
    if (at >= 0)
        grid->setCurrentRow(at);
}

void ContractCommands::deleteContract()
{
    const int row = m_host.grid->currentRow();
    if (row < 0)
        return;
    const RecordModel* m = m_host.grid->model();
    if (!m->text(row, QStringLiteral("F_SHemp")).trimmed().isEmpty()) {
        ShowMess(QStringLiteral("合同已审批，不能再 \"删除\" ！"), mkError);
        return;
    }
    if (ShowMess(QStringLiteral(
                     "删除当前合同资料，将删除当前合同所有的相关记录，\n真的要删除当前合同“") +
                     m->text(row, QStringLiteral("F_name")) + QStringLiteral("”的相关资料吗？"),
                 mkQuestion) != 1)
        return;
    QString error;
    if (!ContractStore::deleteContract(
            dmData()->db(), m->value(row, QStringLiteral("F_cltID")).toInt(),
            m->value(row, QStringLiteral("F_ID")).toLongLong(), &error)) {
        ShowFailure(Messages::writeFailed(), error);
        return;
    }
    refresh();
}

void ContractCommands::toggleApproval()
{
    const int row = m_host.grid->currentRow();
    if (row < 0)
        return;
    const RecordModel* m = m_host.grid->model();
    const bool approved = !m->text(row, QStringLiteral("F_SHemp")).trimmed().isEmpty();
    QString error;
    if (!ContractStore::setApprover(dmData()->db(),
                                    m->value(row, QStringLiteral("F_ID")).toLongLong(),
                                    approved ? QString() : Session.OperName, &error)) {
        // The row and the caption stay as they were.
        ShowFailure(Messages::writeFailed(), error);
        return;
    }
    refresh();
}

void ContractCommands::batchChangeType()
{
    batchChange(false);
}

void ContractCommands::batchChangeDepartment()
{
    batchChange(true);
}

void ContractCommands::batchChange(bool department)
{
    const QString question = department ? QStringLiteral("真的要改变当前所选合同的部门吗？")
                                        : QStringLiteral("真的要改变当前所选合同的类型吗？");
    if (ShowMess(question, mkQuestion) != 1)
        return;
    const QString value =
        EnterValue(department ? QStringLiteral("部门名称") : QStringLiteral("类型名称"), QString(),
                   m_host.window);
    if (value.isEmpty())
        return;
    const QList<int> rows = m_host.grid->selectedRows();
    if (rows.isEmpty()) {
        ShowMess(department ? QStringLiteral("请选择需要更改合同部门的合同资料！")
                            : QStringLiteral("请选择需要更改合同类型的合同资料！"),
                 mkInfo);
        return;
    }
    QList<qint64> ids;
    for (int row : rows)
        ids << m_host.grid->model()->value(row, QStringLiteral("F_ID")).toLongLong();
    const ContractStore::BatchResult result = ContractStore::batchSet(
        dmData()->db(), department ? QStringLiteral("F_dept") : QStringLiteral("F_type"), value,
        ids);
    if (!result.ok) {
        ShowFailure(Messages::writeFailed(), result.error);
        return;
    }
    refresh();
    // Another workstation may have deleted some of them since the list was read.
    if (result.written < ids.size())
        ShowMess(QStringLiteral("已修改 %1 个合同；其余 %2 个合同已不存在。")
                     .arg(result.written)
                     .arg(ids.size() - result.written),
                 mkInfo);
}

// ---- The grid itself

void ContractCommands::sortGrid()
{
    if (const std::optional<QString> order = SortDialog::execute(m_host.grid))
        m_host.grid->model()->sortByText(*order);
}

void ContractCommands::chooseColumns()
{
    ChooseGridColumns(m_host.grid);
}

void ContractCommands::saveGridLayout()
{
    AskAndSaveGridLayout(m_host.grid, QStringLiteral("clientmain"));
}

void ContractCommands::exportGrid()
{
    ExportGridToExcel(m_host.grid, QStringLiteral("合同管理资料"), true);
}

// ---- Database

void ContractCommands::cleanEmptyContracts()
{
    QString error;
    if (!ContractStore::cleanEmptyContracts(dmData()->db(), &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    refresh();
    ShowMess(QStringLiteral("清除合同编号和名称为空的记录行成功！"), mkInfo);
}

void ContractCommands::cleanEmptyClients()
{
    QString error;
    if (!ContractStore::cleanEmptyClients(dmData()->db(), &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    ShowMess(QStringLiteral("清除客户编号和名称为空的记录行成功！"), mkInfo);
}

void ContractCommands::compactDatabase()
{
    QString error;
    const bool ok = CompactDatabase(dmData()->db(), &error);
    if (!ok)
        qWarning().noquote() << error;
    ShowMess(ok ? QStringLiteral("压缩数据库成功！") : QStringLiteral("压缩数据库失败！"),
             ok ? mkInfo : mkError);
    refresh();
}

void ContractCommands::connectNetworkData()
{
    // Takes effect at the next start.
    const QString file =
        UserDialogs::current().openFileName(QStringLiteral("连接网络数据库"), AppPaths::exeDir(),
                                            QStringLiteral("合同数据库 (*.db);;所有文件 (*)"));
    if (!file.isEmpty() && dmData())
        dmData()->settings().writeString(QStringLiteral("config"), QStringLiteral("ds"),
                                         AppPaths::folderSettingForFile(file));
}

// ---- Other windows

void ContractCommands::openCodeLists()
{
    OpenCodeListWindow(m_host.window);
}

void ContractCommands::openGoods()
{
    TfrmGoodSet::Run(m_host.window);
}

void ContractCommands::openContractTypes()
{
    OpenTreeWindow(1, m_host.window);
    if (m_host.reloadTypeTree)
        m_host.reloadTypeTree();
    refresh();
}

void ContractCommands::openClientTypes()
{
    OpenTreeWindow(3, m_host.window);
}

void ContractCommands::openProjectTypes()
{
    OpenTreeWindow(5, m_host.window);
}

void ContractCommands::openDepartments()
{
    OpenTreeWindow(7, m_host.window);
}

void ContractCommands::openShipments()
{
    OpenShipmentManagement(Clock::today(), QString(), m_host.window);
}

void ContractCommands::openShipmentQuery()
{
    TfrmOutXiaoShouDeptCX window(m_host.window);
    DispFormPos(&window, fpList);
    window.exec();
}

void ContractCommands::openCounterparts()
{
    TfrmCltMan window(m_host.window);
    DispFormPos(&window, fpList);
    window.exec();
}

void ContractCommands::openProjects()
{
    TfrmGCitemMan window(m_host.window);
    DispFormPos(&window, fpList);
    window.exec();
}

// ---- Tools and help

void ContractCommands::startCalculator()
{
    startDesktopProgram({"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"},
                        QStringLiteral("计算器"));
}

void ContractCommands::startNotepad()
{
    startDesktopProgram(
        {"gedit", "gnome-text-editor", "kate", "kwrite", "mousepad", "pluma", "xed", "leafpad"},
        QStringLiteral("笔记本"));
}

void ContractCommands::openHelpFile()
{
    openShippedFile(QStringLiteral("help.html"));
}

void ContractCommands::openReadme()
{
    openShippedFile(QStringLiteral("readme.txt"));
}

void ContractCommands::openWhatsNew()
{
    openShippedFile(QStringLiteral("whatsnew.txt"));
}

void ContractCommands::showAbout()
{
    TfrmAbout about(m_host.window);
    DispFormPos(&about, fpEdit);
    about.exec();
}

void ContractCommands::openCompanyInfo()
{
    TfrmCompanyInfo window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
}

void ContractCommands::changePassword()
{
    TfrmChangePass window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
}

void ContractCommands::openOperators()
{
    TfrmOperMan window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
}

void ContractCommands::openCustomFields()
{
    TfrmZDYset window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
}

void ContractCommands::openDataCleanup()
{
    TfrmDataClean window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
    // The tree and the list show what is left.
    if (window.cleaned()) {
        if (m_host.reloadTypeTree)
            m_host.reloadTypeTree();
        refresh();
    }
}

void ContractCommands::openBackup()
{
    TfrmBackup window(m_host.window);
    DispFormPos(&window, fpEdit);
    window.exec();
    // A restore replaced what the tree and the list show.
    if (window.restored()) {
        if (m_host.reloadTypeTree)
            m_host.reloadTypeTree();
        refresh();
    }
}

void ContractCommands::importContracts()
{
    // The new contracts may bring types the tree does not show yet.
    if (ImportFromSpreadsheet(QStringLiteral("contract"), m_host.window)) {
        if (m_host.reloadTypeTree)
            m_host.reloadTypeTree();
        refresh();
    }
}

void ContractCommands::importClients()
{
    if (ImportFromSpreadsheet(QStringLiteral("client"), m_host.window))
        refresh();
}

void ContractCommands::startDesktopProgram(const QStringList& candidates, const QString& what)
{
    for (const QString& name : candidates) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    ShowMess(QStringLiteral("本机没有可用的%1程序。").arg(what), mkInfo);
}

void ContractCommands::openShippedFile(const QString& name)
{
    const QString path = AppPaths::exeDir() + QLatin1Char('/') + name;
    if (!QFileInfo::exists(path)) {
        ShowMess(QStringLiteral("找不到文件 %1").arg(path), mkWarning);
        return;
    }
    if (!OpenWithDesktop(QUrl::fromLocalFile(path)))
        ShowMess(QStringLiteral("没有可以打开 %1 的程序。").arg(path), mkInfo);
}
