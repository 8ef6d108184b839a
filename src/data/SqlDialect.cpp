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
