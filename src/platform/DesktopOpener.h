#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// Opens a file, web address or mail address with the desktop's program.
// Tests put their own opener in place (recording what would open); an
// empty function restores the desktop's. True when a program took it.
bool OpenWithDesktop(const QUrl& url);

// A file named by the operator (a related file's path): nothing for a blank
// path; when no program takes it, says so. True when it opened.
bool OpenFileWithDesktop(const QString& path);

using DesktopOpener = std::function<bool(const QUrl& url)>;
void setDesktopOpener(DesktopOpener opener);
