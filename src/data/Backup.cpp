#include "data/Backup.h"

#include "data/Database.h"
#include "data/FilePublish.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace Backup {

Result copyDatabase(Database& db, const QString& target, QString* error)
{
    if (target.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("没有指定备份文件");
        return Result::Failed;
    }
    const QString path = QFileInfo(target).absoluteFilePath();
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
        if (error)
            *error = QStringLiteral("文件已存在：%1").arg(QDir::toNativeSeparators(path));
        return Result::TargetExists;
    }
    const QString temp = FilePublish::createTemporaryBeside(path, error);
    if (temp.isEmpty())
        return Result::Failed;
    // The copy is read in one transaction: a consistent snapshot, and
    // compact as well. It accepts the empty file that reserves the
    // temporary name.
    Result result = Result::Failed;
    if (db.exec(db.dialect().copyInto(), {{QStringLiteral(":target"), temp}}, error) &&
        FilePublish::syncFile(temp, error)) {
        switch (FilePublish::publish(temp, path, error)) {
        case FilePublish::Result::Published:
            return Result::Written;
        case FilePublish::Result::TargetExists:
            result = Result::TargetExists;
            break;
        case FilePublish::Result::Failed:
            break;
        }
    }
    FilePublish::removeDatabaseFiles(temp);
    return result;
}

bool copyDatabaseOver(Database& db, const QString& target, QString* error)
{
    if (target.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("没有指定备份文件");
        return false;
    }
    const QString path = QFileInfo(target).absoluteFilePath();
    const QString temp = FilePublish::createTemporaryBeside(path, error);
    if (temp.isEmpty())
        return false;
    if (db.exec(db.dialect().copyInto(), {{QStringLiteral(":target"), temp}}, error) &&
        FilePublish::syncFile(temp, error) && FilePublish::replace(temp, path, error))
        return true;
    FilePublish::removeDatabaseFiles(temp);
    return false;
}

QString resolveFolder(const QString& setting, const QString& databasePath)
{
    const QString folder = setting.trimmed();
    const QDir base = QFileInfo(databasePath).absoluteDir();
    if (folder.isEmpty())
        return QDir::cleanPath(base.filePath(QStringLiteral("backup")));
    return QDir::cleanPath(base.absoluteFilePath(folder));
}

QString dailyFileName(const QDate& day)
{
    return QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".back");
}

} // namespace Backup
