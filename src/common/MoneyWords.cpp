#include "common/MoneyWords.h"

#include <cmath>

QString MoneyMinToBig(double amount)
{
    if (!std::isfinite(amount))
        return QString();
    if (amount < 0) {
        const QString words = MoneyMinToBig(-amount);
        return words.isEmpty() ? QString() : QStringLiteral("负") + words;
    }
    // Two decimals, halves away from zero.
    const double cents = std::round(amount * 100.0);
    if (cents >= 1e14)
        return QString();
    const QString text = QString::number(cents / 100.0, 'f', 2);
    if (text.size() - 3 > 12) // rounding may reach 10^12
        return QString();

    static const QString digits = QStringLiteral("零壹贰叁肆伍陆柒捌玖");
    static const QString units[] = {
        QStringLiteral("分"), QStringLiteral("角"), QStringLiteral("元"), QStringLiteral("拾"),
        QStringLiteral("佰"), QStringLiteral("千"), QStringLiteral("万"), QStringLiteral("拾"),
        QStringLiteral("佰"), QStringLiteral("千"), QStringLiteral("亿"), QStringLiteral("拾"),
        QStringLiteral("佰"), QStringLiteral("千")};
    QString result;
    int p = -2;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('.'))
            continue;
        result.prepend(digits.at(c.digitValue()) + units[p + 2]);
        ++p;
    }
    if (text.endsWith(QLatin1String("00"))) {
        result.chop(4);
        result += QStringLiteral("整");
    }
    return result;
}
