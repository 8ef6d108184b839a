#pragma once

#include "reference/TypeTreePicker.h"

class QComboBox;
class QLineEdit;

// The project picker "工程项目选择": the project-type tree beside the
// projects in use under the chosen type (stopped projects are never
// offered), searched by name and works name as they are typed and by
// nature of works on "查询". "新增项目" adds one project through the edit
// window and stands on it.
//
// Children: tvTree, edtName ("项目名称："), edtGCname ("工程名称："),
// cbbGCtype ("工程性质："), btnQuery ("查询"), btnAdd ("新增项目"),
// DBGridEh1, btnOK ("确定"), btnCancel ("取消").
class TDlgGCitemXZ : public TypeTreePicker
{
    Q_OBJECT
public:
    explicit TDlgGCitemXZ(QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* gcNameEdit() const { return m_gcName; }
    QComboBox* gcTypeBox() const { return m_gcType; }

    // "新增项目".
    void addProject() { addRecord(); }
    // The chosen project's code; empty when the list is empty.
    QString chosenCode() const { return chosenValue(); }

protected:
    bool query(QString* error) override;
    void addRecord() override;

private:
    QLineEdit* m_name = nullptr;
    QLineEdit* m_gcName = nullptr;
    QComboBox* m_gcType = nullptr;
};

// Shows the picker; the chosen project's code, or `current` unchanged when
// it was closed without a choice.
QString PickProjectCode(const QString& current, QWidget* parent = nullptr);
