#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/AppPaths.h"
#include "platform/ScriptedDialogs.h"
#include "support/ReadOnlyFolder.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QTest>

// The start-up connection: the configured folder, and the loop that asks for
// another database file until one opens or the operator cancels.
class TstConnection : public QObject
{
    Q_OBJECT

private slots:
    void opensDefaultDataFolder();
    void opensConfiguredFolder();
    void failures_data();
    void failures();
    void pickedFilesFolderIsStoredAndOpened();
    void retriesUntilAGoodFolderIsPicked();
    void folderIsUsedEvenWhenSettingsCannotBeWritten();
    void refusedFileIsUntouched_data();
    void refusedFileIsUntouched();
    void unstampedDatabaseIsConvertedOnTheOperatorsYes();
    void readOnlyFolderOpensReadOnly();
};

void TstConnection::opensDefaultDataFolder()
{
    TempExeDir dir;
    makeContractDatabase(dir.file("data"));
    ScriptedDialogs ui;
    TdmData dm;
    QStringList statuses;
    TdmData::ConnectHooks hooks;
    hooks.status = [&](const QString& s) { statuses << s; };
    QVERIFY(dm.Connect(hooks));
    QVERIFY(dm.connected());
    QVERIFY(dm.db().isOpen());
    QCOMPARE(dm.db().filePath(), QDir(dir.file("data")).filePath("Contract.db"));
    QCOMPARE(statuses, (QStringList{"正在连接数据库 .....", "连接成功，正在登录 ..."}));
    QVERIFY(ui.dialogs().isEmpty());
    QCOMPARE(dmData(), &dm);
}

void TstConnection::opensConfiguredFolder()
{
    TempExeDir dir;
    QTemporaryDir shared;
    makeContractDatabase(shared.path());
    dir.writeConfig("[Config]\nds=" + shared.path().toUtf8() + "/\n");
    ScriptedDialogs ui;
    TdmData dm;
    QVERIFY(dm.Connect());
    QCOMPARE(dm.db().filePath(), shared.filePath("Contract.db"));
}

void TstConnection::failures_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("databaseBytes"); // empty: no file at all

    QTest::newRow("no database file") << QByteArray() << QByteArray();
    QTest::newRow("ds points nowhere")
        << QByteArray("[config]\nds=/nonexistent/place/\n") << QByteArray();
    QTest::newRow("ds without trailing separator")
        << QByteArray("[config]\nds=$EXE/data\n") << QByteArray("sqlite");
    QTest::newRow("file is not a database") << QByteArray() << QByteArray("not a database at all");
    QTest::newRow("empty file") << QByteArray() << QByteArray("empty");
    QTest::newRow("database of another program") << QByteArray() << QByteArray("sqlite-other");
    QTest::newRow("config.ini with garbage")
        << QByteArray("\xff\xfe\x00garbage\n[config\n]\n", 19) << QByteArray();
}

