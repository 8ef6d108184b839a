#include "platform/DesktopOpener.h"

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

void setDesktopOpener(DesktopOpener replacement)
{
    opener() = std::move(replacement);
}
