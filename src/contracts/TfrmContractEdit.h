#pragma once

#include "contracts/ContractEditStore.h"

#include <QDialog>
#include <QVariantList>

#include <functional>

class AmountBox;
class CheckedDate;
class DataGrid;
class DateBox;
class RecordNavigator;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

// The contract edit window: adds a contract (mode 0), modifies one (1) or
// adds a copy of one (2), with its goods lines, in one transaction.
class TfrmContractEdit : public QDialog
{
    Q_OBJECT
public:
    enum Mode
    {
        ModeAdd = 0,
        ModeModify = 1,
        ModeCopy = 2
    };
    // Moves the caller's contract list: 0 first, 1 previous, 2 next, 3 last;
    // returns the F_ID of the row it then stands on, -1 when it did not move.
    using Navigator = std::function<qint64(int step)>;

    // `rowId` is the F_ID of the contract to modify or copy (ignored when
    // adding); `typePath` the contract type a new contract starts with.
    TfrmContractEdit(int mode, qint64 rowId, QWidget* parent = nullptr,
                     const QString& typePath = QString());

    int mode() const { return m_mode; }
    // False when the contract to modify or copy could not be read.
    bool isLoaded() const { return m_loaded; }
    // The link number the window holds for the contract being edited.
    int linkNumber() const { return m_link; }
    // The last contract saved by this window: its F_ID (-1 when none) and
    // link number.
    qint64 savedRowId() const { return m_savedId; }
    int savedLinkNumber() const { return m_savedLink; }

    // The F_ID of the contract the window shows (-1 for a new one).
    qint64 currentRowId() const { return m_rowId; }

    // Modify mode: shows the four navigator buttons.
    void setNavigator(Navigator navigator);
    // Moves to another contract of the caller's list, after asking when the
    // contract shown (goods lines included) was changed. True when it moved.
    bool navigate(int step);
    // True when a field or a goods line differs from what was last loaded
    // or saved.
    bool isChanged() const;

    // "确定": checks, saves, then closes or starts the next contract.
    // True when a contract was saved.
    bool save();

    DataGrid* goodsGrid() const { return m_goods; }
    // "新增行" appends an empty line; "删除" removes the current one.
    void addGoodsLine();
    void deleteGoodsLine();
    // The goods-name cell's button: the goods picker adds one line per goods
    // picked while it stays open.
    void pickGoodsLines();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildUi();
    void fillLists();
    void startNew();
    bool loadRow(qint64 id);
    void showValues(const ContractEditStore::ContractValues& v);
    ContractEditStore::ContractValues collect() const;
    void openGoods(int cltID);
    // The checks and the write of "确定", without closing.
    bool store();
    void markUnchanged();
    void setLocked(bool locked);
    void proposeCode();
    void setCodeSkipped(bool skipped);
    void showArchive(bool shown);
    void applyCaptions();
    void pickType();
    void pickCounterpart(QLineEdit* name, QLineEdit* contact);
    void pickProject();
    void showPickers();
    void pickFile();
    void pickArchiveFolder();
    static void openPath(const QString& path);

    int m_mode;
    qint64 m_rowId;
    QString m_typePath;
    bool m_loaded = true;
    int m_link = 0;
    qint64 m_savedId = -1;
    int m_savedLink = 0;
    QString m_proposedCode;
    QString m_shEmp;
    bool m_empFixed = false;
    Navigator m_navigator;
    QVariantList m_shown;

    QLineEdit* m_code = nullptr;
    QCheckBox* m_auto = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QToolButton* m_typeButton = nullptr;
    QComboBox* m_emp = nullptr;
    DateBox* m_editDate = nullptr;
    DateBox* m_date = nullptr;
    AmountBox* m_totalPrice = nullptr;
    CheckedDate* m_beginDate = nullptr;
    CheckedDate* m_endDate = nullptr;
    QComboBox* m_status = nullptr;
    QLineEdit* m_client1 = nullptr;
    QLineEdit* m_fzr1 = nullptr;
    QToolButton* m_client1Button = nullptr;
    QLineEdit* m_client2 = nullptr;
    QLineEdit* m_fzr2 = nullptr;
    QToolButton* m_client2Button = nullptr;
    QRadioButton* m_receipt = nullptr;
    QRadioButton* m_payment = nullptr;
    QComboBox* m_priceUnit = nullptr;
    QComboBox* m_dept = nullptr;
    QLineEdit* m_gcName = nullptr;
    QToolButton* m_gcButton = nullptr;
    QString m_gcCode;
    QLineEdit* m_filePath = nullptr;
    QCheckBox* m_gdFlag = nullptr;
    QLabel* m_gdPathLabel = nullptr;
    QLineEdit* m_gdPath = nullptr;
    QToolButton* m_gdPathButton = nullptr;
    QPushButton* m_gdOpen = nullptr;
    QTabWidget* m_pages = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
    QPlainTextEdit* m_memo2 = nullptr;
    QLabel* m_zfLabel[5] = {};
    QLineEdit* m_zf[5] = {};
    QLabel* m_szLabel[3] = {};
    AmountBox* m_sz[3] = {};
    QLabel* m_rqLabel[3] = {};
    CheckedDate* m_rq[3] = {};
    DataGrid* m_goods = nullptr;
    QCheckBox* m_continue = nullptr;
    RecordNavigator* m_navigatorBox = nullptr;
    QPushButton* m_ok = nullptr;
};

// The entry of the main window's "新增" (mode 0), "修改" (1) and "复制" (2):
// shows the window modally; true when at least one contract was saved. The
// row for the caller's list to stand on then goes to *savedRowId: the last
// contract added (several with "连续新增"), or in modify mode the contract the
// window showed last (the navigator may have moved on after a save).
bool OpenContractEdit(int mode, qint64 contractRowId, QWidget* parent, qint64* savedRowId = nullptr,
                      const QString& typePath = QString(),
                      TfrmContractEdit::Navigator navigator = {});
