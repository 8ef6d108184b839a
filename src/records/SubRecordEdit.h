#pragma once

#include "common/AmountBox.h"
#include "common/RecordNavigator.h"
#include "records/ContractHeaderBlock.h"

#include <QDialog>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

class Database;
class DataGrid;
class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RecordModel;

// The edit window of one record under a contract, opened from a list (the
// main window's detail page or a list screen). It works on the caller's list:
// modify edits its current row, the navigation buttons move it, and every
// save re-reads it and puts it on the saved row.
//
// The contract shows in one of two ways: the main window's variant shows
// the read-only summary of the caller's contract (setContract), the list
// screen's variant a header block in which the operator chooses the contract
// (addContractHeader); either way contractLink() is the record's contract.
//
// Open(mode) shows the window modally; it answers Accepted when it saved and
// closed itself. Only a save changes the mode: afterwards the window is in
// add mode, and with "连续新增" ticked it stays open for the next entry.
// Enter acts as Tab outside multi-line boxes; Ctrl+S presses "确定" and Esc
// "取消" while they are enabled. A failed save rolls back, says so and keeps
// the window open with its values. Moving to another record with changes not
// saved asks first (RecordNavigator::mayLeave).
//
// Children: chkContinue ("连续新增"), navRecord with btnFirst/btnPrior/
// btnNext/btnLast, btnOK ("确定"), btnCancel ("取消"), memSummary (the
// contract summary, shown only when a window sets a contract).
class SubRecordEdit : public QDialog
{
    Q_OBJECT
public:
    enum Mode
    {
        AddMode = 1,
        ModifyMode = 2
    };

    // What the window needs of the list that opened it.
    struct CallerList
    {
        DataGrid* grid = nullptr;
        // Runs the list's current statement again (its filters stay).
        std::function<bool(QString* error)> reopen;
    };

    // Sets the mode, clears or loads the fields and shows the window
    // modally; the caller frees the window afterwards.
    int Open(Mode mode);
    // What Open does before showing; tests drive the window from here.
    void prepare(Mode mode);

    Mode mode() const { return m_mode; }
    QString title() const { return m_title; }
    const CallerList& caller() const { return m_caller; }

    QCheckBox* continuousAdd() const { return m_continue; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPlainTextEdit* summaryBox() const { return m_summary; }
    RecordNavigator* navigator() const { return m_navigator; }
    // The list variant's header block; null in the main window's variant.
    ContractHeaderBlock* contractHeader() const { return m_header; }

    // The contract the record belongs to: the one chosen in the header
    // block, or the caller's contract (-1 when there is none).
    int contractLink() const;

    // "确定": true when saved.
    bool save();
    // The navigation buttons: move the caller's list and reload the fields,
    // after asking when the record shown was changed.
    void moveTo(RecordNavigator::Move move);
    // True when a field differs from what was last cleared, loaded or saved,
    // or the record's own lists hold rows not yet saved.
    bool isChanged() const;

    // The failure message of every save.
    static QString saveFailedText();

protected:
    SubRecordEdit(const QString& className, const QString& title, const CallerList& caller,
                  bool continuousByDefault, QWidget* parent);

    // The form the window fills with its fields (label, field) row by row.
    QGridLayout* form() const { return m_form; }
    // Appends a captioned field to the form; returns the field.
    template <typename W> W* addField(const QString& caption, W* field, int row, int column = 0)
    {
        addFieldWidget(caption, field, row, column);
        return field;
    }
    void addFieldWidget(const QString& caption, QWidget* field, int row, int column,
                        int columnSpan = 1);
    // Text limits of the record's table (refused at entry, never cut).
    static void limitText(QLineEdit* edit, const QString& table, const QString& column);
    // The main window's variant: the caller's contract row, shown as the
    // summary before every clear and load.
    void setContract(const QVariantMap& contract);
    // The list variant: the header block in the first rows of the form;
    // returns the first row free for the record's own fields.
    int addContractHeader(int selectMode,
                          const ContractHeaderColumns& columns = ContractHeaderColumns());
    void setReopen(std::function<bool(QString* error)> reopen)
    {
        m_caller.reopen = std::move(reopen);
    }
    // The variant a picker opens to add one record: no "连续新增" and no
    // record navigation; a save closes it.
    void setOpenedFromPicker(bool fromPicker);
    bool openedFromPicker() const { return m_fromPicker; }

    // The value of a field of the caller's current row; invalid when none.
    QVariant currentValue(const QString& field) const;

    virtual void clearFields() = 0;
    virtual void loadFields() = 0;
    // Checks before saving; false stops the save (the check says why).
    virtual bool checkFields() { return true; }
    // One INSERT (add, `id` 0) or UPDATE (modify) inside the open transaction;
    // gives the key of the saved row.
    virtual bool writeRecord(Database& db, qint64 id, qint64* savedId, QString* error) = 0;
    // Where the focus goes after a save with "连续新增".
    virtual QWidget* firstField() const = 0;
    // Runs before the fields are cleared or loaded.
    virtual void beforeFill() {}
    // The caller's key column.
    virtual QString keyField() const { return QStringLiteral("F_ID"); }
    // Rows of the record's own lists (files, goods lines) added, changed or
    // deleted but not yet saved: they count as a change of the record.
    virtual bool hasPendingRows() const { return false; }
    // Runs once a save has been committed (settings that must not be
    // written for a save that was rolled back).
    virtual void afterCommit() {}

    void showEvent(QShowEvent* event) override;

private:
    void setMode(Mode mode);
    void fill(bool load);
    // Checks and writes the record, re-reads the caller's list and puts it
    // on the saved row; the window stays as it is. True when saved.
    bool store();
    bool reopenList(QString* error);
    void placeList(qint64 savedId);
    void markUnchanged();

    QString m_title;
    CallerList m_caller;
    Mode m_mode = AddMode;
    QWidget* m_fields = nullptr;
    QGridLayout* m_form = nullptr;
    QPlainTextEdit* m_summary = nullptr;
    QVariantMap m_contract;
    bool m_hasContract = false;
    bool m_fromPicker = false;
    ContractHeaderBlock* m_header = nullptr;
    QCheckBox* m_continue = nullptr;
    RecordNavigator* m_navigator = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QVariantList m_shown;
};
