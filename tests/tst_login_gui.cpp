#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginDialog.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>

// The login dialog: its face, its keys, and how each way out ends.
class TstLoginGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void textsAndControls_data();
    void textsAndControls();
    void centredOnItsOwner();
    void namesAndPreset();
    void noPresetFocusesTheName();
    void loginSucceeds_data();
    void loginSucceeds();
    void nameProblemsFocusTheName_data();
    void nameProblemsFocusTheName();
    void fourthRefusalClosesTheDialog_data();
    void fourthRefusalClosesTheDialog();
    void cancel_data();
    void cancel();
    void unreadableRowRefusesTheLogin_data();
    void unreadableRowRefusesTheLogin();
    void enterMovesTheFocus_data();
    void enterMovesTheFocus();
    void enterOnAButtonPressesIt();
    void escAndCloseDoNotClose();
    void staticEntry_data();
    void staticEntry();
    void escDuringExecKeepsItOpen();
    void maximumLengths();

private:
    void addOperator(const QString& name, const QString& password, bool disabled = false,
                     int xtFlag = 1, bool approve = false, const QString& dept = QString());
    // The dialog shown and active, as the operator meets it.
    std::unique_ptr<LoginDialog> openDialog(int mode);
    // Runs `step` once the dialog opened by LoginDialog::Login is up.
    void whenDialogOpens(std::function<void(LoginDialog*)> step);
    static bool nameHasFocus(LoginDialog* dlg);
    static void fill(LoginDialog* dlg, const QString& name, const QString& password);
    // A session as a previous login left it.
    static SessionData previousSession();
    static void compareSession(const SessionData& actual, const SessionData& expected);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstLoginGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("PushuoTest");
    QSettings().clear();
}

void TstLoginGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    addOperator("张三", "pw 1", false, 1, false, "'工程部'");
    addOperator("李四", "secret", false, 2, true, "'采购部','财务部'");
    addOperator("停用者", "pw", true);
    // A blank name is not offered.
    addOperator("", "x");
}

void TstLoginGui::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstLoginGui::addOperator(const QString& name, const QString& password, bool disabled,
                              int xtFlag, bool approve, const QString& dept)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord, F_Flag, F_xtFlag, F_SHflag, "
                          "F_dept) VALUES(:n, :p, :f, :x, :s, :d)",
                          {{":n", name},
                           {":p", SavePass(password)},
                           {":f", disabled ? 1 : 0},
                           {":x", xtFlag},
                           {":s", approve ? 1 : 0},
                           {":d", dept}}));
}

std::unique_ptr<LoginDialog> TstLoginGui::openDialog(int mode)
{
    auto dlg = std::make_unique<LoginDialog>(mode);
    dlg->show();
    dlg->activateWindow();
    if (!QTest::qWaitForWindowActive(dlg.get()))
        qWarning("the login dialog did not become active");
    return dlg;
}

void TstLoginGui::whenDialogOpens(std::function<void(LoginDialog*)> step)
{
    QTimer::singleShot(0, this, [step] {
        auto* dlg = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        step(dlg);
    });
}

bool TstLoginGui::nameHasFocus(LoginDialog* dlg)
{
    QWidget* f = dlg->focusWidget();
    return f && (f == dlg->nameCombo() || f == dlg->nameCombo()->lineEdit());
}

void TstLoginGui::fill(LoginDialog* dlg, const QString& name, const QString& password)
{
    dlg->nameCombo()->setEditText(name);
    dlg->passwordEdit()->setText(password);
}

SessionData TstLoginGui::previousSession()
{
    SessionData s;
    s.OperName = "张三";
    s.XtFlag = 1;
    s.DeptList = "'工程部'";
    s.CanApprove = false;
    s.SysCode = "旧公司";
    s.KeyValues[1] = "旧标题";
    s.KeyValues[14] = "3";
    s.MoneyFormat = ",0.000";
    s.AutoCode = true;
    return s;
}

