#pragma once

#include <QDateTime>
#include <QString>

class Database;

// Restoring the connected database from a backup file, shared by the backup
// window and contract-admin. The file is checked on a copy of its own, and
// the copy is what replaces the database: what was checked is what is
// restored, and the chosen file itself is only ever read.
namespace BackupRestore {

// A checked copy of a backup file, brought to this program's version, ready
// to replace a database. The copy lies beside the database and is removed
// with this object.
class PreparedRestore
{
public:
    PreparedRestore() = default;
    ~PreparedRestore();
    PreparedRestore(const PreparedRestore&) = delete;
    PreparedRestore& operator=(const PreparedRestore&) = delete;

    // Checks `backupFile`: a SQLite file that passes the engine's integrity
    // check, a database of this system with every table and column, not
    // newer than this program (an older one is upgraded on the copy). False
    // with reason() (one sentence for the operator) and details() otherwise.
    bool prepare(const QString& backupFile, const QString& databasePath);

    QString copyPath() const { return m_copy; }
    QString reason() const { return m_reason; }
    QString details() const { return m_details; }
    // The version stamp the chosen file had.
    int fileVersion() const { return m_version; }

private:
    bool refuse(const QString& reason, const QString& details = QString());
    void removeCopy();

    QString m_copy;
    QString m_reason;
    QString m_details;
    int m_version = 0;
};

// The name of the copy of the current database kept before a restore: one
// no daily backup (dp<yyyymmdd>.back) uses, ending in .back so that the
// restore's file dialog offers it.
QString safetyCopyName(const QDateTime& when);

enum class Outcome
{
    Restored,
    InUse,  // another program holds the database: nothing changed
    Failed, // nothing changed
};

struct Result
{
    Outcome outcome = Outcome::Failed;
    QString safetyCopy; // where the database before the restore was kept
    QString error;      // what went wrong, for the log and the details
};

// Keeps a copy of the connected database in `backupFolder` (made when
// missing), then replaces the database's content by the prepared copy on
// the open connection. A failure leaves the database as it was and removes
// the safety copy again (it would be the same as the database).
Result restore(Database& db, const PreparedRestore& prepared, const QString& backupFolder);

} // namespace BackupRestore

// The backup folder setting shared by all workstations (SysInfo.F_BakPath),
// as stored: resolve it with Backup::resolveFolder.
namespace BackupSettings {

bool readFolder(Database& db, QString* folder, QString* error = nullptr);
bool saveFolder(Database& db, const QString& folder, QString* error = nullptr);

} // namespace BackupSettings
