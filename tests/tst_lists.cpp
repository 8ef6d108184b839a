#include "common/MoneyWords.h"
#include "common/NumberText.h"
#include "common/RecordModel.h"
#include "common/RecordSet.h"
#include "data/TransactionGuard.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

#include <limits>

// The lists under every grid: reading, formats, order, footers, line edits.
class TstLists : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void moneyInWords_data();
    void moneyInWords();
    void numberFormats_data();
    void numberFormats();
    void readsEveryKind();
    void failedOpenLeavesTheModelEmpty();
    void modelIsConsistent();
    void sortsInMemory_data();
    void sortsInMemory();
    void sortKeepsSelectionOnTheSameRecords();
    void dateDisplayRules_data();
    void dateDisplayRules();
    void footers();
    void pendingLineEdits();
    void pendingEditsFailInsideTheCallersTransaction();
    void appendedRowReadsEmpty();
    void cancelDropsEverything();
    void unknownParameterIsAnError_data();
    void unknownParameterIsAnError();
    void parametersMatchWithoutCase_data();
    void parametersMatchWithoutCase();
    void bothWaysReadTheSame();
    void directReadingNeedsTheDriversSqlite_data();
    void directReadingNeedsTheDriversSqlite();
    void textOffsetsAre64Bit();

private:
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
    void addContract(int link, const QString& code, const QString& name, const QString& date,
                     double amount, const QString& endDate = "3000-08-14");
};

void TstLists::init()
{
    m_dir = new QTemporaryDir;
    makeContractDatabase(m_dir->path());
    m_db = new Database;
    QVERIFY(m_db->open(m_dir->filePath("Contract.db")));
}

void TstLists::cleanup()
{
    delete m_db;
    delete m_dir;
    RecordSet::setDirectReadingAllowed(true);
}

namespace {

// Rows straight from SQLite, or through QSqlQuery where that is not safe.
void bothWaysOfReading()
{
    QTest::addColumn<bool>("direct");
    QTest::newRow("straight from SQLite") << true;
    QTest::newRow("through QSqlQuery") << false;
}

} // namespace

void TstLists::addContract(int link, const QString& code, const QString& name, const QString& date,
                           double amount, const QString& endDate)
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_code, F_name, F_date, F_totalPrice, "
                       "F_beginDate, F_endDate, F_memo1) VALUES(:l, :c, :n, :d, :a, '1900-08-14', "
                       ":e, :m)",
                       {{":l", link},
                        {":c", code},
                        {":n", name},
                        {":d", date},
                        {":a", amount},
                        {":e", endDate},
                        {":m", QString("备注%1").arg(10 - link)}}));
}

void TstLists::moneyInWords_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("words");
    QTest::newRow("1234.56") << 1234.56 << "壹千贰佰叁拾肆元伍角陆分";
    QTest::newRow("100.50") << 100.50 << "壹佰零拾零元伍角零分";
    QTest::newRow("1000") << 1000.0 << "壹千零佰零拾零元整";
    QTest::newRow("0") << 0.0 << "零元整";
    QTest::newRow("5") << 5.0 << "伍元整";
    QTest::newRow("0.05") << 0.05 << "零元零角伍分";
    QTest::newRow("10.10") << 10.10 << "壹拾零元壹角零分";
    QTest::newRow("10^9") << 1e9 << "壹拾零亿零千零佰零拾零万零千零佰零拾零元整";
    QTest::newRow("rounded half away from zero") << 2.005 << "贰元零角壹分";
    QTest::newRow("largest") << 999999999999.99
                             << "玖千玖佰玖拾玖亿玖千玖佰玖拾玖万玖千玖佰玖拾玖元玖角玖分";
    QTest::newRow("negative") << -1234.56 << "负壹千贰佰叁拾肆元伍角陆分";
    QTest::newRow("negative whole") << -5.0 << "负伍元整";
    QTest::newRow("10^12 has no unit") << 1e12 << "";
    QTest::newRow("rounds up to 10^12") << 999999999999.999 << "";
    QTest::newRow("huge") << 1e300 << "";
    QTest::newRow("not a number") << std::nan("") << "";
}

