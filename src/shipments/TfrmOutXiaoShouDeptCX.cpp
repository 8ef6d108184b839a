#include "shipments/TfrmOutXiaoShouDeptCX.h"

#include "codes/CodeCombos.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/MaxLength.h"
#include "common/PickerRegistry.h"
#include "contracts/TDlgContractXz.h"
#include "data/StoredDate.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "shipments/TFrmOutXiaoshouDeptGl.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

ListScreen::Options screenOptions()
{
    ListScreen::Options o;
    o.className = QStringLiteral("TfrmOutXiaoShouDeptCX");
    o.caption = QStringLiteral("合同发货查询");
    o.layoutName = QStringLiteral("outxiaoshoudeptcx");
    o.exportTitle = QStringLiteral("客户商品销售查询统计列表");
    o.countPrefix = QStringLiteral("记录数/");
    return o;
}

} // namespace

TfrmOutXiaoShouDeptCX::TfrmOutXiaoShouDeptCX(QWidget* parent) : ListScreen(screenOptions(), parent)
{
    QAction* edit = addLeadingAction(QStringLiteral("tbEdit"), QStringLiteral("编辑"));
    connect(edit, &QAction::triggered, this, [this] { openManagement(); });
    buildCriteria();
    RecordModel* model = grid()->model();
    model->setDateRule(QStringLiteral("F_FHdate"), RecordModel::BlankBefore1901);
    model->setDateRule(QStringLiteral("F_SHdate"), RecordModel::BlankBefore1901);
    grid()->setFooterVisible(true);
    // Title clicks start with the latest first.
    grid()->setFirstSortOrder(Qt::DescendingOrder);
    connect(grid(), &DataGrid::rowDoubleClicked, this, [this] { openCurrentShipment(); });
    resize(980, 620);
}

void TfrmOutXiaoShouDeptCX::buildCriteria()
{
    auto* g = new QGridLayout(criteria());
    g->setContentsMargins(6, 4, 6, 4);
    auto label = [&](const QString& text, QWidget* buddy, int row, int column) {
        auto* l = new QLabel(text, criteria());
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setBuddy(buddy);
        g->addWidget(l, row, column);
    };
    auto edit = [&](const char* name, const char* table, const char* column) {
        auto* e = new QLineEdit(criteria());
        e->setObjectName(QLatin1String(name));
        LimitToColumn(e, QLatin1String(table), QLatin1String(column));
        return e;
    };
    auto dateRange = [&](const QString& caption, const char* fromName, const char* toName, int row,
                         CheckedDate** from, CheckedDate** to) {
        const QDate today = Clock::today();
        *from = new CheckedDate(criteria());
        (*from)->setObjectName(QLatin1String(fromName));
        *to = new CheckedDate(criteria());
        (*to)->setObjectName(QLatin1String(toName));
        (*from)->setShownDate(QDate(today.year(), today.month(), 1));
        (*to)->setShownDate(today);
        for (CheckedDate* d : {*from, *to})
            d->setChecked(false);
        auto* box = new QWidget(criteria());
        auto* h = new QHBoxLayout(box);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(new QLabel(QStringLiteral("自"), box));
        h->addWidget(*from);
        h->addWidget(new QLabel(QStringLiteral("至"), box));
        h->addWidget(*to);
        label(caption, *from, row, 0);
        g->addWidget(box, row, 1, 1, 3);
    };
    dateRange(QStringLiteral("发货日期："), "dtpFHfrom", "dtpFHto", 0, &m_fhFrom, &m_fhTo);
    dateRange(QStringLiteral("收货时间："), "dtpSHfrom", "dtpSHto", 1, &m_shFrom, &m_shTo);

    m_fhEmp = new QComboBox(criteria());
    m_fhEmp->setObjectName(QStringLiteral("cbbFHemp"));
    m_fhEmp->setEditable(true);
    LimitToColumn(m_fhEmp->lineEdit(), QStringLiteral("t_FHrec"), QStringLiteral("F_FHemp"));
    if (dmData()) {
        QStringList names;
        QString error;
        if (ShipmentStore::employeeNames(dmData()->db(), &names, &error))
            m_fhEmp->addItems(QStringList{QString()} + names);
        else
            ShowFailure(Messages::openFailed(), error);
    }
    m_fhEmp->setCurrentText(QString());
    label(QStringLiteral("发 货 人："), m_fhEmp, 0, 4);
    g->addWidget(m_fhEmp, 0, 5);
    m_oldCode = edit("edtOLDcode", "t_FHrec", "F_OLDcode");
    label(QStringLiteral("原始单号："), m_oldCode, 1, 4);
    g->addWidget(m_oldCode, 1, 5);

    m_htName = edit("edtHTname", "Contract", "F_name");
    auto* htBox = new QWidget(criteria());
    auto* htRow = new QHBoxLayout(htBox);
    htRow->setContentsMargins(0, 0, 0, 0);
    htRow->setSpacing(2);
    auto* htButton = new QToolButton(htBox);
    htButton->setObjectName(QStringLiteral("btnSelectContract"));
    htButton->setText(QStringLiteral("…"));
    connect(htButton, &QToolButton::clicked, this, [this] { pickContract(); });
    htRow->addWidget(m_htName, 1);
    htRow->addWidget(htButton);
    label(QStringLiteral("客    户："), m_htName, 2, 0);
    g->addWidget(htBox, 2, 1, 1, 3);
    m_shEmp = edit("edtSHemp", "t_FHrec", "F_SHemp");
    label(QStringLiteral("收 货 人："), m_shEmp, 2, 4);
    g->addWidget(m_shEmp, 2, 5);

    m_shAddress = edit("edtSHaddress", "t_FHrec", "F_SHaddress");
    label(QStringLiteral("收货地址："), m_shAddress, 3, 0);
    g->addWidget(m_shAddress, 3, 1, 1, 3);
    m_shPhone = edit("edtSHphone", "t_FHrec", "F_SHphone");
    label(QStringLiteral("收货电话："), m_shPhone, 3, 4);
    g->addWidget(m_shPhone, 3, 5);

    m_gdCode = edit("edtGDcode", "t_FHdetail", "F_GDcode");
    auto* gdBox = new QWidget(criteria());
    auto* gdRow = new QHBoxLayout(gdBox);
    gdRow->setContentsMargins(0, 0, 0, 0);
    gdRow->setSpacing(2);
    m_gdCodeButton = new QToolButton(gdBox);
    m_gdCodeButton->setObjectName(QStringLiteral("btnGoodsCode"));
    m_gdCodeButton->setText(QStringLiteral("…"));
    connect(m_gdCodeButton, &QToolButton::clicked, this, [this] { pickGoodsCode(); });
    PickerRegistry::bindButton(m_gdCodeButton, PickerRegistry::Goods);
    gdRow->addWidget(m_gdCode, 1);
    gdRow->addWidget(m_gdCodeButton);
    label(QStringLiteral("货品编号："), m_gdCode, 4, 0);
    g->addWidget(gdBox, 4, 1);
    m_gdName = edit("edtGDname", "t_FHdetail", "F_GDname");
    label(QStringLiteral("货品名称："), m_gdName, 4, 2);
    g->addWidget(m_gdName, 4, 3);
    m_gdType = new QComboBox(criteria());
    m_gdType->setObjectName(QStringLiteral("cbbGDtype"));
    m_gdType->setEditable(true);
    LimitToColumn(m_gdType->lineEdit(), QStringLiteral("t_FHdetail"), QStringLiteral("F_type"));
    if (dmData())
        m_gdType->addItems(QStringList{QString()} + CodePickList(ShipmentStore::kGoodsTypes));
    m_gdType->setCurrentText(QString());
    label(QStringLiteral("货品类型："), m_gdType, 4, 4);
    g->addWidget(m_gdType, 4, 5);
    for (int c : {1, 3, 5})
        g->setColumnStretch(c, 1);
}

