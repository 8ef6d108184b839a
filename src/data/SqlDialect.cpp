#include "data/SqlDialect.h"

#include "platform/Clock.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

#include <cstring>

SqlDialect::~SqlDialect() = default;

QString SqlDialect::dateLiteral(const QDate& date) const
{
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

QString SqlDialect::today() const
{
    return dateLiteral(Clock::today());
}

SqlDialect::ReplaceResult SqlDialect::replaceContent(const QSqlDatabase&, const QString&,
                                                     QString* error) const
{
    if (error)
        *error = QStringLiteral("此数据库不能这样恢复");
    return ReplaceResult::Failed;
}

QString SqlDialect::escapeLike(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString SqliteDialect::daysBetween(const QString& from, const QString& to) const
{
    // date() drops a time of day so that whole calendar days are counted.
    return QStringLiteral("CAST(julianday(date(%2)) - julianday(date(%1)) AS INTEGER)")
        .arg(from, to);
}

QString SqliteDialect::boolLiteral(bool value) const
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString SqliteDialect::equalsNoCase(const QString& expr, const QString& other) const
{
    return QStringLiteral("(%1 = %2 COLLATE NOCASE)").arg(expr, other);
}

QString SqliteDialect::likeNoCase(const QString& expr, const QString& pattern) const
{
    return QStringLiteral("(%1 LIKE %2 ESCAPE '\\')").arg(expr, pattern);
}

QString SqliteDialect::beginWrite() const
{
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString SqliteDialect::textLength(const QString& expr) const
{
    return QStringLiteral("length(%1)").arg(expr);
}

QString SqliteDialect::probe() const
{
    return QStringLiteral("SELECT count(*) FROM sqlite_master");
}

QStringList SqliteDialect::connectionSetup(bool writable, bool networkFileSystem) const
{
    QStringList out;
    // WAL needs shared memory on one host: a network file system keeps the
    // rollback journal.
    if (writable)
        out << (networkFileSystem ? QStringLiteral("PRAGMA journal_mode=DELETE")
                                  : QStringLiteral("PRAGMA journal_mode=WAL"));
    out << QStringLiteral("PRAGMA synchronous=NORMAL") << QStringLiteral("PRAGMA foreign_keys=OFF");
    return out;
}

QStringList SqliteDialect::bulkLoad(bool begin) const
{
    if (begin)
        return {QStringLiteral("PRAGMA journal_mode=MEMORY"),
                QStringLiteral("PRAGMA synchronous=OFF"),
                QStringLiteral("PRAGMA cache_size=-131072")};
    return {QStringLiteral("PRAGMA cache_size=-2000")};
}

QString SqliteDialect::selfContained() const
{
    return QStringLiteral("PRAGMA journal_mode=DELETE");
}

QString SqliteDialect::tableExists() const
{
    return QStringLiteral(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = :name COLLATE NOCASE");
}

QString SqliteDialect::tableNames() const
{
    return QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\'");
}

QString SqliteDialect::tableColumns(const QString& table) const
{
    return QStringLiteral("SELECT name, type, pk > 0 FROM pragma_table_info('%1')").arg(table);
}

QString SqliteDialect::readVersion() const
{
    return QStringLiteral("PRAGMA user_version");
}

QString SqliteDialect::writeVersion(int version) const
{
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

QString SqliteDialect::integrityCheck() const
{
    return QStringLiteral("PRAGMA integrity_check");
}

QString SqliteDialect::compact() const
{
    return QStringLiteral("VACUUM");
}

QString SqliteDialect::checkpoint() const
{
    return QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)");
}

QString SqliteDialect::copyInto() const
{
    return QStringLiteral("VACUUM INTO :target");
}

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The connection's own sqlite3 handle, when the driver's SQLite is the one
// this program links: handing a handle to another copy of the library would
// corrupt both.
sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT sqlite_version(), sqlite_source_id()")) || !q.next() ||
        q.value(0).toString() != QLatin1String(sqlite3_libversion()) ||
        q.value(1).toString() != QLatin1String(sqlite3_sourceid()))
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

SqlDialect::ReplaceResult SqliteDialect::replaceContent(const QSqlDatabase& target,
                                                        const QString& sourceFile,
                                                        QString* error) const
{
    sqlite3* dest = sqliteHandle(target);
    if (!dest) {
        setError(error, QStringLiteral("数据库驱动与程序的 SQLite 版本不同，不能恢复"));
        return ReplaceResult::Failed;
    }
    if (!sqlite3_get_autocommit(dest)) {
        setError(error, QStringLiteral("恢复不能在事务中进行"));
        return ReplaceResult::Failed;
    }
    sqlite3* source = nullptr;
    const QByteArray name = QFile::encodeName(sourceFile);
    int rc = sqlite3_open_v2(name.constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        setError(error, QStringLiteral("无法打开 %1: %2")
                            .arg(sourceFile, QString::fromUtf8(sqlite3_errmsg(source))));
        sqlite3_close(source);
        return ReplaceResult::Failed;
    }
    // One step copies every page inside one write transaction of the
    // destination: it commits whole or not at all. The connection's busy
    // timeout lets a short write of another workstation finish first.
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", source, "main");
    if (!backup) {
        setError(error, QString::fromUtf8(sqlite3_errmsg(dest)));
        sqlite3_close(source);
        return ReplaceResult::Failed;
    }
    rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    ReplaceResult result = ReplaceResult::Replaced;
    if (rc != SQLITE_DONE) {
        const int code = rc & 0xff;
        result = code == SQLITE_BUSY || code == SQLITE_LOCKED ? ReplaceResult::InUse
                                                              : ReplaceResult::Failed;
        setError(error,
                 QStringLiteral("%1 (%2)").arg(QString::fromUtf8(sqlite3_errstr(rc))).arg(rc));
    } else if (finished != SQLITE_OK) {
        result = ReplaceResult::Failed;
        setError(error, QString::fromUtf8(sqlite3_errmsg(dest)));
    }
    sqlite3_close(source);
    return result;
}
