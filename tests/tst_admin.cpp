#include "app/AdminCommands.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TransactionGuard.h"
#include "support/ReadOnlyFolder.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TstAdmin : public QObject
{
    Q_OBJECT

private slots:
    void helpListsCommands();
    void wrongUse_data();
    void wrongUse();
    void initCreatesADatabaseOnce();
    void compact();
    void backup();
    void backupNeedsATarget_data();
    void backupNeedsATarget();
    void refusedFilesAreUntouched_data();
    void refusedFilesAreUntouched();
    void unstampedDatabaseIsConvertedOnlyWhenAsked();
    void failuresAreOneChineseSentence_data();
    void failuresAreOneChineseSentence();
    void readOnlyFolderCanBeBackedUp();
};

namespace {
using Run = AdminRun;

Run admin(const QStringList& args)
{
    return runAdmin(args);
}
} // namespace

void TstAdmin::helpListsCommands()
{
    const Run r = admin({"--help"});
    QCOMPARE(r.rc, 0);
    for (const char* c : {"init", "demo", "backup", "restore", "compact", "import", "report"})
        QVERIFY2(r.out.contains(QString::fromLatin1(c) + " "), c);
}

void TstAdmin::wrongUse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown") << QStringList{"frobnicate"};
    QTest::newRow("init without folder") << QStringList{"init"};
    QTest::newRow("init with two folders") << QStringList{"init", "a", "b"};
}

void TstAdmin::wrongUse()
{
    QFETCH(QStringList, args);
    const Run r = admin(args);
    QCOMPARE(r.rc, 2);
    QVERIFY(!r.err.isEmpty());
}

void TstAdmin::initCreatesADatabaseOnce()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("new/data");
    Run r = admin({"init", folder});
    QCOMPARE(r.rc, 0);
    Database db;
    QVERIFY(db.open(folder + "/Contract.db"));
    QVERIFY(Schema::isContractDatabase(db));
    QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, 'x')"));
    db.close();

    r = admin({"init", folder});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains("不覆盖"));
    QVERIFY(db.open(folder + "/Contract.db"));
    QCOMPARE(db.scalar("SELECT count(*) FROM Contract").toInt(), 1);
}

void TstAdmin::compact()
{
    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    QCOMPARE(admin({"compact", dir.path()}).rc, 0);
    QTemporaryDir empty;
    QCOMPARE(admin({"compact", empty.path()}).rc, 1);
    QVERIFY(!QFileInfo::exists(empty.filePath("Contract.db")));
}

void TstAdmin::backup()
{
    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    {
        Database db("fill");
        QVERIFY(db.open(dir.filePath("Contract.db")));
        QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '备份')"));
    }
    const QString copy = dir.filePath("copy.back");
    QCOMPARE(admin({"backup", dir.path(), copy}).rc, 0);
    Database db("copy");
    QVERIFY(db.open(copy));
    QCOMPARE(db.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("备份"));
    db.close();
    // An existing file is never overwritten.
    const Run again = admin({"backup", dir.path(), copy});
    QCOMPARE(again.rc, 1);
    QCOMPARE(admin({"backup", dir.path()}).rc, 2);
}

