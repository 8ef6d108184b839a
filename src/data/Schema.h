#pragma once

#include <QString>

class Database;

// The tables of a contract database and the checks that a file is one.
namespace Schema {

// True when the connected file holds a database of this system.
bool isContractDatabase(Database& db, QString* error = nullptr);

// Creates the tables of a new database on an empty connection, in one
// transaction.
bool createTables(Database& db, QString* error = nullptr);

} // namespace Schema
