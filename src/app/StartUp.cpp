#include "app/StartUp.h"

#include "app/SplashWindow.h"
#include "browser/TFrmMain.h"
#include "data/TdmData.h"
#include "operators/LoginDialog.h"
#include "operators/LoginService.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

StartUp::StartUp(QObject* parent) : QObject(parent) {}

StartUp::~StartUp()
{
    closeSplash();
    delete m_main;
}

QString StartUp::applicationTitle()
{
    return AppInfo::applicationTitle();
}

void StartUp::prepareApplication(QApplication& app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Pushuo"));
    QCoreApplication::setApplicationName(QStringLiteral("contract-manager"));
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto* translator = new QTranslator(&app);
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void StartUp::showSplash()
{
    closeSplash();
    m_splash = new SplashWindow;
    m_splash->show();
    setStatus(QStringLiteral("系统正在启动，请稍候 ....."));
}

void StartUp::closeSplash()
{
    if (m_splash) {
        m_splash->close();
        delete m_splash;
    }
}

void StartUp::setStatus(const QString& text)
{
    m_statusLog << text;
    if (m_splash)
        m_splash->setStatus(text);
}

bool StartUp::run()
{
    // No application display name: the platform would add it to every window
    // title, the main window's (which already names the product) and the
    // message boxes' alike.
    showSplash();

    m_dm = std::make_unique<TdmData>();
    TdmData::ConnectHooks hooks;
    hooks.status = [this](const QString& text) { setStatus(text); };
    hooks.failed = [this] { closeSplash(); };
    hooks.retrying = [this] { showSplash(); };
    // The splash stays on top: it must not hide a message of the connection.
    hooks.asking = [this] { closeSplash(); };
    if (!m_dm->Connect(hooks)) {
        closeSplash();
        return false;
    }

    setStatus(QStringLiteral("连接成功，正在登录 ....."));
    m_main = new TFrmMain;
    // Each status is painted as it is set; nothing sleeps on the GUI thread.
    setStatus(QStringLiteral("连接成功，正在登录 ..."));
    setStatus(QStringLiteral("连接成功，正在登录 ....."));
    closeSplash();

    // A cancelled or failed login ends the program.
    const bool loggedIn = m_login ? m_login() : LoginDialog::Login(LoginService::StartUp, nullptr);
    if (!loggedIn)
        return false;
    m_main->ApplySession();
    m_main->PrepareFirstShow();
    m_main->show();
    return true;
}
