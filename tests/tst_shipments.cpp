#include "common/RecordModel.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "shipments/ShipmentStore.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <QTest>

#include <tuple>

Q_DECLARE_METATYPE(ShipmentQueryCriteria)

// The shipment store without windows: codes, the save of header and lines,
// the delete, and the shipment query.
class TstShipments : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void codesPerDay_data();
    void codesPerDay();
    void saveWritesLinesThenHeader();
    void failedHeaderKeepsPendingLines();
    void deleteIsAllOrNothing();
    void query_data();
    void query();

private:
    void openLines(RecordModel& lines, const QString& code = QString());
    int count(const QString& table, const QString& where = "1=1");
    QStringList queried(const ShipmentQueryCriteria& c);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstShipments::init()
{
    Clock::setNow(QDateTime(QDate(2024, 5, 20), QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    Session.OperName = "admin";
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_GCcode, F_GCname) "
                          "VALUES(1, 'HT-1', '供货合同', 'GC1', '一号楼'), "
                          "(2, 'HT-2', '维修合同', '', '')"));
}

void TstShipments::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

void TstShipments::openLines(RecordModel& lines, const QString& code)
{
    QVERIFY(lines.open(m_dm->db(), ShipmentStore::linesSql(),
                       code.isEmpty() ? ShipmentStore::noLinesParams()
                                      : ShipmentStore::linesParams(code)));
    lines.setEditable(true);
    // As the goods grid keeps each line's amount.
    lines.setLineTotal("F_amount", "F_price", "F_totalprice");
}

int TstShipments::count(const QString& table, const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
}

void TstShipments::codesPerDay_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first of the day") << QStringList{} << QDate(2024, 5, 20) << "FH-20240520-001";
    QTest::newRow("second of the day")
        << QStringList{"FH-20240520-001"} << QDate(2024, 5, 20) << "FH-20240520-002";
    QTest::newRow("next day starts again") << QStringList{"FH-20240520-001", "FH-20240520-002"}
                                           << QDate(2024, 5, 21) << "FH-20240521-001";
    QTest::newRow("other days do not count") << QStringList{"FH-20240519-007", "FH-20240521-003"}
                                             << QDate(2024, 5, 20) << "FH-20240520-001";
}

void TstShipments::codesPerDay()
{
    QFETCH(QStringList, existing);
    QFETCH(QDate, day);
    QFETCH(QString, expected);
    for (const QString& code : existing)
        QVERIFY(
            m_dm->ExecSql("INSERT INTO t_FHrec(F_cltID, F_code) VALUES(1, :c)", {{":c", code}}));
    Clock::setNow(QDateTime(day, QTime(10, 0)));
    // Saved through the store: the code is taken when the shipment is saved.
    RecordModel lines;
    openLines(lines);
    Shipment s;
    s.cltID = 1;
    s.code = "FH-shown-before";
    s.fhDate = day;
    QVERIFY(ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::Management));
    QCOMPARE(s.code, expected);
    QCOMPARE(m_dm->QueryString("SELECT F_editDate FROM t_FHrec WHERE F_ID = :id", {{":id", s.id}}),
             day.toString("yyyy-MM-dd"));
    QCOMPARE(count("t_FHrec", "F_code = '" + expected + "'"), 1);
}