void TstLists::moneyInWords()
{
    QFETCH(double, amount);
    QFETCH(QString, words);
    QCOMPARE(MoneyMinToBig(amount), words);
}

void TstLists::numberFormats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("money") << 1234567.5 << ",0.00"
                           << "1,234,567.50";
    QTest::newRow("money, 4 decimals") << 1234.5 << ",0.00##"
                                       << "1,234.50";
    QTest::newRow("money, 4 decimals used") << 1234.5678 << ",0.00##"
                                            << "1,234.5678";
    QTest::newRow("no decimals") << 1234.4 << ",0."
                                 << "1,234";
    QTest::newRow("optional decimals") << 3.0 << "0.##"
                                       << "3";
    QTest::newRow("optional decimals used") << 3.14159 << "0.##"
                                            << "3.14";
    QTest::newRow("negative") << -1234.5 << ",0.00"
                              << "-1,234.50";
    QTest::newRow("negative zero") << -0.001 << ",0.00"
                                   << "0.00";
    QTest::newRow("grouping written out with #") << 1234.5 << "#,##0.00"
                                                 << "1,234.50";
    QTest::newRow("plain") << 1000000.0 << ""
                           << "1000000";
    QTest::newRow("plain fraction") << 12.5 << ""
                                    << "12.5";
    QTest::newRow("plain without binary noise") << 1234567.891 << ""
                                                << "1234567.891";
    QTest::newRow("plain tiny") << 0.0001 << ""
                                << "0.0001";
    QTest::newRow("small") << 999.0 << ",0.00"
                           << "999.00";
}

void TstLists::numberFormats()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(FormatNumber(value, format), text);
}

void TstLists::readsEveryKind()
{
    QVERIFY(m_db->exec("INSERT INTO t_TPrec(F_cltID, F_FileName, F_HTimage) VALUES(3, '', :b)",
                       {{":b", QByteArray("\x00\x01\xff", 3)}}));
    QVERIFY(m_db->exec("INSERT INTO t_TPrec(F_cltID) VALUES(4)"));
    RecordSet rs;
    QString error;
    QVERIFY2(rs.load(*m_db,
                     "SELECT F_ID, F_cltID, F_FileName, F_HTimage, F_cltID * 1.5 AS half, "
                     "count(*) OVER () AS n FROM t_TPrec WHERE F_cltID >= :min ORDER BY F_ID",
                     {{":min", 3}}, &error),
             qPrintable(error));
    QCOMPARE(rs.rowCount(), 2);
    QCOMPARE(rs.fieldCount(), 6);
    QCOMPARE(rs.field(1).kind, RecordSet::Kind::Integer);
    QCOMPARE(rs.field(2).kind, RecordSet::Kind::Text);
    QCOMPARE(rs.field(3).kind, RecordSet::Kind::Blob);
    QCOMPARE(rs.field(4).kind, RecordSet::Kind::Real);
    QCOMPARE(rs.fieldIndex("f_filename"), 2);
    QCOMPARE(rs.integer(0, 1), 3);
    QVERIFY(!rs.isNull(0, 2)); // empty text is not "no value"
    QCOMPARE(rs.text(0, 2), QString(""));
    QVERIFY(rs.isNull(1, 2));
    QCOMPARE(rs.value(0, 3).toByteArray(), QByteArray("\x00\x01\xff", 3));
    QCOMPARE(rs.number(1, 4), 6.0);
    QCOMPARE(rs.text(0, 4), QStringLiteral("4.5"));
    QCOMPARE(rs.text(0, 5), QStringLiteral("2"));
    QVERIFY(rs.memoryBytes() > 0);
}

