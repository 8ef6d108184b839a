#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "common/DataGrid.h"
#include "data/Backup.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/TfrmBackup.h"
#include "operators/LoginService.h"
#include "operators/OperatorStore.h"
#include "platform/Clock.h"
#include "platform/PasswordHash.h"
#include "platform/QtUserDialogs.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>

// The backup window: its settings, backups made by hand (one file a day,
// replaced only after a yes), and restores that ask for the operator's own
// password, refuse what is not a backup and keep the database before.
class TstBackupGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls();
    void saveSettings_data();
    void saveSettings();
    void backupGoesToTheFolderOfTheField_data();
    void backupGoesToTheFolderOfTheField();
    void backupTwiceADay();
    void backupAndCompactionFailures();
    void restorePassword_data();
    void restorePassword();
    void restoreRefusals_data();
    void restoreRefusals();
    void restoreDeclined();
    void goodRestore_data();
    void goodRestore();
    void restoreFaults_data();
    void restoreFaults();
    void restoreWhileAnotherProgramWrites();
    void mainWindowReadsTreeAndListAgain();
    void screenshot();

private:
    QStringList marks();
    void mark(const QString& name);
    QString database() const { return m_exe->file("data/Contract.db"); }
    QString dataFolder() const { return m_exe->file("data"); }
    QString today() const { return Backup::dailyFileName(Clock::today()); }
    // A backup holding "one" and "two"; the database then holds "after".
    QString makeBackup();
    // Runs "恢复" with the password and the chosen file given, and the
    // answers queued.
    bool runRestore(TfrmBackup& window, const QString& file, const QList<int>& answers);
    void checkIdle(TfrmBackup& window);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    int m_restarts = 0;
};

void TstBackupGui::initTestCase()
{
    setPasswordHashCost(PasswordHashCost::TestingOnly);
}

void TstBackupGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    Clock::setNow(QDateTime(QDate(2024, 1, 15), QTime(9, 30, 5)));
    Session.OperName = "admin";
    qint64 id = 0;
    QString stored;
    bool found = false;
    QVERIFY(OperatorStore::storedPassword(m_dm->db(), "admin", &id, &stored, &found));
    QVERIFY(found);
    QVERIFY(OperatorStore::setPassword(m_dm->db(), id, SavePass("秘密 pw")));
    m_restarts = 0;
    TfrmBackup::setRestartHook([this] { ++m_restarts; });
}

void TstBackupGui::cleanup()
{
    closeModalWindows();
    TfrmBackup::setRestartHook({});
    Clock::reset();
    closeDataFixture(m_exe, m_ui, m_dm);
}

QStringList TstBackupGui::marks()
{
    QSqlQuery q =
        m_dm->db().prepare("SELECT F_name FROM t_code WHERE F_type = 'mark' ORDER BY F_ID");
    QStringList out;
    if (!m_dm->db().exec(q))
        return {"<unreadable>"};
    while (q.next())
        out << q.value(0).toString();
    return out;
}

void TstBackupGui::mark(const QString& name)
{
    QVERIFY(
        m_dm->db().exec("INSERT INTO t_code(F_type, F_name) VALUES ('mark', :n)", {{":n", name}}));
}

QString TstBackupGui::makeBackup()
{
    mark("one");
    mark("two");
    const QString file = m_exe->file("saved.back");
    if (Backup::copyDatabase(m_dm->db(), file) != Backup::Result::Written)
        return {};
    m_dm->db().exec("DELETE FROM t_code WHERE F_type = 'mark'");
    mark("after");
    return file;
}

bool TstBackupGui::runRestore(TfrmBackup& window, const QString& file, const QList<int>& answers)
{
    m_ui->queuePassword(QString("秘密 pw"));
    m_ui->queueFile(file);
    for (int a : answers)
        m_ui->queueAnswer(a);
    window.findChild<QPushButton*>("btnRestore")->click();
    return window.restored();
}

void TstBackupGui::checkIdle(TfrmBackup& window)
{
    QCOMPARE(window.windowTitle(), QString("数据备份及恢复"));
    QVERIFY(window.findChild<QPushButton*>("btnRestore")->isEnabled());
}