void TstLoginGui::compareSession(const SessionData& actual, const SessionData& expected)
{
    QCOMPARE(actual.OperName, expected.OperName);
    QCOMPARE(actual.XtFlag, expected.XtFlag);
    QCOMPARE(actual.DeptList, expected.DeptList);
    QCOMPARE(actual.CanApprove, expected.CanApprove);
    QCOMPARE(actual.SysCode, expected.SysCode);
    QCOMPARE(actual.KeyValues, expected.KeyValues);
    QCOMPARE(actual.MoneyFormat, expected.MoneyFormat);
    QCOMPARE(actual.AutoCode, expected.AutoCode);
    QCOMPARE(actual.AutoContractCode, expected.AutoContractCode);
}

void TstLoginGui::textsAndControls_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("start-up") << int(LoginService::StartUp);
    QTest::newRow("re-login") << int(LoginService::ReLogin);
}

void TstLoginGui::textsAndControls()
{
    QFETCH(int, mode);
    auto dlg = openDialog(mode);
    QCOMPARE(dlg->objectName(), QStringLiteral("LoginDialog"));
    QCOMPARE(dlg->windowTitle(), QStringLiteral("登录窗口"));
    QCOMPARE(int(dlg->mode()), mode);
    QVERIFY(dlg->isModal());

    const Qt::WindowFlags flags = dlg->windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    for (Qt::WindowType hint :
         {Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
          Qt::WindowSystemMenuHint, Qt::WindowContextHelpButtonHint})
        QVERIFY2(!(flags & hint), qPrintable(QString::number(hint, 16)));

    auto* prompt = dlg->findChild<QLabel*>("lblPrompt");
    QVERIFY(prompt);
    QCOMPARE(prompt->text(), QStringLiteral("请输入正确的操作员编号及密码，系统管理员编号“admin”，"
                                            "系统初始密码为空："));
    auto* nameLabel = dlg->findChild<QLabel*>("lblName");
    QVERIFY(nameLabel);
    QCOMPARE(nameLabel->text(), QStringLiteral("姓  名："));
    auto* passwordLabel = dlg->findChild<QLabel*>("lblPassword");
    QVERIFY(passwordLabel);
    QCOMPARE(passwordLabel->text(), QStringLiteral("密  码："));

    auto* name = dlg->findChild<QComboBox*>("cbbName");
    QCOMPARE(name, dlg->nameCombo());
    QVERIFY(name->isEditable());
    QCOMPARE(name->insertPolicy(), QComboBox::NoInsert);
    auto* password = dlg->findChild<QLineEdit*>("edtPassword");
    QCOMPARE(password, dlg->passwordEdit());
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(password->text().isEmpty());

    auto* ok = dlg->findChild<QPushButton*>("btnOK");
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    auto* cancel = dlg->findChild<QPushButton*>("btnCancel");
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("取消"));
    // Enter is the dialog's own key, so no button takes it as the default.
    for (QPushButton* b : {ok, cancel})
        QVERIFY(!b->isDefault() && !b->autoDefault());

    // The controls sit one below the other in the reading order.
    QVERIFY(prompt->geometry().bottom() <= name->geometry().top());
    QVERIFY(name->geometry().bottom() <= password->geometry().top());
    QVERIFY(password->geometry().bottom() <= ok->geometry().top());
    QVERIFY(ok->geometry().right() < cancel->geometry().left());
    QCOMPARE(nameLabel->geometry().center().y(), name->geometry().center().y());
    // As tall as its contents need: the whole prompt shows, without empty
    // space around the fields.
    QVERIFY(prompt->height() >= prompt->heightForWidth(prompt->width()));
    QVERIFY(dlg->height() <= dlg->heightForWidth(dlg->width()) + 1);
    QVERIFY(dlg->height() < 300);

    if (mode == LoginService::StartUp) {
        fill(dlg.get(), "admin", "");
        saveScreenshot(dlg.get(), "login");
    }
}