void TstLists::failedOpenLeavesTheModelEmpty()
{
    addContract(1, "A", "x", "2024-01-01", 1);
    RecordModel model;
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract"));
    QCOMPARE(model.rowCount(), 1);
    QString error;
    QVERIFY(!model.open(*m_db, "SELECT * FROM Contract WHERE nope = 1", {}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.isOpen());
}

void TstLists::modelIsConsistent()
{
    for (int i = 1; i <= 20; ++i)
        addContract(i, QString("HT%1").arg(i, 3, 10, QChar('0')), QString("合同%1").arg(i % 7),
                    QString("2024-01-%1").arg(i, 2, 10, QChar('0')), i * 10.5);
    RecordModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns({textColumn("F_code", "合同编号"), textColumn("F_name", "合同名称"),
                      sumColumn("F_totalPrice", "合同金额", 100, ",0.00"),
                      textColumn("F_endDate", "合同截止日期"), textColumn("F_GDflag", "归档")});
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract ORDER BY F_date"));
    model.sort(1, Qt::DescendingOrder);
    model.sortByText("f_totalprice DESC,");
    model.resetOrder();
    model.setEditable(true);
    model.appendRecord();
    model.setValue(20, "F_name", "新行");
    model.removeRows(3, 2);
    model.cancelPending();
    QCOMPARE(model.rowCount(), 20);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("合同名称"));
    QCOMPARE(model.data(model.index(0, 4), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    model.clear();
}

void TstLists::sortsInMemory_data()
{
    QTest::addColumn<QString>("sortText");
    QTest::addColumn<QStringList>("codes");
    // Names: A 丙, B 乙, C 乙, D 丁; 丁 (U+4E01) < 丙 (U+4E19) < 乙 (U+4E59).
    QTest::newRow("text ascending, stable") << "f_name ASC," << QStringList{"D", "A", "B", "C"};
    QTest::newRow("two keys") << "f_name ASC,f_date DESC," << QStringList{"D", "A", "C", "B"};
    QTest::newRow("date descending") << "F_DATE desc" << QStringList{"A", "D", "C", "B"};
    QTest::newRow("number") << "f_totalprice ASC," << QStringList{"D", "B", "A", "C"};
    QTest::newRow("unknown field keeps the order")
        << "f_nosuch ASC," << QStringList{"B", "C", "D", "A"};
}

void TstLists::sortsInMemory()
{
    QFETCH(QString, sortText);
    QFETCH(QStringList, codes);
    addContract(1, "A", "丙", "2024-04-01", 30);
    addContract(2, "B", "乙", "2024-01-01", 20);
    addContract(3, "C", "乙", "2024-02-01", 300);
    addContract(4, "D", "乙", "2024-03-01", 10);
    m_db->exec("UPDATE Contract SET F_name = '丁' WHERE F_code = 'D'");
    RecordModel model;
    model.setColumns({textColumn("F_code", "合同编号")});
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract ORDER BY F_date"));
    model.sortByText(sortText);
    QStringList got;
    for (int r = 0; r < model.rowCount(); ++r)
        got << model.text(r, "F_code");
    QCOMPARE(got, codes);
    model.resetOrder();
    QCOMPARE(model.text(0, "F_code"), QStringLiteral("B"));
}

void TstLists::sortKeepsSelectionOnTheSameRecords()
{
    addContract(1, "A", "x", "2024-01-01", 3);
    addContract(2, "B", "y", "2024-01-02", 1);
    addContract(3, "C", "z", "2024-01-03", 2);
    RecordModel model;
    model.setColumns({textColumn("F_code", "c"), textColumn("F_totalPrice", "a")});
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract ORDER BY F_date"));
    QPersistentModelIndex current = model.index(0, 0); // A
    model.sort(1, Qt::AscendingOrder);                 // B C A
    QCOMPARE(current.row(), 2);
    QCOMPARE(model.text(current.row(), "F_code"), QStringLiteral("A"));
}

void TstLists::dateDisplayRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no-date begin") << "F_beginDate"
                                   << "1900-08-14"
                                   << "";
    QTest::newRow("first shown begin") << "F_beginDate"
                                       << "1901-08-14"
                                       << "1901-08-14";
    QTest::newRow("just before") << "F_beginDate"
                                 << "1901-08-13"
                                 << "";
    QTest::newRow("open end") << "F_endDate"
                              << "3000-08-14"
                              << "";
    QTest::newRow("last shown end") << "F_endDate"
                                    << "2999-08-14"
                                    << "2999-08-14";
    QTest::newRow("just after") << "F_endDate"
                                << "2999-08-15"
                                << "";
    QTest::newRow("ordinary end") << "F_endDate"
                                  << "2025-06-30"
                                  << "2025-06-30";
    QTest::newRow("no-date end") << "F_endDate"
                                 << "1900-08-14"
                                 << "";
    QTest::newRow("custom date") << "F_RQ1"
                                 << "1900-08-14"
                                 << "";
    QTest::newRow("not a date column") << "F_ZF1"
                                       << "1900-08-14"
                                       << "1900-08-14";
}

void TstLists::dateDisplayRules()
{
    QFETCH(QString, field);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QVERIFY(m_db->exec(QString("INSERT INTO Contract(F_cltID, %1) VALUES(1, :v)").arg(field),
                       {{":v", stored}}));
    RecordModel model;
    model.setColumns({textColumn(field, "d")});
    model.setDateRule("F_endDate", RecordModel::BlankBefore1901 | RecordModel::BlankAfter2999);
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), shown);
    QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toString(), stored);
}

