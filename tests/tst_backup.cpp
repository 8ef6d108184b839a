#include "data/Backup.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "maintenance/BackupRestore.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Backup folders, and restoring a database from a backup file: which files
// are refused (and left alone), what a restore replaces and keeps, and that
// a failure at any step leaves the database as it was.
class TstBackup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void resolvesFolder_data();
    void resolvesFolder();
    void refusesFilesThatAreNotBackups_data();
    void refusesFilesThatAreNotBackups();
    void restoresAndKeepsTheDatabaseBefore();
    void upgradesAnOlderBackup();
    void failureAtEachStepChangesNothing();
    void adminRestore();
    void adminRestoreRefusals_data();
    void adminRestoreRefusals();

private:
    QStringList marks(Database& db);
    void mark(Database& db, const QString& name);
    QString makeBackup(const QStringList& names);
    QStringList filesBeside() const;

    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
    QString m_file;
};

void TstBackup::init()
{
    m_dir = new QTemporaryDir;
    m_file = makeContractDatabase(m_dir->filePath("data"));
    m_db = new Database("backup-test");
    QVERIFY(m_db->open(m_file));
    Clock::setNow(QDateTime(QDate(2024, 1, 15), QTime(9, 30, 5)));
}

void TstBackup::cleanup()
{
    Clock::reset();
    delete m_db;
    m_db = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

QStringList TstBackup::marks(Database& db)
{
    QSqlQuery q = db.prepare("SELECT F_name FROM t_code WHERE F_type = 'mark' ORDER BY F_ID");
    QStringList out;
    if (!db.exec(q))
        return {"<unreadable>"};
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void TstBackup::mark(Database& db, const QString& name)
{
    QVERIFY(db.exec("INSERT INTO t_code(F_type, F_name) VALUES ('mark', :n)", {{":n", name}}));
}

// A backup of the database holding exactly `names`, then the database
// changed to hold "after" instead.
QString TstBackup::makeBackup(const QStringList& names)
{
    for (const QString& n : names)
        mark(*m_db, n);
    const QString file = m_dir->filePath("saved.back");
    if (Backup::copyDatabase(*m_db, file) != Backup::Result::Written)
        return {};
    m_db->exec("DELETE FROM t_code WHERE F_type = 'mark'");
    mark(*m_db, "after");
    return file;
}

QStringList TstBackup::filesBeside() const
{
    return QDir(QFileInfo(m_file).absolutePath()).entryList(QDir::Files, QDir::Name);
}

void TstBackup::resolvesFolder_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty: beside the database") << ""
                                                << "/srv/data/backup";
    QTest::newRow("blanks only") << "   "
                                 << "/srv/data/backup";
    QTest::newRow("relative, trimmed") << "  bak  "
                                       << "/srv/data/bak";
    QTest::newRow("relative, upwards") << "../saves/"
                                       << "/srv/saves";
    QTest::newRow("absolute, trimmed") << " /mnt/备份 "
                                       << "/mnt/备份";
    QTest::newRow("blank inside kept") << "/mnt/my backups"
                                       << "/mnt/my backups";
}

void TstBackup::resolvesFolder()
{
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    QCOMPARE(Backup::resolveFolder(setting, "/srv/data/Contract.db"), expected);
}

void TstBackup::refusesFilesThatAreNotBackups_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // a part of the reason shown
    QTest::newRow("text file") << "text"
                               << "不是数据库文件";
    QTest::newRow("empty file") << "empty"
                                << "不是数据库文件";
    QTest::newRow("truncated") << "truncated"
                               << "";
    QTest::newRow("other SQLite database") << "other"
                                           << "";
    QTest::newRow("newer version") << "newer"
                                   << "";
    QTest::newRow("table missing") << "incomplete"
                                   << "t_SKrec";
    QTest::newRow("no such file") << "missing"
                                  << "不存在";
}

