#pragma once

#include "maintenance/Spreadsheet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class Database;

// Contracts and counterpart units taken over from a spreadsheet: the stored
// column mapping, conversion of every cell by its target column's type, and
// one transaction that writes every row or none. The wizard and
// contract-admin both go through here.
namespace SpreadsheetImport {

// One target column of the import and the sheet column feeding it.
struct Mapping
{
    QString field;   // target column, spelt as the table spells it
    QString caption; // the column's name as the screens show it
    QString heading; // first-row heading of the sheet column; empty: not imported
};

// The target table ("Contract", "Client") of an import kind ("contract",
// "client", any case); empty for anything else.
QString tableOf(const QString& kind);

// The mapping rows of an import kind that take part, in their stored order.
// A row naming a column the table does not have, or one the import fills
// itself (row counter, contract link number), fails the load.
bool loadMapping(Database& db, const QString& kind, QList<Mapping>* mapping,
                 QString* error = nullptr);
// A row without a stored heading takes the sheet column headed by its caption.
void takeHeadingsFromCaptions(QList<Mapping>* mapping, const QStringList& headings);
// Captions of rows whose heading no column of the sheet carries.
QStringList missingHeadings(const QList<Mapping>& mapping, const QStringList& headings);

// A data row of the sheet: its row number as the spreadsheet shows it
// (headings are row 1) and one cell per mapping row (empty when unmapped).
struct Row
{
    int sheetRow = 0;
    QList<SpreadsheetCell> cells;
};

struct Batch
{
    QString kind;  // "contract" or "client"
    QString table; // "Contract" or "Client"
    QList<Mapping> mapping;
    QList<Row> rows;
};

// Every data row of the sheet under the mapping, in order. Headings not on
// the sheet give empty cells.
Batch collect(const QString& kind, const QList<Mapping>& mapping, const SpreadsheetSheet& sheet);

// A cell that cannot go into its column.
struct Problem
{
    int rowIndex = 0; // index into Batch::rows
    int sheetRow = 0;
    int mappingIndex = 0;
    QString caption;
    QString reason;
};
// "第 N 行 <caption>: <reason>"
QString describe(const Problem& problem);

// Converts one cell for a column of `table`. An empty cell gives an invalid
// QVariant (the column keeps its default). False with the reason when the
// cell does not fit the column.
bool convert(const QString& table, const QString& field, const SpreadsheetCell& cell,
             QVariant* value, QString* reason);

struct Checked
{
    QList<int> rowsToWrite;        // indices into Batch::rows
    QList<QList<QVariant>> values; // per row to write, one per mapping row
    int skipped = 0;               // empty rows, rows without code and name
    QList<Problem> problems;
};
// Converts every row; rows whose mapped cells are all empty and rows whose
// code and name are both empty are skipped and counted.
Checked check(const Batch& batch);

// Progress of the write: rows done of all; returning false cancels.
using Progress = std::function<bool(int done, int total)>;

struct WriteResult
{
    bool ok = false;
    bool cancelled = false;
    int written = 0;
    QString error; // the database's text
};
// Writes the checked rows in one transaction; each contract takes the next
// link number (largest + 1 onward). Nothing is written when any problem is
// left, on failure or on cancel.
WriteResult write(Database& db, const Batch& batch, const Checked& checked,
                  const Progress& progress = {});

// A whole file in one call (contract-admin).
struct FileResult
{
    bool ok = false;
    int written = 0;
    int skipped = 0;
    QList<Problem> problems;
    QStringList missingHeadings;
    QString error; // a sentence; the detail after a line break
};
FileResult importFile(Database& db, const QString& path, const QString& kind,
                      const QString& sheetName = QString());

} // namespace SpreadsheetImport