namespace {

void exec(Database& db, const QString& sql)
{
    QString error;
    if (!db.exec(sql, {}, &error))
        qFatal("%s: %s", qPrintable(sql), qPrintable(error));
}

// Database files in the rollback-journal mode a file from elsewhere has: a
// program that switches it to WAL changes its header.
void makeFile(const QString& folder, const QString& kind)
{
    const QString path = QDir(folder).filePath("Contract.db");
    Database db("fixture");
    if (kind == "newer" || kind == "unstamped") {
        makeContractDatabase(folder);
        db.open(path);
        exec(db, QString("PRAGMA user_version = %1")
                     .arg(kind == "newer" ? Schema::kCurrentVersion + 1 : 0));
        exec(db, "INSERT INTO Contract(F_cltID, F_name) VALUES(1, '旧合同')");
    } else {
        QDir().mkpath(folder);
        db.create(path);
        if (kind == "other program")
            exec(db, "CREATE TABLE Something(x)");
        else if (kind == "contract without key")
            exec(db, "CREATE TABLE Contract(F_cltID INTEGER, F_code TEXT, F_name TEXT)");
        else if (kind == "key that is no key")
            exec(db, "CREATE TABLE Contract(F_ID INTEGER DEFAULT 0, F_cltID INTEGER, F_name TEXT)");
        else if (kind == "receipts without key") {
            exec(db, "CREATE TABLE Contract(F_ID INTEGER PRIMARY KEY AUTOINCREMENT, F_cltID "
                     "INTEGER, F_name TEXT)");
            exec(db, "CREATE TABLE t_SKrec(F_cltID INTEGER, F_SKprice REAL)");
        }
        if (kind != "other program")
            for (int i = 1; i <= 3; ++i)
                exec(db, QString("INSERT INTO Contract(F_cltID, F_name) VALUES(%1, 'c%1')").arg(i));
    }
    exec(db, "PRAGMA journal_mode=DELETE");
}

} // namespace

void TstAdmin::backupNeedsATarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "  ";
}

void TstAdmin::backupNeedsATarget()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QCOMPARE(admin({"init", dir.path()}).rc, 0);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    const Run r = admin({"backup", dir.path(), target});
    QCOMPARE(r.rc, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(QDir::current().entryList({"*.tmp"}, QDir::Files), QStringList());
}

void TstAdmin::refusedFilesAreUntouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("another program's database") << "other program"
                                                << "缺少 Contract 表";
    QTest::newRow("contract table without its key") << "contract without key"
                                                    << "数据表 Contract 缺少关键字段 F_ID";
    QTest::newRow("key column that numbers nothing") << "key that is no key"
                                                     << "F_ID 不是自动编号的主键";
    QTest::newRow("receipts table without its key") << "receipts without key"
                                                    << "数据表 t_SKrec 缺少关键字段 F_ID";
    QTest::newRow("newer than the program") << "newer"
                                            << "比本程序新";
    QTest::newRow("no version stamp") << "unstamped"
                                      << "--convert";
}

void TstAdmin::refusedFilesAreUntouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir, out;
    makeFile(dir.path(), kind);
    const FileSnapshot before = snapshotOf(QDir(dir.path()).filePath("Contract.db"));
    for (const QStringList& args : {QStringList{"compact", dir.path()},
                                    QStringList{"backup", dir.path(), out.filePath("b")}}) {
        const Run r = admin(args);
        QCOMPARE(r.rc, 1);
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY2(r.err.startsWith(args.first() == "compact" ? "不能压缩" : "不能备份"),
                 qPrintable(r.err));
        QVERIFY(snapshotOf(QDir(dir.path()).filePath("Contract.db")) == before);
        QVERIFY(QDir(out.path()).isEmpty());
    }
}

void TstAdmin::unstampedDatabaseIsConvertedOnlyWhenAsked()
{
    QTemporaryDir dir;
    makeFile(dir.path(), "unstamped");
    const FileSnapshot before = snapshotOf(QDir(dir.path()).filePath("Contract.db"));
    Run r = admin({"compact", dir.path()});
    QCOMPARE(r.rc, 1);
    QVERIFY(snapshotOf(QDir(dir.path()).filePath("Contract.db")) == before);
    r = admin({"compact", "--convert", dir.path()});
    QVERIFY2(r.rc == 0, qPrintable(r.err));
    QVERIFY(r.out.contains("已转换"));
    Database db("converted");
    QVERIFY(db.open(dir.filePath("Contract.db")));
    QCOMPARE(Schema::version(db), Schema::kCurrentVersion);
    QCOMPARE(db.scalar("SELECT F_name FROM Contract WHERE F_cltID = 1").toString(),
             QStringLiteral("旧合同"));
}