void TstConnection::failures()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, databaseBytes);
    TempExeDir dir;
    dir.writeConfig(config.replace("$EXE", dir.path().toUtf8()));
    const QString dbFile = dir.file("data/Contract.db");
    if (databaseBytes == "sqlite") {
        makeContractDatabase(dir.file("data"));
    } else if (databaseBytes == "empty") {
        writeFile(dbFile, QByteArray());
    } else if (databaseBytes == "sqlite-other") {
        Database other(QStringLiteral("other"));
        QDir().mkpath(dir.file("data"));
        QVERIFY(other.create(dbFile));
        QVERIFY(other.exec("CREATE TABLE Something(x)"));
    } else if (!databaseBytes.isEmpty()) {
        writeFile(dbFile, databaseBytes);
    }
    const QByteArray before = QFile::exists(dbFile) ? [&] {
        QFile f(dbFile);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }() : QByteArray();

    ScriptedDialogs ui; // nothing queued: the dialog is cancelled
    TdmData dm;
    int failedCalls = 0;
    TdmData::ConnectHooks hooks;
    hooks.failed = [&] { ++failedCalls; };
    QVERIFY(!dm.Connect(hooks));
    QVERIFY(!dm.connected());
    QVERIFY(!dm.db().isOpen());
    QCOMPARE(failedCalls, 1);
    QCOMPARE(ui.dialogs().size(), 1);
    QCOMPARE(ui.dialogs().first().title, QStringLiteral("连接网络数据库"));
    QCOMPARE(ui.dialogs().first().dir, dir.path());
    QVERIFY(ui.dialogs().first().filter.contains("*.db"));
    QVERIFY(ui.messages().isEmpty());
    // A failed open never creates or changes a file.
    if (databaseBytes.isEmpty())
        QVERIFY(!QFile::exists(dbFile));
    else if (databaseBytes != "sqlite" && databaseBytes != "sqlite-other") {
        QFile f(dbFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

void TstConnection::pickedFilesFolderIsStoredAndOpened()
{
    TempExeDir dir;
    QTemporaryDir shared;
    makeContractDatabase(shared.path());
    ScriptedDialogs ui;
    // Any file of the folder may be picked; the folder's Contract.db opens.
    ui.queueFile(shared.filePath("backup.db"));
    TdmData dm;
    int retries = 0;
    TdmData::ConnectHooks hooks;
    hooks.retrying = [&] { ++retries; };
    QVERIFY(dm.Connect(hooks));
    QCOMPARE(retries, 1);
    QCOMPARE(dm.db().filePath(), shared.filePath("Contract.db"));
    IniFile ini(AppPaths::configFile());
    QCOMPARE(ini.readString("config", "ds"), shared.path() + "/");
}

void TstConnection::retriesUntilAGoodFolderIsPicked()
{
    TempExeDir dir;
    QTemporaryDir empty1, empty2, good;
    makeContractDatabase(good.path());
    ScriptedDialogs ui;
    ui.queueFile(empty1.filePath("x.db"));
    ui.queueFile(empty2.filePath("Contract.db"));
    ui.queueFile(good.filePath("Contract.db"));
    TdmData dm;
    QVERIFY(dm.Connect());
    QCOMPARE(ui.dialogs().size(), 3);
    QCOMPARE(dm.db().filePath(), good.filePath("Contract.db"));
}

void TstConnection::folderIsUsedEvenWhenSettingsCannotBeWritten()
{
    TempExeDir dir;
    QVERIFY(QDir().mkpath(AppPaths::configFile())); // a folder: cannot be written
    QTemporaryDir good;
    makeContractDatabase(good.path());
    ScriptedDialogs ui;
    ui.queueFile(good.filePath("Contract.db"));
    TdmData dm;
    QVERIFY(dm.Connect());
    QCOMPARE(dm.db().filePath(), good.filePath("Contract.db"));
    QCOMPARE(ui.dialogs().size(), 1);
}

void TstConnection::refusedFileIsUntouched_data()
{
    QTest::addColumn<QStringList>("statements"); // run on a new database of the system
    QTest::addColumn<QString>("message");        // empty: the file is simply not ours
    QTest::addColumn<int>("questions");

    QTest::newRow("another program's database")
        << QStringList{"DROP TABLE Contract", "CREATE TABLE Something(x)"} << QString() << 0;
    QTest::newRow("contract table without its key")
        << QStringList{"DROP TABLE Contract",
                       "CREATE TABLE Contract(F_cltID INTEGER, F_code TEXT, F_name TEXT)",
                       "INSERT INTO Contract VALUES(1, 'A', 'a')",
                       "INSERT INTO Contract VALUES(2, 'B', 'b')"}
        << "数据表 Contract 缺少关键字段 F_ID" << 0;
    QTest::newRow("newer than the program")
        << QStringList{QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1)}
        << "比本程序新" << 0;
    QTest::newRow("no version stamp, conversion declined")
        << QStringList{"PRAGMA user_version = 0"} << QString() << 1;
}

void TstConnection::refusedFileIsUntouched()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, message);
    QFETCH(int, questions);
    TempExeDir dir;
    const QString file = makeContractDatabase(dir.file("data"));
    {
        Database db("prepare");
        QVERIFY(db.open(file));
        for (const QString& sql : statements)
            QVERIFY2(db.exec(sql), qPrintable(sql));
        // The journal mode of a file that comes from elsewhere.
        QVERIFY(db.exec("PRAGMA journal_mode=DELETE"));
    }
    const FileSnapshot before = snapshotOf(file);

    ScriptedDialogs ui; // questions get "no", the folder dialog is cancelled
    TdmData dm;
    QVERIFY(!dm.Connect());
    QVERIFY(!dm.db().isOpen());
    QCOMPARE(ui.unansweredQuestions(), questions);
    if (message.isEmpty()) {
        for (const ScriptedDialogs::Message& m : ui.messages())
            QCOMPARE(m.kind, int(mkQuestion));
    } else {
        QCOMPARE(ui.lastKind(), int(mkError));
        QVERIFY2(ui.lastText().contains(message), qPrintable(ui.lastText()));
    }
    QVERIFY(snapshotOf(file) == before);
}

void TstConnection::unstampedDatabaseIsConvertedOnTheOperatorsYes()
{
    TempExeDir dir;
    const QString file = makeContractDatabase(dir.file("data"));
    {
        Database db("prepare");
        QVERIFY(db.open(file));
        QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(4, '留下')"));
        QVERIFY(db.exec("ALTER TABLE Contract DROP COLUMN F_SZ5"));
        QVERIFY(db.exec("PRAGMA user_version = 0"));
    }
    ScriptedDialogs ui;
    ui.queueAnswer(1);
    TdmData dm;
    QVERIFY(dm.Connect());
    QCOMPARE(ui.messages().size(), 1);
    QCOMPARE(ui.lastKind(), int(mkQuestion));
    QVERIFY(ui.lastText().contains("版本标记"));
    QVERIFY(ui.dialogs().isEmpty());
    QCOMPARE(Schema::version(dm.db()), Schema::kCurrentVersion);
    QVERIFY(Schema::verify(dm.db()).isEmpty());
    QCOMPARE(dm.QueryString("SELECT F_name FROM Contract WHERE F_cltID = 4"), QString("留下"));
}

void TstConnection::readOnlyFolderOpensReadOnly()
{
    TempExeDir dir;
    const QString file = makeContractDatabase(dir.file("data"));
    {
        Database db("wal"); // used before: in WAL mode, which needs files beside it
        QVERIFY(db.open(file));
        QVERIFY(db.exec("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '只读')"));
    }
    const FileSnapshot before = snapshotOf(file);
    ScriptedDialogs ui;
    TdmData dm;
    {
        ReadOnlyFolder readOnly(dir.file("data"));
        QVERIFY(readOnly.holds());
        QVERIFY(dm.Connect());
        QVERIFY(dm.readOnly());
        QCOMPARE(ui.messages().size(), 1);
        QCOMPARE(ui.lastKind(), int(mkWarning));
        QVERIFY2(ui.lastText().contains("只读") && ui.lastText().contains("不能写入"),
                 qPrintable(ui.lastText()));
        QVERIFY(ui.dialogs().isEmpty());
        QCOMPARE(dm.QueryString("SELECT F_name FROM Contract"), QString("只读"));
        QVERIFY(!dm.ExecSql("UPDATE Contract SET F_name = 'x'"));
        dm.db().close();
    }
    QVERIFY(snapshotOf(file) == before);
}

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_connection.moc"