void TstBackupGui::controls()
{
    QVERIFY(m_dm->db().exec("UPDATE SysInfo SET F_BakPath = '  saves '"));
    Session.BackupMode = 2;
    TfrmBackup window;
    QCOMPARE(window.objectName(), QString("TfrmBackup"));
    QCOMPARE(window.windowTitle(), QString("系统备份及恢复"));
    QCOMPARE(window.findChild<QGroupBox*>("rgAutoBak")->title(), QString("自动备份"));
    QCOMPARE(window.findChild<QGroupBox*>("gbPath")->title(), QString("备份路径"));
    const QStringList choices{"不备份", "每次系统启动备份", "每周星期一备份", "每月一号备份"};
    for (int i = 0; i < 4; ++i) {
        auto* choice = window.findChild<QRadioButton*>(QString("rbBak%1").arg(i));
        QVERIFY(choice);
        QCOMPARE(choice->text(), choices.at(i));
        QCOMPARE(choice->isChecked(), i == 2);
    }
    QCOMPARE(window.findChild<QLineEdit*>("edtPath")->text(), QString("  saves "));
    QCOMPARE(window.findChild<QLabel*>("lblNote")->text(),
             QString("注意：路径指的是数据库所在机器上的目录"));
    const QStringList buttons{"btnBackup", "btnRestore", "btnOK", "btnClose"};
    const QStringList texts{"备份", "恢复", "确定", "关闭"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(window.findChild<QPushButton*>(buttons.at(i))->text(), texts.at(i));

    // The folder button starts at the field's folder and takes a new one.
    m_ui->queueFile("/tmp/elsewhere");
    window.findChild<QPushButton*>("btnPath")->click();
    QCOMPARE(m_ui->dialogs().last().title, QString("选择文件路径"));
    QCOMPARE(m_ui->dialogs().last().dir, dataFolder() + "/saves");
    QCOMPARE(window.findChild<QLineEdit*>("edtPath")->text(), QString("/tmp/elsewhere"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstBackupGui::saveSettings_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");      // to "create the folder?" (0: not asked)
    QTest::addColumn<QString>("stored");  // F_BakPath afterwards
    QTest::addColumn<QString>("created"); // folder below data/ that must exist
    QTest::addColumn<bool>("saved");
    QTest::newRow("existing folder, blanks trimmed") << "  . " << 0 << "."
                                                     << "" << true;
    QTest::newRow("new relative folder, yes") << " bak " << 1 << "bak"
                                              << "bak" << true;
    QTest::newRow("new relative folder, no") << "bak" << 2 << ""
                                             << "" << false;
    QTest::newRow("empty: beside the database") << "" << 1 << ""
                                                << "backup" << true;
}

void TstBackupGui::saveSettings()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, stored);
    QFETCH(QString, created);
    QFETCH(bool, saved);
    Session.BackupMode = 0;
    TfrmBackup window;
    window.findChild<QRadioButton*>("rbBak3")->setChecked(true);
    window.findChild<QLineEdit*>("edtPath")->setText(typed);
    if (answer)
        m_ui->queueAnswer(answer);
    QCOMPARE(window.saveSettings(), saved);
    QCOMPARE(m_ui->pendingAnswers(), 0);
    QCOMPARE(m_dm->QueryString("SELECT F_BakPath FROM SysInfo"), stored);
    QCOMPARE(Session.BackupMode, saved ? 3 : 0);
    QCOMPARE(m_dm->settings().readInteger("config", "ibak", -1), saved ? 3 : -1);
    if (!created.isEmpty())
        QVERIFY(QFileInfo(dataFolder() + "/" + created).isDir());
    else if (!saved)
        QVERIFY(!QFileInfo::exists(dataFolder() + "/bak"));
    QStringList expected;
    if (answer)
        expected << "当前目录" +
                        QDir::toNativeSeparators(
                            dataFolder() + "/" +
                            (typed.trimmed().isEmpty() ? "backup" : typed.trimmed())) +
                        " 不存在，是否创建！";
    if (saved)
        expected << "当前软件设置更改成功！";
    QCOMPARE(m_ui->texts(), expected);
}

void TstBackupGui::backupGoesToTheFolderOfTheField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder"); // below the program folder
    QTest::newRow("empty: beside the database") << ""
                                                << "data/backup";
    QTest::newRow("relative, trimmed") << "  bak  "
                                       << "data/bak";
    QTest::newRow("relative upwards") << "../saves"
                                      << "saves";
    QTest::newRow("absolute with blanks around") << " <exe>/abs dir "
                                                 << "abs dir";
}

