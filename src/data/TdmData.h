#pragma once

#include "app/IniFile.h"
#include "data/Database.h"

#include <QObject>
#include <QString>

#include <functional>

// The data module: owns the one shared connection and the settings file, and
// (as the program grows) the shared services every window uses. One object
// lives for the whole run; dmData() reaches it from anywhere.
class TdmData : public QObject
{
    Q_OBJECT
public:
    // What start-up shows while the connection is being made.
    struct ConnectHooks
    {
        std::function<void(const QString&)> status; // a new status line
        std::function<void()> failed;               // before the folder is asked for
        std::function<void()> retrying;             // a new folder was picked
    };

    // Opens the settings file beside the executable.
    explicit TdmData(QObject* parent = nullptr);
    ~TdmData() override;

    // Opens <data folder>Contract.db. On failure asks for another database
    // file, stores its folder as `ds` and tries again, as often as the
    // operator picks one. False only when the operator cancels.
    bool Connect(const ConnectHooks& hooks = {});

    bool connected() const { return m_connected; }
    QString lastError() const { return m_lastError; }

    // The data folder as configured: `ds` of section config, or the default.
    QString dataFolder() const;
    QString databasePath() const;

    Database& db() { return m_db; }
    IniFile& settings() { return m_settings; }

    static TdmData* instance() { return s_instance; }

private:
    bool openOnce();

    IniFile m_settings;
    Database m_db;
    QString m_pickedFolder; // used when `ds` could not be stored
    bool m_connected = false;
    QString m_lastError;
    static TdmData* s_instance;
};

inline TdmData* dmData()
{
    return TdmData::instance();
}
