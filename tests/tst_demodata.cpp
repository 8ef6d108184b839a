#include "app/AdminCommands.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "maintenance/DemoData.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

class TstDemoData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void createsACompleteDatabase();
    void contractsAreNumberedOneToN();
    void referenceDataIsThere();
    void recordsBelongToExistingContracts_data();
    void recordsBelongToExistingContracts();
    void valuesComeFromReferenceData_data();
    void valuesComeFromReferenceData();
    void treesAreWellFormed();
    void datesAreIsoText_data();
    void datesAreIsoText();
    void noNullsWhereTheDemoWrites_data();
    void noNullsWhereTheDemoWrites();
    void textsFitTheirColumns_data();
    void textsFitTheirColumns();
    void amountsAddUp_data();
    void amountsAddUp();
    void datesAndMarksFollowTheConventions_data();
    void datesAndMarksFollowTheConventions();
    void shipmentCodesAreDatedSeries();
    void remindersFallDueSoon();
    void attachmentsAndScansHoldRealFiles();
    void sameSeedAndDayGiveTheSameContent();
    void largerDemoKeepsItsShape();
    void zeroContractsGivesReferenceDataOnly();
    void goodsAndClientTotals_data();
    void goodsAndClientTotals();
    void refusesAnExistingFile();
    void fillRefusesADatabaseWithContracts();
    void wrongUse_data();
    void wrongUse();

private:
    int count(const QString& sql);

    QTemporaryDir m_dir;
    QString m_folder;
    Database m_db{QStringLiteral("demo-test")};
};

namespace {

constexpr int kContracts = 50;
const QDate kToday(2025, 6, 16);

using Run = AdminRun;

Run admin(const QStringList& args)
{
    return runAdmin(args);
}

QString fileIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Contract.db"));
}

// A digest of every table's rows in F_ID order. The operator table is left
// out: its password hash carries a random salt.
QByteArray contentDigest(const QString& file)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    Database db(QStringLiteral("demo-digest"));
    if (!db.open(file))
        return {};
    for (const Schema::Table& t : Schema::tables()) {
        if (t.name == QLatin1String("OperList"))
            continue;
        const bool hasId = t.columns.first().type == Schema::ColumnType::Counter;
        QSqlQuery q =
            db.prepare(QStringLiteral("SELECT * FROM %1%2")
                           .arg(t.name, hasId ? QStringLiteral(" ORDER BY F_ID") : QString()));
        if (!db.exec(q))
            return {};
        hash.addData(t.name.toUtf8());
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i) {
                hash.addData(q.value(i).toByteArray());
                hash.addData(QByteArrayView("\x1f", 1));
            }
        }
    }
    return hash.result();
}

const char* const kRecordTables[] = {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec",
                                     "t_TPrec", "t_FJrec", "t_GDrec", "t_FHrec"};

} // namespace

int TstDemoData::count(const QString& sql)
{
    bool ok = false;
    QString error;
    const int n = m_db.scalar(sql, {}, &ok, &error).toInt();
    if (!ok)
        qWarning() << sql << error;
    return ok ? n : -1;
}

void TstDemoData::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Clock::setNow(QDateTime(kToday, QTime(9, 30)));
    m_folder = m_dir.filePath(QStringLiteral("demo"));
    const Run r =
        admin({"demo", m_folder, "--contracts", QString::number(kContracts), "--seed", "7"});
    QVERIFY2(r.rc == 0, qPrintable(r.err));
    QVERIFY(r.out.contains(QStringLiteral("Contract.db")));
    QVERIFY(m_db.open(fileIn(m_folder)));
}

void TstDemoData::cleanupTestCase()
{
    m_db.close();
    Clock::reset();
}

void TstDemoData::createsACompleteDatabase()
{
    QVERIFY(Schema::isContractDatabase(m_db));
    QCOMPARE(Schema::verify(m_db), QStringList());
    QCOMPARE(Schema::version(m_db), Schema::kCurrentVersion);
    // The speed settings of the fill do not stay behind.
    QCOMPARE(m_db.scalar("PRAGMA journal_mode").toString(), QStringLiteral("wal"));
    QCOMPARE(count("SELECT count(*) FROM OperList WHERE F_Name = 'admin'"), 1);
}

void TstDemoData::contractsAreNumberedOneToN()
{
    QCOMPARE(count("SELECT count(*) FROM Contract"), kContracts);
    QCOMPARE(count("SELECT count(DISTINCT F_cltID) FROM Contract"), kContracts);
    QCOMPARE(count("SELECT min(F_cltID) FROM Contract"), 1);
    QCOMPARE(count("SELECT max(F_cltID) FROM Contract"), kContracts);
    // Link numbers follow the signing dates, as for contracts entered when signed.
    QCOMPARE(count("SELECT count(*) FROM Contract a JOIN Contract b ON b.F_cltID = a.F_cltID + 1 "
                   "WHERE b.F_date < a.F_date"),
             0);
}

