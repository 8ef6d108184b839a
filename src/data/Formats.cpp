#include "data/Formats.h"

QString NumberFormat(int decimals, int style)
{
    const int count = qMax(0, decimals);
    switch (style) {
    case 1:
        return QStringLiteral("0.") + QString(count, QLatin1Char('#'));
    case 2:
    case 3: {
        QString tail;
        for (int i = 0; i < count; ++i)
            tail += i < 2 ? QLatin1Char('0') : QLatin1Char('#');
        return QStringLiteral(",0.") + tail;
    }
    default:
        return QString();
    }
}

QString PeriodCaption(const QDate& from, bool fromChecked, const QDate& to, bool toChecked,
                      const QString& prefix)
{
    const QString fmt = QStringLiteral("yyyy年MM月dd日");
    const QString head = prefix.trimmed().isEmpty() ? QStringLiteral("统计") : prefix;
    return head + QStringLiteral("日期：自 ") +
           (fromChecked ? from.toString(fmt) : QStringLiteral("启用系统")) +
           QStringLiteral(" 至 ") + (toChecked ? to.toString(fmt) : QStringLiteral("记帐最后一天"));
}
