#pragma once

#include <QUrl>

#include <functional>

// Opens a file, web address or mail address with the desktop's program.
// Tests put their own opener in place (recording what would open); an
// empty function restores the desktop's. True when a program took it.
bool OpenWithDesktop(const QUrl& url);

using DesktopOpener = std::function<bool(const QUrl& url)>;
void setDesktopOpener(DesktopOpener opener);
