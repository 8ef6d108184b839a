#include "platform/DesktopOpener.h"

#include "platform/UserDialogs.h"

#include <QDesktopServices>

namespace {

DesktopOpener& opener()
{
    static DesktopOpener current;
    return current;
}

} // namespace

bool OpenWithDesktop(const QUrl& url)
{
    return opener() ? opener()(url) : QDesktopServices::openUrl(url);
}

bool OpenFileWithDesktop(const QString& path)
{
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (OpenWithDesktop(QUrl::fromLocalFile(trimmed)))
        return true;
    ShowMess(QStringLiteral("没有可以打开 %1 的程序。").arg(trimmed), mkInfo);
    return false;
}

void setDesktopOpener(DesktopOpener replacement)
{
    opener() = std::move(replacement);
}
