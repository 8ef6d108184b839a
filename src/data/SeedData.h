#pragma once

#include <QSet>
#include <QString>

class Database;

// Rows a database must hold before the program's first start.
namespace SeedData {

// Adds what is missing: the administrator, the company row, the settings
// slots, the rights catalogue; and, in tables that did not exist before
// (`tablesBefore`, lower-case names), the delivered grid layouts, import
// mappings and starter pick lists. Runs inside the caller's transaction.
bool fillRequiredRows(Database& db, const QSet<QString>& tablesBefore, QString* error);

// The number of KeyValue slots a new database gets, and the slots that hold
// the decimals of quantities, unit prices and money amounts.
constexpr int kKeyValueSlots = 15;

} // namespace SeedData
