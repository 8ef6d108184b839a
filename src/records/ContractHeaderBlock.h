#pragma once

#include "contracts/ContractQuery.h"

#include <QObject>
#include <QVariant>

#include <functional>

class AmountBox;
class QLineEdit;
class QWidget;

// Which fields of the caller's list rows hold the header. List screens
// rename the contract columns that clash with the record's own.
struct ContractHeaderColumns
{
    QString cltID = QStringLiteral("F_cltID");
    QString code = QStringLiteral("F_code");
    QString name = QStringLiteral("F_name");
    QString type = QStringLiteral("F_type");
    QString signDate = QStringLiteral("c_date");
    QString gcName = QStringLiteral("F_GCname");
    QString totalPrice = QStringLiteral("F_totalprice");
    QString priceUnit = QStringLiteral("F_priceUnit");
    QString beginDate = QStringLiteral("F_beginDate");
    QString endDate = QStringLiteral("F_endDate");
    QString dept = QStringLiteral("F_dept");
    QString status = QStringLiteral("F_status");
    QString empName = QStringLiteral("F_empName");
};

// The contract header of the sub-record windows that a list screen opens:
// the contract code box with the button of the contract selection dialog,
// and the chosen contract's name, type, signing date, project, amount,
// currency, begin and end dates, department, status and salesman, all
// read-only. A contract is chosen only through the dialog; typing chooses
// nothing.
//
// Children: edtHTcode with btnSelectContract, edtHTname, edtHTtype,
// edtHTdate, edtGCname, edtTotalPrice, edtPriceUnit, edtBeginDate,
// edtEndDate, edtDept, edtStatus, edtEmpName.
class ContractHeaderBlock : public QObject
{
    Q_OBJECT
public:
    using Columns = ContractHeaderColumns;
    // Puts a captioned field into the owner's form (row, column 0 or 1).
    using Place = std::function<void(const QString& caption, QWidget* field, int row, int column)>;

    // Fills rows firstRow .. firstRow + rowCount() - 1 of the owner's form;
    // `selectMode` is the owner's mode of the selection dialog.
    ContractHeaderBlock(QWidget* owner, const Place& place, int firstRow, int selectMode,
                        const Columns& columns = Columns());
    static int rowCount() { return 6; }
    // Amounts in the windows of list screens: two decimals, up to four when
    // present.
    static QString listMoneyFormat();

    // -1 while no contract is chosen.
    int selectedContract() const { return m_header.cltID; }
    void setHeader(const ContractHeader& header);
    ContractHeader header() const { return m_header; }
    void clear() { setHeader(ContractHeader{}); }
    // Shows the contract of a row of the caller's list.
    void load(const std::function<QVariant(const QString& field)>& value);
    // The button: the selection dialog with the chosen contract.
    void pick();
    // The check before a save: "合同名称不能为空！" while none is chosen.
    bool check();

    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* edit(const QString& objectName) const;

private:
    QWidget* m_owner;
    int m_selectMode;
    Columns m_columns;
    ContractHeader m_header;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_signDate = nullptr;
    QLineEdit* m_gcName = nullptr;
    AmountBox* m_total = nullptr;
    QLineEdit* m_priceUnit = nullptr;
    QLineEdit* m_begin = nullptr;
    QLineEdit* m_end = nullptr;
    QLineEdit* m_dept = nullptr;
    QLineEdit* m_status = nullptr;
    QLineEdit* m_emp = nullptr;
};