void TstBackupGui::backupGoesToTheFolderOfTheField()
{
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    typed.replace("<exe>", m_exe->path());
    TfrmBackup window;
    window.findChild<QLineEdit*>("edtPath")->setText(typed);
    m_ui->queueAnswer(1); // create the folder
    m_ui->queueAnswer(2); // no compaction
    QVERIFY(window.backup());
    const QString file = m_exe->file(folder + "/" + today());
    QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    QCOMPARE(m_ui->texts().last(), QString("数据备份成功！"));
    QCOMPARE(today(), QString("dp20240115.back"));
    // The folder setting is written only by "确定".
    QCOMPARE(m_dm->QueryString("SELECT F_BakPath FROM SysInfo"), QString());
}

void TstBackupGui::backupTwiceADay()
{
    mark("first");
    TfrmBackup window;
    window.findChild<QLineEdit*>("edtPath")->setText(dataFolder());
    m_ui->queueAnswer(2); // no compaction
    QVERIFY(window.backup());
    QCOMPARE(m_ui->texts(), (QStringList{"是否需要压缩当前数据库！", "数据备份成功！"}));
    const QString file = dataFolder() + "/" + today();
    const FileSnapshot first = snapshotOf(file);
    const QStringList folderFiles = QDir(dataFolder()).entryList(QDir::Files);

    // No: the first file stays byte for byte, and nothing more is said.
    mark("second");
    m_ui->clear();
    m_ui->queueAnswer(2);
    QVERIFY(!window.backup());
    const QString question =
        "备份文件 \"" + QDir::toNativeSeparators(file) + "\" 已经存在，\n真的要复盖当前备份吗？";
    QCOMPARE(m_ui->texts(), QStringList{question});
    QCOMPARE(snapshotOf(file), first);
    QCOMPARE(QDir(dataFolder()).entryList(QDir::Files), folderFiles);

    // Yes: replaced by a copy that holds the second row, then compacted.
    m_ui->clear();
    m_ui->queueAnswer(1);
    m_ui->queueAnswer(1);
    QVERIFY(window.backup());
    QCOMPARE(m_ui->texts(), (QStringList{question, "是否需要压缩当前数据库！", "数据备份成功！"}));
    QVERIFY(snapshotOf(file).bytes != first.bytes);
    QCOMPARE(QDir(dataFolder()).entryList(QDir::Files), folderFiles);
    Database copy("second-backup");
    QVERIFY(copy.open(file, {true, {}}));
    QCOMPARE(copy.scalar("SELECT count(*) FROM t_code WHERE F_type = 'mark'").toInt(), 2);
}

void TstBackupGui::backupAndCompactionFailures()
{
    TfrmBackup window;
    window.findChild<QLineEdit*>("edtPath")->setText(dataFolder());
    const QStringList folderFiles = QDir(dataFolder()).entryList(QDir::Files);
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.startsWith("VACUUM INTO"); });
    QVERIFY(!window.backup());
    QCOMPARE(m_ui->texts(), QStringList{"数据备份失败！"});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(!m_ui->lastDetails().isEmpty());
    QCOMPARE(QDir(dataFolder()).entryList(QDir::Files), folderFiles);

    // The compaction fails after a good backup: said, and the backup stands.
    m_ui->clear();
    m_dm->db().setFailureInjector([](const QString& sql) { return sql == "VACUUM"; });
    m_ui->queueAnswer(1);
    QVERIFY(window.backup());
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->texts(),
             (QStringList{"是否需要压缩当前数据库！", "压缩数据库失败！", "数据备份成功！"}));
    QVERIFY(QFileInfo::exists(dataFolder() + "/" + today()));
}

void TstBackupGui::restorePassword_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("cancelled") << true << "" << false;
    QTest::newRow("the old fixed code") << false << "527384" << false;
    QTest::newRow("empty") << false << "" << false;
    QTest::newRow("with a blank more") << false << "秘密 pw " << false;
    QTest::newRow("other case") << false << "秘密 PW" << false;
    QTest::newRow("the operator's own") << false << "秘密 pw" << true;
}

