#include "data/Schema.h"

#include "data/Database.h"
#include "data/SeedData.h"
#include "data/TransactionGuard.h"

#include <QSet>
#include <QSqlQuery>

#include <functional>

namespace Schema {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString createTableStatement(const Table& table, const QString& prefix = QString())
{
    QStringList parts;
    for (const Column& c : table.columns)
        parts << columnDeclaration(c);
    return QStringLiteral("CREATE TABLE %1%2 (\n  %3\n)")
        .arg(prefix, table.name, parts.join(QStringLiteral(",\n  ")));
}

QString indexName(const Index& index)
{
    return QStringLiteral("idx_%1_%2").arg(index.table, index.column);
}

// Column names of an existing table, in lower case.
QSet<QString> existingColumns(Database& db, const QString& table)
{
    QSet<QString> names;
    QSqlQuery q(db.handle());
    // A table name of ours, never operator text.
    if (q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        while (q.next())
            names.insert(q.value(1).toString().toLower());
    }
    return names;
}

QSet<QString> existingTables(Database& db)
{
    QSet<QString> names;
    QSqlQuery q(db.handle());
    if (q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
        while (q.next())
            names.insert(q.value(0).toString().toLower());
    }
    return names;
}

// Version 1: every table, column and index of the current layout, and the
// rows the program needs before its first start. Written to complete a
// partial database as well as to fill an empty one, so a file that holds
// only some of the tables (a database carried over from elsewhere) is
// completed without losing anything.
bool upgradeTo1(Database& db, QString* error)
{
    const QSet<QString> tablesBefore = existingTables(db);
    for (const Table& table : tables()) {
        if (!tablesBefore.contains(table.name.toLower())) {
            if (!db.exec(createTableStatement(table), {}, error))
                return false;
            continue;
        }
        const QSet<QString> have = existingColumns(db, table.name);
        for (const Column& c : table.columns) {
            if (have.contains(c.name.toLower()))
                continue;
            Column added = c;
            if (added.type == ColumnType::Counter)
                added.type = ColumnType::Long; // SQLite cannot add a key column
            if (!db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                             .arg(table.name, columnDeclaration(added)),
                         {}, error))
                return false;
        }
    }
    for (const Index& index : indexes()) {
        if (!db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2(%3)")
                         .arg(indexName(index), index.table, index.column),
                     {}, error))
            return false;
    }
    return SeedData::fillRequiredRows(db, tablesBefore, error);
}

const QList<std::function<bool(Database&, QString*)>>& upgradeSteps()
{
    // Step i brings version i to version i + 1.
    static const QList<std::function<bool(Database&, QString*)>> steps{upgradeTo1};
    return steps;
}

} // namespace

const Table* findTable(const QString& name)
{
    for (const Table& t : tables()) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const Column* findColumn(const QString& table, const QString& column)
{
    const Table* t = findTable(table);
    if (!t)
        return nullptr;
    for (const Column& c : t->columns) {
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

int maxLength(const QString& table, const QString& column)
{
    const Column* c = findColumn(table, column);
    return c && c->type == ColumnType::Text ? c->width : 0;
}

QString columnDeclaration(const Column& c)
{
    switch (c.type) {
    case ColumnType::Counter:
        return c.name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Long:
        return c.name + QStringLiteral(" INTEGER DEFAULT 0");
    case ColumnType::Double:
        return c.name + QStringLiteral(" REAL DEFAULT 0");
    case ColumnType::Text:
        return c.name + QStringLiteral(" VARCHAR(%1) COLLATE NOCASE").arg(c.width);
    case ColumnType::Memo:
        return c.name + QStringLiteral(" TEXT COLLATE NOCASE");
    case ColumnType::DateTime:
        // ISO text ("yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss"); the declared
        // name keeps text affinity so that no date is turned into a number.
        return c.name + QStringLiteral(" DATE_TEXT");
    case ColumnType::Bool:
        return c.name + QStringLiteral(" BOOLEAN DEFAULT 0");
    case ColumnType::Blob:
        return c.name + QStringLiteral(" BLOB");
    }
    return c.name;
}

bool isContractDatabase(Database& db, QString* error)
{
    bool ok = false;
    QString why;
    const QVariant n = db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                                "'table' AND name = 'Contract' COLLATE NOCASE"),
                                 {}, &ok, &why);
    if (!ok) {
        setError(error, why);
        return false;
    }
    if (n.toInt() == 0) {
        setError(error, QStringLiteral("不是合同管理数据库（缺少 Contract 表）"));
        return false;
    }
    return true;
}

int version(Database& db)
{
    return db.scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

bool upgrade(Database& db, QString* error)
{
    int current = version(db);
    if (current > kCurrentVersion) {
        setError(error, QStringLiteral("数据库版本(%1)比本程序新(%2)，请升级程序")
                            .arg(current)
                            .arg(kCurrentVersion));
        return false;
    }
    if (current == kCurrentVersion)
        return true;
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        setError(error, tx.error());
        return false;
    }
    // Another workstation may have upgraded while this one waited for the lock.
    current = version(db);
    const auto& steps = upgradeSteps();
    for (int v = current; v < kCurrentVersion; ++v) {
        if (!steps.at(v)(db, error))
            return false;
    }
    if (!db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kCurrentVersion), {}, error))
        return false;
    if (!tx.commit()) {
        setError(error, tx.error());
        return false;
    }
    return true;
}

bool createTables(Database& db, QString* error)
{
    if (!existingTables(db).isEmpty()) {
        setError(error, QStringLiteral("数据库不是空的"));
        return false;
    }
    return upgrade(db, error);
}

QStringList verify(Database& db)
{
    QStringList problems;
    const QSet<QString> have = existingTables(db);
    for (const Table& table : tables()) {
        if (!have.contains(table.name.toLower())) {
            problems << QStringLiteral("缺少数据表 %1").arg(table.name);
            continue;
        }
        const QSet<QString> columns = existingColumns(db, table.name);
        for (const Column& c : table.columns) {
            if (!columns.contains(c.name.toLower()))
                problems << QStringLiteral("数据表 %1 缺少字段 %2").arg(table.name, c.name);
        }
    }
    return problems;
}

} // namespace Schema
