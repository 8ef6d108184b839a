#include "reference/TDlgGoodXz.h"

#include "codes/CodeCombos.h"
#include "common/DataGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/TfrmGoodEdit.h"

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kLayout = QStringLiteral("dlggoodxz");

} // namespace

TDlgGoodXz::TDlgGoodXz(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgGoodXz"));
    setWindowTitle(QStringLiteral("货品选择"));

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("cbbType"));
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    m_type->setMinimumWidth(120);
    FillComboBox(QStringList{QString()} + CodePickList(QStringLiteral("gdtype")), m_type);
    m_type->setCurrentText(QString());
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("edtSearch"));
    auto* queryButton = new QPushButton(QStringLiteral("查询"), this);
    queryButton->setObjectName(QStringLiteral("btnQuery"));
    auto* newGoods = new QPushButton(QStringLiteral("新增商品"), this);
    newGoods->setObjectName(QStringLiteral("btnNewGoods"));
    auto* criteria = new QHBoxLayout;
    criteria->addWidget(new QLabel(QStringLiteral("按类别过滤："), this));
    criteria->addWidget(m_type);
    criteria->addWidget(new QLabel(QStringLiteral("请输入商品的编号、名称或产地："), this));
    criteria->addWidget(m_search, 1);
    criteria->addWidget(queryButton);
    criteria->addWidget(newGoods);

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setColumns(GridLayoutStore::builtColumns(kLayout));
    LoadGridLayout(m_grid, kLayout);
    ApplyColumnFormats(m_grid, kLayout);
    m_grid->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* chooseColumns = new QAction(QStringLiteral("显示字段列表"), m_grid->view());
    chooseColumns->setObjectName(QStringLiteral("mnuFieldList"));
    connect(chooseColumns, &QAction::triggered, this, [this] { ChooseGridColumns(m_grid); });
    auto* saveLayout = new QAction(QStringLiteral("保存当前设置"), m_grid->view());
    saveLayout->setObjectName(QStringLiteral("mnuSaveLayout"));
    connect(saveLayout, &QAction::triggered, this,
            [this] { AskAndSaveGridLayout(m_grid, kLayout); });
    m_grid->view()->addAction(chooseColumns);
    m_grid->view()->addAction(saveLayout);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {queryButton, newGoods, m_ok, close})
        b->setAutoDefault(false);
    buttons->addWidget(m_ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(criteria);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);

    connect(queryButton, &QPushButton::clicked, this, [this] { query(); });
    connect(newGoods, &QPushButton::clicked, this, &TDlgGoodXz::addNewGoods);
    connect(m_ok, &QPushButton::clicked, this, &TDlgGoodXz::confirm);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] { confirm(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(760, 460);
}

void TDlgGoodXz::startPick(const QString& current)
{
    m_linesCall = false;
    m_chosen = false;
    m_result = current;
    m_added.clear();
    m_lastType.clear();
    m_lastSearch.clear();
    runQuery();
}

void TDlgGoodXz::startAddLines(const GoodsLineTarget& target)
{
    m_linesCall = true;
    m_target = target;
    m_added.clear();
    m_lastType.clear();
    m_lastSearch.clear();
    runQuery();
}

bool TDlgGoodXz::query()
{
    m_lastType = m_type->currentText();
    m_lastSearch = m_search->text();
    return runQuery();
}

bool TDlgGoodXz::runQuery()
{
    GoodsStore::PickerCriteria criteria;
    criteria.type = m_lastType;
    criteria.search = m_lastSearch;
    if (m_linesCall) {
        criteria.excluded = m_added;
        if (m_target.mode == GoodsLineTarget::ShipmentEditLines)
            criteria.contractId = m_target.contractId;
    }
    Database& db = dmData()->db();
    const SqlBuilder b = GoodsStore::pickerQuery(db.dialect(), criteria);
    QString error;
    if (!m_grid->open(db, b.sql(), b.params(), &error)) {
        qWarning().noquote() << "goods picker:" << error;
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    return true;
}

void TDlgGoodXz::confirm()
{
    const int row = m_grid->currentRow();
    if (!m_linesCall) {
        m_chosen = row >= 0;
        if (m_chosen)
            m_result = m_grid->currentValue(QStringLiteral("F_code")).toString();
        accept();
        return;
    }
    const bool hasTarget = m_target.mode >= GoodsLineTarget::ShipmentEditLines &&
                           m_target.mode <= GoodsLineTarget::ShipmentManagementLines &&
                           m_target.addLine;
    if (row < 0 || !hasTarget)
        return;
    GoodsLineValues line;
    line.code = m_grid->currentValue(QStringLiteral("F_code")).toString();
    line.name = m_grid->currentValue(QStringLiteral("F_name")).toString();
    line.type = m_grid->currentValue(QStringLiteral("F_type")).toString();
    line.spec = m_grid->currentValue(QStringLiteral("F_spec")).toString();
    line.unit = m_grid->currentValue(QStringLiteral("F_unit")).toString();
    line.price = m_grid->currentValue(QStringLiteral("F_price")).toDouble();
    m_target.addLine(line);
    m_added << line.code;
    runQuery();
    // The next goods takes the place of the one added.
    const int count = m_grid->model()->rowCount();
    if (count > 0)
        m_grid->setCurrentRow(qMin(row, count - 1));
}

void TDlgGoodXz::addNewGoods()
{
    TfrmGoodEdit edit({m_grid, [this] { return runQuery(); }}, this);
    edit.Open(TfrmGoodEdit::CopyAddMode);
}

QString PickGoodsCode(const QString& current, QWidget* parent)
{
    TDlgGoodXz dialog(parent);
    dialog.startPick(current);
    DispFormPos(&dialog, fpList);
    dialog.exec();
    return dialog.pickedCode();
}

void AddGoodsLines(const GoodsLineTarget& target, QWidget* parent)
{
    TDlgGoodXz dialog(parent);
    dialog.startAddLines(target);
    DispFormPos(&dialog, fpList);
    dialog.exec();
}

void RegisterGoodsPickers()
{
    PickerRegistry::set(PickerRegistry::Goods, [](const QString& current, QWidget* parent) {
        TDlgGoodXz dialog(parent);
        dialog.startPick(current);
        DispFormPos(&dialog, fpList);
        if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
            return QStringList();
        return QStringList{dialog.pickedCode()};
    });
    PickerRegistry::setGoodsLines(
        [](const GoodsLineTarget& target, QWidget* parent) { AddGoodsLines(target, parent); });
}