void TstBackup::refusesFilesThatAreNotBackups()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    mark(*m_db, "kept");
    const QString file = m_dir->filePath("chosen.back");
    if (kind == "text") {
        writeFile(file, "dp20240115 is not a database\n");
    } else if (kind == "empty") {
        writeFile(file, QByteArray());
    } else if (kind == "truncated") {
        // Enough rows that the tables reach past the cut.
        for (int i = 0; i < 2000; ++i)
            mark(*m_db, QString("row %1 ").arg(i).repeated(8));
        QCOMPARE(Backup::copyDatabase(*m_db, file), Backup::Result::Written);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 2));
    } else if (kind == "other" || kind == "newer" || kind == "incomplete") {
        Database other("other-file");
        QVERIFY(other.create(file));
        if (kind == "other") {
            QVERIFY(other.exec("CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT)"));
        } else {
            QVERIFY(Schema::createTables(other));
            QVERIFY(other.exec(
                kind == "newer"
                    ? QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1)
                    : QString("DROP TABLE t_SKrec")));
        }
        QVERIFY(other.makeSelfContained());
    }
    const FileSnapshot chosen = snapshotOf(file);
    const FileSnapshot database = snapshotOf(m_file);
    const QStringList before = marks(*m_db);

    BackupRestore::PreparedRestore prepared;
    QVERIFY(!prepared.prepare(file, m_file));
    QVERIFY(!prepared.reason().isEmpty());
    QVERIFY2(prepared.reason().contains(reason), qPrintable(prepared.reason()));
    QVERIFY(prepared.copyPath().isEmpty());
    // The chosen file is only read; the database and its folder untouched.
    QCOMPARE(snapshotOf(file), chosen);
    QCOMPARE(snapshotOf(m_file), database);
    QCOMPARE(marks(*m_db), before);
}

void TstBackup::restoresAndKeepsTheDatabaseBefore()
{
    const QString backup = makeBackup({"one", "two"});
    QVERIFY(!backup.isEmpty());
    const QStringList folderBefore = filesBeside();

    auto prepared = std::make_unique<BackupRestore::PreparedRestore>();
    QVERIFY2(prepared->prepare(backup, m_file), qPrintable(prepared->reason()));
    QCOMPARE(prepared->fileVersion(), Schema::kCurrentVersion);
    const QString checkedCopy = prepared->copyPath();
    QCOMPARE(QFileInfo(checkedCopy).absolutePath(), QFileInfo(m_file).absolutePath());
    const QString folder = m_dir->filePath("backups");
    const BackupRestore::Result result = BackupRestore::restore(*m_db, *prepared, folder);
    prepared.reset();
    QVERIFY(!QFileInfo::exists(checkedCopy));
    QCOMPARE(int(result.outcome), int(BackupRestore::Outcome::Restored));
    QCOMPARE(marks(*m_db), (QStringList{"one", "two"}));

    // The database before the restore, under a name no daily backup uses.
    QCOMPARE(result.safetyCopy, QDir(folder).filePath("恢复前-20240115-093005.back"));
    QVERIFY(!QFileInfo(result.safetyCopy).fileName().startsWith("dp"));
    {
        Database kept("safety-copy");
        QVERIFY(kept.open(result.safetyCopy));
        QCOMPARE(marks(kept), QStringList{"after"});
    }
    // A second restore in the same second keeps both copies.
    auto again = std::make_unique<BackupRestore::PreparedRestore>();
    QVERIFY(again->prepare(backup, m_file));
    const BackupRestore::Result second = BackupRestore::restore(*m_db, *again, folder);
    again.reset();
    QCOMPARE(int(second.outcome), int(BackupRestore::Outcome::Restored));
    QCOMPARE(QFileInfo(second.safetyCopy).fileName(), QString("恢复前-20240115-093005-2.back"));
    QVERIFY(QFileInfo::exists(result.safetyCopy));

    // Another connection sees the restored content too.
    Database other("other-connection");
    QVERIFY(other.open(m_file));
    QCOMPARE(marks(other), (QStringList{"one", "two"}));
    // The checked copy is gone; the backup file itself is untouched.
    QCOMPARE(filesBeside().join(" "), folderBefore.join(" "));
    QVERIFY(QFileInfo::exists(backup));
}

void TstBackup::upgradesAnOlderBackup()
{
    const QString backup = makeBackup({"old"});
    {
        Database older("older-file");
        QVERIFY(older.open(backup));
        QVERIFY(older.exec("PRAGMA user_version = 1"));
        QVERIFY(older.makeSelfContained());
    }
    const FileSnapshot chosen = snapshotOf(backup);
    BackupRestore::PreparedRestore prepared;
    QVERIFY2(prepared.prepare(backup, m_file), qPrintable(prepared.reason()));
    QCOMPARE(prepared.fileVersion(), 1);
    const BackupRestore::Result result =
        BackupRestore::restore(*m_db, prepared, m_dir->filePath("backups"));
    QCOMPARE(int(result.outcome), int(BackupRestore::Outcome::Restored));
    QCOMPARE(marks(*m_db), QStringList{"old"});
    QCOMPARE(Schema::version(*m_db), Schema::kCurrentVersion);
    QCOMPARE(snapshotOf(backup).bytes, chosen.bytes);
}