void TstShipments::saveWritesLinesThenHeader()
{
    RecordModel lines;
    openLines(lines);
    for (const auto& [code, amount, price] :
         {std::tuple{"01", 2.0, 10.5}, std::tuple{"", 0.0, 0.0}, std::tuple{"02", -1.0, 3.0}}) {
        const int row = lines.appendRecord();
        lines.setValue(row, "F_GDcode", QString::fromLatin1(code));
        lines.setValue(row, "F_price", price);
        lines.setValue(row, "F_amount", amount);
    }
    ShipmentStore::dropEmptyLines(&lines);
    QCOMPARE(lines.rowCount(), 2);
    Shipment s;
    s.cltID = 1;
    s.fhDate = QDate(2024, 5, 18);
    s.oldCode = "  V1 ";
    s.memo1 = " 备注 ";
    s.shDateGiven = false;
    s.shDate = QDate(2024, 5, 19);
    s.operName = "admin";
    QVERIFY(ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::EditWindow));
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 2);
    QSqlQuery q;
    QVERIFY(m_dm->OpenQuery("SELECT F_totalPrice, F_SHdate, F_OLDcode, F_memo1, F_mainID, "
                            "F_operName, F_FHdate FROM t_FHrec WHERE F_ID = :id",
                            q, {{":id", s.id}}));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toDouble(), 2 * 10.5 - 3.0);
    QCOMPARE(q.value(1).toString(), QString("1900-08-14"));
    QCOMPARE(q.value(2).toString(), QString("V1"));
    QCOMPARE(q.value(3).toString(), QString(" 备注 "));
    QCOMPARE(q.value(4).toInt(), -1);
    QCOMPARE(q.value(5).toString(), QString("admin"));
    QCOMPARE(q.value(6).toString(), QString("2024-05-18"));

    // Modify in the management window moves it to another contract; the
    // edit window never does.
    openLines(lines, s.code);
    s.cltID = 2;
    QVERIFY(ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::EditWindow));
    QCOMPARE(count("t_FHrec", "F_cltID = 1"), 1);
    QVERIFY(ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::Management));
    QCOMPARE(count("t_FHrec", "F_cltID = 2"), 1);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 2);
}

void TstShipments::failedHeaderKeepsPendingLines()
{
    RecordModel lines;
    openLines(lines);
    for (const char* code : {"01", "02"}) {
        const int row = lines.appendRecord();
        lines.setValue(row, "F_GDcode", QString::fromLatin1(code));
    }
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER no_header BEFORE INSERT ON t_FHrec "
                          "BEGIN SELECT RAISE(ABORT, 'header refused'); END"));
    Shipment s;
    s.cltID = 1;
    s.code = "FH-preview";
    QString error;
    QVERIFY(!ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::Management, &error));
    QVERIFY2(error.contains("header refused"), qPrintable(error));
    QCOMPARE(count("t_FHdetail"), 0);
    QCOMPARE(count("t_FHrec"), 0);
    QCOMPARE(s.code, QString("FH-preview"));
    QCOMPARE(s.id, 0);
    QVERIFY(lines.hasPendingChanges());
    QCOMPARE(lines.rowCount(), 2);

    QVERIFY(m_dm->ExecSql("DROP TRIGGER no_header"));
    QVERIFY(ShipmentStore::save(m_dm->db(), &s, &lines, ShipmentWriter::Management, &error));
    QCOMPARE(count("t_FHdetail"), 2);
    QCOMPARE(count("t_FHdetail", "F_code = 'FH-20240520-001'"), 2);
    QCOMPARE(count("t_FHrec"), 1);
}

void TstShipments::deleteIsAllOrNothing()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHrec(F_cltID, F_code) VALUES(1, 'FH-A'), (1, 'FH-B')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code, F_GDcode) VALUES('FH-A', '1'), "
                          "('FH-A', '2'), ('FH-B', '3')"));
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER keep_header BEFORE DELETE ON t_FHrec "
                          "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    QString error;
    QVERIFY(!ShipmentStore::deleteShipment(m_dm->db(), "FH-A", &error));
    QCOMPARE(count("t_FHdetail"), 3);
    QCOMPARE(count("t_FHrec"), 2);
    QVERIFY(m_dm->ExecSql("DROP TRIGGER keep_header"));
    QVERIFY(ShipmentStore::deleteShipment(m_dm->db(), "FH-A", &error));
    QCOMPARE(count("t_FHdetail"), 1);
    QCOMPARE(count("t_FHrec", "F_code = 'FH-B'"), 1);
    QCOMPARE(count("t_FHrec"), 1);
}

