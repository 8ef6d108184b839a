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
bool setApprover(Database& db, qint64 rowId, const QString& approver, QString* error = nullptr);

// Writes the value into the type (F_type) or department (F_dept) of each row;
// rows that fail are skipped. Returns the number of rows written.
int batchSet(Database& db, const QString& field, const QString& value,
             const QList<qint64>& rowIds);

// Removes the rows without number and name: contracts, or counterpart units.
bool cleanEmptyContracts(Database& db, QString* error = nullptr);
bool cleanEmptyClients(Database& db, QString* error = nullptr);

} // namespace ContractStore
