#pragma once

#include <QDialog>

class DataGrid;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

// "操作员权限管理": the operators with their departments; the current one's
// description and contract restriction below the list. Disabled operators
// are listed (in red) only while "显示禁用操作员" is ticked. The built-in
// administrator can be neither modified nor deleted.
class TfrmOperMan : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmOperMan(QWidget* parent = nullptr);

    DataGrid* grid() const { return m_grid; }
    // Reads the list again and moves to `name` when it is listed.
    bool reopen(const QString& name = QString());

    void addOperator();
    void modifyOperator();
    void deleteOperator();

private:
    void showCurrent();

    DataGrid* m_grid = nullptr;
    QCheckBox* m_showDisabled = nullptr;
    QPlainTextEdit* m_mem = nullptr;
    QButtonGroup* m_xtFlag = nullptr;
    QLineEdit* m_dept = nullptr;
};
