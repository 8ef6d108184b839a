#include "contracts/TDLGcontractCX.h"

#include "codes/CodeCombos.h"
#include "codes/CodeStore.h"
#include "codes/TDLGenterCaption.h"
#include "common/CheckedDate.h"
#include "common/EnterActsAsTab.h"
#include "common/MaxLength.h"
#include "common/PickerRegistry.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/DispFormPos.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTable = QStringLiteral("Contract");

// A custom field whose caption nobody set is not in use.
bool inUse(int slot)
{
    return !Session.keyValue(slot).trimmed().isEmpty();
}

} // namespace

TDLGcontractCX::TDLGcontractCX(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDLGcontractCX"));
    setWindowTitle(QStringLiteral("合同查询对话框"));

    auto* grid = new QGridLayout;
    int row = 0;
    auto label = [this](const QString& text) {
        auto* l = new QLabel(text, this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    auto lineEdit = [this](const char* name, const QString& column) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        LimitToColumn(e, kTable, column);
        return e;
    };
    // A box with a pick button beside it.
    auto picked = [this](QLineEdit* edit, const char* buttonName) {
        auto* box = new QWidget(this);
        auto* l = new QHBoxLayout(box);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(2);
        auto* button = new QToolButton(box);
        button->setObjectName(QLatin1String(buttonName));
        button->setText(QStringLiteral("..."));
        button->setFocusPolicy(Qt::NoFocus);
        l->addWidget(edit, 1);
        l->addWidget(button);
        return std::pair<QWidget*, QToolButton*>(box, button);
    };
    auto combo = [this](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        return c;
    };
    auto memo = [this](const char* name) {
        auto* m = new QPlainTextEdit(this);
        m->setObjectName(QLatin1String(name));
        m->setTabChangesFocus(true);
        m->setFixedHeight(48);
        return m;
    };

    m_name = lineEdit("edtName", QStringLiteral("F_name"));
    m_code = lineEdit("edtCode", QStringLiteral("F_code"));
    grid->addWidget(label(QStringLiteral("合同名称：")), row, 0);
    grid->addWidget(m_name, row, 1);
    grid->addWidget(label(QStringLiteral("合同编号：")), row, 2);
    grid->addWidget(m_code, row++, 3);

    m_type = lineEdit("edtType", QStringLiteral("F_type"));
    auto [typeBox, typeButton] = picked(m_type, "btnType");
    connect(typeButton, &QToolButton::clicked, this, &TDLGcontractCX::pickType);
    m_emp = combo("cbbEmpName");
    grid->addWidget(label(QStringLiteral("合同类型：")), row, 0);
    grid->addWidget(typeBox, row, 1);
    grid->addWidget(label(QStringLiteral("业 务 员：")), row, 2);
    grid->addWidget(m_emp, row++, 3);

    m_memo1 = memo("memMemo1");
    m_memo2 = memo("memMemo2");
    grid->addWidget(label(QStringLiteral("合同主要内    容")), row, 0);
    grid->addWidget(m_memo1, row, 1);
    grid->addWidget(label(QStringLiteral("合同异常描    述")), row, 2);
    grid->addWidget(m_memo2, row++, 3);

    m_client1 = lineEdit("edtClient1", QStringLiteral("F_client1"));
    m_client2 = lineEdit("edtClient2", QStringLiteral("F_client2"));
    auto [client1Box, client1Button] = picked(m_client1, "btnClient1");
    auto [client2Box, client2Button] = picked(m_client2, "btnClient2");
    connect(client1Button, &QToolButton::clicked, this, [this] { pickClient(1); });
    connect(client2Button, &QToolButton::clicked, this, [this] { pickClient(2); });
    PickerRegistry::bindButton(client1Button, PickerRegistry::CounterpartName);
    PickerRegistry::bindButton(client2Button, PickerRegistry::CounterpartName);
    grid->addWidget(label(QStringLiteral("甲方单位：")), row, 0);
    grid->addWidget(client1Box, row, 1);
    grid->addWidget(label(QStringLiteral("乙方单位：")), row, 2);
    grid->addWidget(client2Box, row++, 3);

    m_status = combo("cbbStatus");
    m_dept = combo("cbbDept");
    grid->addWidget(label(QStringLiteral("合同状态：")), row, 0);
    grid->addWidget(m_status, row, 1);
    grid->addWidget(label(QStringLiteral("所属部门：")), row, 2);
    grid->addWidget(m_dept, row++, 3);

    m_gcName = lineEdit("edtGCname", QStringLiteral("F_GCname"));
    auto [gcBox, gcButton] = picked(m_gcName, "btnGCname");
    connect(gcButton, &QToolButton::clicked, this, &TDLGcontractCX::pickProject);
    PickerRegistry::bindButton(gcButton, PickerRegistry::ProjectCode);
    grid->addWidget(label(QStringLiteral("工程项目：")), row, 0);
    grid->addWidget(gcBox, row, 1);

    // The custom texts in use close up: the free half of the project row
    // first, then two a row.
    int slot = 1;
    for (int i = 0; i < 5; ++i) {
        const QString column = QStringLiteral("F_ZF%1").arg(i + 1);
        m_custom[i] = lineEdit(QStringLiteral("edtZF%1").arg(i + 1).toLatin1().constData(), column);
        QLabel* l = label(Session.keyValue(i + 1) + QStringLiteral("："));
        l->setObjectName(QStringLiteral("lblZF%1").arg(i + 1));
        if (!inUse(i + 1)) {
            l->hide();
            m_custom[i]->hide();
            continue;
        }
        const int r = row + slot / 2;
        const int c = (slot % 2) * 2;
        grid->addWidget(l, r, c);
        grid->addWidget(m_custom[i], r, c + 1);
        ++slot;
    }
    row += (slot + 1) / 2;

    auto* archiveBox = new QGroupBox(this);
    auto* archiveLayout = new QHBoxLayout(archiveBox);
    m_archive = new QButtonGroup(this);
    const char* const kArchiveNames[] = {"rbAll", "rbArchived", "rbNotArchived"};
    const QString kArchiveCaptions[] = {QStringLiteral("全  部"), QStringLiteral("已归档"),
                                        QStringLiteral("未归档")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(kArchiveCaptions[i], archiveBox);
        rb->setObjectName(QLatin1String(kArchiveNames[i]));
        m_archive->addButton(rb, i);
        archiveLayout->addWidget(rb);
    }
    m_archive->button(0)->setChecked(true);
    archiveLayout->addStretch();

    auto* dates = new QGridLayout;
    const QString rowCaptions[] = {QStringLiteral("签订日期：自"), QStringLiteral("合同日期：自"),
                                   Session.keyValue(9) + QStringLiteral("：自"),
                                   Session.keyValue(10) + QStringLiteral("：自"),
                                   Session.keyValue(11) + QStringLiteral("：自")};
    const QDate today = Clock::today();
    for (int i = 0; i < 5; ++i) {
        m_dateRow[i] = new QCheckBox(rowCaptions[i], this);
        m_dateRow[i]->setObjectName(QStringLiteral("chkDate%1").arg(i + 1));
        m_from[i] = new CheckedDate(this);
        m_from[i]->setObjectName(QStringLiteral("dtpFrom%1").arg(i + 1));
        m_from[i]->setDate(QDate(today.year(), today.month(), 1));
        m_to[i] = new CheckedDate(this);
        m_to[i]->setObjectName(QStringLiteral("dtpTo%1").arg(i + 1));
        m_to[i]->setDate(today);
        m_from[i]->setEnabled(false);
        m_to[i]->setEnabled(false);
        connect(m_dateRow[i], &QCheckBox::toggled, this, [this, i](bool on) {
            m_from[i]->setEnabled(on);
            m_to[i]->setEnabled(on);
        });
        auto* to = new QLabel(QStringLiteral("至"), this);
        // Rows 3 to 5 are the custom dates (slots 9 to 11).
        if (i >= 2 && !inUse(i + 7)) {
            for (QWidget* w : std::initializer_list<QWidget*>{m_dateRow[i], m_from[i], to, m_to[i]})
                w->hide();
            continue;
        }
        dates->addWidget(m_dateRow[i], i, 0);
        dates->addWidget(m_from[i], i, 1);
        dates->addWidget(to, i, 2);
        dates->addWidget(m_to[i], i, 3);
    }
    dates->setColumnStretch(4, 1);

    m_query = new QPushButton(QStringLiteral("查询(&P)"), this);
    m_query->setObjectName(QStringLiteral("btnQuery"));
    m_close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    m_close->setObjectName(QStringLiteral("btnClose"));
    m_query->setAutoDefault(false);
    m_close->setAutoDefault(false);
    connect(m_query, &QPushButton::clicked, this, &TDLGcontractCX::query);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_query);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(archiveBox);
    layout->addLayout(dates);
    layout->addStretch();
    layout->addLayout(buttons);

    FillEmployeeAndDeptCombos(m_emp, m_dept);
    // A filled pick list must not start with a criterion chosen.
    for (QComboBox* c : {m_emp, m_dept, m_status}) {
        if (c->isEnabled()) {
            c->setCurrentIndex(-1);
            c->setEditText(QString());
        }
    }
    m_emp->installEventFilter(this);
    m_status->installEventFilter(this);
    new EnterActsAsTab(this, m_query, m_close);
}

