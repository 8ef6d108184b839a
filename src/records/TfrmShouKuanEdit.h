#pragma once

#include "records/SubRecordEdit.h"

class AmountBox;
class CheckedDate;
class DateBox;
class QLineEdit;

// The receipt and payment edit window opened from the main window's receipts
// page, for the main window's current contract. Rows are receipts or
// payments by the contract's direction, hence the "收(付)" captions.
//
// Children: dtpDate, edtOldCode, edtYSprice, dtpYSdate, edtSKprice, dtpSKdate,
// edtKPprice, memMemo1, edtOperName, and those of SubRecordEdit.
class TfrmShouKuanEdit : public SubRecordEdit
{
    Q_OBJECT
public:
    // `receipts` is the page's list of the contract's receipts; `contract`
    // the values of the main window's current contract row (F_cltID and the
    // summary's columns). Without `reopen` the list is re-read as the page
    // reads it.
    TfrmShouKuanEdit(DataGrid* receipts, const QVariantMap& contract, QWidget* parent = nullptr,
                     std::function<bool(QString*)> reopen = {});

    DateBox* dateEdit() const { return m_date; }
    QLineEdit* oldCodeEdit() const { return m_oldCode; }
    AmountBox* ysPriceBox() const { return m_ysPrice; }
    CheckedDate* ysDateEdit() const { return m_ysDate; }
    AmountBox* skPriceBox() const { return m_skPrice; }
    CheckedDate* skDateEdit() const { return m_skDate; }
    AmountBox* kpPriceBox() const { return m_kpPrice; }
    QPlainTextEdit* memoEdit() const { return m_memo; }
    QLineEdit* operNameEdit() const { return m_operName; }

protected:
    enum class Variant
    {
        MainWindow,
        ListScreen
    };
    TfrmShouKuanEdit(Variant variant, const CallerList& caller, QWidget* parent);

    void clearFields() override;
    void loadFields() override;
    bool writeRecord(Database& db, qint64 id, qint64* savedId, QString* error) override;
    QWidget* firstField() const override;

    Variant m_variant;

private:
    void buildFields(int firstRow);

    DateBox* m_date = nullptr;
    QLineEdit* m_oldCode = nullptr;
    AmountBox* m_ysPrice = nullptr;
    CheckedDate* m_ysDate = nullptr;
    AmountBox* m_skPrice = nullptr;
    CheckedDate* m_skDate = nullptr;
    AmountBox* m_kpPrice = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_operName = nullptr;
};

// The same window opened from the receipts list screen: the contract is
// picked inside it (the contract header block, selection dialog in its
// receipts mode), and each row of the screen's list carries the contract
// header beside the receipt.
//
// Children besides: those of ContractHeaderBlock.
class TfrmShouKuanEdit1 : public TfrmShouKuanEdit
{
    Q_OBJECT
public:
    explicit TfrmShouKuanEdit1(const CallerList& list, QWidget* parent = nullptr);

    // -1 until a contract is picked in add mode.
    int selectedContract() const { return contractLink(); }
    // The button of the code box.
    void pickContract() { contractHeader()->pick(); }
    QLineEdit* headerEdit(const QString& objectName) const
    {
        return contractHeader()->edit(objectName);
    }
};

// The main window's receipts page: "新增" (AddMode) and "修改" (ModifyMode)
// for its current contract. Answers what Open answers.
int OpenReceiptEdit(SubRecordEdit::Mode mode, DataGrid* receipts, const QVariantMap& contract,
                    QWidget* parent = nullptr);
