#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// The tables of a contract database: their description, creation, the
// ordered upgrade steps of older files, and the checks that a file is one.
namespace Schema {

enum class ColumnType { Counter, Long, Double, Text, Memo, DateTime, Bool, Blob };

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
constexpr int kCurrentVersion = 1;

const QList<Table>& tables();
const QList<Index>& indexes();
// Case-insensitive look-ups; nullptr / 0 when unknown.
const Table* findTable(const QString& name);
const Column* findColumn(const QString& table, const QString& column);
// The longest text a column accepts (0: no limit or not a text column).
int maxLength(const QString& table, const QString& column);

// The SQLite declaration of one column, e.g. "F_code VARCHAR(50) COLLATE NOCASE".
QString columnDeclaration(const Column& column);

// True when the connected file holds a database of this system (it has the
// contract table).
bool isContractDatabase(Database& db, QString* error = nullptr);

int version(Database& db);

// Brings the connected database to kCurrentVersion: creates what is missing
// and fills the rows a database must hold, in one transaction. A database
// newer than this program is refused. A new, empty file becomes a complete
// new database.
bool upgrade(Database& db, QString* error = nullptr);

// Creates a complete new database on an empty connection.
bool createTables(Database& db, QString* error = nullptr);

// What the connected database lacks: one text per missing table or column,
// such as "缺少数据表 t_SKrec" or "数据表 Contract 缺少字段 F_SZ5". Empty when
// complete.
QStringList verify(Database& db);

} // namespace Schema
