#include "contracts/TDlgContractXz.h"

#include "codes/CodeCombos.h"
#include "codes/CodeStore.h"
#include "common/CategoryList.h"
#include "common/DataGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "contracts/ContractRows.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kLayout = QStringLiteral("dlgcontractxz");
} // namespace

TDlgContractXz::TDlgContractXz(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgContractXz"));
    setWindowTitle(QStringLiteral("合同档案记录选择"));

    auto lineEdit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        connect(e, &QLineEdit::textChanged, this, &TDlgContractXz::runQuery);
        return e;
    };
    m_code = lineEdit("edtHTcode");
    m_name = lineEdit("edtHTname");
    m_memo = lineEdit("edtMemo1");
    auto* find = new QPushButton(QStringLiteral("查询(F8)"), this);
    find->setObjectName(QStringLiteral("btnFind"));
    connect(find, &QPushButton::clicked, this, &TDlgContractXz::runQuery);
    auto* toggle = new QToolButton(this);
    toggle->setObjectName(QStringLiteral("btnShowList"));
    toggle->setText(QStringLiteral("<<"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(toggle);
    bar->addWidget(new QLabel(QStringLiteral("合同编号："), this));
    bar->addWidget(m_code, 1);
    bar->addWidget(new QLabel(QStringLiteral("合同名称："), this));
    bar->addWidget(m_name, 2);
    bar->addWidget(new QLabel(QStringLiteral("主要内容："), this));
    bar->addWidget(m_memo, 2);
    bar->addWidget(find);

    auto* split = new QSplitter(this);
    auto* panel = new QWidget(split);
    panel->setObjectName(QStringLiteral("pnlCategory"));
    m_kind = new QComboBox(panel);
    m_kind->setObjectName(QStringLiteral("cbbListType"));
    m_kind->addItems(
        {QStringLiteral("合同状态"), QStringLiteral("业 务 员"), QStringLiteral("部    门")});
    m_list = new CategoryList(panel);
    auto* refresh = new QPushButton(QStringLiteral("刷新列表"), panel);
    refresh->setObjectName(QStringLiteral("btnRefreshList"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(m_list, 1);
    panelLayout->addWidget(m_kind);
    panelLayout->addWidget(refresh);
    connect(m_list, &QTableWidget::cellClicked, this, [this] { runQuery(); });
    connect(m_kind, &QComboBox::activated, this, [this](int k) { fillCategories(k); });
    connect(refresh, &QPushButton::clicked, this,
            [this] { fillCategories(m_kind->currentIndex()); });
    connect(toggle, &QToolButton::clicked, this, [panel, toggle] {
        panel->setVisible(!panel->isVisible());
        toggle->setText(panel->isVisible() ? QStringLiteral("<<") : QStringLiteral(">>"));
    });

    m_grid = new DataGrid(split);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setColumns(GridLayoutStore::builtColumns(kLayout));
    // Amounts grouped as in the main window's list.
    ApplyColumnFormats(m_grid, kLayout);
    m_grid->model()->setRowStyler(contractRowStyle);
    applyContractDateRules(*m_grid->model());
    m_grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->view(), &QWidget::customContextMenuRequested, this,
            &TDlgContractXz::showGridMenu);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &QDialog::accept);
    split->addWidget(panel);
    split->addWidget(m_grid);
    split->setStretchFactor(1, 1);
    split->setSizes({160, 640});

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : {find, refresh, ok, close})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(900, 520);
}

void TDlgContractXz::fillCategories(int kind)
{
    kind = qBound(0, kind, 2);
    if (m_kind->currentIndex() != kind)
        m_kind->setCurrentIndex(kind);
    static const QString kKeys[] = {CodeStore::kStatuses, CodeStore::kEmployees,
                                    CodeStore::kDepartments};
    const QStringList names = CodePickList(kKeys[kind]);
    m_list->setNames(m_kind->itemText(kind), names);
    runQuery();
}

void TDlgContractXz::runQuery()
{
    const QString category = m_list->selectedName();
    const SqlBuilder b =
        ContractQuery::selectionStatement(dmData()->db().dialect(), m_name->text(), m_code->text(),
                                          m_memo->text(), m_kind->currentIndex(), category);
    QString error;
    if (!m_grid->open(dmData()->db(), b.sql(), b.params(), &error)) {
        ShowFailure(Messages::openFailed(), error);
    }
}

ContractHeader TDlgContractXz::currentHeader() const
{
    auto v = [this](const char* field) { return m_grid->currentValue(QLatin1String(field)); };
    ContractHeader h;
    h.cltID = v("F_cltID").toInt();
    h.code = v("F_code").toString();
    h.name = v("F_name").toString();
    h.type = v("F_type").toString();
    h.signDate = StoredDate::text(v("F_date"));
    h.gcName = v("F_GCname").toString();
    h.totalPrice = v("F_totalPrice").toDouble();
    h.priceUnit = v("F_priceUnit").toString();
    h.beginDate = StoredDate::text(v("F_beginDate"));
    h.endDate = StoredDate::text(v("F_endDate"));
    h.dept = v("F_dept").toString();
    h.status = v("F_status").toString();
    h.empName = v("F_empName").toString();
    return h;
}

void TDlgContractXz::showGridMenu(const QPoint& pos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pmGrid"));
    QAction* columns = menu.addAction(QStringLiteral("显示字段列表"));
    QAction* save = menu.addAction(QStringLiteral("保存当前设置"));
    QAction* chosen = menu.exec(m_grid->view()->viewport()->mapToGlobal(pos));
    if (chosen == columns)
        ChooseGridColumns(m_grid);
    else if (chosen == save)
        AskAndSaveGridLayout(m_grid, kLayout);
}

void WriteSelection(const ContractHeader& chosen, int mode, ContractHeader* into)
{
    if (!into)
        return;
    switch (mode) {
    case kSelectForShipmentQuery:
        into->name = chosen.name;
        break;
    case kSelectForShipments:
        into->cltID = chosen.cltID;
        into->code = chosen.code;
        into->name = chosen.name;
        break;
    case kSelectForReceipts:
    case kSelectForExecution:
    case kSelectForChanges:
    case kSelectForAttachments:
    case kSelectForGoods:
        *into = chosen;
        break;
    default:
        break;
    }
}

int SelectContract(int currentId, int mode, ContractHeader* into, QWidget* parent)
{
    TDlgContractXz dlg(parent);
    LoadGridLayout(dlg.grid(), kLayout);
    ApplyColumnFormats(dlg.grid(), kLayout);
    dlg.fillCategories(0);
    DispFormPos(&dlg, fpList);
    if (dlg.exec() != QDialog::Accepted)
        return currentId;
    if (dlg.grid()->currentRow() < 0)
        return 0;
    const ContractHeader chosen = dlg.currentHeader();
    WriteSelection(chosen, mode, into);
    return chosen.cltID;
}
