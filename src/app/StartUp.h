#pragma once

#include "browser/TFrmMain.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class TdmData;
class SplashWindow;

class QApplication;

// The program's start: splash window, application title, the data module
// with its connection (asking for another folder when that fails), the main
// window. run() returns false when the program is to end at once.
class StartUp : public QObject
{
    Q_OBJECT
public:
    explicit StartUp(QObject* parent = nullptr);
    ~StartUp() override;

    static QString applicationTitle();
    // Chinese texts for Qt's own dialogs and buttons, the Chinese locale,
    // the names under which window sizes are remembered.
    static void prepareApplication(QApplication& app);

    bool run();

    // The login at start; by default the login dialog. Tests log in directly.
    void setLogin(std::function<bool()> login) { m_login = std::move(login); }

    TdmData* dataModule() const { return m_dm.get(); }
    TFrmMain* mainWindow() const { return m_main; }
    // Every status text the splash showed, in order.
    const QStringList& statusLog() const { return m_statusLog; }

private:
    void showSplash();
    void closeSplash();
    void setStatus(const QString& text);

    std::unique_ptr<TdmData> m_dm;
    QPointer<SplashWindow> m_splash;
    QPointer<TFrmMain> m_main;
    QStringList m_statusLog;
    std::function<bool()> m_login;
};
