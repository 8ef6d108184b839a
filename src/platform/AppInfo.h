#pragma once

#include <QString>

// The program's name and version as windows and messages show them.
namespace AppInfo {

inline QString applicationTitle()
{
    return QStringLiteral("璞朔工程合同管理软件(企业版)");
}

inline QString version()
{
    return QStringLiteral("v2.30");
}

} // namespace AppInfo