void TstDemoData::referenceDataIsThere()
{
    QCOMPARE(count("SELECT count(*) FROM SysInfo"), 1);
    QCOMPARE(m_db.scalar("SELECT F_Code FROM SysInfo").toString(), DemoData::companyName());
    QCOMPARE(count("SELECT count(*) FROM KeyValue"), 15);
    QVERIFY(count("SELECT count(*) FROM KeyValue WHERE F_Value <> ''") > 3);

    QVERIFY(count("SELECT count(*) FROM Client") >= 30);
    QCOMPARE(count("SELECT count(DISTINCT F_Code) FROM Client"),
             count("SELECT count(*) FROM Client"));
    QCOMPARE(count("SELECT count(DISTINCT F_Name) FROM Client"),
             count("SELECT count(*) FROM Client"));
    QCOMPARE(count("SELECT count(*) FROM Client WHERE F_Code NOT GLOB 'KH[0-9][0-9][0-9][0-9]*'"),
             0);
    QVERIFY(count("SELECT count(*) FROM Client WHERE F_useFlag = 1") > 0);

    QVERIFY(count("SELECT count(*) FROM GCitem") >= 10);
    QCOMPARE(count("SELECT count(DISTINCT F_code) FROM GCitem"),
             count("SELECT count(*) FROM GCitem"));
    QVERIFY(count("SELECT count(*) FROM t_GCdetail") > 0);

    QCOMPARE(count("SELECT count(*) FROM t_goods"), 200);
    QCOMPARE(count("SELECT count(DISTINCT F_code) FROM t_goods"), 200);
    QCOMPARE(m_db.scalar("SELECT min(F_code) FROM t_goods").toString(), QStringLiteral("000001"));
    QCOMPARE(m_db.scalar("SELECT max(F_code) FROM t_goods").toString(), QStringLiteral("000200"));
    QCOMPARE(count("SELECT count(*) FROM t_goods WHERE F_price <= 0"), 0);

    for (const char* list : {"empname", "dept", "fhemp", "gdtype", "txcaption", "caption"})
        QVERIFY2(count(QStringLiteral("SELECT count(*) FROM t_code WHERE F_type = '%1'")
                           .arg(QLatin1String(list))) > 0,
                 list);
    QVERIFY(count("SELECT count(*) FROM t_employee") > 0);
}

void TstDemoData::recordsBelongToExistingContracts_data()
{
    QTest::addColumn<QString>("table");
    for (const char* t : kRecordTables)
        QTest::newRow(t) << QString::fromLatin1(t);
}

void TstDemoData::recordsBelongToExistingContracts()
{
    QFETCH(QString, table);
    QVERIFY(count(QStringLiteral("SELECT count(*) FROM %1").arg(table)) > 0);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM %1 r WHERE NOT EXISTS (SELECT 1 FROM "
                                  "Contract c WHERE c.F_cltID = r.F_cltID)")
                       .arg(table)),
             0);
}

