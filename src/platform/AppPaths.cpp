#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace AppPaths {

namespace {
QString g_testExeDir;
}

QString exeDir()
{
    if (!g_testExeDir.isEmpty())
        return g_testExeDir;
    return QCoreApplication::applicationDirPath();
}

void setExeDirForTesting(const QString& dir)
{
    g_testExeDir = dir;
    while (g_testExeDir.size() > 1 && g_testExeDir.endsWith(QLatin1Char('/')))
        g_testExeDir.chop(1);
}

QString configFile()
{
    return exeDir() + QStringLiteral("/config.ini");
}

QString defaultDataDir()
{
    return exeDir() + QStringLiteral("/data/");
}

QString dataDirFromSetting(const QString& ds)
{
    if (ds.trimmed().isEmpty())
        return defaultDataDir();
    if (QDir::isRelativePath(ds))
        return exeDir() + QLatin1Char('/') + ds;
    return ds;
}

QString folderSettingForFile(const QString& file)
{
    QString folder = QFileInfo(file).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace AppPaths
