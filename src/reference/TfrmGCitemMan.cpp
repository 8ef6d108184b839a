#include "reference/TfrmGCitemMan.h"

#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ProjectStore.h"
#include "reference/TfrmGCitemEdit.h"

#include <QDebug>

namespace {

ListScreen::Options gcItemManOptions()
{
    ListScreen::Options o;
    o.className = QStringLiteral("TfrmGCitemMan");
    o.caption = QStringLiteral("工程项目管理");
    o.layoutName = QStringLiteral("GCitemMan");
    o.exportTitle = QStringLiteral("工程项目资料");
    o.queryCommand = false;
    o.outputsAfterFirstQuery = false;
    o.countPrefix = QStringLiteral("记录数：");
    return o;
}

} // namespace

TfrmGCitemMan::TfrmGCitemMan(QWidget* parent)
    : ClientListScreen(gcItemManOptions(), QStringLiteral("gctype"), QStringLiteral("项目类型"),
                       parent)
{
    for (const char* field : {"F_fromDate", "F_toDate"})
        grid()->model()->setDateRule(QLatin1String(field), RecordModel::BlankBefore1901);
    m_files = new DataGrid(this);
    m_files->setObjectName(QStringLiteral("DBGridEh2"));
    m_files->setColumns(
        {textColumn(QStringLiteral("F_caption"), QStringLiteral("文件名"), 200),
         textColumn(QStringLiteral("F_filePath"), QStringLiteral("存放位置"), 460)});
    addBelowList(m_files);
    connect(grid(), &DataGrid::currentRowChanged, this, [this] { readFiles(); });
    start();
}

QString TfrmGCitemMan::deleteQuestion(const QString& name)
{
    return QStringLiteral("真的要删除当前项目名称为 %1 的项目资料吗？").arg(name);
}

QString TfrmGCitemMan::deleteFailedText()
{
    return QStringLiteral("操作失败，请检测数据库连接！");
}

SqlBuilder TfrmGCitemMan::listQuery(const ReferenceListCriteria& criteria) const
{
    return ProjectStore::listQuery(dmData()->db().dialect(), criteria);
}

void TfrmGCitemMan::listRead()
{
    readFiles();
}

void TfrmGCitemMan::readFiles()
{
    if (!m_files)
        return;
    const QString code = grid()->currentValue(QStringLiteral("F_code")).toString();
    QString error;
    if (!m_files->open(dmData()->db(), ProjectStore::filesSql(), ProjectStore::filesParams(code),
                       &error)) {
        qWarning().noquote() << "project files:" << error;
        ShowFailure(Messages::openFailed(), error);
    }
}

void TfrmGCitemMan::openEdit(SubRecordEdit::Mode mode)
{
    TfrmGCitemEdit window(callerList(), false, this);
    window.Open(mode);
    readFiles();
}

void TfrmGCitemMan::deleteRecord()
{
    if (grid()->model()->rowCount() == 0 || grid()->currentRow() < 0)
        return;
    const QString name = grid()->currentValue(QStringLiteral("F_name")).toString();
    if (ShowMess(deleteQuestion(name), mkQuestion) != 1)
        return;
    const QString code = grid()->currentValue(QStringLiteral("F_code")).toString();
    QString error;
    if (!ProjectStore::remove(dmData()->db(), code, &error)) {
        qWarning().noquote() << deleteFailedText() << error;
        ShowFailure(deleteFailedText(), error);
        return;
    }
    requery();
}
