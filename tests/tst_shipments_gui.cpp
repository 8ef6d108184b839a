#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/GridLayoutStore.h"
#include "common/PickerRegistry.h"
#include "contracts/TDlgContractXz.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "shipments/ShipmentStore.h"
#include "shipments/TfrmHTFHedit.h"
#include "shipments/TfrmOutXiaoShouDeptCX.h"
#include "shipments/TFrmOutXiaoshouDeptGl.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QDate kToday(2024, 5, 20);

} // namespace

// The shipment management window, the shipment edit window of the main
// window's shipment page, and the shipment query.
class TstShipmentsGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Management window
    void managementCodesTotalsAndLines();
    void managementNeedsAContract();
    void positioning_data();
    void positioning();
    void modifyMovesToAnotherContract();
    void managementSaveFailureKeepsPendingLines();
    void deleteFailureChangesNothing();
    void cancelDropsPendingLines();
    // Edit window
    void editAddsShipmentWithContractGoods();
    void editWithoutContractGoodsRefusesPicking();
    void editSaveFailureKeepsPendingLines();
    void editModifyKeepsContractAndMark();
    // Query window
    void queryWindowListsAndOpensShipment();
    void goodsCodeButtonOnlyWhileRegistered();

    void screenshotsOnDemoData();

private:
    void addShipment(const QString& code, int cltID, const QString& editDate,
                     const QString& shDate = "1900-08-14");
    void addLine(const QString& code, const QString& goods, double amount, double price);
    int count(const QString& table, const QString& where = "1=1");
    QString value(const QString& sql, const SqlParams& params = {});
    // Answers the next contract selection dialog with the contract of the code.
    void chooseContractNext(const QString& code);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    // What the fake goods picker adds on each call, and the targets it saw.
    QList<GoodsLineValues> m_goods;
    QList<GoodsLineTarget> m_targets;
};

void TstShipmentsGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstShipmentsGui::init()
{
    Clock::setNow(QDateTime(kToday, QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO Contract(F_cltID, F_code, F_name, F_type, F_date, F_GCcode, F_GCname) "
        "VALUES(1, 'HT-1', '供货合同', '\\工程', '2024-01-02', 'GC1', '一号楼'), "
        "(2, 'HT-2', '维修合同', '\\维修', '2024-02-03', '', '')"));
    QVERIFY(
        m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode, F_GDname) VALUES(1, 'G1', '钢管')"));
    EstablishSession(*m_dm, "admin");
    m_goods = {{"G1", "钢管", "X型", "DN50", "米", 10}, {"G2", "钢板", "Y型", "5mm", "张", 2.5}};
    m_targets.clear();
    PickerRegistry::setGoodsLines([this](const GoodsLineTarget& target, QWidget*) {
        m_targets << target;
        for (const GoodsLineValues& g : m_goods)
            target.addLine(g);
    });
    m_ui->clear();
}

void TstShipmentsGui::cleanup()
{
    PickerRegistry::setGoodsLines({});
    PickerRegistry::set(PickerRegistry::Goods, {});
    closeModalWindows();
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

void TstShipmentsGui::addShipment(const QString& code, int cltID, const QString& editDate,
                                  const QString& shDate)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHrec(F_cltID, F_code, F_FHemp, F_FHdate, F_SHdate, "
                          "F_editDate, F_operName, F_mainID, F_totalPrice) VALUES(:c, :code, "
                          "'张三', :e, :sh, :e, '李四', -1, 0)",
                          {{":c", cltID}, {":code", code}, {":e", editDate}, {":sh", shDate}}));
}

void TstShipmentsGui::addLine(const QString& code, const QString& goods, double amount,
                              double price)
{
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_FHdetail(F_code, F_GDcode, F_GDname, F_amount, F_price, "
        "F_totalprice) VALUES(:c, :g, :g, :a, :p, :t)",
        {{":c", code}, {":g", goods}, {":a", amount}, {":p", price}, {":t", amount * price}}));
}