void TstLists::footers()
{
    addContract(1, "A", "x", "2024-01-01", 1234.5);
    addContract(2, "B", "y", "2024-01-02", 1000000);
    RecordModel model;
    QSignalSpy changed(&model, &RecordModel::footerChanged);
    GridColumn label = textColumn("F_code", "编号");
    label.footerType = GridColumn::FooterText;
    label.footerValue = "合计";
    model.setColumns(
        {label, sumColumn("F_totalPrice", "金额", 100, ",0.00"), textColumn("F_name", "名称")});
    QVERIFY(model.open(*m_db, "SELECT * FROM Contract"));
    QCOMPARE(model.footerText(0), QStringLiteral("合计"));
    QCOMPARE(model.footerText(1), QStringLiteral("1,001,234.50"));
    QCOMPARE(model.footerText(2), QString());
    QVERIFY(changed.count() > 0);
    // The sum follows edits.
    model.setEditable(true);
    model.setValue(0, "F_totalPrice", 0.5);
    QCOMPARE(model.footerText(1), QStringLiteral("1,000,000.50"));
    model.removeRows(1, 1);
    QCOMPARE(model.footerText(1), QStringLiteral("0.50"));
}

void TstLists::pendingLineEdits()
{
    for (const char* code : {"G1", "G2", "G3"})
        QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode, F_amount, F_price, "
                           "F_totalprice) VALUES(5, :c, 2, 10, 20)",
                           {{":c", QString::fromLatin1(code)}}));
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(6, 'OTHER')"));
    RecordModel model;
    GridColumns columns{textColumn("F_GDcode", "编号"), textColumn("F_amount", "数量"),
                        textColumn("F_price", "单价"), sumColumn("F_totalprice", "金额")};
    for (GridColumn& c : columns)
        c.readOnly = false;
    model.setColumns(columns);
    QVERIFY(
        model.open(*m_db, "SELECT * FROM t_GDrec WHERE F_cltID = :c ORDER BY F_ID", {{":c", 5}}));
    model.setEditable(true);
    model.setLineTotal("F_amount", "F_price", "F_totalprice");

    // Change G1's quantity: the amount follows.
    QVERIFY(model.setData(model.index(0, 1), 3));
    QCOMPARE(model.value(0, "F_totalprice").toDouble(), 30.0);
    QCOMPARE(model.changedFields(model.recordRow(0)), (QStringList{"F_amount", "F_totalprice"}));
    // Delete G2, add a new line.
    QVERIFY(model.removeRows(1, 1));
    const int row = model.appendRecord();
    model.setValue(row, "F_GDcode", "G4");
    model.setValue(row, "F_price", 2.5);
    model.setValue(row, "F_amount", 4);
    QCOMPARE(model.value(row, "F_totalprice").toDouble(), 10.0);
    QVERIFY(model.hasPendingChanges());
    // Nothing reaches the database before the batch write.
    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_GDrec WHERE F_cltID = 5").toInt(), 3);

    {
        TransactionGuard tx(*m_db);
        QString error;
        QVERIFY2(model.applyPending(*m_db, "t_GDrec", {{":F_cltID", 5}}, &error),
                 qPrintable(error));
        QVERIFY(tx.commit());
    }
    QSqlQuery q = m_db->prepare("SELECT F_GDcode, F_amount, F_totalprice FROM t_GDrec WHERE "
                                "F_cltID = 5 ORDER BY F_GDcode");
    QVERIFY(m_db->exec(q));
    QStringList rows;
    while (q.next())
        rows << QString("%1 %2 %3")
                    .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    QCOMPARE(rows, (QStringList{"G1 3 30", "G3 2 20", "G4 4 10"}));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM t_GDrec WHERE F_cltID = 6").toInt(), 1);
}

