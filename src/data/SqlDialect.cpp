#include "data/SqlDialect.h"

#include "platform/Clock.h"

SqlDialect::~SqlDialect() = default;

QString SqlDialect::dateLiteral(const QDate& date) const
{
    return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

QString SqlDialect::today() const
{
    return dateLiteral(Clock::today());
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
