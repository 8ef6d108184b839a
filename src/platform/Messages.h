#pragma once

#include <QString>

// The operator messages that many windows share, in one place so that they
// read the same everywhere.
namespace Messages {

inline QString operationFailed()
{
    return QStringLiteral("操作失败，请检查数据连接... ");
}
inline QString openFailed()
{
    return QStringLiteral("打开操作失败，请检查数据连接... ");
}
inline QString saveFailed()
{
    return QStringLiteral("保存失败，请检测数据库连接！");
}
inline QString deleteFailed()
{
    return QStringLiteral("删除操作失败，请检查数据连接... ");
}
// A write of a detail page or a batch change that did not go through.
inline QString writeFailed()
{
    return QStringLiteral("操作失败，请检查连接...");
}
inline QString notConnected()
{
    return QStringLiteral("数据库未连接");
}
inline QString notYetAvailable()
{
    return QStringLiteral("此功能尚未提供");
}

} // namespace Messages

// Shows a failure to the operator: `message` is the sentence the operator
// reads; `details` (the database's own text, a file error) goes to the log
// and behind the message's details.
void ShowFailure(const QString& message, const QString& details);