int TstShipmentsGui::count(const QString& table, const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
}

QString TstShipmentsGui::value(const QString& sql, const SqlParams& params)
{
    return m_dm->QueryString(sql, params);
}

void TstShipmentsGui::chooseContractNext(const QString& code)
{
    QTimer::singleShot(0, [code] {
        auto* d = qobject_cast<TDlgContractXz*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->codeEdit()->setText(code);
        d->findChild<QPushButton*>("btnOK")->click();
    });
}

// ---- Management window

void TstShipmentsGui::managementCodesTotalsAndLines()
{
    TFrmOutXiaoshouDeptGl w;
    w.show();
    QVERIFY(!w.isEditing());
    // An empty day shows a blank shipment with the code it would get.
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-001"));
    QVERIFY(!w.command("tbSave")->isEnabled());

    struct Step
    {
        QDate day;
        QString code;
    };
    const QList<Step> steps = {{kToday, "FH-20240520-001"},
                               {kToday, "FH-20240520-002"},
                               {kToday.addDays(1), "FH-20240521-001"}};
    for (const Step& step : steps) {
        Clock::setNow(QDateTime(step.day, QTime(10, 0)));
        w.command("tbAdd")->trigger();
        QVERIFY(w.isEditing());
        QCOMPARE(w.operNameEdit()->text(), QString("admin"));
        QCOMPARE(w.linesGrid()->model()->rowCount(), 1); // an empty line to start with
        chooseContractNext("HT-1");
        w.findChild<QPushButton*>("btnSelectContract")->click();
        QCOMPARE(w.contractNameEdit()->text(), QString("供货合同"));
        w.shipperBox()->setCurrentText("张三");
        // "增行" by the header picks goods as the name button does.
        w.findChild<QPushButton*>("btnAddLine")->click();
        RecordModel* lines = w.linesGrid()->model();
        QCOMPARE(lines->rowCount(), 3);
        lines->setValue(1, "F_amount", 3);  // 30
        lines->setValue(2, "F_amount", -2); // -5: a return
        QVERIFY(w.saveShipment());
        QVERIFY(!w.isEditing());
        QCOMPARE(w.codeEdit()->text(), step.code);
        const SqlParams code{{":c", step.code}};
        QCOMPARE(value("SELECT F_totalPrice FROM t_FHrec WHERE F_code = :c", code), QString("25"));
        QCOMPARE(value("SELECT F_operName FROM t_FHrec WHERE F_code = :c", code), QString("admin"));
        QCOMPARE(value("SELECT F_SHdate FROM t_FHrec WHERE F_code = :c", code),
                 QString("1900-08-14"));
        QCOMPARE(value("SELECT F_editDate FROM t_FHrec WHERE F_code = :c", code),
                 step.day.toString("yyyy-MM-dd"));
        QCOMPARE(value("SELECT count(*) FROM t_FHdetail WHERE F_code = :c", code), QString("2"));
        QCOMPARE(w.entryDateEdit()->date(), step.day);
        // The shown lines are the stored ones; the return is drawn red.
        QCOMPARE(lines->rowCount(), 2);
        QVERIFY(!lines->hasPendingChanges());
        const int ret = lines->findRow("F_GDcode", "G2");
        QCOMPARE(lines->data(lines->index(ret, 0), Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::red));
        QVERIFY(!lines->data(lines->index(1 - ret, 0), Qt::ForegroundRole).isValid());
        QCOMPARE(lines->columnSum(lines->columnOfField("F_totalPrice")), 25.0);
    }
    QCOMPARE(m_targets.size(), 3);
    QCOMPARE(m_targets.first().mode, int(GoodsLineTarget::ShipmentManagementLines));
    QCOMPARE(count("t_FHrec"), 3);
}

