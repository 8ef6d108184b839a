#pragma once

#include <QString>

// Makes a folder read-only for the calling thread while the object lives.
// Root passes every permission check, so when the tests run as root the
// thread also sets aside the capabilities that override file permissions,
// and takes them back at the end.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // True when the folder really cannot be written now.
    bool holds() const;

private:
    QString m_path;
    bool m_droppedCapabilities = false;
};
