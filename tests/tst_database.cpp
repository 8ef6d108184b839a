#include "data/Database.h"
#include "data/Schema.h"
#include "data/TransactionGuard.h"
#include "platform/Clock.h"
#include "platform/CompactDatabase.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

// The engine seam: bound values, transactions, dialect pieces, compaction.
class TstDatabase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openNeverCreates();
    void createRefusesExistingFile();
    void usesWalJournalAndBusyTimeout();
    void boundValuesAreNeverSql_data();
    void boundValuesAreNeverSql();
    void datesAndBooleansBindInStoredForm();
    void emptyTextIsNotNull();
    void sameNameBoundTwice();
    void guardRollsBackUnlessCommitted();
    void nestedGuards();
    void injectedFailure();
    void guardTakesWriteLockFirst();
    void dialect_data();
    void dialect();
    void likeEscapingMatchesLiterally_data();
    void likeEscapingMatchesLiterally();
    void textComparesWithoutCase();
    void compactShrinksAndKeepsData();
    void compactFailsSafely();

private:
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
};

void TstDatabase::init()
{
    m_dir = new QTemporaryDir;
    makeContractDatabase(m_dir->path());
    m_db = new Database;
    QVERIFY(m_db->open(m_dir->filePath("Contract.db")));
}

void TstDatabase::cleanup()
{
    delete m_db;
    delete m_dir;
    Clock::reset();
}

void TstDatabase::openNeverCreates()
{
    Database db(QStringLiteral("other"));
    QString error;
    QVERIFY(!db.open(m_dir->filePath("missing.db"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(m_dir->filePath("missing.db")));
    QVERIFY(!db.open(m_dir->path())); // a folder
    QVERIFY(!db.isOpen());
}

void TstDatabase::createRefusesExistingFile()
{
    Database db(QStringLiteral("other"));
    QVERIFY(!db.create(m_dir->filePath("Contract.db")));
    QVERIFY(m_db->tableExists("Contract")); // untouched
}

void TstDatabase::usesWalJournalAndBusyTimeout()
{
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
    QVERIFY(q.exec("PRAGMA busy_timeout") && q.next());
    QVERIFY(q.value(0).toInt() >= 5000);
}

void TstDatabase::boundValuesAreNeverSql_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("injection") << "x'); DROP TABLE Contract; --";
    QTest::newRow("percent and backslash") << "50% \\ 完成";
    QTest::newRow("chinese") << "北京建设工程有限公司";
}

void TstDatabase::boundValuesAreNeverSql()
{
    QFETCH(QString, text);
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_name) VALUES(:id, :name)",
                       {{":id", 7}, {":name", text}}));
    bool ok = false;
    QCOMPARE(m_db->scalar("SELECT F_name FROM Contract WHERE F_name = :n", {{":n", text}}, &ok)
                 .toString(),
             text);
    QVERIFY(ok);
    QVERIFY(m_db->tableExists("Contract"));
}

void TstDatabase::datesAndBooleansBindInStoredForm()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_date, F_editDate, F_GDflag) "
                       "VALUES(1, :d, :t, :g)",
                       {{":d", QDate(2024, 3, 5)},
                        {":t", QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10))},
                        {":g", true}}));
    QSqlQuery q = m_db->prepare("SELECT F_date, F_editDate, F_GDflag FROM Contract");
    QVERIFY(m_db->exec(q));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("2024-03-05"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("2024-03-05 08:09:10"));
    QCOMPARE(q.value(2).toInt(), 1);
}

void TstDatabase::emptyTextIsNotNull()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_code, F_name) VALUES(1, :c, :n)",
                       {{":c", QString()}, {":n", QVariant()}}));
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract WHERE F_code = ''").toInt(), 1);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract WHERE F_name IS NULL").toInt(), 1);
}

void TstDatabase::sameNameBoundTwice()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_code, F_name) VALUES(:v, 'a', 'b')",
                       {{":v", 3}}));
    bool ok = false;
    const int n = m_db->scalar("SELECT count(*) FROM Contract WHERE F_cltID = :v OR F_ID = :v",
                               {{":v", 3}}, &ok)
                      .toInt();
    QVERIFY(ok);
    QCOMPARE(n, 1);
}

void TstDatabase::guardRollsBackUnlessCommitted()
{
    {
        TransactionGuard tx(*m_db);
        QVERIFY(tx.isActive());
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
    } // no commit
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 0);
    QCOMPARE(m_db->transactionDepth(), 0);
    {
        TransactionGuard tx(*m_db);
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(2)"));
        QVERIFY(tx.commit());
    }
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 1);
}

void TstDatabase::nestedGuards()
{
    {
        TransactionGuard outer(*m_db);
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
        {
            TransactionGuard inner(*m_db);
            QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(2)"));
            QVERIFY(inner.commit());
        }
        QVERIFY(outer.commit());
    }
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 2);
    {
        TransactionGuard outer(*m_db);
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(3)"));
        {
            TransactionGuard inner(*m_db); // fails: ends without commit
            QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(4)"));
        }
        QVERIFY(!outer.commit());
    }
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 2);
    QCOMPARE(m_db->transactionDepth(), 0);
}

void TstDatabase::injectedFailure()
{
    m_db->setFailureInjector([](const QString& sql) { return sql.contains("F_cltID) VALUES(2)"); });
    {
        TransactionGuard tx(*m_db);
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
        QString error;
        QVERIFY(!m_db->exec("INSERT INTO Contract(F_cltID) VALUES(2)", {}, &error));
        QVERIFY(!error.isEmpty());
    }
    m_db->setFailureInjector({});
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 0);

    // A failing commit rolls everything back too.
    m_db->setFailureInjector([](const QString& sql) { return sql == "COMMIT"; });
    {
        TransactionGuard tx(*m_db);
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
        QVERIFY(!tx.commit());
    }
    m_db->setFailureInjector({});
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 0);
}

