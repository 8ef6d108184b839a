#pragma once

#include <QDate>
#include <QDateTime>

// The one source of "now" in the program. Mondays, month starts, dated codes
// and reminder windows all depend on today, so tests fix it here.
class Clock
{
public:
    static QDateTime now();
    static QDate today();

    // Freezes the clock at the given moment until reset().
    static void setNow(const QDateTime& moment);
    static void reset();
};
