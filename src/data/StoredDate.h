#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Dates as the database keeps them: ISO text yyyy-MM-dd. A date the
// operator did not give is stored as the no-date value 1900-08-14, an end
// date not given as the open end 3000-08-14. Any stored date before
// 1901-08-14 reads as not given and is shown blank; lists also show end
// dates after 2999-08-14 blank.
namespace StoredDate {

inline const QDate kNoDate{1900, 8, 14};
inline const QDate kOpenEnd{3000, 8, 14};
inline const QDate kFirstGiven{1901, 8, 14};
inline const QDate kLastShownEnd{2999, 8, 14};

// yyyy-MM-dd
QString iso(const QDate& date);
inline QString noDateText()
{
    return iso(kNoDate);
}

// The stored text or date as a date; invalid when it holds none.
QDate parse(const QVariant& stored);
// True for a date on or after 1901-08-14.
bool isGiven(const QVariant& stored);
// yyyy-MM-dd, or empty when not given.
QString text(const QVariant& stored);
// What an optional date stores: the date, or the no-date value.
QString toStored(bool given, const QDate& date);

// A stored optional date; invalid when not given.
QDate optionalDate(const QString& stored);
// A stored end date; invalid when empty or the open end.
QDate endDate(const QString& stored);

} // namespace StoredDate
