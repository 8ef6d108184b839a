#include "data/Schema.h"

#include "data/Database.h"
#include "data/SeedData.h"
#include "data/TransactionGuard.h"

#include <QHash>
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

struct ExistingColumn
{
    QString type;
    bool primaryKey = false;
};

// Columns of an existing table by lower-case name.
bool existingColumns(Database& db, const QString& table, QHash<QString, ExistingColumn>* columns,
                     QString* error)
{
    columns->clear();
    // A table name of ours, never operator text.
    QSqlQuery q = db.prepare(db.dialect().tableColumns(table), {}, error);
    if (!db.exec(q, error))
        return false;
    while (q.next())
        columns->insert(q.value(0).toString().toLower(),
                        {q.value(1).toString(), q.value(2).toInt() > 0});
    return true;
}

bool existingTables(Database& db, QSet<QString>* names, QString* error)
{
    names->clear();
    QSqlQuery q = db.prepare(db.dialect().tableNames(), {}, error);
    if (!db.exec(q, error))
        return false;
    while (q.next())
        names->insert(q.value(0).toString().toLower());
    return true;
}

const Column* keyColumn(const Table& table)
{
    for (const Column& c : table.columns) {
        if (c.type == ColumnType::Counter)
            return &c;
    }
    return nullptr;
}

