#pragma once

#include <QDialog>

#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;

// "系统备份及恢复": the automatic backup choice (config/ibak), the backup
// folder shared by all workstations, and backups made and restored by hand.
// "备份" writes today's dp<yyyymmdd>.back into the folder in the field, "恢复"
// replaces the connected database by a checked backup after the operator's
// own password, "确定" stores the choice and the folder, "关闭" closes.
class TfrmBackup : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmBackup(QWidget* parent = nullptr);

    // "确定": true when stored (the window then closes).
    bool saveSettings();
    // "备份": true when the backup file was written.
    bool backup();
    // "恢复": true when the database was replaced.
    bool restore();
    // The button beside the folder field.
    void pickFolder();

    // Whether a restore replaced the database while the window was open:
    // the main window then reads its tree and list again.
    bool restored() const { return m_restored; }

    // What "yes" to the restart question after a restore does; by default the
    // program starts itself again and ends. Tests replace it; an empty hook
    // brings back the default.
    using RestartHook = std::function<void()>;
    static void setRestartHook(RestartHook hook);

private:
    // The folder the field names, trimmed and resolved against the database.
    QString chosenFolder() const;
    // Asks to create a missing folder; false when it is not there afterwards.
    bool ensureFolder(const QString& folder, bool blankBeforeCreateFailed);
    bool runRestore();
    bool passwordAccepted();

    QButtonGroup* m_mode = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_restore = nullptr;
    bool m_restored = false;
};
