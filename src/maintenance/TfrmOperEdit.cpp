#include "maintenance/TfrmOperEdit.h"

#include "codes/CodeCombos.h"
#include "codes/CodeStore.h"
#include "codes/TDLGselectDeptSTR.h"
#include "common/EnterActsAsTab.h"
#include "common/MaxLength.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/PasswordHash.h"
#include "platform/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* passwordField(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    LimitToColumn(edit, QStringLiteral("OperList"), QStringLiteral("F_PassWord"));
    return edit;
}

} // namespace

TfrmOperEdit::TfrmOperEdit(int mode, qint64 id, QWidget* parent)
    : QDialog(parent), m_mode(mode == 1 ? 1 : 0)
{
    m_record.id = m_mode == 1 ? id : 0;
    setObjectName(QStringLiteral("TfrmOperEdit"));
    setWindowTitle(QStringLiteral("操作员"));

    m_name = new QComboBox;
    m_name->setObjectName(QStringLiteral("cbbName"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->addItems(CodePickList(CodeStore::kEmployees));
    m_name->setEditText(QString());
    LimitToColumn(m_name->lineEdit(), QStringLiteral("OperList"), QStringLiteral("F_Name"));
    m_password = passwordField("edtPassword");
    m_confirm = passwordField("edtConfirm");
    m_mem = new QPlainTextEdit;
    m_mem->setObjectName(QStringLiteral("memMem"));
    m_mem->setMaximumHeight(60);
    LimitToColumn(m_mem, QStringLiteral("OperList"), QStringLiteral("F_mem"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("用户名称："), m_name);
    fields->addRow(QStringLiteral("初始密码："), m_password);
    fields->addRow(QStringLiteral("密码确认："), m_confirm);
    fields->addRow(QStringLiteral("详细描述："), m_mem);

    m_rightList = new QTableWidget(this);
    m_rightList->setObjectName(QStringLiteral("lstRights"));
    m_rightList->setColumnCount(2);
    m_rightList->horizontalHeader()->hide();
    m_rightList->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_rightList->verticalHeader()->hide();
    m_rightList->verticalHeader()->setDefaultSectionSize(22);
    m_rightList->setShowGrid(false);
    m_rightList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_rightList->setSelectionMode(QAbstractItemView::NoSelection);
    // A click anywhere on the right's text ticks it, as in a check list.
    connect(m_rightList, &QTableWidget::itemClicked, this, [](QTableWidgetItem* item) {
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    auto* rightsLabel = new QLabel(QStringLiteral("权限属性："), this);

    m_approve = new QCheckBox(QStringLiteral("合同审批"), this);
    m_approve->setObjectName(QStringLiteral("chkApprove"));

    auto* choice = new QGroupBox(this);
    choice->setObjectName(QStringLiteral("rgXtFlag"));
    auto* choiceLayout = new QVBoxLayout(choice);
    m_xtFlag = new QButtonGroup(this);
    const char* names[] = {"rbAll", "rbOwn", "rbDept"};
    const QString captions[] = {QStringLiteral("全部  所有  合同"),
                                QStringLiteral("只管理自己的合同"),
                                QStringLiteral("管理所列部门合同")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(captions[i], choice);
        rb->setObjectName(QLatin1String(names[i]));
        m_xtFlag->addButton(rb, i);
        choiceLayout->addWidget(rb);
    }
    m_dept = new QLineEdit(choice);
    m_dept->setObjectName(QStringLiteral("edtDept"));
    // The list is made by ticking departments, so it always has the stored form.
    m_dept->setReadOnly(true);
    m_deptButton = button(choice, "btnDept", QStringLiteral("..."));
    m_deptButton->setFixedWidth(28);
    auto* deptRow = new QHBoxLayout;
    deptRow->addWidget(m_dept, 1);
    deptRow->addWidget(m_deptButton);
    choiceLayout->addLayout(deptRow);
    connect(m_xtFlag, &QButtonGroup::idToggled, this, [this] { showDeptField(); });
    connect(m_deptButton, &QPushButton::clicked, this, &TfrmOperEdit::pickDepartments);

    m_disabled = new QCheckBox(QStringLiteral("用户禁用"), this);
    m_disabled->setObjectName(QStringLiteral("chkDisabled"));

    QPushButton* all = button(this, "btnAll", QStringLiteral("全选"));
    QPushButton* none = button(this, "btnClear", QStringLiteral("清除"));
    QPushButton* saveButton = button(this, "btnSave", QStringLiteral("保存"));
    QPushButton* close = button(this, "btnClose", QStringLiteral("关闭"));
    connect(all, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { tickAll(false); });
    connect(saveButton, &QPushButton::clicked, this, &TfrmOperEdit::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(m_approve);
    side->addWidget(choice);
    side->addStretch(1);

    auto* middle = new QHBoxLayout;
    auto* rightsColumn = new QVBoxLayout;
    rightsColumn->addWidget(rightsLabel);
    rightsColumn->addWidget(m_rightList, 1);
    middle->addLayout(rightsColumn, 1);
    middle->addLayout(side);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_disabled);
    bottom->addStretch(1);
    for (QPushButton* b : {all, none, saveButton, close})
        bottom->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    new EnterActsAsTab(this, saveButton, close);
    ApplyInputMethod(this);
    resize(620, 560);
    m_loaded = load();
}

bool TfrmOperEdit::load()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    QString error;
    QStringList held;
    if (!OperatorStore::grantableRights(dm->db(), &m_rights, &error) ||
        (m_mode == 1 && (!OperatorStore::read(dm->db(), m_record.id, &m_record, &error) ||
                         !OperatorStore::heldRights(dm->db(), m_record.name, &held, &error)))) {
        qWarning().noquote() << "reading the operator failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        m_record.xtFlag = 0;
    }

    // Filled column by column, as a two-column check list shows them.
    const int rows = int((m_rights.size() + 1) / 2);
    m_rightList->setRowCount(rows);
    for (int i = 0; i < m_rights.size(); ++i) {
        auto* item = new QTableWidgetItem(m_rights.at(i));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(held.contains(m_rights.at(i), Qt::CaseInsensitive) ? Qt::Checked
                                                                               : Qt::Unchecked);
        m_rightList->setItem(i % rows, i / rows, item);
    }

    if (m_mode == 0) {
        clearFields();
        return error.isEmpty();
    }
    m_name->setEditText(m_record.name);
    m_password->clear();
    m_confirm->clear();
    m_mem->setPlainText(m_record.mem);
    m_approve->setChecked(m_record.canApprove);
    m_disabled->setChecked(m_record.disabled);
    m_dept->setText(m_record.dept);
    if (QAbstractButton* b = m_xtFlag->button(m_record.xtFlag))
        b->setChecked(true);
    showDeptField();
    return error.isEmpty();
}

void TfrmOperEdit::clearFields()
{
    m_name->setEditText(QString());
    m_password->clear();
    m_confirm->clear();
    m_mem->clear();
    m_approve->setChecked(false);
    m_disabled->setChecked(false);
    m_dept->clear();
    m_xtFlag->button(0)->setChecked(true);
    tickAll(false);
    showDeptField();
}

void TfrmOperEdit::showDeptField()
{
    const bool byDept = m_xtFlag->checkedId() == 2;
    m_dept->setVisible(byDept);
    m_deptButton->setVisible(byDept);
}

void TfrmOperEdit::pickDepartments()
{
    m_dept->setText(SelectDepartments(m_dept->text(), this));
}

void TfrmOperEdit::tickAll(bool ticked)
{
    for (int r = 0; r < m_rightList->rowCount(); ++r) {
        for (int c = 0; c < m_rightList->columnCount(); ++c) {
            if (QTableWidgetItem* item = m_rightList->item(r, c))
                item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        }
    }
}

QTableWidgetItem* TfrmOperEdit::rightItem(const QString& name) const
{
    const int i = int(m_rights.indexOf(name));
    if (i < 0)
        return nullptr;
    const int rows = int((m_rights.size() + 1) / 2);
    return m_rightList->item(i % rows, i / rows);
}

QStringList TfrmOperEdit::tickedRights() const
{
    QStringList ticked;
    for (const QString& name : m_rights) {
        if (QTableWidgetItem* item = rightItem(name); item && item->checkState() == Qt::Checked)
            ticked << name;
    }
    return ticked;
}

bool TfrmOperEdit::save()
{
    TdmData* dm = dmData();
    if (!dm) {
        ShowMess(Messages::notConnected(), mkError);
        return false;
    }
    FinishTyping(this);
    const QString name = m_name->currentText().trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("操作员名称不能为空！"), mkInfo);
        m_name->setFocus();
        return false;
    }
    if (m_password->text() != m_confirm->text()) {
        ShowMess(QStringLiteral("验正码不正确，请重新确认输入！"), mkInfo);
        m_confirm->setFocus();
        return false;
    }

    OperatorRecord op = m_record;
    op.name = name;
    op.mem = m_mem->toPlainText();
    op.disabled = m_disabled->isChecked();
    op.xtFlag = qMax(0, m_xtFlag->checkedId());
    op.canApprove = m_approve->isChecked();
    op.dept = m_dept->text();
    // Both fields left empty while modifying keep the stored password; a new
    // operator gets what was typed, also an empty password.
    const bool keepPassword = m_mode == 1 && m_password->text().isEmpty();
    const QString hash = keepPassword ? QString() : SavePass(m_password->text());
    QString error;
    OperatorStore::SaveResult result = OperatorStore::SaveResult::Failed;
    if (!keepPassword && hash.isEmpty())
        error = QStringLiteral("the password could not be hashed");
    else
        result = OperatorStore::save(dm->db(), op, hash, tickedRights(), &error);

    switch (result) {
    case OperatorStore::SaveResult::Saved:
        break;
    case OperatorStore::SaveResult::NameTaken:
        ShowMess(QStringLiteral("操作员名称重复，请重新输入！"), mkInfo);
        m_name->setFocus();
        return false;
    case OperatorStore::SaveResult::Administrator:
        ShowMess(QStringLiteral("此用户为系统默认用户，不能修改和编辑！"), mkError);
        return false;
    case OperatorStore::SaveResult::Missing:
        ShowFailure(Messages::saveFailed(),
                    QStringLiteral("operator %1 was deleted meanwhile").arg(op.id));
        return false;
    case OperatorStore::SaveResult::Failed:
        qWarning().noquote() << "saving the operator failed:" << error;
        ShowFailure(Messages::saveFailed(), error);
        return false;
    }

    emit saved(op.name);
    if (m_mode == 0) {
        clearFields();
        m_name->setFocus();
    } else {
        m_record = op;
        accept();
    }
    return true;
}