void TstLists::pendingEditsFailInsideTheCallersTransaction()
{
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(5, 'G1'), (5, 'G2')"));
    RecordModel model;
    model.setColumns({textColumn("F_GDcode", "编号")});
    QVERIFY(model.open(*m_db, "SELECT * FROM t_GDrec ORDER BY F_ID"));
    model.setEditable(true);
    model.removeRows(0, 1);
    model.setValue(0, "F_GDcode", "changed");
    m_db->setFailureInjector([](const QString& sql) { return sql.startsWith("UPDATE"); });
    {
        TransactionGuard tx(*m_db);
        QVERIFY(!model.applyPending(*m_db, "t_GDrec"));
    } // rolled back
    m_db->setFailureInjector({});
    QCOMPARE(m_db->scalar("SELECT group_concat(F_GDcode) FROM t_GDrec").toString(),
             QStringLiteral("G1,G2"));
}

void TstLists::appendedRowReadsEmpty()
{
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(5, 'G1')"));
    RecordModel model;
    model.setColumns({textColumn("F_GDcode", "编号"), sumColumn("F_amount", "数量")});
    QVERIFY(model.open(*m_db, "SELECT * FROM t_GDrec"));
    model.setEditable(true);
    const int row = model.appendRecord(); // nothing set on it yet
    QVERIFY(!model.value(row, "F_GDcode").isValid());
    QCOMPARE(model.text(row, "F_GDcode"), QString());
    QCOMPARE(model.data(model.index(row, 0)).toString(), QString());
    QCOMPARE(model.footerText(1), QStringLiteral("0"));
    model.sort(0, Qt::DescendingOrder);
    QCOMPARE(model.text(0, "F_GDcode"), QStringLiteral("G1"));
}

void TstLists::cancelDropsEverything()
{
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(5, 'G1'), (5, 'G2')"));
    RecordModel model;
    model.setColumns({textColumn("F_GDcode", "编号")});
    QVERIFY(model.open(*m_db, "SELECT * FROM t_GDrec ORDER BY F_ID"));
    model.setEditable(true);
    model.setValue(0, "F_GDcode", "X");
    model.removeRows(1, 1);
    model.appendRecord();
    model.cancelPending();
    QVERIFY(!model.hasPendingChanges());
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.text(0, "F_GDcode"), QStringLiteral("G1"));
    QCOMPARE(model.text(1, "F_GDcode"), QStringLiteral("G2"));
    // A read-only grid edits nothing.
    model.setEditable(false);
    QVERIFY(!model.setData(model.index(0, 0), "Y"));
}

void TstLists::unknownParameterIsAnError_data()
{
    bothWaysOfReading();
}

void TstLists::unknownParameterIsAnError()
{
    QFETCH(bool, direct);
    RecordSet::setDirectReadingAllowed(direct);
    addContract(1, "A", "x", "2024-01-01", 1);
    RecordSet rs;
    QString error;
    // A misspelt name would otherwise read as NULL and match nothing.
    QVERIFY(!rs.load(*m_db, "SELECT F_code FROM Contract WHERE F_cltID = :link", {{":lnk", 1}},
                     &error));
    QVERIFY2(error.contains(":lnk"), qPrintable(error));
    QCOMPARE(rs.rowCount(), 0);
    QVERIFY(rs.load(*m_db, "SELECT F_code FROM Contract WHERE F_cltID = :link", {{":link", 1}},
                    &error));
    QCOMPARE(rs.rowCount(), 1);
}