void TstBackup::failureAtEachStepChangesNothing()
{
    const QString backup = makeBackup({"one"});
    const QString folder = m_dir->filePath("backups");
    // The statements a restore runs on the database.
    QStringList seen;
    m_db->setFailureInjector([&seen](const QString& sql) {
        seen << sql;
        return false;
    });
    {
        BackupRestore::PreparedRestore prepared;
        QVERIFY(prepared.prepare(backup, m_file));
        seen.clear();
        QCOMPARE(int(BackupRestore::restore(*m_db, prepared, folder).outcome),
                 int(BackupRestore::Outcome::Restored));
    }
    QVERIFY(seen.size() >= 2);
    QVERIFY(seen.last().startsWith("RESTORE FROM "));
    m_db->setFailureInjector({});
    QVERIFY(QDir(folder).removeRecursively());
    m_db->exec("DELETE FROM t_code WHERE F_type = 'mark'");
    mark(*m_db, "after");

    for (int failAt = 0; failAt < seen.size(); ++failAt) {
        int n = 0;
        m_db->setFailureInjector([&n, failAt](const QString&) { return n++ == failAt; });
        BackupRestore::PreparedRestore prepared;
        QVERIFY(prepared.prepare(backup, m_file));
        const BackupRestore::Result result = BackupRestore::restore(*m_db, prepared, folder);
        m_db->setFailureInjector({});
        QVERIFY2(result.outcome == BackupRestore::Outcome::Failed, qPrintable(seen.at(failAt)));
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(marks(*m_db), QStringList{"after"});
        // No copy is left of a database that did not change.
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }
}

void TstBackup::adminRestore()
{
    const QString backup = makeBackup({"one", "two"});
    QVERIFY(m_db->exec("UPDATE SysInfo SET F_BakPath = :p", {{":p", "  saves  "}}));
    delete m_db;
    m_db = nullptr;
    const QString folder = QFileInfo(m_file).absolutePath();
    const AdminRun run = runAdmin({"restore", folder, backup});
    QVERIFY2(run.rc == 0, qPrintable(run.err));
    const QString kept = QDir(folder).filePath("saves/恢复前-20240115-093005.back");
    QVERIFY2(run.out.contains(QDir::toNativeSeparators(kept)), qPrintable(run.out));
    Database db("after-admin");
    QVERIFY(db.open(m_file));
    QCOMPARE(marks(db), (QStringList{"one", "two"}));
    Database before("admin-safety-copy");
    QVERIFY(before.open(kept));
    QCOMPARE(marks(before), QStringList{"after"});
}

void TstBackup::adminRestoreRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("rc");
    QTest::addColumn<QString>("message");
    QTest::newRow("text file") << "text" << 1 << "不是数据库文件";
    QTest::newRow("newer") << "newer" << 1 << "数据库未改变";
    QTest::newRow("usage") << "usage" << 2 << "用法";
    QTest::newRow("no database in folder") << "nodb" << 1 << "没有数据库";
}

void TstBackup::adminRestoreRefusals()
{
    QFETCH(QString, kind);
    QFETCH(int, rc);
    QFETCH(QString, message);
    mark(*m_db, "kept");
    const QString file = m_dir->filePath("chosen.back");
    if (kind == "newer") {
        QCOMPARE(Backup::copyDatabase(*m_db, file), Backup::Result::Written);
        Database later("later");
        QVERIFY(later.open(file));
        QVERIFY(later.exec(QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1)));
        QVERIFY(later.makeSelfContained());
    } else {
        writeFile(file, "not a database\n");
    }
    delete m_db;
    m_db = nullptr;
    const QString folder = QFileInfo(m_file).absolutePath();
    const FileSnapshot database = snapshotOf(m_file);
    QStringList args{"restore", folder, file};
    if (kind == "usage")
        args = QStringList{"restore", folder};
    else if (kind == "nodb")
        args = QStringList{"restore", m_dir->filePath("elsewhere"), file};
    const AdminRun run = runAdmin(args);
    QCOMPARE(run.rc, rc);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(snapshotOf(m_file), database);
    QVERIFY(!QFileInfo::exists(QDir(folder).filePath("backup")));
}

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
