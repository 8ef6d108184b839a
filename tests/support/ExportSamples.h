#pragma once

#include "common/GridColumn.h"
#include "common/RecordSet.h"

class Database;

// A small list for the export and print tests, made in a database of its
// own: three contracts with Chinese text, a hidden column, no-date and
// open-end dates, amounts, a flag, a text column holding a number and a
// column repeating a field without a format.
//
// Grid columns (A..K): F_code, F_secret (hidden), F_name, F_date, F_endDate,
// F_amount (",0.00##"), F_qty ("0.##"), F_flag, F_note, F_numText ("0.00"),
// F_amount again (no format).
bool createExportSample(Database& db, const QString& filePath);
RecordSet exportSampleRecords(Database& db);
GridColumns exportSampleColumns();

// Adds `rows` plain contracts (for the long-list tests).
bool addManyRows(Database& db, int rows);
