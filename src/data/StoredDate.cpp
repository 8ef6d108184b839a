#include "data/StoredDate.h"

namespace StoredDate {

QString iso(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate parse(const QVariant& stored)
{
    if (!stored.isValid() || stored.isNull())
        return QDate();
    if (stored.typeId() == QMetaType::QDate)
        return stored.toDate();
    if (stored.typeId() == QMetaType::QDateTime)
        return stored.toDateTime().date();
    return QDate::fromString(stored.toString().trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
}

bool isGiven(const QVariant& stored)
{
    const QDate d = parse(stored);
    return d.isValid() && d >= kFirstGiven;
}

QString text(const QVariant& stored)
{
    return isGiven(stored) ? iso(parse(stored)) : QString();
}

QString toStored(bool given, const QDate& date)
{
    return iso(given && date.isValid() ? date : kNoDate);
}

QDate optionalDate(const QString& stored)
{
    return stored.left(10) < iso(kFirstGiven) ? QDate() : parse(stored);
}

QDate endDate(const QString& stored)
{
    return stored.isEmpty() || stored.left(10) >= iso(kOpenEnd) ? QDate() : parse(stored);
}

} // namespace StoredDate