void TstAdmin::failuresAreOneChineseSentence_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("args"); // $DIR is the database's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("compact a damaged file")
        << "damaged" << QStringList{"compact", "$DIR"} << "损坏";
    QTest::newRow("compact a file that is no database")
        << "garbage" << QStringList{"compact", "$DIR"} << "不是数据库";
    QTest::newRow("back up a file that is no database")
        << "garbage" << QStringList{"backup", "$DIR", "$DIR/备份"} << "不是数据库";
    QTest::newRow("compact an empty folder")
        << "" << QStringList{"compact", "$DIR"} << "没有数据库";
    QTest::newRow("back up into a missing folder")
        << "database" << QStringList{"backup", "$DIR", "$DIR/没有/备份"} << "文件夹不存在";
    QTest::newRow("init where no folder can be made")
        << "garbage" << QStringList{"init", "$DIR/Contract.db/子"} << "无法创建文件夹";
}

void TstAdmin::failuresAreOneChineseSentence()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, args);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString file = dir.filePath("Contract.db");
    if (kind == "garbage") {
        writeFile(file, QByteArray(5000, 'x'));
    } else if (kind == "database") {
        makeContractDatabase(dir.path());
    } else if (kind == "damaged") {
        makeContractDatabase(dir.path());
        {
            Database db("fill");
            QVERIFY(db.open(file));
            exec(db, "PRAGMA journal_mode=DELETE");
            QVERIFY(db.exec("CREATE TABLE Filler(x)"));
            TransactionGuard tx(db);
            for (int i = 0; i < 3000; ++i)
                QVERIFY(db.exec("INSERT INTO Filler VALUES(:x)", {{":x", QString(200, 'f')}}));
            QVERIFY(tx.commit());
        }
        // Overwrite pages in the middle of the file, where the filler lies.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(f.size() / 2);
        f.write(QByteArray(8 * 4096, '\x5a'));
    }
    args.replaceInStrings("$DIR", dir.path());
    const Run r = admin(args);
    QCOMPARE(r.rc, 1);
    QVERIFY(r.out.isEmpty());
    const QString text = r.err.trimmed();
    QVERIFY2(!text.contains('\n'), qPrintable(r.err));
    QVERIFY2(text.contains(reason), qPrintable(r.err));
    // Nothing of the engine's English: take out the paths, the file name and
    // the option the sentence names, and no word of letters is left.
    QString words = text;
    words.remove(QDir::toNativeSeparators(dir.path()));
    words.remove("Contract.db").remove("--verbose").remove("--convert");
    QVERIFY2(!words.contains(QRegularExpression("[A-Za-z]{3,}")), qPrintable(r.err));

    const Run verbose = admin(QStringList{"--verbose"} + args);
    QCOMPARE(verbose.rc, 1);
    QVERIFY(verbose.err.startsWith(text.section("（", 0, 0)));
    // The engine's own report is there for whoever asks.
    if (args.first() != "init" && (kind == "damaged" || kind == "garbage"))
        QVERIFY2(verbose.err.trimmed().contains('\n'), qPrintable(verbose.err));
}

void TstAdmin::readOnlyFolderCanBeBackedUp()
{
    QTemporaryDir dir, out;
    makeContractDatabase(dir.path());
    {
        // In use before: the file is in WAL mode, which needs files beside it.
        Database db("wal");
        QVERIFY(db.open(dir.filePath("Contract.db")));
        QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '只读')"));
    }
    const FileSnapshot before = snapshotOf(QDir(dir.path()).filePath("Contract.db"));
    {
        ReadOnlyFolder readOnly(dir.path());
        QVERIFY(readOnly.holds());
        const Run backup = admin({"backup", dir.path(), out.filePath("copy.back")});
        QVERIFY2(backup.rc == 0, qPrintable(backup.err));
        const Run compact = admin({"compact", dir.path()});
        QCOMPARE(compact.rc, 1);
        QVERIFY2(compact.err.contains("不能写入"), qPrintable(compact.err));
        QVERIFY(!compact.err.trimmed().contains('\n'));
    }
    QVERIFY(snapshotOf(QDir(dir.path()).filePath("Contract.db")) == before);
    Database copy("copy");
    QVERIFY(copy.open(out.filePath("copy.back")));
    QCOMPARE(copy.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("只读"));
}

QTEST_GUILESS_MAIN(TstAdmin)
#include "tst_admin.moc"