void TstShipmentsGui::managementNeedsAContract()
{
    TFrmOutXiaoshouDeptGl w;
    w.show();
    w.addShipment();
    w.shipperBox()->setCurrentText("张三");
    QVERIFY(!w.saveShipment());
    QCOMPARE(m_ui->lastText(), QString("合同名称不能为空！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QVERIFY(w.isEditing());
    QCOMPARE(count("t_FHrec"), 0);
}

void TstShipmentsGui::positioning_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QDate>("changedDay"); // invalid: no change
    QTest::addColumn<QString>("shown");
    const QDate d19(2024, 5, 19), d20(2024, 5, 20);
    QTest::newRow("no code: last row") << d19 << "" << QDate() << "FH-20240519-003";
    QTest::newRow("code of the day") << d19 << "FH-20240519-002" << QDate() << "FH-20240519-002";
    QTest::newRow("code after a date change elsewhere: first row")
        << d19 << "FH-20240519-002" << d20 << "FH-20240520-001";
    QTest::newRow("no code after a date change: last row") << d19 << "" << d20 << "FH-20240520-002";
    QTest::newRow("code after changing back to its day")
        << d20 << "FH-20240519-002" << d19 << "FH-20240519-002";
    QTest::newRow("empty day shows a blank") << d19 << "" << QDate(2024, 5, 1) << "FH-20240520-003";
}

void TstShipmentsGui::positioning()
{
    QFETCH(QDate, day);
    QFETCH(QString, position);
    QFETCH(QDate, changedDay);
    QFETCH(QString, shown);
    for (const char* code : {"FH-20240519-001", "FH-20240519-002", "FH-20240519-003"})
        addShipment(code, 1, "2024-05-19");
    for (const char* code : {"FH-20240520-001", "FH-20240520-002"})
        addShipment(code, 2, "2024-05-20");
    addLine("FH-20240519-002", "G1", 4, 1);
    TFrmOutXiaoshouDeptGl w;
    w.setEntryDate(day);
    w.setPositionCode(position);
    w.show();
    if (changedDay.isValid())
        w.entryDateEdit()->setDate(changedDay);
    QCOMPARE(w.codeEdit()->text(), shown);
    QCOMPARE(w.linesGrid()->model()->rowCount(), shown == "FH-20240519-002" ? 1 : 0);
    if (shown.startsWith("FH-20240519"))
        QCOMPARE(w.contractNameEdit()->text(), QString("供货合同"));
}

void TstShipmentsGui::modifyMovesToAnotherContract()
{
    addShipment("FH-20240520-001", 1, "2024-05-20", "2024-05-25");
    addLine("FH-20240520-001", "G1", 2, 5);
    TFrmOutXiaoshouDeptGl w;
    w.show();
    QVERIFY(w.receiptDateEdit()->isChecked());
    w.command("tbModify")->trigger();
    QVERIFY(w.isEditing());
    chooseContractNext("HT-2");
    w.pickContract();
    QCOMPARE(w.contractCodeEdit()->text(), QString("HT-2"));
    w.receiptDateEdit()->setChecked(false);
    QVERIFY(w.saveShipment());
    QCOMPARE(count("t_FHrec", "F_cltID = 2"), 1);
    QCOMPARE(count("t_FHrec"), 1);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 1);
    // The operator who entered it stays; the code stays.
    QCOMPARE(value("SELECT F_operName FROM t_FHrec"), QString("李四"));
    QCOMPARE(value("SELECT F_SHdate FROM t_FHrec"), QString("1900-08-14"));
    QCOMPARE(value("SELECT F_totalPrice FROM t_FHrec"), QString("10"));
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-001"));
    QCOMPARE(w.contractNameEdit()->text(), QString("维修合同"));
}

