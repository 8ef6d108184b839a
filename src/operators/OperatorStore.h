#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>

// One operator as the administration edits him (a row of OperList).
struct OperatorRecord
{
    qint64 id = 0; // 0 for an operator not yet stored
    QString name;
    QString mem;
    bool disabled = false;
    int xtFlag = 0; // 0 all contracts, 1 his own, 2 those of `dept`
    bool canApprove = false;
    QString dept; // stored form 'A','B'; empty unless xtFlag is 2
};

// The SQL of the operator administration: OperList with each operator's
// rights in OperLimit, the names of the grantable rights from Limits.
namespace OperatorStore {

// The built-in administrator, in any letter case; he is not edited here.
bool isAdministrator(const QString& name);

// The operator list: every column of OperList in order of entry; disabled
// operators only when asked for. Bind `params` with the statement.
QString listStatement(bool showDisabled);
SqlParams listParams(bool showDisabled);

bool read(Database& db, qint64 id, OperatorRecord* out, QString* error = nullptr);
// Names of the rights an operator may be given, in the order of their codes.
bool grantableRights(Database& db, QStringList* names, QString* error = nullptr);
// The rights an operator holds (OperLimit), by right name.
bool heldRights(Database& db, const QString& name, QStringList* names, QString* error = nullptr);

enum class SaveResult
{
    Saved,
    NameTaken,     // another operator has the name, in any letter case
    Administrator, // the built-in administrator's row is not written here
    Missing,       // the edited operator is no longer there
    Failed         // database failure: nothing was written
};

// Stores the operator and replaces his rights with `rights`, all in one
// transaction: a new operator when `op.id` is 0. `passwordHash` empty keeps
// the stored password of an existing operator. On a rename the rights held
// under the old name go too. The name is stored trimmed, the department list
// only when the operator is restricted to departments. `op.id` of a new
// operator is filled in.
SaveResult save(Database& db, OperatorRecord& op, const QString& passwordHash,
                const QStringList& rights, QString* error = nullptr);

// Deletes the operator's row and his rights together.
SaveResult remove(Database& db, qint64 id, QString* error = nullptr);

// The stored password of an operator by name; `found` false when there is no
// such operator.
bool storedPassword(Database& db, const QString& name, qint64* id, QString* hash, bool* found,
                    QString* error = nullptr);
bool setPassword(Database& db, qint64 id, const QString& hash, QString* error = nullptr);

} // namespace OperatorStore