ShipmentQueryCriteria TfrmOutXiaoShouDeptCX::queryCriteria() const
{
    ShipmentQueryCriteria c;
    c.fhFromTicked = m_fhFrom->isChecked();
    c.fhFrom = m_fhFrom->date();
    c.fhToTicked = m_fhTo->isChecked();
    c.fhTo = m_fhTo->date();
    c.shFromTicked = m_shFrom->isChecked();
    c.shFrom = m_shFrom->date();
    c.shToTicked = m_shTo->isChecked();
    c.shTo = m_shTo->date();
    c.fhEmp = m_fhEmp->currentText();
    c.oldCode = m_oldCode->text();
    c.contractName = m_htName->text();
    c.shEmp = m_shEmp->text();
    c.shPhone = m_shPhone->text();
    c.shAddress = m_shAddress->text();
    c.goodsCode = m_gdCode->text();
    c.goodsName = m_gdName->text();
    c.goodsType = m_gdType->currentText();
    return c;
}

bool TfrmOutXiaoShouDeptCX::query(QString* error)
{
    Database& db = dmData()->db();
    const SqlBuilder b = ShipmentStore::queryStatement(db.dialect(), queryCriteria());
    return grid()->open(db, b.sql(), b.params(), error);
}

void TfrmOutXiaoShouDeptCX::openManagement()
{
    OpenShipmentManagement(Clock::today(), QString(), this);
}

void TfrmOutXiaoShouDeptCX::openCurrentShipment()
{
    if (grid()->currentRow() < 0)
        return;
    const QDate day = StoredDate::parse(grid()->currentValue(QStringLiteral("F_editDate")));
    OpenShipmentManagement(day.isValid() ? day : Clock::today(),
                           grid()->currentValue(QStringLiteral("F_code")).toString(), this);
}

void TfrmOutXiaoShouDeptCX::pickContract()
{
    ContractHeader chosen;
    chosen.name = m_htName->text();
    if (SelectContract(-1, kSelectForShipmentQuery, &chosen, this) > 0)
        m_htName->setText(chosen.name);
}

void TfrmOutXiaoShouDeptCX::pickGoodsCode()
{
    const QString code = PickerRegistry::pickOne(PickerRegistry::Goods, m_gdCode->text(), this);
    if (!code.isEmpty())
        m_gdCode->setText(code);
}