void TstDemoData::valuesComeFromReferenceData_data()
{
    QTest::addColumn<QString>("violations");
    auto row = [](const char* name, const char* sql) {
        QTest::newRow(name) << QString::fromUtf8(sql);
    };
    auto inList = [](const char* table, const char* column, const char* list) {
        return QStringLiteral("SELECT count(*) FROM %1 x WHERE NOT EXISTS (SELECT 1 FROM t_code "
                              "k WHERE k.F_type = '%3' AND k.F_name = x.%2)")
            .arg(QLatin1String(table), QLatin1String(column), QLatin1String(list));
    };
    auto inTree = [](const char* table, const char* column, const char* flag) {
        return QStringLiteral("SELECT count(*) FROM %1 x WHERE NOT EXISTS (SELECT 1 FROM "
                              "t_treecode t WHERE t.F_flag = '%3' AND t.F_likecode = x.%2)")
            .arg(QLatin1String(table), QLatin1String(column), QLatin1String(flag));
    };
    QTest::newRow("contract type path") << inTree("Contract", "F_type", "type");
    QTest::newRow("counterpart type path") << inTree("Client", "F_Type", "clttype");
    QTest::newRow("project type path") << inTree("GCitem", "F_type", "gctype");
    QTest::newRow("salesperson") << inList("Contract", "F_empname", "empname");
    QTest::newRow("department") << inList("Contract", "F_dept", "dept");
    QTest::newRow("status") << inList("Contract", "F_status", "status");
    QTest::newRow("currency") << inList("Contract", "F_priceunit", "priceunit");
    QTest::newRow("goods type") << inList("t_goods", "F_type", "gdtype");
    QTest::newRow("goods unit") << inList("t_goods", "F_unit", "unit");
    QTest::newRow("shipper") << inList("t_FHrec", "F_FHemp", "fhemp");
    QTest::newRow("reminder subject") << inList("t_TXrec", "F_caption", "txcaption");
    QTest::newRow("reminder time") << inList("t_TXrec", "F_awokeTime", "awoketime");
    QTest::newRow("changed item") << inList("t_BGrec", "F_BGitem", "bgitem");
    QTest::newRow("project nature") << inList("GCitem", "F_GCtype", "gctype");
    row("party A", "SELECT count(*) FROM Contract c WHERE NOT EXISTS (SELECT 1 FROM Client k "
                   "WHERE k.F_Name = c.F_client1)");
    row("party B", "SELECT count(*) FROM Contract c WHERE NOT EXISTS (SELECT 1 FROM Client k "
                   "WHERE k.F_Name = c.F_client2)");
    row("our company on the side the direction says",
        "SELECT count(*) FROM Contract c, SysInfo s WHERE NOT ((c.F_SFflag = 1 AND c.F_client2 = "
        "s.F_Code AND c.F_client1 <> s.F_Code) OR (c.F_SFflag = -1 AND c.F_client1 = s.F_Code "
        "AND c.F_client2 <> s.F_Code))");
    row("project of a contract", "SELECT count(*) FROM Contract c WHERE c.F_GCcode <> '' AND NOT "
                                 "EXISTS (SELECT 1 FROM GCitem g WHERE g.F_code = c.F_GCcode AND "
                                 "g.F_name = c.F_GCname)");
    row("project of a document", "SELECT count(*) FROM t_GCdetail d WHERE NOT EXISTS (SELECT 1 "
                                 "FROM GCitem g WHERE g.F_code = d.F_GCcode)");
    row("salespeople and shippers are employees",
        "SELECT count(*) FROM t_code k WHERE k.F_type IN ('empname', 'fhemp') AND NOT EXISTS "
        "(SELECT 1 FROM t_employee e WHERE e.F_name = k.F_name)");
    row("contract goods copied from the goods list",
        "SELECT count(*) FROM t_GDrec x WHERE NOT EXISTS (SELECT 1 FROM t_goods g WHERE g.F_code "
        "= x.F_GDcode AND g.F_name = x.F_GDname AND g.F_type = x.F_type AND g.F_spec = x.F_spec "
        "AND g.F_unit = x.F_unit)");
    row("shipped goods copied from the goods list",
        "SELECT count(*) FROM t_FHdetail x WHERE NOT EXISTS (SELECT 1 FROM t_goods g WHERE "
        "g.F_code = x.F_GDcode AND g.F_name = x.F_GDname AND g.F_type = x.F_type AND g.F_spec = "
        "x.F_spec AND g.F_unit = x.F_unit)");
    row("shipped goods are goods of the contract",
        "SELECT count(*) FROM t_FHdetail d JOIN t_FHrec f ON f.F_code = d.F_code WHERE NOT "
        "EXISTS (SELECT 1 FROM t_GDrec g WHERE g.F_cltID = f.F_cltID AND g.F_GDcode = "
        "d.F_GDcode)");
    row("approver", "SELECT count(*) FROM Contract WHERE F_SHemp NOT IN ('', 'admin')");
    row("direction", "SELECT count(*) FROM Contract WHERE F_SFflag NOT IN (1, -1)");
}

void TstDemoData::valuesComeFromReferenceData()
{
    QFETCH(QString, violations);
    QCOMPARE(count(violations), 0);
}

