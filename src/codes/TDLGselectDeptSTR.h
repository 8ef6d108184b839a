#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;

// "部门选择": ticks departments for an operator's department list.
class TDLGselectDeptSTR : public QDialog
{
    Q_OBJECT
public:
    // `current` is the list as stored ('A','B'; full-width commas accepted).
    TDLGselectDeptSTR(const QStringList& departments, const QString& current,
                      QWidget* parent = nullptr);

    const QList<QCheckBox*>& boxes() const { return m_boxes; }
    QCheckBox* box(const QString& department) const;
    QStringList ticked() const;
    // The ticked names in the stored form; empty when none is ticked.
    QString listText() const;

private:
    QList<QCheckBox*> m_boxes;
};

// Returns the department list the operator ticks, as stored ('A','B'), or
// `current` unchanged when cancelled or when there are no departments.
QString SelectDepartments(const QString& current, QWidget* parent = nullptr);

// Tests answer the dialog here instead of showing it.
using SelectDepartmentsHook = std::function<QString(const QString& current)>;
void setSelectDepartmentsHook(SelectDepartmentsHook hook);
