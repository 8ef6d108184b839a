#include "app/SplashWindow.h"
#include "app/StartUp.h"
#include "browser/TFrmMain.h"
#include "data/TdmData.h"
#include "operators/LoginDialog.h"
#include "operators/LoginService.h"
#include "platform/AppPaths.h"
#include "platform/DispFormPos.h"
#include "platform/QtUserDialogs.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/ReadOnlyFolder.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

// The title the desktop shows for a window: what the window sets, and the
// application's display name after " — " when one was given (as Qt's
// platform windows do).
QString shownTitle(QWidget* w)
{
    const QString display = QGuiApplication::applicationDisplayName();
    if (display == QCoreApplication::applicationName() || w->windowTitle().endsWith(display))
        return w->windowTitle();
    return w->windowTitle() + QStringLiteral(" \u2014 ") + display;
}

} // namespace

class TstStartUpGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsOnTheDefaultDatabase();
    void cancelledConnectionEndsTheProgram();
    void pickedFolderThenStarts();
    void cancelledLoginEndsTheProgram();
    void readOnlyDatabaseStartsWithAWarning();
    void splashShowsItsStatus();
    void qtMessageBoxAnswers_data();
    void qtMessageBoxAnswers();
    void titlesReadAsDescribed_data();
    void titlesReadAsDescribed();
    void dispFormPosCentresOnOwner();
};

void TstStartUpGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("PushuoTest");
    QSettings().clear(); // sizes remembered by an earlier run
}

void TstStartUpGui::startsOnTheDefaultDatabase()
{
    TempExeDir dir;
    makeContractDatabase(dir.file("data"));
    ScriptedDialogs ui;
    StartUp startUp;
    bool askedToLogIn = false;
    startUp.setLogin([&] {
        askedToLogIn = true;
        EstablishSession(*dmData(), "admin");
        return true;
    });
    QVERIFY(startUp.run());
    QVERIFY(askedToLogIn);
    QVERIFY(startUp.dataModule()->connected());
    QMainWindow* main = startUp.mainWindow();
    QVERIFY(main);
    QCOMPARE(main->objectName(), QStringLiteral("TFrmMain"));
    QCOMPARE(main->windowTitle(), TFrmMain::windowCaption());
    QCOMPARE(StartUp::applicationTitle(), QStringLiteral("璞朔工程合同管理软件(企业版)"));
    QVERIFY(main->isVisible());
    saveScreenshot(main, "startup-main");
    QCOMPARE(shownTitle(main), QStringLiteral("璞朔工程合同管理软件 v2.30(企业版) "));
    QCOMPARE(startUp.statusLog(),
             (QStringList{"系统正在启动，请稍候 .....", "正在连接数据库 .....",
                          "连接成功，正在登录 ...", "连接成功，正在登录 .....",
                          "连接成功，正在登录 ...", "连接成功，正在登录 ....."}));
    // The splash is gone once the main window shows.
    QVERIFY(!qApp->findChild<SplashWindow*>());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<SplashWindow*>(w) || !w->isVisible());
    QVERIFY(ui.messages().isEmpty());
}

void TstStartUpGui::cancelledConnectionEndsTheProgram()
{
    TempExeDir dir; // no database
    ScriptedDialogs ui;
    StartUp startUp;
    QVERIFY(!startUp.run());
    QVERIFY(!startUp.mainWindow());
    QCOMPARE(ui.dialogs().size(), 1);
    QCOMPARE(ui.dialogs().first().title, QStringLiteral("连接网络数据库"));
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

void TstStartUpGui::pickedFolderThenStarts()
{
    TempExeDir dir;
    QTemporaryDir shared;
    makeContractDatabase(shared.path());
    ScriptedDialogs ui;
    ui.queueFile(shared.filePath("Contract.db"));
    StartUp startUp;
    startUp.setLogin([] { return true; });
    QVERIFY(startUp.run());
    QCOMPARE(startUp.dataModule()->db().filePath(), shared.filePath("Contract.db"));
    // After the failure a new splash started over.
    QCOMPARE(startUp.statusLog().count("系统正在启动，请稍候 ....."), 2);
    QCOMPARE(startUp.dataModule()->settings().readString("config", "ds"), shared.path() + "/");
}

void TstStartUpGui::cancelledLoginEndsTheProgram()
{
    TempExeDir dir;
    makeContractDatabase(dir.file("data"));
    ScriptedDialogs ui;
    StartUp startUp;
    startUp.setLogin([] { return false; });
    QVERIFY(!startUp.run());
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

void TstStartUpGui::readOnlyDatabaseStartsWithAWarning()
{
    TempExeDir dir;
    const QString file = makeContractDatabase(dir.file("data"));
    {
        Database db("wal"); // used before: WAL mode, which needs files beside it
        QVERIFY(db.open(file));
    }
    ScriptedDialogs ui;
    StartUp startUp;
    startUp.setLogin([&] {
        EstablishSession(*dmData(), "admin");
        return true;
    });
    ReadOnlyFolder readOnly(dir.file("data"));
    QVERIFY(readOnly.holds());
    QVERIFY(startUp.run());
    // Told why, once, and the program carries on with what it can read.
    QCOMPARE(ui.messages().size(), 1);
    QCOMPARE(ui.lastKind(), int(mkWarning));
    QVERIFY2(ui.lastText().contains("只读") && ui.lastText().contains("不能写入"),
             qPrintable(ui.lastText()));
    QVERIFY(startUp.dataModule()->readOnly());
    QVERIFY(startUp.mainWindow()->isVisible());
    QVERIFY(ui.dialogs().isEmpty());
    startUp.mainWindow()->close();
    startUp.dataModule()->db().close();
}

void TstStartUpGui::splashShowsItsStatus()
{
    SplashWindow splash;
    splash.show();
    splash.setStatus("正在连接数据库 .....");
    QCOMPARE(splash.status(), QStringLiteral("正在连接数据库 ....."));
    saveScreenshot(&splash, "startup-splash");
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QImage image = splash.grab().toImage();
    QCOMPARE(image.size(), splash.size());
}

void TstStartUpGui::qtMessageBoxAnswers_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("icon");

    QTest::newRow("question yes") << 1 << "btnYes" << 1 << int(QMessageBox::Question);
    QTest::newRow("question no") << 1 << "btnNo" << 2 << int(QMessageBox::Question);
    QTest::newRow("question escape") << 1 << "<escape>" << 2 << int(QMessageBox::Question);
    QTest::newRow("information") << 0 << "btnOK" << 1 << int(QMessageBox::Information);
    QTest::newRow("warning") << 2 << "btnOK" << 1 << int(QMessageBox::Warning);
    QTest::newRow("error") << 3 << "<escape>" << 1 << int(QMessageBox::Critical);
}

void TstStartUpGui::qtMessageBoxAnswers()
{
    QFETCH(int, kind);
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(int, icon);
    QtUserDialogs dialogs;
    int seenIcon = -1;
    QString seenText;
    // The box is modal: answer it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenIcon = int(box->icon());
        seenText = box->text();
        if (button == "<escape>")
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->findChild<QPushButton*>(button)->click();
    });
    QCOMPARE(dialogs.showMess("合同已审批，不能删除！", kind), result);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenText, QStringLiteral("合同已审批，不能删除！"));
}

