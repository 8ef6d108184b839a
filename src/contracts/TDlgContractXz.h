#pragma once

#include "common/CategoryList.h"
#include "contracts/ContractQuery.h"

#include <QDialog>

class DataGrid;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QWidget;

// Who asks the selection dialog for a contract, and so what it is given.
enum ContractSelectMode
{
    kSelectForShipmentQuery = 0, // the contract name only
    kSelectForReceipts = 1,      // the header block
    kSelectForExecution = 2,
    kSelectForChanges = 3,
    kSelectForAttachments = 4,
    kSelectForShipments = 5, // id, code and name
    kSelectForGoods = 6,
};

// "合同档案记录选择": every contract (no visibility restriction, archived
// ones too), narrowed by three search boxes and a category list.
//
// Children: edtHTcode, edtHTname, edtMemo1, btnFind ("查询(F8)"),
// btnShowList, pnlCategory, cbbListType, vleList, btnRefreshList,
// DBGridEh1, pmGrid, btnOK ("确定"), btnClose ("关闭").
class TDlgContractXz : public QDialog
{
    Q_OBJECT
public:
    explicit TDlgContractXz(QWidget* parent = nullptr);

    DataGrid* grid() const { return m_grid; }
    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* memoEdit() const { return m_memo; }
    QComboBox* listKind() const { return m_kind; }
    QTableWidget* categoryList() const { return m_list; }

    // Fills the category list with the names of a kind (0 status, 1
    // salesman, 2 department) and runs the list query.
    void fillCategories(int kind);
    void runQuery();
    // The header of the contract on the current row.
    ContractHeader currentHeader() const;

private:
    void showGridMenu(const QPoint& pos);

    QLineEdit* m_code;
    QLineEdit* m_name;
    QLineEdit* m_memo;
    QComboBox* m_kind;
    CategoryList* m_list;
    DataGrid* m_grid;
};

// Copies what the mode gives of `chosen` into `into`: mode 0 the name, mode
// 5 id, code and name, the other modes the whole header.
void WriteSelection(const ContractHeader& chosen, int mode, ContractHeader* into);

// Lets the operator pick a contract. On "确定" with a contract listed, its
// values go into `into` by the mode and its link number comes back; on
// "确定" with an empty list nothing is written and 0 comes back; when
// closed, `currentId` comes back and `into` is unchanged.
int SelectContract(int currentId, int mode, ContractHeader* into, QWidget* parent = nullptr);