void TstDatabase::guardTakesWriteLockFirst()
{
    // A second workstation cannot start a write while a guard is open.
    Database other(QStringLiteral("second"));
    QVERIFY(other.open(m_dir->filePath("Contract.db")));
    QSqlQuery(other.handle()).exec("PRAGMA busy_timeout=50");
    TransactionGuard tx(*m_db);
    QVERIFY(tx.isActive());
    TransactionGuard tx2(other);
    QVERIFY(!tx2.isActive());
    QVERIFY(!tx2.error().isEmpty());
    // Readers are not held up.
    bool ok = false;
    other.scalar("SELECT count(*) FROM Contract", {}, &ok);
    QVERIFY(ok);
}

void TstDatabase::dialect_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");
    const SqliteDialect d;
    Clock::setNow(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    QTest::newRow("date literal compares with stored dates")
        << QString("'2024-03-05' < %1").arg(d.dateLiteral(QDate(2024, 3, 6))) << QVariant(1);
    QTest::newRow("today from the clock") << d.today() << QVariant("2026-12-11");
    QTest::newRow("days between dates") << d.daysBetween(d.today(), "'2026-12-25'") << QVariant(14);
    QTest::newRow("days between, past, with time of day")
        << d.daysBetween("'2026-12-11 23:59:00'", "'2026-12-01 00:01:00'") << QVariant(-10);
    QTest::newRow("true") << d.boolLiteral(true) << QVariant(1);
    QTest::newRow("false") << d.boolLiteral(false) << QVariant(0);
    QTest::newRow("equals without case") << d.equalsNoCase("'empName'", "'EMPNAME'") << QVariant(1);
    QTest::newRow("like without case") << d.likeNoCase("'Contract'", "'con%'") << QVariant(1);
}

void TstDatabase::dialect()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);
    Clock::setNow(QDateTime(QDate(2026, 12, 11), QTime(10, 0)));
    bool ok = false;
    QString error;
    const QVariant v = m_db->scalar("SELECT " + expression, {}, &ok, &error);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(v.toString(), expected.toString());
}

void TstDatabase::likeEscapingMatchesLiterally_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("matches");
    QTest::newRow("percent") << "100%" << 1;
    QTest::newRow("underscore") << "a_b" << 1;
    QTest::newRow("backslash") << "c\\d" << 1;
    QTest::newRow("quote") << "O'B" << 1;
    QTest::newRow("plain") << "合同" << 2;
}

void TstDatabase::likeEscapingMatchesLiterally()
{
    QFETCH(QString, search);
    QFETCH(int, matches);
    for (const char* name : {"完成100%合同", "1000合同", "a_b", "axb", "c\\d", "O'Brien"})
        QVERIFY(m_db->exec("INSERT INTO Contract(F_name) VALUES(:n)", {{":n", name}}));
    const QString sql =
        "SELECT count(*) FROM Contract WHERE " + m_db->dialect().likeNoCase("F_name", ":p");
    QCOMPARE(m_db->scalar(sql, {{":p", "%" + SqlDialect::escapeLike(search) + "%"}}).toInt(),
             matches);
}

void TstDatabase::textComparesWithoutCase()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_code) VALUES('HT-abc')"));
    QCOMPARE(
        m_db->scalar("SELECT count(*) FROM Contract WHERE F_code = :c", {{":c", "ht-ABC"}}).toInt(),
        1);
}

void TstDatabase::compactShrinksAndKeepsData()
{
    const QString file = m_db->filePath();
    {
        TransactionGuard tx(*m_db);
        for (int i = 0; i < 3000; ++i)
            QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_memo1) VALUES(:i, :m)",
                               {{":i", i}, {":m", QString(400, QChar(0x5408))}}));
        QVERIFY(tx.commit());
    }
    QVERIFY(m_db->exec("DELETE FROM Contract WHERE F_cltID >= 10"));
    QSqlQuery(m_db->handle()).exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const qint64 before = QFileInfo(file).size();
    QString error;
    QVERIFY2(CompactDatabase(*m_db, &error), qPrintable(error));
    QVERIFY(QFileInfo(file).size() < before / 4);
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 10);
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(99)")); // still usable
}

void TstDatabase::compactFailsSafely()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
    {
        TransactionGuard tx(*m_db);
        QString error;
        QVERIFY(!CompactDatabase(*m_db, &error));
        QVERIFY(!error.isEmpty());
    }
    QCOMPARE(m_db->scalar("SELECT count(*) FROM Contract").toInt(), 1);

    Database closed(QStringLiteral("closed"));
    QVERIFY(!CompactDatabase(closed));

    // A damaged file: the check fails and the program is told so.
    QTemporaryDir dir;
    const QString path = makeContractDatabase(dir.path());
    {
        Database db(QStringLiteral("fill"));
        QVERIFY(db.open(path));
        QSqlQuery(db.handle()).exec("PRAGMA journal_mode=DELETE");
        TransactionGuard tx(db);
        for (int i = 0; i < 2000; ++i)
            db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(:i, 'x')", {{":i", i}});
        QVERIFY(tx.commit());
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(3 * 4096);
    f.write(QByteArray(4096, '\x5a'));
    f.close();
    Database damaged(QStringLiteral("damaged"));
    if (damaged.open(path)) {
        QString error;
        QVERIFY(!CompactDatabase(damaged, &error));
        QVERIFY(!error.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