void TstDemoData::treesAreWellFormed()
{
    for (const char* flag : {"type", "clttype", "gctype", "dept"})
        QVERIFY2(count(QStringLiteral("SELECT count(*) FROM t_treecode WHERE F_flag = '%1'")
                           .arg(QLatin1String(flag))) > 0,
                 flag);
    QVERIFY(count("SELECT count(*) FROM t_treecode WHERE F_flag = 'type' AND length(F_code) = 6") >
            0);
    QCOMPARE(count("SELECT count(*) FROM t_treecode WHERE length(F_code) % 3 <> 0 OR F_code NOT "
                   "GLOB '[0-9]*' OR F_code GLOB '*[^0-9]*'"),
             0);
    QCOMPARE(count("SELECT count(*) FROM (SELECT F_flag, F_code FROM t_treecode GROUP BY F_flag, "
                   "F_code HAVING count(*) > 1)"),
             0);
    // Level one: two backslashes and the name; below: the parent's path, one
    // backslash, the name.
    QCOMPARE(count("SELECT count(*) FROM t_treecode WHERE length(F_code) = 3 AND F_likecode <> "
                   "'\\\\' || F_name"),
             0);
    QCOMPARE(count("SELECT count(*) FROM t_treecode t WHERE length(t.F_code) > 3 AND NOT EXISTS "
                   "(SELECT 1 FROM t_treecode p WHERE p.F_flag = t.F_flag AND p.F_code = "
                   "substr(t.F_code, 1, length(t.F_code) - 3) AND t.F_likecode = p.F_likecode || "
                   "'\\' || t.F_name)"),
             0);
}

void TstDemoData::datesAreIsoText_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    for (const Schema::Table& t : Schema::tables()) {
        for (const Schema::Column& c : t.columns) {
            if (c.type == Schema::ColumnType::DateTime)
                QTest::newRow(qPrintable(t.name + QLatin1Char('.') + c.name)) << t.name << c.name;
        }
    }
    QTest::newRow("t_TXrec.F_editDate (text)") << "t_TXrec"
                                               << "F_editDate";
}

void TstDemoData::datesAreIsoText()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    const QString day = QStringLiteral("[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]");
    const QString time = QStringLiteral(" [0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    // Entry times of execution records and reminders carry the time of day.
    const bool stamped = (table == QLatin1String("t_ZXrec") || table == QLatin1String("t_TXrec")) &&
                         column == QLatin1String("F_editDate");
    const QString pattern = stamped ? day + time : day;
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL OR typeof(%2) <> "
                                  "'text' OR %2 NOT GLOB '%3' OR date(substr(%2, 1, 10)) IS NULL "
                                  "OR date(substr(%2, 1, 10)) <> substr(%2, 1, 10)")
                       .arg(table, column, pattern)),
             0);
}

void TstDemoData::noNullsWhereTheDemoWrites_data()
{
    QTest::addColumn<QString>("table");
    for (const char* t : kRecordTables)
        QTest::newRow(t) << QString::fromLatin1(t);
    for (const char* t : {"Contract", "t_FHdetail", "Client", "GCitem", "t_GCdetail", "t_goods",
                          "t_code", "t_treecode", "t_employee", "SysInfo"})
        QTest::newRow(t) << QString::fromLatin1(t);
}

