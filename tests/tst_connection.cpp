#include "platform/AppPaths.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

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

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_connection.moc"
