#include "data/Backup.h"
#include "data/CompactDatabase.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TransactionGuard.h"
#include "platform/Clock.h"
#include "support/ReadOnlyFolder.h"
#include "support/TestSupport.h"

#include <QDir>
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
    void unpreparedStatementIsNeverRun();
    void everyStatementMeetsTheInjector();
    void parameterNames_data();
    void parameterNames();
    void plainReasons_data();
    void plainReasons();
    void refusedFileIsNotWritten();
    void readOnlyFolderIsReadOnly();
    void newFileIsSelfContained();
    void backupLeavesOtherFilesAlone_data();
    void backupLeavesOtherFilesAlone();

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

void TstDatabase::unpreparedStatementIsNeverRun()
{
    QString error;
    QSqlQuery bad = m_db->prepare("SELEC F_name FROM Contract", {}, &error);
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!m_db->exec(bad, &error));
    // The reason is the preparation's, not the driver's "no query".
    QVERIFY2(error.contains("syntax error"), qPrintable(error));

    QSqlQuery never(m_db->handle());
    QVERIFY(!m_db->exec(never, &error));
    QVERIFY(!error.isEmpty());

    // A prepared query runs again after a failure of its own.
    QVERIFY(m_db->exec("CREATE UNIQUE INDEX once ON Contract(F_cltID)"));
    QSqlQuery add = m_db->prepare("INSERT INTO Contract(F_cltID) VALUES(:v)", {{":v", 1}});
    QVERIFY(m_db->exec(add));
    add.bindValue(":v", 1);
    QVERIFY(!m_db->exec(add));
    add.bindValue(":v", 2);
    QVERIFY(m_db->exec(add, &error));
}

void TstDatabase::everyStatementMeetsTheInjector()
{
    QStringList seen;
    m_db->setFailureInjector([&](const QString& sql) {
        seen << sql;
        return false;
    });
    QVERIFY(CompactDatabase(*m_db));
    {
        TransactionGuard tx(*m_db);
        QVERIFY(tx.commit());
    }
    QVERIFY(seen.contains("PRAGMA integrity_check"));
    QVERIFY(seen.contains("VACUUM"));
    QVERIFY(seen.contains(m_db->dialect().beginWrite()));
    QVERIFY(seen.contains("COMMIT"));

    // So a test can make compaction fail at either step.
    for (const QString failing : {"VACUUM", "PRAGMA integrity_check"}) {
        m_db->setFailureInjector([&](const QString& sql) { return sql == failing; });
        QString error;
        QVERIFY2(!CompactDatabase(*m_db, &error), qPrintable(failing));
        QVERIFY(!error.isEmpty());
    }
    m_db->setFailureInjector([](const QString& sql) { return sql.startsWith("BEGIN"); });
    TransactionGuard tx(*m_db);
    QVERIFY(!tx.isActive());
    m_db->setFailureInjector({});
}

void TstDatabase::parameterNames_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("plain") << "SELECT * FROM t WHERE a = :a AND b = :b_2"
                           << QStringList{":a", ":b_2"};
    QTest::newRow("once each") << "SELECT :v WHERE x = :v OR y = :V" << QStringList{":v"};
    QTest::newRow("quoted text") << "SELECT ':no' || \":nor\" || [x:y] FROM t WHERE a = :yes"
                                 << QStringList{":yes"};
    QTest::newRow("doubled quote") << "SELECT 'it''s :no' WHERE a = :yes" << QStringList{":yes"};
    QTest::newRow("comments") << "SELECT 1 -- :no\n/* :nor */ WHERE a = :yes"
                              << QStringList{":yes"};
    QTest::newRow("cast") << "SELECT a::text FROM t WHERE b = :b" << QStringList{":b"};
    QTest::newRow("chinese name") << "SELECT :合同" << QStringList{":合同"};
}

void TstDatabase::parameterNames()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, names);
    QCOMPARE(Database::parameterNames(sql), names);
}

void TstDatabase::plainReasons_data()
{
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a database") << "file is not a database Unable to execute statement"
                                    << "文件不是数据库";
    QTest::newRow("damaged") << "database disk image is malformed Unable to fetch row"
                             << "数据库文件已损坏";
    QTest::newRow("busy") << "database is locked Unable to begin transaction"
                          << "数据库正被其他程序使用";
    QTest::newRow("our own text") << "数据表 Contract 缺少关键字段 F_ID\n详细"
                                  << "数据表 Contract 缺少关键字段 F_ID";
    QTest::newRow("unknown English") << "something odd happened"
                                     << "数据库操作失败";
}