// Screens compare with '' and the no-date value; a NULL matches neither.
void TstDemoData::noNullsWhereTheDemoWrites()
{
    QFETCH(QString, table);
    for (const Schema::Column& c : Schema::findTable(table)->columns) {
        QVERIFY2(
            count(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL").arg(table, c.name)) ==
                0,
            qPrintable(c.name));
    }
}

void TstDemoData::textsFitTheirColumns_data()
{
    QTest::addColumn<QString>("table");
    for (const Schema::Table& t : Schema::tables())
        QTest::newRow(qPrintable(t.name)) << t.name;
}

void TstDemoData::textsFitTheirColumns()
{
    QFETCH(QString, table);
    for (const Schema::Column& c : Schema::findTable(table)->columns) {
        if (c.type != Schema::ColumnType::Text || c.width <= 0)
            continue;
        QVERIFY2(count(QStringLiteral("SELECT count(*) FROM %1 WHERE length(%2) > %3")
                           .arg(table, c.name)
                           .arg(c.width)) == 0,
                 qPrintable(c.name));
    }
}

void TstDemoData::amountsAddUp_data()
{
    QTest::addColumn<QString>("violations");
    QTest::newRow("contract goods line = quantity * price")
        << "SELECT count(*) FROM t_GDrec WHERE F_amount <= 0 OR F_price <= 0 OR "
           "abs(F_totalprice - F_amount * F_price) > 0.005";
    QTest::newRow("shipment line = quantity * price")
        << "SELECT count(*) FROM t_FHdetail WHERE F_amount <= 0 OR F_price <= 0 OR "
           "abs(F_totalprice - F_amount * F_price) > 0.005";
    QTest::newRow("shipment total = sum of its lines")
        << "SELECT count(*) FROM t_FHrec f WHERE abs(f.F_totalPrice - (SELECT "
           "coalesce(sum(d.F_totalprice), 0) FROM t_FHdetail d WHERE d.F_code = f.F_code)) > "
           "0.005";
    QTest::newRow("every shipment has lines")
        << "SELECT count(*) FROM t_FHrec f WHERE NOT EXISTS (SELECT 1 FROM t_FHdetail d WHERE "
           "d.F_code = f.F_code)";
    QTest::newRow("goods contract amount = sum of its goods lines")
        << "SELECT count(*) FROM Contract c JOIN (SELECT F_cltID, sum(F_totalprice) AS s FROM "
           "t_GDrec GROUP BY F_cltID) g ON g.F_cltID = c.F_cltID WHERE abs(c.F_totalPrice - g.s) "
           "> 0.01";
    QTest::newRow("receivables add up to the contract amount")
        << "SELECT count(*) FROM Contract c WHERE abs(c.F_totalPrice - (SELECT "
           "coalesce(sum(F_YSprice), 0) FROM t_SKrec s WHERE s.F_cltID = c.F_cltID)) > 0.01";
    QTest::newRow("no more shipped than sold")
        << "SELECT count(*) FROM (SELECT f.F_cltID, d.F_GDcode, sum(d.F_amount) AS shipped FROM "
           "t_FHdetail d JOIN t_FHrec f ON f.F_code = d.F_code GROUP BY f.F_cltID, d.F_GDcode) x "
           "WHERE x.shipped > (SELECT sum(g.F_amount) FROM t_GDrec g WHERE g.F_cltID = x.F_cltID "
           "AND g.F_GDcode = x.F_GDcode)";
    QTest::newRow("amounts positive")
        << "SELECT (SELECT count(*) FROM Contract WHERE F_totalPrice <= 0) + (SELECT count(*) "
           "FROM t_SKrec WHERE F_YSprice <= 0 OR F_SKprice < 0 OR F_KPprice < 0 OR F_SKprice > "
           "F_YSprice)";
}

void TstDemoData::amountsAddUp()
{
    QFETCH(QString, violations);
    QCOMPARE(count(violations), 0);
}

void TstDemoData::datesAndMarksFollowTheConventions_data()
{
    QTest::addColumn<QString>("violations");
    QTest::addColumn<QString>("examples");
    QTest::newRow("receipts: not yet received")
        << "SELECT count(*) FROM t_SKrec WHERE F_SKdate = '1900-08-14' AND F_SKprice <> 0"
        << "SELECT count(*) FROM t_SKrec WHERE F_SKdate = '1900-08-14'";
    QTest::newRow("receipts: received")
        << "SELECT count(*) FROM t_SKrec WHERE F_SKdate <> '1900-08-14' AND (F_SKprice <= 0 OR "
           "F_SKdate > '2025-06-16')"
        << "SELECT count(*) FROM t_SKrec WHERE F_SKdate <> '1900-08-14'";
    QTest::newRow("changes: approved")
        << "SELECT count(*) FROM t_BGrec WHERE F_PZemp <> '' AND (F_PZemp <> 'admin' OR "
           "F_PZdate = '1900-08-14' OR F_PZdate < F_STdate)"
        << "SELECT count(*) FROM t_BGrec WHERE F_PZemp = 'admin'";
    QTest::newRow("changes: awaiting approval")
        << "SELECT count(*) FROM t_BGrec WHERE F_PZemp = '' AND F_PZdate <> '1900-08-14'"
        << "SELECT count(*) FROM t_BGrec WHERE F_PZemp = ''";
    QTest::newRow("contracts: approved")
        << "SELECT count(*) FROM Contract WHERE F_SHemp NOT IN ('', 'admin')"
        << "SELECT count(*) FROM Contract WHERE F_SHemp = 'admin'";
    QTest::newRow("contracts: archived only when over")
        << "SELECT count(*) FROM Contract WHERE F_GDflag = 1 AND (F_status IN ('执行中', "
           "'未生效') OR F_endDate >= '2025-06-16' OR F_GDpath = '')"
        << "SELECT count(*) FROM Contract WHERE F_GDflag = 1";
    QTest::newRow("contracts: signed by today, then begun, then ended")
        << "SELECT count(*) FROM Contract WHERE F_date > '2025-06-16' OR (F_beginDate <> "
           "'1900-08-14' AND F_beginDate < F_date) OR F_endDate <= F_beginDate"
        << "SELECT count(*) FROM Contract";
    QTest::newRow("contracts: receipt and payment")
        << "SELECT count(*) FROM Contract WHERE F_SFflag NOT IN (1, -1)"
        << "SELECT min((SELECT count(*) FROM Contract WHERE F_SFflag = 1), (SELECT count(*) FROM "
           "Contract WHERE F_SFflag = -1))";
    QTest::newRow("execution: done by today")
        << "SELECT count(*) FROM t_ZXrec WHERE F_ZXdate > '2025-06-16' OR substr(F_editDate, 1, "
           "10) <> F_ZXdate"
        << "SELECT count(*) FROM t_ZXrec";
}

void TstDemoData::datesAndMarksFollowTheConventions()
{
    QFETCH(QString, violations);
    QFETCH(QString, examples);
    QCOMPARE(count(violations), 0);
    QVERIFY(count(examples) > 0);
}

void TstDemoData::shipmentCodesAreDatedSeries()
{
    QCOMPARE(count("SELECT count(*) FROM t_FHrec"), count("SELECT count(DISTINCT F_code) FROM "
                                                          "t_FHrec"));
    QCOMPARE(count("SELECT count(*) FROM t_FHdetail d WHERE NOT EXISTS (SELECT 1 FROM t_FHrec f "
                   "WHERE f.F_code = d.F_code)"),
             0);
    QCOMPARE(count("SELECT count(*) FROM t_FHrec WHERE F_mainID <> -1"), 0);

    const QRegularExpression form(QStringLiteral("^FH-(\\d{8})-(\\d{3})$"));
    QHash<QString, QList<int>> byDay;
    QSqlQuery q = m_db.prepare("SELECT F_code, F_FHdate FROM t_FHrec");
    QVERIFY(m_db.exec(q));
    while (q.next()) {
        const QString code = q.value(0).toString();
        const QRegularExpressionMatch m = form.match(code);
        QVERIFY2(m.hasMatch(), qPrintable(code));
        QCOMPARE(m.captured(1), q.value(1).toString().remove(QLatin1Char('-')));
        byDay[m.captured(1)] << m.captured(2).toInt();
    }
    QVERIFY(!byDay.isEmpty());
    // Each day's numbers run 001, 002 ... without gaps.
    for (auto it = byDay.begin(); it != byDay.end(); ++it) {
        QList<int> seq = it.value();
        std::sort(seq.begin(), seq.end());
        for (int i = 0; i < seq.size(); ++i)
            QCOMPARE(seq.at(i), i + 1);
    }
}

void TstDemoData::remindersFallDueSoon()
{
    // What the reminder board's third page lists with a window of 14 days.
    QVERIFY(count("SELECT count(*) FROM t_TXrec t JOIN Contract c ON c.F_cltID = t.F_cltID "
                  "WHERE c.F_GDflag = 0 AND t.F_awokeDate BETWEEN '2025-06-16' AND "
                  "'2025-06-30'") > 0);
    QVERIFY(count("SELECT count(*) FROM t_TXrec WHERE F_awokeDate < '2025-06-16'") > 0);
}

void TstDemoData::attachmentsAndScansHoldRealFiles()
{
    QSqlQuery scans = m_db.prepare("SELECT F_FileExt, F_HTimage, F_FileName FROM t_TPrec");
    QVERIFY(m_db.exec(scans));
    int n = 0;
    while (scans.next()) {
        ++n;
        const QString ext = scans.value(0).toString();
        QVERIFY2(ext == QLatin1String(".jpg") || ext == QLatin1String(".bmp"), qPrintable(ext));
        const QByteArray bytes = scans.value(1).toByteArray();
        QVERIFY(bytes.size() < 200 * 1024);
        QImage image;
        QVERIFY(image.loadFromData(bytes, ext == QLatin1String(".bmp") ? "BMP" : "JPG"));
        QVERIFY(image.width() > 50 && image.height() > 50);
        QVERIFY(!scans.value(2).toString().isEmpty());
    }
    QVERIFY(n > 0);

    QSqlQuery files = m_db.prepare("SELECT f.F_fileOLE, f.F_fileExt, c.F_code FROM t_FJrec f "
                                   "JOIN Contract c ON c.F_cltID = f.F_cltID");
    QVERIFY(m_db.exec(files));
    n = 0;
    while (files.next()) {
        ++n;
        const QByteArray bytes = files.value(0).toByteArray();
        QCOMPARE(files.value(1).toString(), QStringLiteral(".txt"));
        QVERIFY(!bytes.isEmpty());
        const QString text = QString::fromUtf8(bytes);
        QCOMPARE(text.toUtf8(), bytes);
        QVERIFY(text.contains(files.value(2).toString()));
    }
    QVERIFY(n > 0);
}

void TstDemoData::sameSeedAndDayGiveTheSameContent()
{
    const QByteArray first = contentDigest(fileIn(m_folder));
    QVERIFY(!first.isEmpty());

    QTemporaryDir dir;
    const QString same = dir.filePath("same");
    QCOMPARE(admin({"demo", same, "--contracts", QString::number(kContracts), "--seed", "7"}).rc,
             0);
    QCOMPARE(contentDigest(fileIn(same)), first);

    const QString other = dir.filePath("other");
    QCOMPARE(admin({"demo", other, "--contracts", QString::number(kContracts), "--seed", "8"}).rc,
             0);
    QVERIFY(contentDigest(fileIn(other)) != first);

    // Dates follow today: a demo made a week later is another demo.
    Clock::setNow(QDateTime(kToday.addDays(7), QTime(9, 30)));
    const QString later = dir.filePath("later");
    const Run r = admin({"demo", later, "--contracts", QString::number(kContracts), "--seed", "7"});
    Clock::setNow(QDateTime(kToday, QTime(9, 30)));
    QCOMPARE(r.rc, 0);
    QVERIFY(contentDigest(fileIn(later)) != first);
}

void TstDemoData::largerDemoKeepsItsShape()
{
    QTemporaryDir dir;
    const int n = 3000;
    QCOMPARE(admin({"demo", dir.path(), "--contracts", QString::number(n)}).rc, 0);
    Database db(QStringLiteral("demo-large"));
    QVERIFY(db.open(fileIn(dir.path())));
    auto scalar = [&](const char* sql) { return db.scalar(QString::fromLatin1(sql)).toInt(); };
    QCOMPARE(scalar("SELECT count(DISTINCT F_cltID) FROM Contract"), n);
    QCOMPARE(scalar("SELECT count(*) FROM Client"), n / 20);
    QCOMPARE(scalar("SELECT count(*) FROM GCitem"), n / 50);
    QCOMPARE(scalar("SELECT count(*) FROM t_FHrec"), scalar("SELECT count(DISTINCT F_code) FROM "
                                                            "t_FHrec"));
    QCOMPARE(scalar("SELECT count(*) FROM t_FHdetail d WHERE NOT EXISTS (SELECT 1 FROM t_FHrec "
                    "f WHERE f.F_code = d.F_code)"),
             0);
    // About ten records a contract, and only a few with stored files.
    int records = 0;
    for (const char* t : kRecordTables)
        records +=
            db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t))).toInt();
    records += scalar("SELECT count(*) FROM t_FHdetail");
    QVERIFY2(records > 7 * n && records < 14 * n, qPrintable(QString::number(records)));
    const int files = scalar("SELECT count(*) FROM t_FJrec");
    QVERIFY(files > 0 && files <= n / 100);
    QVERIFY(scalar("SELECT count(*) FROM t_TPrec") <= n / 100);
    QVERIFY(QFileInfo(fileIn(dir.path())).size() < 20 * 1024 * 1024);
}