// A key column that SQLite numbers itself: the table's one INTEGER PRIMARY
// KEY. Anything else would give new rows no number of their own.
QString keyProblem(Database& db, const Table& table, QString* error, bool* ok)
{
    *ok = true;
    const Column* key = keyColumn(table);
    if (!key)
        return QString();
    QHash<QString, ExistingColumn> columns;
    if (!existingColumns(db, table.name, &columns, error)) {
        *ok = false;
        return QString();
    }
    const auto it = columns.constFind(key->name.toLower());
    if (it == columns.constEnd())
        return QStringLiteral("数据表 %1 缺少关键字段 %2").arg(table.name, key->name);
    int primaryKeys = 0;
    for (const ExistingColumn& c : std::as_const(columns))
        primaryKeys += c.primaryKey ? 1 : 0;
    if (!it->primaryKey || primaryKeys != 1 ||
        it->type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("数据表 %1 的关键字段 %2 不是自动编号的主键")
            .arg(table.name, key->name);
    return QString();
}

// Version 1: every table, column and index of the current layout, and the
// rows the program needs before its first start. Written to complete a
// partial database as well as to fill an empty one, so a file that holds
// only some of the tables (a database carried over from elsewhere) is
// completed without losing anything.
bool upgradeTo1(Database& db, QString* error)
{
    QSet<QString> tablesBefore;
    if (!existingTables(db, &tablesBefore, error))
        return false;
    for (const Table& table : tables()) {
        if (!tablesBefore.contains(table.name.toLower())) {
            if (!db.exec(createTableStatement(table), {}, error))
                return false;
            continue;
        }
        QHash<QString, ExistingColumn> have;
        if (!existingColumns(db, table.name, &have, error))
            return false;
        for (const Column& c : table.columns) {
            if (have.contains(c.name.toLower()))
                continue;
            // A key column cannot be added to a table; such a file is
            // refused before it gets here.
            if (c.type == ColumnType::Counter) {
                setError(error,
                         QStringLiteral("数据表 %1 缺少关键字段 %2").arg(table.name, c.name));
                return false;
            }
            if (!db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                             .arg(table.name, columnDeclaration(c)),
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

// Gives an existing column the width of the current layout. A table made at
// the current width is left alone; columns the layout does not know are
// kept as they are.
bool widenColumn(Database& db, const QString& tableName, const QString& columnName, QString* error)
{
    const Table* table = findTable(tableName);
    const Column* column = findColumn(tableName, columnName);
    if (!table || !column)
        return true;
    QHash<QString, ExistingColumn> have;
    if (!existingColumns(db, table->name, &have, error))
        return false;
    const auto it = have.constFind(column->name.toLower());
    if (it == have.constEnd() ||
        it->type.contains(QStringLiteral("(%1)").arg(column->width), Qt::CaseInsensitive))
        return true;
    Table rebuilt = *table;
    QStringList copied;
    for (const Column& c : table->columns) {
        if (have.contains(c.name.toLower()))
            copied << c.name;
    }
    QSqlQuery q = db.prepare(db.dialect().tableColumns(table->name), {}, error);
    if (!db.exec(q, error))
        return false;
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (!findColumn(table->name, name)) {
            rebuilt.columns << Column{name, ColumnType::Memo, 0};
            copied << name;
        }
    }
    const QString newName = QStringLiteral("widen_") + table->name;
    for (const QString& sql :
         rebuildTableStatements(table->name, newName,
                                createTableStatement(rebuilt, QStringLiteral("widen_")), copied)) {
        if (!db.exec(sql, {}, error))
            return false;
    }
    for (const Index& index : indexes()) {
        if (index.table.compare(table->name, Qt::CaseInsensitive) == 0 &&
            !db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2(%3)")
                         .arg(indexName(index), index.table, index.column),
                     {}, error))
            return false;
    }
    return true;
}

// Version 2: a project's type holds a whole name path (was 50 characters).
bool upgradeTo2(Database& db, QString* error)
{
    return widenColumn(db, QStringLiteral("GCitem"), QStringLiteral("F_type"), error);
}

const QList<std::function<bool(Database&, QString*)>>& upgradeSteps()
{
    // Step i brings version i to version i + 1.
    static const QList<std::function<bool(Database&, QString*)>> steps{upgradeTo1, upgradeTo2};
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

bool isContractDatabase(Database& db, QString* error)
{
    bool ok = false;
    QString why;
    const QVariant n =
        db.scalar(db.dialect().tableExists(),
                  {{QStringLiteral(":name"), QStringLiteral("Contract")}}, &ok, &why);
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
    return db.scalar(db.dialect().readVersion()).toInt();
}

namespace {

bool readVersion(Database& db, int* version, QString* error)
{
    bool ok = false;
    *version = db.scalar(db.dialect().readVersion(), {}, &ok, error).toInt();
    return ok;
}

QString newerProblem(int version)
{
    return QStringLiteral("数据库版本(%1)比本程序新(%2)，请升级程序")
        .arg(version)
        .arg(kCurrentVersion);
}

} // namespace

bool inspect(Database& db, Inspection* result, QString* error)
{
    *result = Inspection();
    QSet<QString> have;
    if (!readVersion(db, &result->version, error) || !existingTables(db, &have, error))
        return false;
    const int v = result->version;
    if (have.isEmpty()) {
        result->state = v == 0 ? State::Empty : State::Foreign;
        if (v != 0)
            result->problem = QStringLiteral("不是合同管理数据库（没有数据表）");
        return true;
    }
    if (!have.contains(QStringLiteral("contract"))) {
        result->problem = QStringLiteral("不是合同管理数据库（缺少 Contract 表）");
        return true;
    }
    for (const Table& table : tables()) {
        if (!have.contains(table.name.toLower()))
            continue;
        bool ok = false;
        const QString problem = keyProblem(db, table, error, &ok);
        if (!ok)
            return false;
        if (!problem.isEmpty()) {
            result->problem = problem;
            result->missingKey = true;
            return true;
        }
    }
    if (v > kCurrentVersion) {
        result->state = State::Newer;
        result->problem = newerProblem(v);
    } else if (v == 0) {
        result->state = State::Unstamped;
        result->problem = QStringLiteral("数据库没有版本标记，不能确定是本系统的数据库");
    } else {
        result->state = v == kCurrentVersion ? State::Current : State::Older;
    }
    return true;
}

bool upgrade(Database& db, QString* error, const UpgradeOptions& options)
{
    const auto refuses = [&](const Inspection& found) {
        switch (found.state) {
        case State::Foreign:
        case State::Newer:
            setError(error, found.problem);
            return true;
        case State::Unstamped:
            if (!options.convertUnstamped) {
                setError(error, found.problem);
                return true;
            }
            return false;
        default:
            return false;
        }
    };
    Inspection found;
    if (!inspect(db, &found, error) || refuses(found))
        return false;
    if (found.state == State::Current)
        return true;
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        setError(error, tx.error());
        return false;
    }
    // Another workstation may have changed the file while this one waited
    // for the lock: decide again on what it holds now.
    if (!inspect(db, &found, error) || refuses(found))
        return false;
    if (found.state == State::Current)
        return tx.commit();
    const auto& steps = upgradeSteps();
    for (int v = found.version; v < kCurrentVersion; ++v) {
        if (!steps.at(v)(db, error))
            return false;
    }
    if (!db.exec(db.dialect().writeVersion(kCurrentVersion), {}, error))
        return false;
    if (!tx.commit()) {
        setError(error, tx.error());
        return false;
    }
    return true;
}

bool createTables(Database& db, QString* error)
{
    QSet<QString> have;
    if (!existingTables(db, &have, error))
        return false;
    if (!have.isEmpty()) {
        setError(error, QStringLiteral("数据库不是空的"));
        return false;
    }
    return upgrade(db, error);
}

QStringList verify(Database& db)
{
    QStringList problems;
    QSet<QString> have;
    QString error;
    if (!existingTables(db, &have, &error))
        return {QStringLiteral("无法读取数据表结构：%1").arg(error)};
    for (const Table& table : tables()) {
        if (!have.contains(table.name.toLower())) {
            problems << QStringLiteral("缺少数据表 %1").arg(table.name);
            continue;
        }
        QHash<QString, ExistingColumn> columns;
        if (!existingColumns(db, table.name, &columns, &error))
            return {QStringLiteral("无法读取数据表 %1 的结构：%2").arg(table.name, error)};
        for (const Column& c : table.columns) {
            if (!columns.contains(c.name.toLower()))
                problems << QStringLiteral("数据表 %1 缺少字段 %2").arg(table.name, c.name);
        }
    }
    return problems;
}

} // namespace Schema
