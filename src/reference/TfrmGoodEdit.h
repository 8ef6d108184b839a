#pragma once

#include "common/RecordNavigator.h"
#include "reference/GoodsStore.h"

#include <QDialog>
#include <QVariantList>

#include <functional>

class AmountBox;
class DataGrid;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The goods edit window: add (1), modify (2) and copy-add (3, also the
// picker's "新增商品"). The code is never typed: an add shows the code it
// expects and takes the code for good inside the saving transaction, then
// shows the code it saved. Modify follows the caller's list (navigation,
// update of the row current at "确定").
//
// Children: cbbType, edtCode (read-only), edtName, edtSpec, cbbUnit,
// edtPrice, memMemo, chkFlag ("停止使用"), chkContinue ("连续新增", add
// only), navRecord (modify only), btnOK, btnCancel.
class TfrmGoodEdit : public QDialog
{
    Q_OBJECT
public:
    enum Mode
    {
        AddMode = 1,
        ModifyMode = 2,
        CopyAddMode = 3
    };

    // The list the window works on: its current row is modified, and it is
    // re-read (and put on the saved goods) after each save. Both may be
    // null: then nothing is re-read.
    struct CallerList
    {
        DataGrid* grid = nullptr;
        // Runs the list's last statement again; tells the operator itself
        // when it fails.
        std::function<bool()> reopen;
    };

    explicit TfrmGoodEdit(const CallerList& caller, QWidget* parent = nullptr);

    // Prepares the mode and shows the window modally.
    int Open(Mode mode);
    // What Open does before showing; tests drive the window from here.
    void prepare(Mode mode);
    Mode mode() const { return m_mode; }

    // "确定": true when saved.
    bool save();
    void moveTo(RecordNavigator::Move move);
    bool isChanged() const;
    // The goods last saved.
    const GoodsRecord& saved() const { return m_saved; }

    static QString leaveQuestion(const QString& caption);

protected:
    // Esc and the close button ask first.
    void reject() override;

private:
    void fillLists();
    void clearFields(bool keepType);
    void loadFields();
    void proposeCode();
    bool check();
    GoodsRecord collect() const;
    // Checks and writes; re-reads the caller's list. The window stays open.
    bool store();
    void markUnchanged();
    void placeList(const QString& code);

    CallerList m_caller;
    Mode m_mode = AddMode;
    QComboBox* m_type = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_spec = nullptr;
    QComboBox* m_unit = nullptr;
    AmountBox* m_price = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QCheckBox* m_flag = nullptr;
    QCheckBox* m_continue = nullptr;
    RecordNavigator* m_navigator = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QWidget* m_fields = nullptr;
    QVariantList m_shown;
    GoodsRecord m_saved;
};
