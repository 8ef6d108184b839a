#pragma once

#include "platform/UserDialogs.h"

#include <memory>

class QFileDialog;
class QInputDialog;
class QMessageBox;
class QWidget;

// The desktop's message boxes and file dialogs, parented to the active
// window. Installed by the program at start.
class QtUserDialogs : public UserDialogs
{
public:
    // The box showMess shows, built but not shown: title by kind, icon,
    // buttons (btnOK, or btnYes and btnNo for a question).
    static std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int kind,
                                                       QWidget* parent = nullptr);
    // The dialog saveFileName shows, built but not shown. When the filter
    // names one extension the dialog adds it to a name typed without one,
    // before it asks about replacing an existing file.
    static std::unique_ptr<QFileDialog> makeSaveDialog(const QString& title, const QString& dir,
                                                       const QString& filter,
                                                       QWidget* parent = nullptr);

    // The dialog askPassword shows, built but not shown.
    static std::unique_ptr<QInputDialog>
    makePasswordDialog(const QString& title, const QString& prompt, QWidget* parent = nullptr);

    int showMess(const QString& text, int kind) override;
    void showFailure(const QString& text, const QString& details) override;
    QString openFileName(const QString& title, const QString& dir, const QString& filter) override;
    QStringList openFileNames(const QString& title, const QString& dir,
                              const QString& filter) override;
    QString saveFileName(const QString& title, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& title, const QString& dir) override;
    std::optional<QString> askPassword(const QString& title, const QString& prompt) override;
};
