#pragma once

#include "data/CodeAllocation.h"
#include "data/CodeTree.h"
#include "data/Database.h"
#include "platform/IniFile.h"

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
        std::function<void()> asking;               // a message or question is about to show
    };

    // Opens the settings file beside the executable.
    explicit TdmData(QObject* parent = nullptr);
    ~TdmData() override;

    // Opens <data folder>Contract.db. On failure asks for another database
    // file, stores its folder as `ds` and tries again, as often as the
    // operator picks one. False only when the operator cancels.
    // A file that is not a database of this system (or is newer than the
    // program) is refused before anything is written to it; one without a
    // version stamp is converted only when the operator agrees. A file that
    // cannot be written is opened read-only, with a warning saying why.
    bool Connect(const ConnectHooks& hooks = {});

    bool connected() const { return m_connected; }
    bool readOnly() const { return m_db.isReadOnly(); }
    QString lastError() const { return m_lastError; }

    // The data folder as configured: `ds` of section config, or the default.
    QString dataFolder() const;
    QString databasePath() const;

    Database& db() { return m_db; }
    IniFile& settings() { return m_settings; }

    // ---- Statement services. Values are always bound, never pasted. A
    // failure is reported to the operator (kind 3) and gives the failure
    // value.
    bool ExecSql(const QString& sql, const SqlParams& params = {});
    // Deletes the row F_ID = id of one of the database's tables.
    bool DeleteById(const QString& table, qint64 id);
    // First column of the first row; empty / 0 when there is none.
    QString QueryString(const QString& sql, const SqlParams& params = {});
    int QueryInt(const QString& sql, const SqlParams& params = {});
    // Runs the statement on the caller's query (scrollable).
    bool OpenQuery(const QString& sql, QSqlQuery& query, const SqlParams& params = {});
    // The values a pick list offers: the first column of every row whose
    // value is not blank, as stored (untrimmed). On failure the values read
    // so far.
    QStringList PickListValues(const QString& sql, const SqlParams& params = {});

    // Appends a row to the operation log; never reports a failure.
    void WriteLog(const QString& what);
    // Whether the current operator holds the right of a three-digit code.
    bool HasRight(const QString& code);

    // ---- Numbered series. Run inside the saving transaction. A failure
    // (database, a code that is not numbered, a series used up) comes back
    // in AllocatedCode::error for the caller to show.
    AllocatedCode NextDatedCode(const QString& sql, const SqlParams& params, const QString& prefix,
                                int width);
    AllocatedCode NextCode(const QString& sql, const SqlParams& params, int width);
    // Mode 1 new sibling, 2 new child of the node `code` (empty: the root).
    AllocatedCode NextTreeCode(const QString& code, const QString& flag, int mode);
    // Today's next shipment code FH-yyyymmdd-NNN.
    AllocatedCode NextShipmentCode();
    // The next contract link number (largest + 1; 1 for an empty table);
    // 0 on failure.
    int NextContractLinkNumber();

    // The tree of one kind ('type', 'clttype', 'gctype', 'dept').
    CodeTree LoadCodeTree(const QString& rootCaption, const QString& flag,
                          QString* error = nullptr);

    // ---- Session values read from the database and the settings file:
    // company name, settings slots, money format, automatic numbering. A
    // money-decimals slot that is not a whole number means 2 decimals, with
    // a warning.
    bool LoadSessionValues();

    // ---- Backup of the connected database into the backup folder, at most
    // one file a day (dp<yyyymmdd>.back).
    enum class BackupResult
    {
        Written,
        AlreadyToday,
        Declined,
        Failed
    };
    BackupResult BackupDatabase();
    // The folder backups go to: SysInfo.F_BakPath trimmed, or "backup"
    // beside the database when none is set; a relative folder is taken from
    // the database's folder.
    QString BackupFolder();

    static TdmData* instance() { return s_instance; }

private:
    bool openOnce(const ConnectHooks& hooks);
    void reportFailure(const QString& message, const QString& detail);

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
