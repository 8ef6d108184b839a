#pragma once

#include <QDialog>

#include <functional>

class DataGrid;
class QAction;
class QButtonGroup;
class QLabel;

// "选项设置...": the simple pick lists of t_code, one page per list, edited
// in the grid and written in one batch on "保存".
class TFrmCodeMan : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmCodeMan(QWidget* parent = nullptr);

    DataGrid* grid() const { return m_grid; }
    int currentPage() const { return m_page; }
    QString currentKey() const;
    QString currentCaption() const;
    bool isEditing() const { return m_editing; }

    void showPage(int page);
    // The tool bar's commands.
    void addEntry();
    void modifyEntries();
    void deleteEntry();
    // False when the batch could not be written (the changes stay).
    bool save();
    void cancelEdit();
    void printList();
    void exportList();
    void refresh();

    // Esc: "取消" while editing, otherwise closes.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addCommand(const char* name, const QString& text, const QKeySequence& key,
                        const std::function<void()>& run);
    void setEditing(bool editing);
    void editCurrent();
    void appendRow();

    DataGrid* m_grid;
    QButtonGroup* m_pages;
    QList<QAction*> m_browseCommands;
    QList<QAction*> m_editCommands;
    int m_page = 0;
    bool m_editing = false;
};

// Opens "选项设置..." modally, centred on the main window.
void OpenCodeListWindow(QWidget* parent = nullptr);