void TstLoginGui::centredOnItsOwner()
{
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    LoginDialog dlg(LoginService::ReLogin, &owner);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QPoint off = dlg.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(off.manhattanLength() <= 4, qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));

    // Without an owner, on the middle of the screen.
    LoginDialog alone(LoginService::StartUp);
    alone.show();
    QVERIFY(QTest::qWaitForWindowExposed(&alone));
    const QRect screen = alone.screen()->availableGeometry();
    const QPoint off2 = alone.frameGeometry().center() - screen.center();
    QVERIFY2(off2.manhattanLength() <= 4, qPrintable(QString("%1,%2").arg(off2.x()).arg(off2.y())));
}

void TstLoginGui::namesAndPreset()
{
    QVERIFY(m_dm->settings().writeString("Config", "CurOperName", "李四"));
    auto dlg = openDialog(LoginService::StartUp);
    QComboBox* name = dlg->nameCombo();
    QStringList items;
    for (int i = 0; i < name->count(); ++i)
        items << name->itemText(i);
    QCOMPARE(items, (QStringList{"admin", "张三", "李四", "停用者"}));
    QCOMPARE(name->currentText(), QStringLiteral("李四"));
    QCOMPARE(name->currentIndex(), 2);
    // The name is known, so the password is what is left to type.
    QCOMPARE(dlg->focusWidget(), dlg->passwordEdit());
}

void TstLoginGui::noPresetFocusesTheName()
{
    auto dlg = openDialog(LoginService::StartUp);
    QVERIFY(dlg->nameCombo()->currentText().isEmpty());
    QCOMPARE(dlg->nameCombo()->count(), 4);
    QVERIFY(nameHasFocus(dlg.get()));
}

void TstLoginGui::loginSucceeds_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("operName");
    QTest::addColumn<int>("xtFlag");
    QTest::addColumn<QString>("deptList");
    QTest::addColumn<bool>("canApprove");
    const int s = LoginService::StartUp, r = LoginService::ReLogin;
    QTest::newRow("admin, empty password") << s << "admin"
                                           << ""
                                           << "admin" << 0 << "" << true;
    QTest::newRow("admin in capitals") << s << " ADMIN "
                                       << ""
                                       << "ADMIN" << 0 << "" << true;
    QTest::newRow("operator") << s << "张三"
                              << "pw 1"
                              << "张三" << 1 << "'工程部'" << false;
    QTest::newRow("operator who approves") << s << "李四"
                                           << "secret"
                                           << "李四" << 2 << "'采购部','财务部'" << true;
    QTest::newRow("re-login as another") << r << "李四"
                                         << "secret"
                                         << "李四" << 2 << "'采购部','财务部'" << true;
    QTest::newRow("re-login as admin") << r << "Admin"
                                       << ""
                                       << "Admin" << 0 << "" << true;
}

void TstLoginGui::loginSucceeds()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, operName);
    QFETCH(int, xtFlag);
    QFETCH(QString, deptList);
    QFETCH(bool, canApprove);
    if (mode == LoginService::ReLogin)
        Session = previousSession();
    auto dlg = openDialog(mode);
    fill(dlg.get(), name, password);
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QVERIFY(m_ui->texts().isEmpty());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(LoginDialog::LoggedIn));
    QCOMPARE(Session.OperName, operName);
    QCOMPARE(Session.XtFlag, xtFlag);
    QCOMPARE(Session.DeptList, deptList);
    QCOMPARE(Session.CanApprove, canApprove);
    QCOMPARE(Session.isAdmin(), operName.toLower() == "admin");
    QCOMPARE(m_dm->settings().readString("Config", "CurOperName"), operName);
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM LogRec"), 0);
}

void TstLoginGui::nameProblemsFocusTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << "   "
                             << "请选择用户！";
    QTest::newRow("unknown") << "王五"
                             << "此操作员并不存在，请重新选择操作员！";
}

