#pragma once

#include "platform/UserDialogs.h"

// The desktop's message boxes and file dialogs, parented to the active
// window. Installed by the program at start.
class QtUserDialogs : public UserDialogs
{
public:
    int showMess(const QString& text, int kind) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QStringList openFileNames(const QString& title, const QString& dir,
                              const QString& filter) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& title, const QString& dir) override;
};
