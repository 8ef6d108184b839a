#pragma once

#include "common/GridColumn.h"
#include "records/SubRecordEdit.h"

#include <QPointer>

class CheckedDate;
class DateBox;
class QAbstractItemDelegate;
class QComboBox;
class QLineEdit;
class QPushButton;

// The shipment edit window of the main window's shipment page, for the
// main window's current contract. Its lines are the page's own line set
// (the grid is lent to the window while it is open and given back after):
// the caller points that set at the shipment's lines, detached from the
// shipment list, before opening, and links it again afterwards. Line edits
// stay pending until "确定" writes them with the header in one transaction.
//
// Children: edtCode, edtOLDcode, cbbFHemp, dtpFHdate, edtSHemp, dtpSHdate,
// edtSHaddress, edtSHphone, edtSHhandPhone, edtFilePath, btnFilePath,
// btnOpenFile, memMemo1, the lent lines grid, btnAddLine ("新增"),
// btnDeleteLine ("删除"), and those of SubRecordEdit.
class TfrmHTFHedit : public SubRecordEdit
{
    Q_OBJECT
public:
    // `shipments` is the page's list of the contract's shipments, `lines`
    // the page's line grid; `contract` the values of the main window's
    // current contract row. Without `reopen` the list is re-read as the page
    // reads it.
    TfrmHTFHedit(DataGrid* shipments, DataGrid* lines, const QVariantMap& contract,
                 QWidget* parent = nullptr, std::function<bool(QString*)> reopen = {});
    ~TfrmHTFHedit() override;

    DataGrid* linesGrid() const { return m_lines; }
    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* oldCodeEdit() const { return m_oldCode; }
    QComboBox* shipperBox() const { return m_fhEmp; }
    DateBox* shippingDateEdit() const { return m_fhDate; }
    QLineEdit* consigneeEdit() const { return m_shEmp; }
    CheckedDate* receiptDateEdit() const { return m_shDate; }
    QLineEdit* addressEdit() const { return m_shAddress; }
    QLineEdit* phoneEdit() const { return m_shPhone; }
    QLineEdit* handPhoneEdit() const { return m_shHandPhone; }
    QLineEdit* filePathEdit() const { return m_filePath; }
    QPlainTextEdit* memoEdit() const { return m_memo; }

    // The name cell's button: the goods picker limited to the contract's goods.
    void pickGoodsLines();
    void appendEmptyLine();
    void deleteCurrentLine();

protected:
    bool hasPendingRows() const override;
    void clearFields() override;
    void loadFields() override;
    bool checkFields() override;
    bool writeRecord(Database& db, qint64 id, qint64* savedId, QString* error) override;
    QWidget* firstField() const override;

private:
    void buildFields();
    void borrowLines();
    void returnLines();
    void readLines(const SqlParams& params);

    QLineEdit* m_code = nullptr;
    QLineEdit* m_oldCode = nullptr;
    QComboBox* m_fhEmp = nullptr;
    DateBox* m_fhDate = nullptr;
    QLineEdit* m_shEmp = nullptr;
    CheckedDate* m_shDate = nullptr;
    QLineEdit* m_shAddress = nullptr;
    QLineEdit* m_shPhone = nullptr;
    QLineEdit* m_shHandPhone = nullptr;
    QLineEdit* m_filePath = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_addLine = nullptr;
    QPushButton* m_deleteLine = nullptr;

    // The lent grid and what it was before the loan.
    DataGrid* m_lines = nullptr;
    QPointer<QWidget> m_linesHome;
    int m_linesIndex = -1;
    bool m_linesVisible = true;
    bool m_linesFooter = false;
    GridColumns m_linesColumns;
    QAbstractItemDelegate* m_linesDelegate = nullptr;
};

// The main window's shipment page: "新增" (AddMode) and "修改" (ModifyMode)
// for its current contract, over the page's shipment list and line grid.
int OpenShipmentEdit(SubRecordEdit::Mode mode, DataGrid* shipments, DataGrid* lines,
                     const QVariantMap& contract, QWidget* parent = nullptr);