void TstLoginGui::nameProblemsFocusTheName()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    auto dlg = openDialog(LoginService::StartUp);
    fill(dlg.get(), name, "pw");
    dlg->passwordEdit()->setFocus();
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QVERIFY(dlg->isVisible());
    QVERIFY(nameHasFocus(dlg.get()));
    QCOMPARE(dlg->nameCombo()->currentText(), name);
    // The whole name is selected, ready to be typed over.
    QCOMPARE(dlg->nameCombo()->lineEdit()->selectedText(), name);
    QCOMPARE(dlg->service().wrongPasswords(), 0);
}

void TstLoginGui::fourthRefusalClosesTheDialog_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("retry");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("log");
    const int s = LoginService::StartUp, r = LoginService::ReLogin;
    const QString wrong = "用户名或密码不正确，请重新输入！";
    const QString disabled = "此操作员已被禁用，不能登录！";
    const int end = LoginDialog::EndProgram, cancelled = LoginDialog::Cancelled;
    QTest::newRow("start-up, wrong password") << s << "admin"
                                              << "x" << wrong << end << "非法操作员!"
                                              << "登录失败！";
    QTest::newRow("start-up, password in other case") << s << "张三"
                                                      << "PW 1" << wrong << end << "非法操作员!"
                                                      << "登录失败！";
    QTest::newRow("start-up, disabled operator") << s << "停用者"
                                                 << "pw" << disabled << end << "非法操作员!"
                                                 << "登录失败！";
    QTest::newRow("re-login, wrong password") << r << "李四"
                                              << "Secret" << wrong << cancelled << "更换操作员失败!"
                                              << "更换操作员失败！";
    QTest::newRow("re-login, disabled operator")
        << r << "停用者"
        << "pw" << disabled << cancelled << "更换操作员失败!"
        << "更换操作员失败！";
}

void TstLoginGui::fourthRefusalClosesTheDialog()
{
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(QString, retry);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(QString, log);
    const SessionData before = mode == LoginService::ReLogin ? previousSession() : SessionData{};
    Session = before;
    QVERIFY(m_dm->settings().writeString("Config", "CurOperName", before.OperName));

    auto dlg = openDialog(mode);
    dlg->nameCombo()->setEditText(name);
    for (int i = 1; i <= 3; ++i) {
        dlg->passwordEdit()->setText(password);
        QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
        QVERIFY(dlg->isVisible());
        QCOMPARE(m_ui->texts(), QStringList(i, retry));
        QCOMPARE(m_ui->lastKind(), int(mkInfo));
        // The name stays; the password is to be typed again.
        QCOMPARE(dlg->nameCombo()->currentText(), name);
        QVERIFY(dlg->passwordEdit()->text().isEmpty());
        QCOMPARE(dlg->focusWidget(), dlg->passwordEdit());
        QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM LogRec"), 0);
    }
    dlg->passwordEdit()->setText(password);
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), result);
    QCOMPARE(m_ui->texts().size(), 4);
    QCOMPARE(m_ui->lastText(), message);
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM LogRec"), 1);
    QCOMPARE(m_dm->QueryString("SELECT F_OperType FROM LogRec"), log);
    QCOMPARE(m_dm->QueryString("SELECT F_EmpName FROM LogRec"), before.OperName);
    compareSession(Session, before);
    QCOMPARE(m_dm->settings().readString("Config", "CurOperName"), before.OperName);
}

void TstLoginGui::cancel_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("result");
    QTest::newRow("start-up ends the program")
        << int(LoginService::StartUp) << int(LoginDialog::EndProgram);
    QTest::newRow("re-login keeps the session")
        << int(LoginService::ReLogin) << int(LoginDialog::Cancelled);
}

void TstLoginGui::cancel()
{
    QFETCH(int, mode);
    QFETCH(int, result);
    const SessionData before = mode == LoginService::ReLogin ? previousSession() : SessionData{};
    Session = before;
    auto dlg = openDialog(mode);
    // A wrong try before does not matter; a name and its right password
    // typed but not confirmed log nobody in.
    fill(dlg.get(), "李四", "nope");
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    m_ui->clear();
    fill(dlg.get(), "李四", "secret");
    QTest::mouseClick(dlg->cancelButton(), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), result);
    QVERIFY(m_ui->texts().isEmpty());
    compareSession(Session, before);
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM LogRec"), 0);
}

