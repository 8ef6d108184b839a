#include "common/NumberText.h"

#include <cmath>

QString PlainNumber(double v)
{
    if (!std::isfinite(v))
        return QString();
    if (std::fabs(v) < 1e15 && v == std::floor(v))
        return QString::number(v, 'f', 0);
    // Fifteen significant digits: what a double holds without binary noise
    // (1234567.891, not 1234567.8910000001).
    QString s = QString::number(v, 'g', 15);
    if (!s.contains(QLatin1Char('e')))
        return s;
    s = QString::number(v, 'f', 10);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QString FormatNumber(double value, const QString& format)
{
    if (format.trimmed().isEmpty() || !std::isfinite(value))
        return PlainNumber(value);
    // Only the first section of a "positive;negative;zero" format is used.
    const QString f = format.section(QLatin1Char(';'), 0, 0);
    const bool thousands = f.contains(QLatin1Char(','));
    const qsizetype dot = f.indexOf(QLatin1Char('.'));
    int required = 0, optional = 0;
    if (dot >= 0) {
        for (qsizetype i = dot + 1; i < f.size(); ++i) {
            if (f.at(i) == QLatin1Char('0'))
                ++required;
            else if (f.at(i) == QLatin1Char('#'))
                ++optional;
            else
                break;
        }
    }
    QString text = QString::number(std::fabs(value), 'f', required + optional);
    // Drop the optional decimals that are zero.
    if (optional > 0) {
        qsizetype keep = text.size() - optional;
        qsizetype end = text.size();
        while (end > keep && text.at(end - 1) == QLatin1Char('0'))
            --end;
        text.truncate(end);
    }
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (thousands) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        qsizetype intEnd = point < 0 ? text.size() : point;
        for (qsizetype i = intEnd - 3; i > 0; i -= 3)
            text.insert(i, QLatin1Char(','));
    }
    // "-0.00" is shown as "0.00".
    bool allZero = true;
    for (const QChar c : text) {
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    }
    if (value < 0 && !allZero)
        text.prepend(QLatin1Char('-'));
    return text;
}
