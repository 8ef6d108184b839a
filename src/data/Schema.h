#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// The tables of a contract database: their description, creation, the
// ordered upgrade steps of older files, and the checks that a file is one.
namespace Schema {

enum class ColumnType
{
    Counter,
    Long,
    Double,
    Text,
    Memo,
    DateTime,
    Bool,
    Blob
};

struct Column
{
    QString name;
    ColumnType type;
    int width; // longest accepted text for Text; 0 otherwise
};

struct Table
{
    QString name;
    QList<Column> columns;
};

struct Index
{
    QString table;
    QString column;
};

// The version this program writes into PRAGMA user_version.
constexpr int kCurrentVersion = 2;

const QList<Table>& tables();
const QList<Index>& indexes();
// Case-insensitive look-ups; nullptr / 0 when unknown.
const Table* findTable(const QString& name);
const Column* findColumn(const QString& table, const QString& column);
// The longest text a column accepts (0: no limit or not a text column).
int maxLength(const QString& table, const QString& column);

// The SQLite declaration of one column, e.g. "F_code VARCHAR(50) COLLATE NOCASE".
QString columnDeclaration(const Column& column);
// The statements that replace `table` by the table `createNew` makes under
// `newName`, copying `columns` and keeping the numbering of new rows. SQLite
// keeps a column's width only in its table's definition: a wider column
// needs the table made again. Indexes are the caller's to make again.
QStringList rebuildTableStatements(const QString& table, const QString& newName,
                                   const QString& createNew, const QStringList& columns);

// True when the connected file holds a database of this system (it has the
// contract table).
bool isContractDatabase(Database& db, QString* error = nullptr);

int version(Database& db);

// What a connected file is, found by reading only.
enum class State
{
    Empty,     // no tables and no version stamp: a new file
    Current,   // a database of this version
    Older,     // a database of an earlier version, upgraded by ordered steps
    Unstamped, // tables of ours but version stamp 0: converting it needs a yes
    Newer,     // written by a later program
    Foreign,   // not a database of this system, or one that cannot be used
};

struct Inspection
{
    State state = State::Foreign;
    int version = 0;
    QString problem; // why it is not Current, for the operator
    // True when a table of ours lacks its key column: the problem names the
    // table and the column.
    bool missingKey = false;
};

// Reads the connected file's tables, key columns and version stamp. False
// when they cannot be read (the reason in `error`).
bool inspect(Database& db, Inspection* result, QString* error = nullptr);

struct UpgradeOptions
{
    // The operator agreed to convert a database without a version stamp.
    bool convertUnstamped = false;
};

// Brings the connected database to kCurrentVersion: creates what is missing
// and fills the rows a database must hold, in one transaction. A new, empty
// file becomes a complete new database. Refused: a database newer than this
// program (also when another workstation made it newer meanwhile; the stamp
// is never lowered), one that is not of this system or lacks a key column,
// and one without a version stamp unless options say to convert it.
bool upgrade(Database& db, QString* error = nullptr, const UpgradeOptions& options = {});

// Creates a complete new database on an empty connection.
bool createTables(Database& db, QString* error = nullptr);

// What the connected database lacks: one text per missing table or column,
// such as "缺少数据表 t_SKrec" or "数据表 Contract 缺少字段 F_SZ5". Empty when
// complete; a file whose layout cannot be read yields the reason.
QStringList verify(Database& db);

} // namespace Schema