void TstLoginGui::unreadableRowRefusesTheLogin_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("failing");
    QTest::newRow("start-up, read fails") << int(LoginService::StartUp) << "F_xtFlag";
    QTest::newRow("re-login, read fails") << int(LoginService::ReLogin) << "F_xtFlag";
    // Deleted by another workstation between the password check and the read.
    QTest::newRow("re-login, row gone") << int(LoginService::ReLogin) << "";
}

void TstLoginGui::unreadableRowRefusesTheLogin()
{
    QFETCH(int, mode);
    QFETCH(QString, failing);
    // The previous operator saw everything and could approve.
    SessionData before = previousSession();
    before.OperName = "admin";
    before.XtFlag = 0;
    before.DeptList.clear();
    before.CanApprove = true;
    Session = mode == LoginService::ReLogin ? before : SessionData{};
    const QString nameBefore = Session.OperName;
    QVERIFY(m_dm->settings().writeString("Config", "CurOperName", nameBefore));

    auto dlg = openDialog(mode);
    fill(dlg.get(), "张三", "pw 1");
    m_dm->db().setFailureInjector([&](const QString& sql) {
        if (failing.isEmpty()) {
            // The password was read: the row goes now.
            if (sql.contains("SELECT F_xtFlag"))
                m_dm->db().exec("DELETE FROM OperList WHERE F_Name = '张三'");
            return false;
        }
        return sql.contains(failing);
    });
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    m_dm->db().setFailureInjector({});

    QVERIFY(dlg->isVisible());
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查数据连接... "));
    QCOMPARE(dlg->service().wrongPasswords(), 0);
    // Nothing of the previous reach is left, and nobody new logged in.
    QCOMPARE(Session.XtFlag, 2);
    QVERIFY(Session.DeptList.isEmpty());
    QVERIFY(!Session.CanApprove);
    QCOMPARE(Session.OperName, nameBefore);
    QCOMPARE(m_dm->settings().readString("Config", "CurOperName"), nameBefore);
}

void TstLoginGui::enterMovesTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
}

void TstLoginGui::enterMovesTheFocus()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const auto press = [&](LoginDialog* dlg) {
        QTest::keyClick(dlg->focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    };
    auto dlg = openDialog(LoginService::StartUp);
    dlg->nameCombo()->setFocus();
    dlg->nameCombo()->setEditText("张三");
    press(dlg.get());
    QCOMPARE(dlg->focusWidget(), dlg->passwordEdit());
    // The typed name was not added to the list, and the name stays.
    QCOMPARE(dlg->nameCombo()->count(), 4);
    QCOMPARE(dlg->nameCombo()->currentText(), QStringLiteral("张三"));
    QTest::keyClicks(dlg->passwordEdit(), "pw 1");
    press(dlg.get());
    QCOMPARE(dlg->focusWidget(), dlg->okButton());
    // Nothing was confirmed on the way.
    QVERIFY(dlg->isVisible());
    QVERIFY(m_ui->texts().isEmpty());
    QVERIFY(Session.OperName.isEmpty());
    press(dlg.get());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(LoginDialog::LoggedIn));
    QCOMPARE(Session.OperName, QStringLiteral("张三"));
}

void TstLoginGui::enterOnAButtonPressesIt()
{
    Session = previousSession();
    auto dlg = openDialog(LoginService::ReLogin);
    fill(dlg.get(), "张三", "bad");
    dlg->okButton()->setFocus();
    QTest::keyClick(dlg->okButton(), Qt::Key_Return);
    QCOMPARE(m_ui->texts(), QStringList{"用户名或密码不正确，请重新输入！"});
    QVERIFY(dlg->isVisible());
    dlg->cancelButton()->setFocus();
    QTest::keyClick(dlg->cancelButton(), Qt::Key_Return);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(LoginDialog::Cancelled));
    compareSession(Session, previousSession());
}

