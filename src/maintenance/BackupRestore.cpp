#include "maintenance/BackupRestore.h"

#include "data/Backup.h"
#include "data/Database.h"
#include "data/FilePublish.h"
#include "data/Schema.h"
#include "platform/Clock.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <atomic>

namespace BackupRestore {

namespace {

QString connectionName(const char* what)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("restore-%1-%2").arg(QLatin1String(what)).arg(++counter);
}

// The engine's own report of a damaged file; empty when it is sound.
QString integrityProblems(Database& db, QString* error)
{
    QSqlQuery q = db.prepare(db.dialect().integrityCheck(), {}, error);
    if (!db.exec(q, error))
        return error && !error->isEmpty() ? *error : QStringLiteral("integrity check failed");
    QStringList problems;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    return problems.join(QLatin1Char('\n'));
}

} // namespace

PreparedRestore::~PreparedRestore()
{
    removeCopy();
}

void PreparedRestore::removeCopy()
{
    if (!m_copy.isEmpty())
        FilePublish::removeDatabaseFiles(m_copy);
    m_copy.clear();
}

bool PreparedRestore::refuse(const QString& reason, const QString& details)
{
    removeCopy();
    m_reason = reason;
    m_details = details;
    return false;
}

bool PreparedRestore::prepare(const QString& backupFile, const QString& databasePath)
{
    removeCopy();
    m_reason.clear();
    m_details.clear();
    m_version = 0;
    const QFileInfo info(backupFile);
    if (!info.isFile())
        return refuse(
            QStringLiteral("备份文件 %1 不存在").arg(QDir::toNativeSeparators(backupFile)));
    if (info.absoluteFilePath() == QFileInfo(databasePath).absoluteFilePath())
        return refuse(QStringLiteral("所选文件就是当前数据库"));

    QString error;
    {
        // Only read: the chosen file stays as it is, whatever it holds.
        Database source(connectionName("source"));
        Database::OpenOptions options;
        options.readOnly = true;
        if (!source.open(backupFile, options, &error))
            return refuse(
                QStringLiteral("所选文件不是数据库文件（%1）").arg(Database::plainReason(error)),
                error);
        const QString damaged = integrityProblems(source, &error);
        if (!damaged.isEmpty())
            return refuse(QStringLiteral("所选文件已损坏，完整性检查未通过"), damaged);
        Schema::Inspection found;
        if (!Schema::inspect(source, &found, &error))
            return refuse(
                QStringLiteral("无法读取所选文件的数据表（%1）").arg(Database::plainReason(error)),
                error);
        m_version = found.version;
        switch (found.state) {
        case Schema::State::Current:
        case Schema::State::Older:
            break;
        case Schema::State::Empty:
            return refuse(QStringLiteral("所选文件不是合同管理数据库（没有数据表）"));
        case Schema::State::Unstamped:
        case Schema::State::Newer:
        case Schema::State::Foreign:
            return refuse(found.problem);
        }
        if (found.state == Schema::State::Current) {
            const QStringList missing = Schema::verify(source);
            if (!missing.isEmpty())
                return refuse(
                    QStringLiteral("所选文件不是完整的合同管理数据库：%1").arg(missing.first()),
                    missing.join(QLatin1Char('\n')));
        }
        m_copy = FilePublish::createTemporaryBeside(databasePath, &error);
        if (m_copy.isEmpty())
            return refuse(
                QStringLiteral("无法在数据库文件夹中写入（%1）").arg(Database::plainReason(error)),
                error);
        if (!source.exec(source.dialect().copyInto(), {{QStringLiteral(":target"), m_copy}},
                         &error))
            return refuse(
                QStringLiteral("无法读取所选文件（%1）").arg(Database::plainReason(error)), error);
    }

    Database copy(connectionName("copy"));
    if (!copy.open(m_copy, &error))
        return refuse(
            QStringLiteral("无法打开所选文件的副本（%1）").arg(Database::plainReason(error)),
            error);
    // An older backup is brought to this version on the copy, so that the
    // database is never left at an older version.
    if (Schema::version(copy) < Schema::kCurrentVersion && !Schema::upgrade(copy, &error))
        return refuse(
            QStringLiteral("无法升级所选文件的数据库版本（%1）").arg(Database::plainReason(error)),
            error);
    const QStringList missing = Schema::verify(copy);
    if (!missing.isEmpty())
        return refuse(QStringLiteral("所选文件不是完整的合同管理数据库：%1").arg(missing.first()),
                      missing.join(QLatin1Char('\n')));
    if (!copy.makeSelfContained(&error))
        return refuse(
            QStringLiteral("无法写入所选文件的副本（%1）").arg(Database::plainReason(error)),
            error);
    copy.close();
    return true;
}

QString safetyCopyName(const QDateTime& when)
{
    return QStringLiteral("恢复前-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".back");
}

Result restore(Database& db, const PreparedRestore& prepared, const QString& backupFolder)
{
    Result result;
    if (prepared.copyPath().isEmpty()) {
        result.error = QStringLiteral("没有检查过的备份文件");
        return result;
    }
    if (!QDir().mkpath(backupFolder)) {
        result.error =
            QStringLiteral("无法创建备份文件夹 %1").arg(QDir::toNativeSeparators(backupFolder));
        return result;
    }
    // The current database first, under a name of its own: a restore of the
    // wrong file can be undone.
    const QDir folder(backupFolder);
    const QString base = safetyCopyName(Clock::now());
    QString kept;
    for (int n = 1; kept.isEmpty(); ++n) {
        const QString name = n == 1 ? base : base.chopped(5) + QStringLiteral("-%1.back").arg(n);
        const QString path = folder.filePath(name);
        switch (Backup::copyDatabase(db, path, &result.error)) {
        case Backup::Result::Written:
            kept = path;
            break;
        case Backup::Result::TargetExists:
            if (n < 100)
                continue;
            [[fallthrough]];
        case Backup::Result::Failed:
            return result;
        }
    }
    switch (db.replaceContent(prepared.copyPath(), &result.error)) {
    case SqlDialect::ReplaceResult::Replaced:
        result.outcome = Outcome::Restored;
        result.safetyCopy = kept;
        return result;
    case SqlDialect::ReplaceResult::InUse:
        result.outcome = Outcome::InUse;
        break;
    case SqlDialect::ReplaceResult::Failed:
        result.outcome = Outcome::Failed;
        break;
    }
    // The database is as it was: the copy would only be a second one of it.
    FilePublish::removeDatabaseFiles(kept);
    return result;
}

} // namespace BackupRestore

namespace BackupSettings {

bool readFolder(Database& db, QString* folder, QString* error)
{
    bool ok = false;
    const QVariant value =
        db.scalar(QStringLiteral("SELECT F_BakPath FROM SysInfo"), {}, &ok, error);
    if (!ok)
        return false;
    *folder = value.toString();
    return true;
}

bool saveFolder(Database& db, const QString& folder, QString* error)
{
    return db.exec(QStringLiteral("UPDATE SysInfo SET F_BakPath = :path"),
                   {{QStringLiteral(":path"), folder}}, error);
}

} // namespace BackupSettings
