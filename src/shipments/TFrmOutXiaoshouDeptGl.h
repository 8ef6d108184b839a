#pragma once

#include "common/RecordModel.h"
#include "common/RecordNavigator.h"

#include <QDate>
#include <QDialog>

class CheckedDate;
class DataGrid;
class DateBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolBar;

// "合同发货管理": the shipments entered on one day, one at a time, with their
// goods lines. In browse state the tool bar pages through the day's list;
// "新增" and "修改" switch to edit state, where the header and the lines can
// be changed until "保存" or "取消". Lines are pending edits until the save
// writes them with the header in one transaction.
//
// Children: ToolBar1 with tbAdd "新增" (Ctrl+A), tbModify "修改" (Ctrl+E),
// tbDelete "删除" (Delete), tbFirst/tbPrior/tbNext/tbLast, tbSave "保存"
// (Ctrl+S), tbCancel "取消", tbPrint, tbDesign, tbExit "退出"; dtpDate
// (entry date), grpHeader with edtHTcode, btnSelectContract, edtHTname,
// edtCode, edtOLDcode, cbbFHemp, dtpFHdate, edtSHemp, dtpSHdate,
// edtSHaddress, edtSHphone, edtOperName, btnAddLine ("增行"); memMemo1,
// edtFilePath, btnFilePath, btnOpenFile ("打开"); DBGridEh1 (lines) with
// its menu pmLines: mnuAddLine "增行" F9, mnuDeleteLine "删行" F10,
// mnuFieldList "显示字段列表" F11, mnuSaveLayout "保存当前设置" F12.
class TFrmOutXiaoshouDeptGl : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmOutXiaoshouDeptGl(QWidget* parent = nullptr);

    // Before showing: the day whose shipments are listed (today by default)
    // and the code to stand on when the list is first read.
    void setEntryDate(const QDate& day);
    void setPositionCode(const QString& code) { m_positionCode = code; }
    // Reads the day's list and shows its shipment; done on show.
    void readList();

    bool isEditing() const { return m_editing; }
    bool isNew() const { return m_isNew; }
    int contractId() const { return m_cltID; }
    // The day's list (not shown) and its current row.
    const RecordModel& dayList() const { return m_list; }
    int currentRow() const { return m_row; }
    DataGrid* linesGrid() const { return m_lines; }
    QAction* command(const QString& objectName) const;

    QLineEdit* contractCodeEdit() const { return m_htCode; }
    QLineEdit* contractNameEdit() const { return m_htName; }
    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* oldCodeEdit() const { return m_oldCode; }
    QComboBox* shipperBox() const { return m_fhEmp; }
    DateBox* shippingDateEdit() const { return m_fhDate; }
    QLineEdit* consigneeEdit() const { return m_shEmp; }
    CheckedDate* receiptDateEdit() const { return m_shDate; }
    QLineEdit* addressEdit() const { return m_shAddress; }
    QLineEdit* phoneEdit() const { return m_shPhone; }
    QLineEdit* operNameEdit() const { return m_operName; }
    QPlainTextEdit* memoEdit() const { return m_memo; }
    QLineEdit* filePathEdit() const { return m_filePath; }
    DateBox* entryDateEdit() const { return m_day; }

    // The commands.
    void addShipment();
    void modifyShipment();
    void deleteShipment();
    bool saveShipment();
    void cancelEdit();
    void moveTo(RecordNavigator::Move move);
    // The contract selection dialog in its shipment mode.
    void pickContract();
    // The goods picker adding lines to the grid.
    void pickGoodsLines();
    void appendEmptyLine();
    void deleteCurrentLine();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildToolBar();
    void buildHeader(QWidget* parent);
    void buildLines();
    void setEditing(bool editing);
    void showBlank();
    void showShipment(int row);
    bool readLines(const QString& code);
    void updatePaging(RecordNavigator::Move move);
    void chooseFile();
    void openFile();
    void notYetAvailable();

    QToolBar* m_toolBar = nullptr;
    DateBox* m_day = nullptr;
    QGroupBox* m_header = nullptr;
    QLineEdit* m_htCode = nullptr;
    QPushButton* m_selectContract = nullptr;
    QLineEdit* m_htName = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_oldCode = nullptr;
    QComboBox* m_fhEmp = nullptr;
    DateBox* m_fhDate = nullptr;
    QLineEdit* m_shEmp = nullptr;
    CheckedDate* m_shDate = nullptr;
    QLineEdit* m_shAddress = nullptr;
    QLineEdit* m_shPhone = nullptr;
    QLineEdit* m_operName = nullptr;
    QPushButton* m_addLine = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_filePath = nullptr;
    QPushButton* m_chooseFile = nullptr;
    QPushButton* m_openFile = nullptr;
    DataGrid* m_lines = nullptr;
    QMenu* m_linesMenu = nullptr;

    RecordModel m_list;
    int m_row = -1;
    bool m_editing = false;
    bool m_isNew = false;
    int m_cltID = -1;
    QString m_positionCode;
    bool m_listRead = false;
};

// Opens the window on a day and, when given, a shipment of that day; shown
// modally and destroyed when closed.
void OpenShipmentManagement(const QDate& entryDate, const QString& positionCode,
                            QWidget* parent = nullptr);
