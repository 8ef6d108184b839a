#pragma once

#include "contracts/ContractQuery.h"

#include <QDialog>

#include <optional>

class CheckedDate;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "合同查询对话框": many criteria on contracts combined into the statement
// the main window's contract list runs instead of its own filters. Reads
// pick lists only; writes nothing.
//
// Children: edtName, edtCode, edtType (btnType), cbbEmpName, memMemo1,
// memMemo2, edtClient1 (btnClient1), edtClient2 (btnClient2), cbbStatus,
// cbbDept, edtGCname (btnGCname), edtZF1..edtZF5 (labels lblZF1..5),
// rbAll / rbArchived / rbNotArchived, chkDate1..chkDate5 with dtpFrom1..5
// and dtpTo1..5, btnQuery ("查询(&P)"), btnClose ("关闭(&C)"). Custom fields
// whose caption is empty are not in use and stay hidden. The pick buttons of
// counterparts and projects show while their pickers are registered
// (PickerRegistry).
class TDLGcontractCX : public QDialog
{
    Q_OBJECT
public:
    explicit TDLGcontractCX(QWidget* parent = nullptr);

    ContractQueryCriteria criteria() const;
    // The statement of the criteria for the current session.
    SqlBuilder statement() const;

    // The pick buttons.
    void pickType();
    void pickClient(int side); // 1 party A, 2 party B
    void pickProject();

    // "查询(&P)": accepts unless a date is invalid.
    void query();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_name;
    QLineEdit* m_code;
    QLineEdit* m_type;
    QComboBox* m_emp;
    QPlainTextEdit* m_memo1;
    QPlainTextEdit* m_memo2;
    QLineEdit* m_client1;
    QLineEdit* m_client2;
    QComboBox* m_status;
    QComboBox* m_dept;
    QLineEdit* m_gcName;
    QLineEdit* m_custom[5];
    QButtonGroup* m_archive;
    QCheckBox* m_dateRow[5];
    CheckedDate* m_from[5];
    CheckedDate* m_to[5];
    QPushButton* m_query;
    QPushButton* m_close;
    bool m_prepared = false;
};

// Opens the dialog; the statement of the criteria on "查询(&P)", nothing when
// closed with "关闭(&C)".
std::optional<SqlBuilder> ContractQueryDialog(QWidget* parent = nullptr);
