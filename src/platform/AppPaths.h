#pragma once

#include <QString>

// Folders the program finds beside its executable: config.ini, Qr/, data/,
// temp/, the help files.
namespace AppPaths {

// The executable's folder, without a trailing separator. Tests point it at a
// temporary folder.
QString exeDir();
void setExeDirForTesting(const QString& dir);

QString configFile();     // <exe>/config.ini
QString defaultDataDir(); // <exe>/data/ (with the trailing separator)

// The data folder that a stored `ds` value names. Blank means the default.
// Any other value is used as it stands, so it must end with a separator:
// "/srv/db" names the file "/srv/dbContract.db". A relative value is taken
// from the executable's folder, not from wherever the program was started.
QString dataDirFromSetting(const QString& ds);

// The `ds` value to store for a picked database file: its folder with a
// trailing separator.
QString folderSettingForFile(const QString& file);

inline QString databaseFileName()
{
    return QStringLiteral("Contract.db");
}

} // namespace AppPaths
