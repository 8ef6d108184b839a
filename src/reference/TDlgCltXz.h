#pragma once

#include "reference/TypeTreePicker.h"

#include <QStringList>

class QLineEdit;

// The counterpart picker "往来单位选择": the counterpart-type tree beside the
// units in use under the chosen type (stopped units are never offered),
// searched by code, name and address. "新增单位" adds one unit through the
// edit window and lists it.
//
// Children: tvTree, edtCode ("单位编码："), edtName ("单位名称："),
// edtAddress ("地    址："), btnQuery ("查询"), btnAdd ("新增单位"), DBGridEh1,
// btnOK ("确定"), btnCancel ("取消").
class TDlgCltXz : public TypeTreePicker
{
    Q_OBJECT
public:
    explicit TDlgCltXz(QWidget* parent = nullptr);

    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* addressEdit() const { return m_address; }

    // "新增单位".
    void addUnit() { addRecord(); }
    // The chosen unit's name; empty when the list is empty.
    QString chosenName() const { return chosenValue(); }

protected:
    bool query(QString* error) override;
    void addRecord() override;

private:
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_address = nullptr;
};

// Shows the picker; the chosen unit's name, or `current` unchanged when it
// was closed without a choice.
QString PickCounterpartName(const QString& current, QWidget* parent = nullptr);