void TstStartUpGui::titlesReadAsDescribed_data()
{
    QTest::addColumn<int>("kind"); // -1 the main window, -2 the login dialog
    QTest::addColumn<QString>("title");
    QTest::newRow("main window") << -1 << "璞朔工程合同管理软件 v2.30(企业版) ";
    QTest::newRow("login dialog") << -2 << "登录窗口";
    QTest::newRow("information") << int(mkInfo) << "提示";
    QTest::newRow("question") << int(mkQuestion) << "询问";
    QTest::newRow("warning") << int(mkWarning) << "警告";
    QTest::newRow("error") << int(mkError) << "错误";
}

// Every window reads its own title, once the program has started as it does.
void TstStartUpGui::titlesReadAsDescribed()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    TempExeDir dir;
    makeContractDatabase(dir.file("data"));
    ScriptedDialogs ui;
    StartUp startUp;
    startUp.setLogin([] { return EstablishSession(*dmData(), "admin"); });
    QVERIFY(startUp.run());
    std::unique_ptr<QWidget> own;
    QWidget* w = startUp.mainWindow();
    if (kind == -2) {
        own = std::make_unique<LoginDialog>(LoginService::ReLogin, startUp.mainWindow());
        w = own.get();
    } else if (kind >= 0) {
        // Built as showMess shows it, without running it.
        own = QtUserDialogs::makeMessageBox(QStringLiteral("真的要删除当前合同吗？"), kind,
                                            startUp.mainWindow());
        w = own.get();
    }
    QCOMPARE(shownTitle(w), title);
    if (kind >= 0) {
        // The buttons a box of that kind answers with.
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->buttons().size(), kind == mkQuestion ? 2 : 1);
        QVERIFY(box->findChild<QPushButton*>(kind == mkQuestion ? "btnYes" : "btnOK"));
        if (qEnvironmentVariableIsSet("CONTRACT_SCREENSHOTS") && kind == mkWarning) {
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box));
            saveScreenshotWithTitle(box, "message-box-title");
        }
    } else if (kind == -1) {
        saveScreenshotWithTitle(w, "main-window-title");
    }
}

void TstStartUpGui::dispFormPosCentresOnOwner()
{
    QMainWindow owner;
    owner.setGeometry(100, 100, 1000, 700);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    QDialog edit(&owner);
    edit.setObjectName("TestEditWindow");
    edit.resize(400, 300);
    DispFormPos(&edit, fpEdit);
    QCOMPARE(edit.size(), QSize(400, 300));
    QVERIFY(qAbs(edit.geometry().center().x() - owner.frameGeometry().center().x()) <= 2);
    QVERIFY(qAbs(edit.geometry().center().y() - owner.frameGeometry().center().y()) <= 2);

    // The size the window had when closed comes back next time.
    edit.show();
    edit.resize(520, 340);
    edit.close();
    QDialog again(&owner);
    again.setObjectName("TestEditWindow");
    DispFormPos(&again, fpEdit);
    QCOMPARE(again.size(), QSize(520, 340));

    QDialog list(&owner);
    list.setObjectName("TestListWindow");
    DispFormPos(&list, fpList);
    QVERIFY(list.width() >= 800);
}

QTEST_MAIN(TstStartUpGui)
#include "tst_startup_gui.moc"
