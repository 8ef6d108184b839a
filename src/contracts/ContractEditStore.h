#pragma once

#include "data/Database.h"

#include <QDate>
#include <QString>

#include <array>

class RecordModel;

// What the contract edit window reads and writes: one Contract row and the
// goods lines (t_GDrec) kept under its link number.
namespace ContractEditStore {

// The edited fields of one contract. Optional dates are invalid when unset.
struct ContractValues
{
    qint64 id = -1; // F_ID; -1 for a contract not yet saved
    int cltID = 0;  // link number as stored
    QString code, name, type, empName;
    QDate editDate, date;
    double totalPrice = 0.0;
    QDate beginDate, endDate;
    QString status;
    QString memo1, memo2;
    QString filePath;
    bool gdFlag = false;
    QString gdPath;
    QString client1, client2, fzr1, fzr2;
    int sfFlag = 1; // 1 receipt, -1 payment
    QString priceUnit, dept;
    std::array<QString, 5> zf;
    std::array<double, 3> sz{};
    std::array<QDate, 3> rq;
    QString gcCode, gcName;
    QString shEmp; // approver; read only here
};

// Reads the row F_ID = id. False when there is no such row or on failure.
bool load(Database& db, qint64 id, ContractValues* values, QString* error = nullptr);

// The code following the most recently added contract's code: its last four
// digits plus one (9999 wraps to 0000), or "0001" when it has no such tail.
QString nextContractCode(Database& db, QString* error = nullptr);
// Pure part of the above, for a given most recent code.
QString contractCodeAfter(const QString& lastCode);
// True when the last four characters of the code are all digits.
bool hasNumberedTail(const QString& code);

// The largest link number + 1 (1 for an empty table); 0 on failure.
int nextLinkNumber(Database& db);

// The F_ID of another contract with this code / name (any contract when
// exceptId is -1); -1 when there is none.
qint64 otherWithCode(Database& db, const QString& code, qint64 exceptId);
qint64 otherWithName(Database& db, const QString& name, qint64 exceptId);

// The contact of a counterpart, and a project's name by its code; empty when
// there is none.
QString counterpartContact(Database& db, const QString& name);
QString projectName(Database& db, const QString& code);

// The goods lines of a link number, for a line grid.
QString goodsSql();
SqlParams goodsParams(int cltID);

struct SaveResult
{
    bool ok = false;
    qint64 id = -1; // F_ID of the saved row
    int cltID = 0;
    QString code;               // the code written (a reallocated automatic code differs)
    bool duplicateCode = false; // the reallocated code is in use already
    QString error;
};

// Writes the contract and its pending goods lines in one transaction.
// Modify (insert == false) updates the row values.id under link `cltID`;
// add/copy insert a new row with a link number taken after the write lock.
// When `autoCode` is the code the window proposed and values.code still holds
// it, the code is allocated again inside the transaction so that two
// workstations saving at once do not both write it; with `uniqueCode` that
// code must not be in use. Nothing is written on a failure.
SaveResult save(Database& db, bool insert, const ContractValues& values, int cltID,
                RecordModel* goods, const QString& autoCode = QString(), bool uniqueCode = false);

} // namespace ContractEditStore