void TstShipmentsGui::managementSaveFailureKeepsPendingLines()
{
    TFrmOutXiaoshouDeptGl w;
    w.show();
    w.addShipment();
    chooseContractNext("HT-1");
    w.pickContract();
    w.shipperBox()->setCurrentText("张三");
    w.pickGoodsLines();
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER no_header BEFORE INSERT ON t_FHrec "
                          "BEGIN SELECT RAISE(ABORT, 'header refused'); END"));
    QVERIFY(!w.saveShipment());
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(m_ui->lastDetails().contains("header refused"));
    QCOMPARE(count("t_FHdetail"), 0);
    QCOMPARE(count("t_FHrec"), 0);
    QVERIFY(w.isEditing());
    QCOMPARE(w.linesGrid()->model()->rowCount(), 2);
    QVERIFY(w.linesGrid()->model()->hasPendingChanges());
    QVERIFY(m_dm->ExecSql("DROP TRIGGER no_header"));
    QVERIFY(w.saveShipment());
    QCOMPARE(count("t_FHdetail"), 2);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 2);
    QCOMPARE(count("t_FHrec"), 1);
}

void TstShipmentsGui::deleteFailureChangesNothing()
{
    addShipment("FH-20240520-001", 1, "2024-05-20");
    addShipment("FH-20240520-002", 1, "2024-05-20");
    addLine("FH-20240520-001", "G1", 1, 1);
    addLine("FH-20240520-002", "G1", 1, 1);
    addLine("FH-20240520-002", "G2", 1, 1);
    TFrmOutXiaoshouDeptGl w;
    w.show();
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-002"));
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER keep_header BEFORE DELETE ON t_FHrec "
                          "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    m_ui->queueAnswer(1);
    w.command("tbDelete")->trigger();
    QCOMPARE(m_ui->texts().value(0), QString("真的要删除当前合同发货单 FH-20240520-002吗？"));
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QCOMPARE(count("t_FHrec"), 2);
    QCOMPARE(count("t_FHdetail"), 3);
    QCOMPARE(w.linesGrid()->model()->rowCount(), 2);
    QVERIFY(m_dm->ExecSql("DROP TRIGGER keep_header"));
    m_ui->queueAnswer(2);
    w.deleteShipment();
    QCOMPARE(count("t_FHrec"), 2);
    m_ui->queueAnswer(1);
    w.deleteShipment();
    QCOMPARE(count("t_FHrec"), 1);
    QCOMPARE(count("t_FHdetail"), 1);
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-001"));
    QCOMPARE(w.dayList().rowCount(), 1);
}

void TstShipmentsGui::cancelDropsPendingLines()
{
    addShipment("FH-20240520-001", 1, "2024-05-20");
    addLine("FH-20240520-001", "G1", 1, 1);
    TFrmOutXiaoshouDeptGl w;
    w.show();
    w.modifyShipment();
    w.pickGoodsLines();
    QCOMPARE(w.linesGrid()->model()->rowCount(), 3);
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isEditing());
    QVERIFY(w.isVisible());
    QCOMPARE(w.linesGrid()->model()->rowCount(), 1);
    QCOMPARE(count("t_FHdetail"), 1);
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-001"));
    // In browse state Esc closes the window.
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

// ---- Edit window