void TstLists::parametersMatchWithoutCase_data()
{
    bothWaysOfReading();
}

void TstLists::parametersMatchWithoutCase()
{
    QFETCH(bool, direct);
    RecordSet::setDirectReadingAllowed(direct);
    addContract(1, "A", "x", "2024-01-01", 1);
    addContract(2, "B", "y", "2024-01-01", 1);
    RecordSet rs;
    QString error;
    QVERIFY2(rs.load(*m_db, "SELECT F_code FROM Contract WHERE F_cltID = :cltID", {{":CLTID", 2}},
                     &error),
             qPrintable(error));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(0, 0), QStringLiteral("B"));
}

void TstLists::bothWaysReadTheSame()
{
    addContract(1, "A", "甲方合同", "2024-01-01", 12.5);
    addContract(2, "B", QString(), "2024-02-01", 0);
    QVERIFY(m_db->exec("INSERT INTO t_TPrec(F_cltID, F_FileName, F_HTimage) VALUES(1, 'p', :b)",
                       {{":b", QByteArray("\x00\x01\xff", 3)}}));
    const QString sql = "SELECT c.F_cltID, c.F_code, c.F_name, c.F_date, c.F_totalPrice, "
                        "t.F_HTimage FROM Contract AS c LEFT JOIN t_TPrec AS t ON t.F_cltID = "
                        "c.F_cltID WHERE c.F_cltID >= :min ORDER BY c.F_cltID";
    RecordSet direct, generic;
    QVERIFY(direct.load(*m_db, sql, {{":min", 1}}));
    RecordSet::setDirectReadingAllowed(false);
    QVERIFY(generic.load(*m_db, sql, {{":min", 1}}));
    QCOMPARE(generic.rowCount(), direct.rowCount());
    QCOMPARE(generic.fieldCount(), direct.fieldCount());
    for (int row = 0; row < direct.rowCount(); ++row) {
        for (int field = 0; field < direct.fieldCount(); ++field) {
            QCOMPARE(generic.isNull(row, field), direct.isNull(row, field));
            QCOMPARE(generic.text(row, field), direct.text(row, field));
        }
    }
}

void TstLists::directReadingNeedsTheDriversSqlite_data()
{
    QTest::addColumn<QByteArray>("handleType");
    QTest::addColumn<QString>("version");  // empty: the driver's own
    QTest::addColumn<QString>("sourceId"); // empty: the driver's own
    QTest::addColumn<bool>("usable");
    QTest::newRow("the driver's own SQLite") << QByteArray("sqlite3*") << ""
                                             << "" << true;
    QTest::newRow("another engine's handle") << QByteArray("PGconn*") << ""
                                             << "" << false;
    QTest::newRow("another SQLite version") << QByteArray("sqlite3*") << "3.7.17"
                                            << "" << false;
    QTest::newRow("another build of the version")
        << QByteArray("sqlite3*") << ""
        << "2013-05-20 00:56:22 118a3b35693b134d56ebd780123b7fd6f1497668" << false;
    QTest::newRow("no handle") << QByteArray() << ""
                               << "" << false;
}

void TstLists::directReadingNeedsTheDriversSqlite()
{
    QFETCH(QByteArray, handleType);
    QFETCH(QString, version);
    QFETCH(QString, sourceId);
    QFETCH(bool, usable);
    // What the driver reports of itself, asked through Qt.
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec("SELECT sqlite_version(), sqlite_source_id()") && q.next());
    if (version.isEmpty())
        version = q.value(0).toString();
    if (sourceId.isEmpty())
        sourceId = q.value(1).toString();
    QCOMPARE(RecordSet::canReadDirectly(handleType.isEmpty() ? nullptr : handleType.constData(),
                                        version, sourceId),
             usable);
}

void TstLists::textOffsetsAre64Bit()
{
    // Blocks of text beyond 4 GB cannot be made in a test; the type that
    // addresses them can be checked.
    QVERIFY(std::numeric_limits<RecordSet::TextOffset>::max() >= (qint64(1) << 62));
}

QTEST_GUILESS_MAIN(TstLists)
#include "tst_lists.moc"