void TstBackupGui::restorePassword()
{
    QFETCH(bool, cancel);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const QString backup = makeBackup();
    TfrmBackup window;
    m_ui->queuePassword(cancel ? std::nullopt : std::optional<QString>(typed));
    m_ui->queueFile(QString()); // the file dialog, if it comes, is cancelled
    QVERIFY(!window.restore());
    QCOMPARE(m_ui->dialogs().first().type, QString("password"));
    QCOMPARE(m_ui->dialogs().first().title, QString("密码提示"));
    QCOMPARE(m_ui->dialogs().first().filter, QString("请输入恢复密码"));
    QCOMPARE(m_ui->dialogs().size(), accepted ? 2 : 1);
    if (accepted) {
        QCOMPARE(m_ui->dialogs().last().filter, QString("备份文件 (*.back);;所有文件 (*)"));
        QCOMPARE(m_ui->dialogs().last().dir, dataFolder() + "/backup");
    }
    QCOMPARE(m_ui->texts(), cancel || accepted
                                ? QStringList()
                                : QStringList{"对不起,恢复密码错误，你没有恢复数据的权限！"});
    QCOMPARE(marks(), QStringList{"after"});
    QVERIFY(!QFileInfo::exists(dataFolder() + "/backup"));
    QCOMPARE(window.windowTitle(),
             accepted ? QString("数据备份及恢复") : QString("系统备份及恢复"));
}

void TstBackupGui::restoreRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("text file") << "text";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("other SQLite database") << "other";
    QTest::newRow("newer version") << "newer";
}

void TstBackupGui::restoreRefusals()
{
    QFETCH(QString, kind);
    const QString file = m_exe->file("chosen.back");
    if (kind == "text") {
        writeFile(file, "PK\x03\x04 not a database at all\n");
    } else if (kind == "empty") {
        writeFile(file, QByteArray());
    } else if (kind == "truncated") {
        for (int i = 0; i < 2000; ++i)
            mark(QString("row %1 ").arg(i).repeated(8));
        QCOMPARE(Backup::copyDatabase(m_dm->db(), file), Backup::Result::Written);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 2));
    } else {
        Database other("other-file");
        QVERIFY(other.create(file));
        if (kind == "other") {
            QVERIFY(other.exec("CREATE TABLE notes(id INTEGER PRIMARY KEY, body TEXT)"));
        } else {
            QVERIFY(Schema::createTables(other));
            QVERIFY(
                other.exec(QString("PRAGMA user_version = %1").arg(Schema::kCurrentVersion + 1)));
        }
        QVERIFY(other.makeSelfContained());
    }
    mark("kept");
    const QStringList before = marks();
    const FileSnapshot chosen = snapshotOf(file);
    const QStringList dataFiles = QDir(dataFolder()).entryList(QDir::Files);

    TfrmBackup window;
    QVERIFY(!runRestore(window, file, {1, 1}));
    QCOMPARE(m_ui->messages().size(), 1);
    QVERIFY2(m_ui->lastText().startsWith("不能用此文件恢复："), qPrintable(m_ui->lastText()));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->pendingAnswers(), 2); // not even asked
    QCOMPARE(marks(), before);
    QCOMPARE(snapshotOf(file), chosen);
    QCOMPARE(QDir(dataFolder()).entryList(QDir::Files), dataFiles);
    QVERIFY(!QFileInfo::exists(dataFolder() + "/backup"));
    checkIdle(window);
}

void TstBackupGui::restoreDeclined()
{
    const QString backup = makeBackup();
    TfrmBackup window;
    QVERIFY(!runRestore(window, backup, {2}));
    QCOMPARE(m_ui->texts(), QStringList{"此操作将使上次备份以来的所有数据丢失，是否继续？"});
    QCOMPARE(marks(), QStringList{"after"});
    QVERIFY(!QFileInfo::exists(dataFolder() + "/backup"));
    checkIdle(window);
}

void TstBackupGui::goodRestore_data()
{
    QTest::addColumn<int>("restart");
    QTest::newRow("restart") << 1;
    QTest::newRow("go on") << 2;
}

void TstBackupGui::goodRestore()
{
    QFETCH(int, restart);
    const QString backup = makeBackup();
    QVERIFY(m_dm->db().exec("UPDATE SysInfo SET F_BakPath = ' saves '"));
    TfrmBackup window;
    QVERIFY(runRestore(window, backup, {1, restart}));
    const QString kept = dataFolder() + "/saves/恢复前-20240115-093005.back";
    QCOMPARE(m_ui->texts(),
             (QStringList{"此操作将使上次备份以来的所有数据丢失，是否继续？",
                          "恢复前的数据库已保存为：\n" + QDir::toNativeSeparators(kept),
                          "数据恢复成功,重新启动当前程序吗？"}));
    QCOMPARE(m_restarts, restart == 1 ? 1 : 0);
    QCOMPARE(marks(), (QStringList{"one", "two"}));
    Database before("safety-copy");
    QVERIFY(before.open(kept, {true, {}}));
    QCOMPARE(before.scalar("SELECT F_name FROM t_code WHERE F_type = 'mark'").toString(),
             QString("after"));
    // The operator's password came back with the backup's OperList.
    QVERIFY(window.restored());
    checkIdle(window);
}