void TstDemoData::zeroContractsGivesReferenceDataOnly()
{
    QTemporaryDir dir;
    QCOMPARE(admin({"demo", dir.path(), "--contracts", "0"}).rc, 0);
    Database db(QStringLiteral("demo-empty"));
    QVERIFY(db.open(fileIn(dir.path())));
    QCOMPARE(db.scalar("SELECT count(*) FROM Contract").toInt(), 0);
    QCOMPARE(db.scalar("SELECT count(*) FROM t_SKrec").toInt(), 0);
    QVERIFY(db.scalar("SELECT count(*) FROM Client").toInt() >= 30);
    QCOMPARE(db.scalar("SELECT count(*) FROM t_goods").toInt(), 200);
}

void TstDemoData::goodsAndClientTotals_data()
{
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("clients");
    QTest::addColumn<int>("goodsTotal");
    QTest::addColumn<int>("clientsTotal");
    // The defaults: 200 goods, at least 30 counterparts.
    QTest::newRow("usual counts given") << "200"
                                        << "30" << 200 << 30;
    QTest::newRow("more of both") << "260"
                                  << "45" << 260 << 45;
    QTest::newRow("more goods only") << "1000"
                                     << "" << 1000 << 30;
}

void TstDemoData::goodsAndClientTotals()
{
    QFETCH(QString, goods);
    QFETCH(QString, clients);
    QFETCH(int, goodsTotal);
    QFETCH(int, clientsTotal);
    QTemporaryDir dir;
    QStringList args{"demo", dir.path(), "--contracts", QString::number(kContracts), "--seed", "7"};
    if (!goods.isEmpty())
        args << "--goods" << goods;
    if (!clients.isEmpty())
        args << "--clients" << clients;
    const Run r = admin(args);
    QVERIFY2(r.rc == 0, qPrintable(r.err));
    Database db(QStringLiteral("demo-totals"));
    QVERIFY(db.open(fileIn(dir.path())));
    QCOMPARE(db.scalar("SELECT count(*) FROM t_goods").toInt(), goodsTotal);
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_code) FROM t_goods").toInt(), goodsTotal);
    QCOMPARE(db.scalar("SELECT max(F_code) FROM t_goods").toString(),
             QString::number(goodsTotal).rightJustified(6, '0'));
    QCOMPARE(db.scalar("SELECT count(*) FROM Client").toInt(), clientsTotal);
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_code) FROM Client").toInt(), clientsTotal);
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_Name) FROM Client").toInt(), clientsTotal);

    // The extra rows come after the contracts: the contracts, their lines
    // and the first goods and counterparts are those of the usual demo.
    m_db.exec("ATTACH DATABASE :f AS other", {{":f", fileIn(dir.path())}});
    for (const char* sql :
         {"SELECT F_cltID, F_code, F_name, F_client1, F_client2, F_totalPrice FROM %1Contract",
          "SELECT F_cltID, F_GDcode, F_GDname, F_amount, F_price FROM %1t_GDrec",
          "SELECT F_code, F_name, F_type, F_price FROM %1t_goods WHERE F_ID <= 200",
          "SELECT F_code, F_Name FROM %1Client WHERE F_ID <= 30"}) {
        const QString mine = QString::fromLatin1(sql).arg(QString());
        const QString theirs = QString::fromLatin1(sql).arg("other.");
        QCOMPARE(
            m_db.scalar(QString("SELECT count(*) FROM (%1 EXCEPT %2)").arg(mine, theirs)).toInt(),
            0);
        QCOMPARE(m_db.scalar(QString("SELECT count(*) FROM (%1)").arg(theirs)).toInt(),
                 m_db.scalar(QString("SELECT count(*) FROM (%1)").arg(mine)).toInt());
    }
    m_db.exec("DETACH DATABASE other");
}