QStringList TstShipments::queried(const ShipmentQueryCriteria& c)
{
    const SqlBuilder b = ShipmentStore::queryStatement(m_dm->db().dialect(), c);
    RecordModel m;
    QString error;
    if (!m.open(m_dm->db(), b.sql(), b.params(), &error)) {
        qWarning() << error;
        return {"failed"};
    }
    QStringList codes;
    for (int r = 0; r < m.rowCount(); ++r)
        codes << m.text(r, "F_code");
    return codes;
}

void TstShipments::query_data()
{
    QTest::addColumn<ShipmentQueryCriteria>("criteria");
    QTest::addColumn<QStringList>("expected");
    auto with = [](auto set) {
        ShipmentQueryCriteria c;
        set(c);
        return c;
    };
    QTest::newRow("nothing set") << ShipmentQueryCriteria() << QStringList{"A", "B", "C", "D"};
    QTest::newRow("code 01 and type X on one line") << with([](auto& c) {
        c.goodsCode = "01";
        c.goodsType = "X";
    }) << QStringList{"A"};
    QTest::newRow("code 01") << with([](auto& c) { c.goodsCode = " 01 "; })
                             << QStringList{"A", "B"};
    QTest::newRow("lineless never match a goods name")
        << with([](auto& c) { c.goodsName = "管"; }) << QStringList{"A", "D"};
    QTest::newRow("receipt from drops unset dates") << with([](auto& c) {
        c.shFromTicked = true;
        c.shFrom = QDate(1900, 1, 1);
    }) << QStringList{"A", "C"};
    QTest::newRow("receipt to drops unset dates") << with([](auto& c) {
        c.shToTicked = true;
        c.shTo = QDate(2024, 5, 31);
    }) << QStringList{"A"};
    QTest::newRow("shipping range") << with([](auto& c) {
        c.fhFromTicked = true;
        c.fhFrom = QDate(2024, 5, 2);
        c.fhToTicked = true;
        c.fhTo = QDate(2024, 5, 3);
    }) << QStringList{"B", "C"};
    QTest::newRow("quote in shipper") << with([](auto& c) { c.fhEmp = "'"; }) << QStringList{"A"};
    QTest::newRow("percent in voucher")
        << with([](auto& c) { c.oldCode = "%"; }) << QStringList{"D"};
    QTest::newRow("underscore in address")
        << with([](auto& c) { c.shAddress = "a_b"; }) << QStringList{"B"};
    QTest::newRow("percent in goods name")
        << with([](auto& c) { c.goodsName = "%"; }) << QStringList{"D"};
    QTest::newRow("contract name starts")
        << with([](auto& c) { c.contractName = "维修"; }) << QStringList{"C", "D"};
    QTest::newRow("consignee starts") << with([](auto& c) { c.shEmp = "王"; }) << QStringList{"B"};
    QTest::newRow("phone starts") << with([](auto& c) { c.shPhone = "139"; }) << QStringList{"C"};
}

void TstShipments::query()
{
    QFETCH(ShipmentQueryCriteria, criteria);
    QFETCH(QStringList, expected);
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_FHrec(F_cltID, F_code, F_FHemp, F_FHdate, F_SHemp, F_SHdate, "
        "F_SHaddress, F_SHphone, F_OLDcode) VALUES "
        "(1, 'A', 'O''Neil', '2024-05-01', '李四', '2024-05-10', 'axb', '138', 'V-1'),"
        "(1, 'B', '张三', '2024-05-02', '王五', '1900-08-14', 'a_b', '137', 'V-2'),"
        "(2, 'C', '张三', '2024-05-03', '赵六', '2024-06-01', 'axb', '139', 'V-3'),"
        "(2, 'D', '张三', '2024-05-04', '钱七', '1900-08-14', '', '', '50%off')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code, F_GDcode, F_GDname, F_type) VALUES "
                          "('A', '01-1', '钢管', 'X型'), ('A', '02', '钢板', 'Y型'),"
                          "('B', '01-2', '水泥', 'Y型'), ('B', '03', '砂', 'X型'),"
                          "('D', '04', '管件100%', 'Z型')"));
    QCOMPARE(queried(criteria), expected);
}

QTEST_GUILESS_MAIN(TstShipments)
#include "tst_shipments.moc"
