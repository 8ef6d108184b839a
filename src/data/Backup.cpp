#include "data/Backup.h"

#include "data/Database.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

namespace Backup {

bool copyDatabase(Database& db, const QString& target, QString* error)
{
    if (QFileInfo::exists(target)) {
        if (error)
            *error = QStringLiteral("文件已存在: %1").arg(target);
        return false;
    }
    // VACUUM INTO reads the database in one transaction: the copy is a
    // consistent snapshot, and compact as well.
    if (!db.exec(QStringLiteral("VACUUM INTO :target"),
                 {{QStringLiteral(":target"), QFileInfo(target).absoluteFilePath()}}, error)) {
        QFile::remove(target);
        return false;
    }
    return true;
}

QString dailyFileName(const QDate& day)
{
    return QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".back");
}

} // namespace Backup
