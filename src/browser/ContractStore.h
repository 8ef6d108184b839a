#pragma once

#include <QList>
#include <QString>

class Database;

// What the main window's commands write to contracts.
namespace ContractStore {

// Deletes a contract with every record kept under it, in one transaction:
// receipts, execution notes, reminders, changes, scans, attachments, goods
// lines, the lines of its shipments, its shipments, and the contract itself
// (by its link number, or by its own row when the link number is 0).
bool deleteContract(Database& db, int cltID, qint64 rowId, QString* error = nullptr);

// Marks the contract approved by `approver`, or not approved when empty.
// False also when the row is no longer there.
bool setApprover(Database& db, qint64 rowId, const QString& approver, QString* error = nullptr);

// What a batch change did: all rows or none.
struct BatchResult
{
    bool ok = false;
    int written = 0; // rows changed; a row another workstation deleted meanwhile is not
    QString error;
};

// Writes the value into the type (F_type) or department (F_dept) of the rows
// in one transaction: a failure on any row leaves every row as it was.
BatchResult batchSet(Database& db, const QString& field, const QString& value,
                     const QList<qint64>& rowIds);

// Removes the rows without number and name: contracts, or counterpart units.
bool cleanEmptyContracts(Database& db, QString* error = nullptr);
bool cleanEmptyClients(Database& db, QString* error = nullptr);

} // namespace ContractStore
