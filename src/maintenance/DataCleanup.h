#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// Emptying chosen groups of tables (test data before real use). Operators
// and their rights, the log, grid layouts, import mappings, the company row
// and the settings slots are never touched.
namespace DataCleanup {

struct Group
{
    QString caption;        // the group's check box
    QStringList statements; // run in this order
};

// The groups in the order their statements run.
const QList<Group>& groups();
// The first group (contracts) takes the records of a contract with it: the
// groups it checks when it is checked.
QList<int> groupsFollowingContracts();

// Runs the statements of the chosen groups (indexes into groups()) in one
// transaction: either every chosen table is emptied or none.
bool run(Database& db, const QList<int>& chosen, QString* error = nullptr);

} // namespace DataCleanup