void TstDemoData::refusesAnExistingFile()
{
    const QByteArray before = contentDigest(fileIn(m_folder));
    const Run r = admin({"demo", m_folder, "--contracts", "5"});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains(QStringLiteral("不覆盖")));
    QCOMPARE(contentDigest(fileIn(m_folder)), before);

    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    QCOMPARE(admin({"demo", dir.path()}).rc, 1);
}

void TstDemoData::fillRefusesADatabaseWithContracts()
{
    QString error;
    QVERIFY(!DemoData::fill(m_db, {}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(count("SELECT count(*) FROM Contract"), kContracts);

    QTemporaryDir dir;
    Database db(QStringLiteral("demo-negative"));
    QVERIFY(db.create(fileIn(dir.path())) && Schema::createTables(db));
    DemoData::Options negative;
    negative.contracts = -1;
    QVERIFY(!DemoData::fill(db, negative, &error));
    QCOMPARE(db.scalar("SELECT count(*) FROM Client").toInt(), 0);
}

void TstDemoData::wrongUse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no folder") << QStringList{"demo"};
    QTest::newRow("only options") << QStringList{"demo", "--contracts", "5"};
    QTest::newRow("contracts not a number") << QStringList{"demo", "<dir>", "--contracts", "many"};
    QTest::newRow("contracts negative") << QStringList{"demo", "<dir>", "--contracts", "-5"};
    QTest::newRow("contracts fractional") << QStringList{"demo", "<dir>", "--contracts", "2.5"};
    QTest::newRow("contracts without value") << QStringList{"demo", "<dir>", "--contracts"};
    QTest::newRow("seed not a number") << QStringList{"demo", "<dir>", "--seed", "x"};
    QTest::newRow("goods negative") << QStringList{"demo", "<dir>", "--goods", "-1"};
    QTest::newRow("goods without value") << QStringList{"demo", "<dir>", "--goods"};
    QTest::newRow("clients not a number") << QStringList{"demo", "<dir>", "--clients", "x"};
    QTest::newRow("clients below the company and one of each kind")
        << QStringList{"demo", "<dir>", "--clients", "3"};
    QTest::newRow("unknown option") << QStringList{"demo", "<dir>", "--frobnicate"};
    QTest::newRow("two folders") << QStringList{"demo", "<dir>", "<dir>/b"};
}

void TstDemoData::wrongUse()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    args.replaceInStrings(QStringLiteral("<dir>"), dir.path());
    const Run r = admin(args);
    QCOMPARE(r.rc, 2);
    QVERIFY(r.err.contains(QStringLiteral("demo")));
    QVERIFY(!QFileInfo::exists(fileIn(dir.path())));
}

QTEST_GUILESS_MAIN(TstDemoData)
#include "tst_demodata.moc"
