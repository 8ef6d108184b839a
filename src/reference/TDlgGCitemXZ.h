#pragma once

#include <QDialog>

class DataGrid;
class QComboBox;
class QLineEdit;
class QTreeWidget;

// The project picker "工程项目选择": the project-type tree beside the
// projects in use under the chosen type (stopped projects are never
// offered), searched by name and works name as they are typed and by
// nature of works on "查询". "新增项目" adds one project through the edit
// window and stands on it.
//
// Children: tvTree, edtName ("项目名称："), edtGCname ("工程名称："),
// cbbGCtype ("工程性质："), btnQuery ("查询"), btnAdd ("新增项目"),
// DBGridEh1, btnOK ("确定"), btnCancel ("取消").
class TDlgGCitemXZ : public QDialog
{
    Q_OBJECT
public:
    explicit TDlgGCitemXZ(QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    DataGrid* grid() const { return m_grid; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* gcNameEdit() const { return m_gcName; }
    QComboBox* gcTypeBox() const { return m_gcType; }

    bool requery();
    // "新增项目".
    void addProject();
    // The chosen project's code; empty when the list is empty.
    QString chosenCode() const;

private:
    bool query(QString* error);

    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_gcName = nullptr;
    QComboBox* m_gcType = nullptr;
    DataGrid* m_grid = nullptr;
};

// Shows the picker; the chosen project's code, or `current` unchanged when
// it was closed without a choice.
QString PickProjectCode(const QString& current, QWidget* parent = nullptr);
