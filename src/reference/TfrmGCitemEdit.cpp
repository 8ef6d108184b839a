#include "reference/TfrmGCitemEdit.h"

#include "codes/CodeCombos.h"
#include "codes/TDLGenterCaption.h"
#include "common/AmountBox.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/MaxLength.h"
#include "data/DataServicesUi.h"
#include "data/StoredDate.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ProjectStore.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kTable = QStringLiteral("GCitem");
// The code a new project's files carry until the save gives them its own.
const QString kNewCode = QStringLiteral("newCode");

} // namespace

TfrmGCitemEdit::TfrmGCitemEdit(const CallerList& list, bool fromPicker, QWidget* parent)
    : SubRecordEdit(QStringLiteral("TfrmGCitemEdit"), QStringLiteral("工程项目资料"), list, true,
                    parent)
{
    auto line = [this](const char* name, const char* column) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        if (column)
            limitText(e, kTable, QLatin1String(column));
        return e;
    };
    int row = 0;
    m_code = addField(QStringLiteral("项目编号："), line("edtCode", "F_code"), row, 0);
    m_name = addField(QStringLiteral("项目名称："), line("edtName", "F_name"), row++, 1);

    auto* typeBox = new QWidget(this);
    auto* typeRow = new QHBoxLayout(typeBox);
    typeRow->setContentsMargins(0, 0, 0, 0);
    // Read-only and without a limit: a picked path is kept whole.
    m_type = line("edtType", nullptr);
    m_type->setReadOnly(true);
    m_typeButton = new QToolButton(typeBox);
    m_typeButton->setObjectName(QStringLiteral("btnType"));
    m_typeButton->setText(QStringLiteral("..."));
    m_typeButton->setFocusPolicy(Qt::NoFocus);
    typeRow->addWidget(m_type, 1);
    typeRow->addWidget(m_typeButton);
    addFieldWidget(QStringLiteral("项目类型："), typeBox, row, 0);
    m_fzr = addField(QStringLiteral("负 责 人："), line("edtFZRemp", "F_FZRemp"), row++, 1);
    m_gcName = addField(QStringLiteral("工程名称："), line("edtGCname", "F_GCname"), row, 0);
    m_gcType = new QComboBox(this);
    m_gcType->setObjectName(QStringLiteral("cbbGCtype"));
    m_gcType->setEditable(true);
    LimitToColumn(m_gcType->lineEdit(), kTable, QStringLiteral("F_GCtype"));
    addField(QStringLiteral("工程性质："), m_gcType, row++, 1);
    m_gcPos = line("edtGCpos", "F_GCpos");
    addFieldWidget(QStringLiteral("工程位置："), m_gcPos, row++, 0, 2);
    m_price = new AmountBox(this);
    m_price->setObjectName(QStringLiteral("edtGCprice"));
    m_price->setDisplayFormat(QStringLiteral(",0.00##;-,0.00##"));
    addField(QStringLiteral("工程投资："), m_price, row, 0);
    m_phone = addField(QStringLiteral("联系电话："), line("edtGCphone", "F_GCphone"), row++, 1);
    m_fromDate = new CheckedDate(this);
    m_fromDate->setObjectName(QStringLiteral("dtpFromDate"));
    addField(QStringLiteral("合同起始日期"), m_fromDate, row, 0);
    m_toDate = new CheckedDate(this);
    m_toDate->setObjectName(QStringLiteral("dtpToDate"));
    addField(QStringLiteral("合同截止日期："), m_toDate, row++, 1);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("memMemo1"));
    m_memo->setTabChangesFocus(true);
    m_memo->setMaximumHeight(60);
    addFieldWidget(QStringLiteral("备    注："), m_memo, row++, 0, 2);
    m_stopped = new QCheckBox(QStringLiteral("工程停用"), this);
    m_stopped->setObjectName(QStringLiteral("chkUseFlag"));
    form()->addWidget(m_stopped, row++, 1);

    // The related files.
    auto* filesBox = new QGroupBox(QStringLiteral("相关文件"), this);
    auto* filesLayout = new QVBoxLayout(filesBox);
    m_files = new DataGrid(filesBox);
    m_files->setObjectName(QStringLiteral("grdFiles"));
    m_files->setColumns(
        {textColumn(QStringLiteral("F_caption"), QStringLiteral("文件名"), 180),
         textColumn(QStringLiteral("F_filePath"), QStringLiteral("存放位置"), 360)});
    m_files->setTitleSortEnabled(false);
    filesLayout->addWidget(m_files, 1);
    auto* fileButtons = new QHBoxLayout;
    struct FileCommand
    {
        const char* name;
        const char* text;
        QKeySequence key;
        void (TfrmGCitemEdit::*run)();
    };
    const FileCommand commands[] = {
        {"btnFileAdd", "新增", QKeySequence(Qt::CTRL | Qt::Key_A), &TfrmGCitemEdit::addFile},
        {"btnFileOpen", "打开", QKeySequence(Qt::CTRL | Qt::Key_E), &TfrmGCitemEdit::openFile},
        {"btnFileDelete", "删除", QKeySequence(Qt::CTRL | Qt::Key_D), &TfrmGCitemEdit::deleteFile},
    };
    fileButtons->addStretch();
    for (const FileCommand& c : commands) {
        auto* b = new QPushButton(QString::fromUtf8(c.text), filesBox);
        b->setObjectName(QLatin1String(c.name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        fileButtons->addWidget(b);
        connect(b, &QPushButton::clicked, this, c.run);
        auto* shortcut = new QAction(this);
        shortcut->setShortcut(c.key);
        shortcut->setShortcutContext(Qt::WindowShortcut);
        addAction(shortcut);
        connect(shortcut, &QAction::triggered, this, c.run);
    }
    filesLayout->addLayout(fileButtons);
    form()->addWidget(filesBox, row, 0, 1, 4);
    form()->setRowStretch(row, 1);

    connect(m_typeButton, &QToolButton::clicked, this, &TfrmGCitemEdit::pickType);
    setOpenedFromPicker(fromPicker);
    resize(680, 560);
}

QLineEdit* TfrmGCitemEdit::edit(const QString& objectName) const
{
    return findChild<QLineEdit*>(objectName);
}

QString TfrmGCitemEdit::emptyCodeText()
{
    return QStringLiteral("当前工程项目编号不能为空！");
}

QString TfrmGCitemEdit::duplicateText()
{
    return QStringLiteral("项目编号重复，请重新输入！");
}

void TfrmGCitemEdit::pickType()
{
    m_type->setText(PickTreeNode(6, m_type->text(), this));
}

void TfrmGCitemEdit::openFiles(bool ofProject)
{
    QString error;
    const bool ok = ofProject
                        ? m_files->open(dmData()->db(), ProjectStore::filesSql(),
                                        ProjectStore::filesParams(m_code->text().trimmed()), &error)
                        : m_files->open(dmData()->db(), ProjectStore::noFilesSql(), {}, &error);
    m_files->model()->setEditable(true);
    if (!ok)
        ShowFailure(Messages::openFailed(), error);
}

void TfrmGCitemEdit::clearFields()
{
    for (QLineEdit* e : {m_code, m_name, m_type, m_fzr, m_gcName, m_gcPos, m_phone})
        e->clear();
    FillComboBox(CodePickList(QStringLiteral("gctype")), m_gcType);
    m_gcType->setEditText(QString());
    m_price->setValue(0);
    const QDate today = Clock::today();
    for (CheckedDate* d : {m_fromDate, m_toDate}) {
        d->setShownDate(today);
        d->setChecked(false);
    }
    m_memo->clear();
    m_stopped->setChecked(false);
    // A new project starts without files: rows left under the placeholder
    // code by an earlier window belong to no project.
    openFiles(false);
}

void TfrmGCitemEdit::loadFields()
{
    auto value = [this](const char* field) {
        return currentValue(QLatin1String(field)).toString();
    };
    m_code->setText(value("F_code"));
    m_name->setText(value("F_name"));
    m_type->setText(value("F_type"));
    m_fzr->setText(value("F_FZRemp"));
    m_gcName->setText(value("F_GCname"));
    FillComboBox(CodePickList(QStringLiteral("gctype")), m_gcType);
    m_gcType->setEditText(value("F_GCtype"));
    m_gcPos->setText(value("F_GCpos"));
    m_price->setValue(AmountBox::parse(value("F_GCprice")));
    m_phone->setText(value("F_GCphone"));
    m_fromDate->setStoredDate(currentValue(QStringLiteral("F_fromDate")));
    m_toDate->setStoredDate(currentValue(QStringLiteral("F_toDate")));
    m_memo->setPlainText(value("F_memo1"));
    m_stopped->setChecked(currentValue(QStringLiteral("F_useFlag")).toInt() != 0);
    openFiles(true);
}

bool TfrmGCitemEdit::checkFields()
{
    const qint64 id = mode() == ModifyMode && !openedFromPicker()
                          ? currentValue(QStringLiteral("F_ID")).toLongLong()
                          : 0;
    const QString code = m_code->text().trimmed();
    auto refuse = [this](const QString& text) {
        ShowMess(text, mkInfo);
        m_code->setFocus();
        return false;
    };
    if (code.isEmpty())
        return refuse(emptyCodeText());
    qint64 found = 0;
    QString error;
    if (!ProjectStore::findByCode(dmData()->db(), code, &found, &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return false;
    }
    if (found > 0 && (mode() == AddMode || found != id))
        return refuse(duplicateText());
    return true;
}

bool TfrmGCitemEdit::writeRecord(Database& db, qint64 id, qint64* savedId, QString* error)
{
    Project p;
    p.id = id;
    p.code = m_code->text();
    p.name = m_name->text();
    p.type = m_type->text();
    p.fzrEmp = m_fzr->text();
    p.gcName = m_gcName->text();
    p.gcType = m_gcType->currentText();
    p.gcPos = m_gcPos->text();
    p.gcPrice = m_price->value();
    p.gcPhone = m_phone->text();
    p.fromDateGiven = m_fromDate->isChecked();
    p.fromDate = m_fromDate->date();
    p.toDateGiven = m_toDate->isChecked();
    p.toDate = m_toDate->date();
    p.memo1 = m_memo->toPlainText();
    p.stopped = m_stopped->isChecked();
    if (!ProjectStore::save(db, &p, m_files->model(), error))
        return false;
    *savedId = p.id;
    return true;
}

QWidget* TfrmGCitemEdit::firstField() const
{
    return m_code;
}

void TfrmGCitemEdit::addFile()
{
    const QString path = UserDialogs::current().openFileName(QStringLiteral("选择文件"), QString(),
                                                             QStringLiteral("所有文件 (*)"));
    if (path.isEmpty())
        return;
    RecordModel* model = m_files->model();
    const int row = model->appendRecord();
    model->setValue(row, QStringLiteral("F_GCcode"),
                    mode() == AddMode ? kNewCode : m_code->text().trimmed());
    model->setValue(row, QStringLiteral("F_filePath"), path);
    model->setValue(row, QStringLiteral("F_caption"), QFileInfo(path).fileName());
    m_files->setCurrentRow(row);
}

void TfrmGCitemEdit::openFile()
{
    const int row = m_files->currentRow();
    if (row < 0)
        return;
    OpenFileWithDesktop(m_files->model()->text(row, QStringLiteral("F_filePath")));
}

void TfrmGCitemEdit::deleteFile()
{
    const int row = m_files->currentRow();
    if (row < 0)
        return;
    const QString caption = m_files->model()->text(row, QStringLiteral("F_caption"));
    if (ShowMess(QStringLiteral("真的要删除文件名为 \"%1\" 的文件资料吗？").arg(caption),
                 mkQuestion) != 1)
        return;
    m_files->model()->removeRows(row, 1);
}

bool TfrmGCitemEdit::hasPendingRows() const
{
    return m_files && m_files->model()->hasPendingChanges();
}
