#pragma once

#include "operators/OperatorStore.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// "操作员": one operator's name, password, description, contract
// restriction, approval permission, disabled mark and rights. Mode 0 adds
// operators one after the other (the window stays open, emptied, after each
// save); mode 1 modifies the given operator and closes after the save. In
// mode 1 the password fields start empty: leaving both empty keeps the
// stored password.
class TfrmOperEdit : public QDialog
{
    Q_OBJECT
public:
    TfrmOperEdit(int mode, qint64 id, QWidget* parent = nullptr);

    int mode() const { return m_mode; }
    // False when the operator or the rights could not be read (said).
    bool isLoaded() const { return m_loaded; }

    // "保存": true when stored.
    bool save();
    void tickAll(bool ticked);
    // The check-list cell of a right; null when there is no such right.
    QTableWidgetItem* rightItem(const QString& name) const;
    QStringList tickedRights() const;

signals:
    // After each save, with the name as stored.
    void saved(const QString& name);

private:
    bool load();
    void clearFields();
    void showDeptField();
    void pickDepartments();

    int m_mode;
    OperatorRecord m_record;
    QStringList m_rights;
    bool m_loaded = false;

    QComboBox* m_name = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
    QPlainTextEdit* m_mem = nullptr;
    QTableWidget* m_rightList = nullptr;
    QCheckBox* m_approve = nullptr;
    QButtonGroup* m_xtFlag = nullptr;
    QLineEdit* m_dept = nullptr;
    QPushButton* m_deptButton = nullptr;
    QCheckBox* m_disabled = nullptr;
};