void TstLoginGui::escAndCloseDoNotClose()
{
    auto dlg = openDialog(LoginService::StartUp);
    fill(dlg.get(), "admin", "");
    QTest::keyClick(dlg->focusWidget(), Qt::Key_Escape);
    QVERIFY(dlg->isVisible());
    QTest::keyClick(dlg.get(), Qt::Key_F4, Qt::AltModifier);
    QVERIFY(dlg->isVisible());
    // What the window manager sends for Alt+F4 or its own close.
    QCloseEvent closing;
    QApplication::sendEvent(dlg.get(), &closing);
    QVERIFY(!closing.isAccepted());
    QVERIFY(!dlg->close());
    dlg->reject();
    QVERIFY(dlg->isVisible());
    QVERIFY(m_ui->texts().isEmpty());
    QVERIFY(Session.OperName.isEmpty());
    // The buttons still work afterwards.
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(LoginDialog::LoggedIn));
}

void TstLoginGui::staticEntry_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("pressOK");
    QTest::addColumn<bool>("loggedIn");
    const int s = LoginService::StartUp, r = LoginService::ReLogin;
    QTest::newRow("start-up, logged in") << s << "pw 1" << true << true;
    QTest::newRow("start-up, cancelled") << s << "pw 1" << false << false;
    QTest::newRow("re-login, logged in") << r << "pw 1" << true << true;
    QTest::newRow("re-login, cancelled") << r << "pw 1" << false << false;
}

void TstLoginGui::staticEntry()
{
    QFETCH(int, mode);
    QFETCH(QString, password);
    QFETCH(bool, pressOK);
    QFETCH(bool, loggedIn);
    QWidget owner;
    owner.show();
    bool ran = false;
    whenDialogOpens([&](LoginDialog* dlg) {
        ran = true;
        QCOMPARE(int(dlg->mode()), mode);
        QCOMPARE(dlg->parentWidget(), &owner);
        fill(dlg, "张三", password);
        QTest::mouseClick(pressOK ? dlg->okButton() : dlg->cancelButton(), Qt::LeftButton);
    });
    QCOMPARE(LoginDialog::Login(mode, &owner), loggedIn);
    QVERIFY(ran);
    QCOMPARE(Session.OperName, loggedIn ? QStringLiteral("张三") : QString());
}

void TstLoginGui::escDuringExecKeepsItOpen()
{
    int steps = 0;
    whenDialogOpens([&](LoginDialog* dlg) {
        ++steps;
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Escape);
        QVERIFY(!dlg->close());
        // Still in its modal loop: the next step finds it again.
        whenDialogOpens([&](LoginDialog* again) {
            ++steps;
            QTest::mouseClick(again->cancelButton(), Qt::LeftButton);
        });
    });
    QVERIFY(!LoginDialog::Login(LoginService::StartUp, nullptr));
    QCOMPARE(steps, 2);
}

void TstLoginGui::maximumLengths()
{
    const QString tooLong(60, QChar(u'名'));
    QVERIFY(m_dm->settings().writeString("Config", "CurOperName", tooLong));
    auto dlg = openDialog(LoginService::StartUp);
    // A preset longer than any operator name is shown whole, then refused.
    QCOMPARE(dlg->nameCombo()->currentText(), tooLong);
    QTest::mouseClick(dlg->okButton(), Qt::LeftButton);
    QCOMPARE(m_ui->lastText(), QStringLiteral("此操作员并不存在，请重新选择操作员！"));

    QVERIFY(m_dm->settings().writeString("Config", "CurOperName", ""));
    auto fresh = openDialog(LoginService::StartUp);
    QLineEdit* name = fresh->nameCombo()->lineEdit();
    QCOMPARE(name->maxLength(), 50);
    name->clear();
    QTest::keyClicks(name, QString(60, 'a'));
    QCOMPARE(name->text(), QString(50, 'a'));
    QCOMPARE(fresh->passwordEdit()->maxLength(), 255);
}

QTEST_MAIN(TstLoginGui)
#include "tst_login_gui.moc"
