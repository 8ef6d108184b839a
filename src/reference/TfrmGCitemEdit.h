#pragma once

#include "records/SubRecordEdit.h"

class AmountBox;
class CheckedDate;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The project edit window with the project's related files, opened by the
// project list window and, to add one project, by the project picker (no
// "连续新增", no navigation).
//
// The file list is a pending set: "新增", "删除" change it in memory, and the
// save writes it in the project's transaction under the project's code (a
// new project's files under the code it is saved with; a changed code takes
// every file of the project along). "取消" leaves the database as it was. A
// failed save keeps the pending files; the next "确定" writes them once.
//
// Children: edtCode, edtName, edtType (read-only), btnType, edtFZRemp,
// edtGCname, cbbGCtype, edtGCpos, edtGCprice, edtGCphone, dtpFromDate,
// dtpToDate, memMemo1, chkUseFlag, grdFiles, btnFileAdd ("新增", Ctrl+A),
// btnFileOpen ("打开", Ctrl+E), btnFileDelete ("删除", Ctrl+D), and those of
// SubRecordEdit.
class TfrmGCitemEdit : public SubRecordEdit
{
    Q_OBJECT
public:
    TfrmGCitemEdit(const CallerList& list, bool fromPicker, QWidget* parent = nullptr);

    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* edit(const QString& objectName) const;
    QComboBox* gcTypeBox() const { return m_gcType; }
    AmountBox* priceBox() const { return m_price; }
    CheckedDate* fromDateEdit() const { return m_fromDate; }
    CheckedDate* toDateEdit() const { return m_toDate; }
    QCheckBox* stoppedBox() const { return m_stopped; }
    DataGrid* files() const { return m_files; }

    // The type button: the project-type tree (mode 6).
    void pickType();
    // The file commands.
    void addFile();
    void openFile();
    void deleteFile();

    static QString emptyCodeText();
    static QString duplicateText();

protected:
    bool hasPendingRows() const override;
    void clearFields() override;
    void loadFields() override;
    bool checkFields() override;
    bool writeRecord(Database& db, qint64 id, qint64* savedId, QString* error) override;
    QWidget* firstField() const override;

private:
    void openFiles(bool ofProject);

    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QToolButton* m_typeButton = nullptr;
    QLineEdit* m_fzr = nullptr;
    QLineEdit* m_gcName = nullptr;
    QComboBox* m_gcType = nullptr;
    QLineEdit* m_gcPos = nullptr;
    AmountBox* m_price = nullptr;
    QLineEdit* m_phone = nullptr;
    CheckedDate* m_fromDate = nullptr;
    CheckedDate* m_toDate = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QCheckBox* m_stopped = nullptr;
    DataGrid* m_files = nullptr;
};
