#include "data/CodeAllocation.h"

namespace CodeAllocation {

namespace {

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !text.isEmpty();
}

AllocatedCode failure(const QString& text)
{
    return {QString(), text};
}

} // namespace

AllocatedCode incrementTail(const QString& tail, int width)
{
    if (tail.size() != width || !allDigits(tail))
        return failure(QStringLiteral("编号末尾“%1”不是%2位数字").arg(tail).arg(width));
    // Counting with a leading 1 keeps the zeros: 1007 + 1 = 1008 -> 008.
    const qlonglong next = (QStringLiteral("1") + tail).toLongLong() + 1;
    const QString digits = QString::number(next).mid(1);
    if (digits.size() != width || QString::number(next).at(0) != QLatin1Char('1'))
        return failure(
            QStringLiteral("编号已用完（%1 之后没有可用的%2位编号）").arg(tail).arg(width));
    return {digits, QString()};
}

AllocatedCode nextDated(const QString& largest, const QString& prefix, const QString& day,
                        int width)
{
    if (largest.isEmpty()) {
        AllocatedCode tail = incrementTail(QString(width, QLatin1Char('0')), width);
        if (tail)
            tail.code = prefix + day + QLatin1Char('-') + tail.code;
        return tail;
    }
    // Within a day's series the head stays: the same step as a plain series.
    return nextPlain(largest, width);
}

AllocatedCode nextPlain(const QString& largest, int width)
{
    if (largest.isEmpty())
        return incrementTail(QString(width, QLatin1Char('0')), width);
    if (largest.size() < width)
        return failure(QStringLiteral("编号“%1”太短").arg(largest));
    AllocatedCode tail = incrementTail(largest.right(width), width);
    if (tail)
        tail.code = largest.left(largest.size() - width) + tail.code;
    return tail;
}

QString treeSearchPrefix(const QString& selected, int mode)
{
    return mode == 1 ? selected.left(qMax<qsizetype>(0, selected.size() - 3)) : selected;
}

AllocatedCode nextTree(const QString& selected, int mode, const QString& largestUnder)
{
    if (mode != 1 && mode != 2)
        return failure(QStringLiteral("未知的编号方式 %1").arg(mode));
    // The largest code under the parent may lie deeper: cut it to the level
    // of the new node. Nothing at that level yet (the parent has no child,
    // or only itself was found): the first code under the parent.
    const qsizetype level = mode == 1 ? selected.size() : selected.size() + 3;
    QString found = largestUnder.left(level);
    if (found.size() < level || level < 3)
        found = treeSearchPrefix(selected, mode) + QStringLiteral("000");
    AllocatedCode tail = incrementTail(found.right(3), 3);
    if (tail)
        tail.code = found.left(found.size() - 3) + tail.code;
    return tail;
}

} // namespace CodeAllocation
