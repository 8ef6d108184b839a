#pragma once

#include <QDate>
#include <QString>

class Database;

namespace Backup {

// Writes a consistent copy of the connected database to `target` (which
// must not exist yet), even while other workstations write. On failure no
// partial file is left behind.
bool copyDatabase(Database& db, const QString& target, QString* error = nullptr);

// The file name of the automatic backup of a day: dp<yyyymmdd>.back.
QString dailyFileName(const QDate& day);

} // namespace Backup