void TstShipmentsGui::editAddsShipmentWithContractGoods()
{
    DataGrid shipments;
    shipments.setColumns(GridLayoutStore::builtColumns("detail8"));
    QVERIFY(shipments.open(m_dm->db(), ShipmentStore::contractListSql(),
                           ShipmentStore::contractListParams(1)));
    QSplitter home;
    auto* other = new QWidget(&home);
    home.addWidget(other);
    auto* lines = new DataGrid(&home);
    lines->setColumns(GridLayoutStore::builtColumns("detail81"));
    home.addWidget(lines);
    QVariantMap contract{{"F_cltID", 1}, {"F_code", "HT-1"}, {"F_name", "供货合同"}};
    {
        TfrmHTFHedit w(&shipments, lines, contract);
        w.prepare(SubRecordEdit::AddMode);
        w.show();
        QCOMPARE(w.windowTitle(), QString("合同发货记录 - 新增"));
        QVERIFY(!w.continuousAdd()->isChecked());
        QCOMPARE(w.codeEdit()->text(), QString("FH-20240520-001"));
        QVERIFY(w.isAncestorOf(lines));
        QVERIFY(lines->model()->isEditable());
        w.okButton()->click();
        QCOMPARE(m_ui->lastText(), QString("发货人不能为空！"));
        QCOMPARE(count("t_FHrec"), 0);
        w.shipperBox()->setCurrentText("张三");
        w.handPhoneEdit()->setText("13900000000");
        m_goods = {m_goods.first()};
        // The name cell's button.
        emit lines->cellButtonClicked(0, 1);
        QCOMPARE(m_targets.size(), 1);
        QCOMPARE(m_targets.first().mode, int(GoodsLineTarget::ShipmentEditLines));
        QCOMPARE(m_targets.first().contractId, qint64(1));
        w.findChild<QPushButton*>("btnAddLine")->click(); // an empty line: dropped
        QCOMPARE(lines->model()->rowCount(), 2);
        w.okButton()->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));
    }
    // The grid went back where it was, read-only again.
    QCOMPARE(lines->parentWidget(), &home);
    QCOMPARE(home.indexOf(lines), 1);
    QVERIFY(!lines->model()->isEditable());
    QCOMPARE(count("t_FHrec", "F_code = 'FH-20240520-001' AND F_cltID = 1 AND F_mainID = -1 "
                              "AND F_operName = 'admin' AND F_SHhandPhone = '13900000000' "
                              "AND F_SHdate = '1900-08-14' AND F_totalPrice = 10"),
             1);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001' AND F_GDcode = 'G1'"), 1);
    QCOMPARE(count("t_FHdetail"), 1);
    QCOMPARE(shipments.currentValue("F_code").toString(), QString("FH-20240520-001"));
    // The page shows an unset receipt date blank.
    QCOMPARE(shipments.model()->displayText(0, shipments.model()->columnOfField("F_SHdate")),
             QString());
}

void TstShipmentsGui::editWithoutContractGoodsRefusesPicking()
{
    DataGrid shipments, lines;
    lines.setColumns(GridLayoutStore::builtColumns("detail81"));
    TfrmHTFHedit w(&shipments, &lines, QVariantMap{{"F_cltID", 2}});
    w.prepare(SubRecordEdit::AddMode);
    w.pickGoodsLines();
    QCOMPARE(m_ui->lastText(), QString("此合同下没有待发货的合同货品，请查正后，再发货！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(m_targets.isEmpty());
    QCOMPARE(lines.model()->rowCount(), 0);
}

void TstShipmentsGui::editSaveFailureKeepsPendingLines()
{
    DataGrid shipments, lines;
    lines.setColumns(GridLayoutStore::builtColumns("detail81"));
    TfrmHTFHedit w(&shipments, &lines, QVariantMap{{"F_cltID", 1}}, nullptr, [&](QString* e) {
        return shipments.open(m_dm->db(), ShipmentStore::contractListSql(),
                              ShipmentStore::contractListParams(1), e);
    });
    w.prepare(SubRecordEdit::AddMode);
    w.show();
    w.shipperBox()->setCurrentText("张三");
    w.pickGoodsLines();
    QCOMPARE(lines.model()->rowCount(), 2);
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER no_header BEFORE INSERT ON t_FHrec "
                          "BEGIN SELECT RAISE(ABORT, 'header refused'); END"));
    w.okButton()->click();
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QVERIFY(w.isVisible());
    QCOMPARE(count("t_FHdetail"), 0);
    QCOMPARE(count("t_FHrec"), 0);
    QCOMPARE(lines.model()->rowCount(), 2);
    QVERIFY(lines.model()->hasPendingChanges());
    QVERIFY(m_dm->ExecSql("DROP TRIGGER no_header"));
    w.okButton()->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 2);
    QCOMPARE(count("t_FHdetail"), 2);
    QCOMPARE(count("t_FHrec"), 1);
}

