#pragma once

#include <QDate>
#include <QString>

class Database;

namespace Backup {

enum class Result
{
    Written,
    TargetExists, // a file of that name was there already (or came first)
    Failed,
};

// Writes a consistent copy of the connected database to `target`, even
// while other workstations write. The copy is made under a temporary name
// in the target's folder and takes the name `target` only when complete and
// only if no file has that name: a killed backup leaves no partial file
// under the real name, and of two workstations backing up to one name the
// second leaves the first one's file alone. Nothing but the temporary file
// is ever removed.
Result copyDatabase(Database& db, const QString& target, QString* error = nullptr);

// As copyDatabase, but the complete copy replaces a file named `target` in
// one step (the operator agreed to replace it): readers see the old backup
// or the new one, never a part, and a failed copy leaves the old one.
bool copyDatabaseOver(Database& db, const QString& target, QString* error = nullptr);

// The backup folder a setting names, as an absolute path: the setting
// without the blanks around it; empty means "backup" beside the database,
// a relative folder is taken from the database's folder.
QString resolveFolder(const QString& setting, const QString& databasePath);

// The file name of the automatic backup of a day: dp<yyyymmdd>.back.
QString dailyFileName(const QDate& day);

} // namespace Backup