void TDLGcontractCX::showEvent(QShowEvent* event)
{
    if (!m_prepared) {
        m_prepared = true;
        ApplyInputMethod(this);
    }
    QDialog::showEvent(event);
}

void TDLGcontractCX::query()
{
    if (DatesAreValid(this))
        accept();
}

bool TDLGcontractCX::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && (watched == m_emp || watched == m_status)) {
        auto* combo = static_cast<QComboBox*>(watched);
        const QString text = combo->currentText();
        FillComboBox(CodePickList(watched == m_emp ? CodeStore::kEmployees : CodeStore::kStatuses),
                     combo);
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    }
    return QDialog::eventFilter(watched, event);
}

ContractQueryCriteria TDLGcontractCX::criteria() const
{
    ContractQueryCriteria c;
    c.name = m_name->text();
    c.code = m_code->text();
    c.type = m_type->text();
    c.empName = m_emp->currentText();
    c.memo1 = m_memo1->toPlainText();
    c.memo2 = m_memo2->toPlainText();
    c.client1 = m_client1->text();
    c.client2 = m_client2->text();
    c.status = m_status->currentText();
    c.dept = m_dept->currentText();
    c.gcName = m_gcName->text();
    for (int i = 0; i < 5; ++i)
        c.custom[i] = m_custom[i]->text();
    c.archive = qMax(0, m_archive->checkedId());
    for (int i = 0; i < 5; ++i) {
        ContractQueryCriteria::DateRow& r = c.dates[i];
        r.enabled = m_dateRow[i]->isChecked();
        r.fromTicked = m_from[i]->isChecked();
        r.from = m_from[i]->date();
        r.toTicked = m_to[i]->isChecked();
        r.to = m_to[i]->date();
    }
    return c;
}

SqlBuilder TDLGcontractCX::statement() const
{
    return ContractQuery::statement(dmData()->db().dialect(), criteria(), Session);
}

void TDLGcontractCX::pickType()
{
    m_type->setText(PickTreeNode(2, m_type->text(), this));
}

void TDLGcontractCX::pickClient(int side)
{
    QLineEdit* box = side == 2 ? m_client2 : m_client1;
    const QString name =
        PickerRegistry::pickOne(PickerRegistry::CounterpartName, box->text(), this);
    if (!name.isEmpty())
        box->setText(name);
}

void TDLGcontractCX::pickProject()
{
    // The dialog keeps no project code: the picker starts without one.
    const QString code = PickerRegistry::pickOne(PickerRegistry::ProjectCode, QString(), this);
    if (code.isEmpty())
        return;
    m_gcName->setText(
        dmData()->QueryString(ContractQuery::projectNameSql(), {{QStringLiteral(":code"), code}}));
}

std::optional<SqlBuilder> ContractQueryDialog(QWidget* parent)
{
    TDLGcontractCX dlg(parent);
    DispFormPos(&dlg, fpEdit);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.statement();
}
