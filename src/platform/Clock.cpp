#include "platform/Clock.h"

namespace {
QDateTime g_fixed;
}

QDateTime Clock::now()
{
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate Clock::today()
{
    return now().date();
}

void Clock::setNow(const QDateTime& moment)
{
    g_fixed = moment;
}

void Clock::reset()
{
    g_fixed = QDateTime();
}