void TstShipmentsGui::editModifyKeepsContractAndMark()
{
    addShipment("FH-20240519-001", 1, "2024-05-19", "2024-05-21");
    addLine("FH-20240519-001", "G1", 2, 5);
    QVERIFY(m_dm->ExecSql("UPDATE t_FHrec SET F_mainID = 7"));
    DataGrid shipments, lines;
    shipments.setColumns(GridLayoutStore::builtColumns("detail8"));
    lines.setColumns(GridLayoutStore::builtColumns("detail81"));
    QVERIFY(shipments.open(m_dm->db(), ShipmentStore::contractListSql(),
                           ShipmentStore::contractListParams(1)));
    TfrmHTFHedit w(&shipments, &lines, QVariantMap{{"F_cltID", 1}});
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(w.codeEdit()->text(), QString("FH-20240519-001"));
    QVERIFY(w.receiptDateEdit()->isChecked());
    QCOMPARE(w.receiptDateEdit()->date(), QDate(2024, 5, 21));
    QCOMPARE(lines.model()->rowCount(), 1);
    w.memoEdit()->setPlainText("改");
    w.pickGoodsLines();
    lines.model()->setValue(0, "F_amount", 3);
    w.okButton()->click();
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(count("t_FHrec", "F_cltID = 1 AND F_mainID = 7 AND F_memo1 = '改' AND "
                              "F_code = 'FH-20240519-001' AND F_operName = 'admin'"),
             1);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240519-001'"), 3);
    QCOMPARE(value("SELECT F_totalPrice FROM t_FHrec"), QString("27.5"));
}

// ---- Query window

void TstShipmentsGui::queryWindowListsAndOpensShipment()
{
    addShipment("FH-20240519-001", 1, "2024-05-19", "2024-05-21");
    addShipment("FH-20240519-002", 1, "2024-05-19");
    addShipment("FH-20240520-001", 2, "2024-05-20");
    addLine("FH-20240519-002", "01-A", 1, 1);
    QVERIFY(m_dm->ExecSql("UPDATE t_FHdetail SET F_type = 'X型'"));
    TfrmOutXiaoShouDeptCX w;
    w.show();
    QVERIFY(!w.command("tbFirst")->isEnabled());
    QCOMPARE(w.shippingFrom()->shownDate(), QDate(2024, 5, 1));
    QVERIFY(!w.shippingFrom()->isChecked());
    QVERIFY(w.requery());
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数/3"));
    QVERIFY(w.command("tbExport")->isEnabled());
    DataGrid* grid = w.grid();
    const int sh = grid->model()->columnOfField("F_SHdate");
    QCOMPARE(grid->model()->displayText(0, sh), QString("2024-05-21"));
    QCOMPARE(grid->model()->displayText(1, sh), QString());
    QCOMPARE(grid->model()->text(0, "F_GCname"), QString("一号楼"));

    // Title clicks start with the latest first, then turn round.
    QHeaderView* titles = grid->view()->horizontalHeader();
    const int code = grid->model()->columnOfField("F_code");
    emit titles->sectionClicked(code);
    QCOMPARE(grid->model()->text(0, "F_code"), QString("FH-20240520-001"));
    emit titles->sectionClicked(code);
    QCOMPARE(grid->model()->text(0, "F_code"), QString("FH-20240519-001"));

    w.goodsCodeEdit()->setText("01");
    w.goodsTypeBox()->setCurrentText("X");
    QVERIFY(w.requery());
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数/1"));
    QCOMPARE(grid->currentValue("F_code").toString(), QString("FH-20240519-002"));

    // A double click opens the management window on the shipment's day, on it.
    QString shown;
    QDate day;
    onModal([&](QWidget* modal) {
        auto* m = qobject_cast<TFrmOutXiaoshouDeptGl*>(modal);
        QVERIFY(m);
        shown = m->codeEdit()->text();
        day = m->entryDateEdit()->date();
        m->close();
    });
    emit grid->rowDoubleClicked(0);
    QCOMPARE(shown, QString("FH-20240519-002"));
    QCOMPARE(day, QDate(2024, 5, 19));

    // An empty result opens nothing.
    w.goodsCodeEdit()->setText("99");
    QVERIFY(w.requery());
    QCOMPARE(grid->model()->rowCount(), 0);
    w.openCurrentShipment();
    QVERIFY(!QApplication::activeModalWidget());
}