void TstBackupGui::restoreFaults_data()
{
    QTest::addColumn<QString>("failing"); // start of the failing statement
    QTest::newRow("keeping the database before") << "VACUUM INTO";
    QTest::newRow("replacing the content") << "RESTORE FROM";
}

void TstBackupGui::restoreFaults()
{
    QFETCH(QString, failing);
    const QString backup = makeBackup();
    TfrmBackup window;
    m_dm->db().setFailureInjector(
        [failing](const QString& sql) { return sql.startsWith(failing); });
    QVERIFY(!runRestore(window, backup, {1}));
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->texts(),
             (QStringList{"此操作将使上次备份以来的所有数据丢失，是否继续？", "恢复失败！"}));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(marks(), QStringList{"after"});
    QCOMPARE(QDir(dataFolder() + "/backup").entryList(QDir::Files), QStringList());
    checkIdle(window);
}

void TstBackupGui::restoreWhileAnotherProgramWrites()
{
    const QString backup = makeBackup();
    Database other("another-program");
    QVERIFY(other.open(database()));
    QVERIFY(other.exec(other.dialect().beginWrite()));
    QVERIFY(other.exec("INSERT INTO t_code(F_type, F_name) VALUES ('mark', 'other')"));
    TfrmBackup window;
    QVERIFY(!runRestore(window, backup, {1}));
    QCOMPARE(m_ui->texts(),
             (QStringList{"此操作将使上次备份以来的所有数据丢失，是否继续？",
                          "数据库正在被使用！请确定已关闭其它使用该数据库程序！", "恢复失败！"}));
    QCOMPARE(m_ui->messages().at(1).kind, int(mkWarning));
    QCOMPARE(m_ui->messages().at(2).kind, int(mkError));
    QVERIFY(other.exec("COMMIT"));
    QCOMPARE(marks(), (QStringList{"after", "other"}));
    QCOMPARE(QDir(dataFolder() + "/backup").entryList(QDir::Files), QStringList());
    checkIdle(window);
}

void TstBackupGui::mainWindowReadsTreeAndListAgain()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_type) "
                          "VALUES(1, 'HT-1', '甲', '')"));
    const QString backup = makeBackup();
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_type) "
                          "VALUES(2, 'HT-2', '乙', '\\\\工程')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                          "VALUES('001', '工程', '\\\\工程', 'type')"));
    EstablishSession(*m_dm, "admin");
    TFrmMain main;
    main.ApplySession();
    main.PrepareFirstShow();
    main.show();
    QCOMPARE(main.contractGrid()->model()->rowCount(), 2);

    bool stepped = false;
    onModal([&](QWidget* w) {
        auto* window = qobject_cast<TfrmBackup*>(w);
        QVERIFY(window);
        QVERIFY(runRestore(*window, backup, {1, 2}));
        stepped = true;
        window->findChild<QPushButton*>("btnClose")->click();
    });
    main.commands()->action(503)->trigger();
    QVERIFY(stepped);
    QCOMPARE(main.contractGrid()->model()->rowCount(), 1);
    QVERIFY(!m_ui->texts().contains("此功能尚未提供"));
}

void TstBackupGui::screenshot()
{
    SCREENSHOTS_ONLY();
    QVERIFY(m_dm->db().exec("UPDATE SysInfo SET F_BakPath = '/srv/合同/备份'"));
    Session.BackupMode = 2;
    TfrmBackup window;
    window.show();
    saveScreenshotWithTitle(&window, "backup-restore");
    const auto password = QtUserDialogs::makePasswordDialog("密码提示", "请输入恢复密码", &window);
    password->setTextValue("secret");
    password->show();
    saveScreenshotWithTitle(password.get(), "backup-restore-password");
}

QTEST_MAIN(TstBackupGui)
#include "tst_backup_gui.moc"