void TstDatabase::plainReasons()
{
    QFETCH(QString, detail);
    QFETCH(QString, reason);
    QCOMPARE(Database::plainReason(detail), reason);
}

void TstDatabase::refusedFileIsNotWritten()
{
    const QString file = m_db->filePath();
    m_db->close();
    {
        Database db("rollback");
        QVERIFY(db.open(file));
        QVERIFY(db.exec("PRAGMA journal_mode=DELETE"));
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    Database db("refusing");
    bool asked = false;
    Database::OpenOptions options;
    options.accept = [&](Database& opened, QString* error) {
        asked = opened.tableExists("Contract");
        *error = QStringLiteral("不要");
        return false;
    };
    QString error;
    QVERIFY(!db.open(file, options, &error));
    QVERIFY(asked);
    QCOMPARE(error, QStringLiteral("不要"));
    QVERIFY(!db.isOpen());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before); // the journal mode too is as it was
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"Contract.db"});
}

void TstDatabase::readOnlyFolderIsReadOnly()
{
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, 'wal')"));
    const QString file = m_db->filePath();
    m_db->close();
    QVERIFY(Database::whyNotWritable(file).isEmpty());
    ReadOnlyFolder readOnly(m_dir->path());
    QVERIFY(readOnly.holds());
    const QString why = Database::whyNotWritable(file);
    QVERIFY2(why.contains(QDir::toNativeSeparators(m_dir->path())), qPrintable(why));

    Database db("reader");
    QVERIFY(!db.open(file)); // WAL needs its shared-memory file beside the database
    Database::OpenOptions options;
    options.readOnly = true;
    QString error;
    QVERIFY2(db.open(file, options, &error), qPrintable(error));
    QVERIFY(db.isReadOnly());
    QCOMPARE(db.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("wal"));
    QVERIFY(!db.exec("DELETE FROM Contract"));
    QCOMPARE(db.scalar("SELECT count(*) FROM Contract").toInt(), 1);
    QVERIFY(!CompactDatabase(db, &error));
    QVERIFY(error.contains("只读"));
}

void TstDatabase::newFileIsSelfContained()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("new.db");
    QFile(file).open(QIODevice::WriteOnly); // an empty file the caller made
    Database db("new");
    QVERIFY(db.createInEmptyFile(file));
    QVERIFY(Schema::createTables(db));
    QVERIFY(db.makeSelfContained());
    QVERIFY(db.exec("INSERT INTO Contract(F_cltID) VALUES(1)"));
    // No write-ahead log beside it: the file alone is the database.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"new.db"});
    db.close();
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.read(20);
    QCOMPARE(int(header.at(18)), 1); // rollback journal
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"new.db"});
    // Only an empty file is taken for a new one.
    Database again("again");
    QVERIFY(!again.createInEmptyFile(file));
}

void TstDatabase::backupLeavesOtherFilesAlone_data()
{
    QTest::addColumn<bool>("copyFails");
    QTest::newRow("the copy fails") << true;
    QTest::newRow("the copy succeeds") << false;
}

void TstDatabase::backupLeavesOtherFilesAlone()
{
    // Another workstation writes the same backup file while this one copies.
    QFETCH(bool, copyFails);
    QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '本机')"));
    QTemporaryDir dir;
    const QString target = dir.filePath(Backup::dailyFileName(QDate(2026, 3, 2)));
    m_db->setFailureInjector([&](const QString& sql) {
        if (sql.startsWith("VACUUM INTO"))
            writeFile(target, "the other workstation's backup");
        return copyFails && sql.startsWith("VACUUM INTO");
    });
    QString error;
    const Backup::Result result = Backup::copyDatabase(*m_db, target, &error);
    m_db->setFailureInjector({});
    QCOMPARE(result, copyFails ? Backup::Result::Failed : Backup::Result::TargetExists);
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("the other workstation's backup"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(target).fileName()});

    // With the name free the copy is written whole.
    const QString free = dir.filePath("free.back");
    QCOMPARE(Backup::copyDatabase(*m_db, free, &error), Backup::Result::Written);
    Database copy("copy");
    QVERIFY(copy.open(free));
    QCOMPARE(copy.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("本机"));
    QCOMPARE(Backup::copyDatabase(*m_db, QString(), &error), Backup::Result::Failed);
}

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