void TstShipmentsGui::goodsCodeButtonOnlyWhileRegistered()
{
    TfrmOutXiaoShouDeptCX w;
    QVERIFY(w.goodsCodeButton()->isHidden());
    PickerRegistry::set(PickerRegistry::Goods, [](const QString& current, QWidget*) {
        return QStringList{current + "7"};
    });
    QVERIFY(!w.goodsCodeButton()->isHidden());
    w.goodsCodeEdit()->setText("00012");
    w.goodsCodeButton()->click();
    QCOMPARE(w.goodsCodeEdit()->text(), QString("000127"));
    PickerRegistry::set(PickerRegistry::Goods, {});
    QVERIFY(w.goodsCodeButton()->isHidden());
}

void TstShipmentsGui::screenshotsOnDemoData()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    EstablishSession(*m_dm, "admin");
    const QString busiest = value("SELECT F_editDate FROM t_FHrec GROUP BY F_editDate "
                                  "ORDER BY count(*) DESC, F_editDate DESC LIMIT 1");
    const QString code =
        value("SELECT max(F_code) FROM t_FHrec WHERE F_editDate = :d", {{":d", busiest}});
    // A return on the shown shipment, drawn red.
    QVERIFY(m_dm->ExecSql("UPDATE t_FHdetail SET F_amount = -F_amount, F_totalprice = "
                          "-F_totalprice WHERE F_ID = (SELECT min(F_ID) FROM t_FHdetail WHERE "
                          "F_code = :c)",
                          {{":c", code}}));
    {
        TFrmOutXiaoshouDeptGl w;
        w.setEntryDate(QDate::fromString(busiest, Qt::ISODate));
        w.setPositionCode(code);
        w.resize(1000, 640);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The return stands on the first line: stand elsewhere to see it red.
        w.linesGrid()->setCurrentRow(w.linesGrid()->model()->rowCount() - 1);
        saveScreenshot(&w, "TFrmOutXiaoshouDeptGl");
        w.modifyShipment();
        saveScreenshot(&w, "TFrmOutXiaoshouDeptGl-edit");
    }
    {
        const int cltID =
            value("SELECT F_cltID FROM t_FHrec WHERE F_code = :c", {{":c", code}}).toInt();
        DataGrid contracts, shipments, lines;
        contracts.open(m_dm->db(), "SELECT * FROM Contract WHERE F_cltID = :c", {{":c", cltID}});
        shipments.setColumns(GridLayoutStore::builtColumns("detail8"));
        lines.setColumns(GridLayoutStore::builtColumns("detail81"));
        QVERIFY(shipments.open(m_dm->db(), ShipmentStore::contractListSql(),
                               ShipmentStore::contractListParams(cltID)));
        shipments.setCurrentRow(shipments.model()->findRow("F_code", code));
        QVERIFY(
            lines.open(m_dm->db(), ShipmentStore::linesSql(), ShipmentStore::linesParams(code)));
        TfrmHTFHedit w(&shipments, &lines, RecordValues(*contracts.model(), 0));
        w.prepare(SubRecordEdit::ModifyMode);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        lines.setCurrentRow(lines.model()->rowCount() - 1);
        saveScreenshot(&w, "TfrmHTFHedit");
    }
    {
        TfrmOutXiaoShouDeptCX w;
        w.resize(1100, 640);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.requery();
        saveScreenshot(&w, "TfrmOutXiaoShouDeptCX");
    }
}

QTEST_MAIN(TstShipmentsGui)
#include "tst_shipments_gui.moc"
