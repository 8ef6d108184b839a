#include "codes/CodeStore.h"

#include "common/RecordModel.h"
#include "data/Schema.h"
#include "data/SqlBuilder.h"
#include "data/TdmData.h"
#include "data/TransactionGuard.h"

#include <QSet>
#include <QSqlQuery>

#include <QSqlQuery>

namespace CodeStore {

namespace {

QString sqlRollbackError(const TransactionGuard& guard, const QString& fallback)
{
    return guard.error().isEmpty() ? fallback : guard.error();
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The record column that stores the paths of a tree.
struct PathColumn
{
    const char* table;
    const char* column;
};

PathColumn pathColumnOf(const QString& flag)
{
    const QString f = flag.toLower();
    if (f == QLatin1String("clttype"))
        return {"Client", "F_Type"};
    if (f == QLatin1String("gctype"))
        return {"GCitem", "F_type"};
    if (f == QLatin1String("dept"))
        return {"Contract", "F_dept"};
    return {"Contract", "F_type"};
}

// "<col> is the old path or lies below it", with the placeholders :o1 and
// :o2 bound by the caller. Only a backslash after the old path makes a
// descendant, so renaming \\A leaves \\AB alone.
QString belowOrEqual(const Database& db, const QString& column)
{
    return QStringLiteral("(%1 OR %2)")
        .arg(db.dialect().equalsNoCase(column, QStringLiteral(":o1")),
             db.dialect().likeNoCase(column, QStringLiteral(":o2")));
}

SqlParams rewriteParams(const QString& oldPath, const QString& newPath)
{
    return {{QStringLiteral(":np"), newPath},
            {QStringLiteral(":op"), oldPath},
            {QStringLiteral(":o1"), oldPath},
            {QStringLiteral(":o2"),
             SqlDialect::escapeLike(oldPath + QLatin1Char('\\')) + QLatin1Char('%')}};
}

// The longest path a rename would store in one column, when it is longer
// than the column takes. False when the look-up failed.
bool findTooLong(Database& db, const QString& table, const QString& column, const QString& flag,
                 const QString& oldPath, const QString& newPath, PathTooLong* found, QString* error)
{
    const int limit = Schema::maxLength(table, column);
    if (limit <= 0)
        return true;
    const bool tree = table.compare(QLatin1String("t_treecode"), Qt::CaseInsensitive) == 0;
    // Every rewritten path grows by the same amount, so the longest stored
    // one gives the longest result.
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3%4 ORDER BY %5 DESC LIMIT 1")
            .arg(column, table, belowOrEqual(db, column),
                 tree ? QStringLiteral(" AND F_flag = :flag") : QString(),
                 db.dialect().textLength(column)),
        tree ? SqlParams{{QStringLiteral(":o1"), oldPath},
                         {QStringLiteral(":o2"),
                          SqlDialect::escapeLike(oldPath + QLatin1Char('\\')) + QLatin1Char('%')},
                         {QStringLiteral(":flag"), flag}}
             : SqlParams{{QStringLiteral(":o1"), oldPath},
                         {QStringLiteral(":o2"),
                          SqlDialect::escapeLike(oldPath + QLatin1Char('\\')) + QLatin1Char('%')}},
        error);
    if (!db.exec(q, error))
        return false;
    if (!q.next())
        return true;
    const QString path = newPath + q.value(0).toString().mid(oldPath.size());
    if (path.size() > limit && path.size() > found->path.size())
        *found = {path, limit};
    return true;
}

} // namespace

const QList<CodeListPage>& codeListPages()
{
    static const QList<CodeListPage> pages = {
        {QStringLiteral("empname"), QStringLiteral(" 业 务 员 ")},
        {QStringLiteral("status"), QStringLiteral(" 合同状态 ")},
        {QStringLiteral("priceunit"), QStringLiteral(" 合同币种 ")},
        {QStringLiteral("dept"), QStringLiteral(" 部    门 ")},
        {QStringLiteral("awoketime"), QStringLiteral(" 提醒时间 ")},
        {QStringLiteral("txcaption"), QStringLiteral(" 提醒主题 ")},
        {QStringLiteral("gdtype"), QStringLiteral(" 货品类型 ")},
        {QStringLiteral("unit"), QStringLiteral(" 货品单位 ")},
        {QStringLiteral("fhemp"), QStringLiteral(" 发 货 人 ")},
        {QStringLiteral("gctype"), QStringLiteral(" 工程性质 ")},
    };
    return pages;
}

bool readCodeList(Database& db, const QString& key, RecordModel& model, QString* error)
{
    const QString sql =
        QStringLiteral("SELECT * FROM t_code WHERE %1 ORDER BY F_ID")
            .arg(db.dialect().equalsNoCase(QStringLiteral("F_type"), QStringLiteral(":type")));
    return model.open(db, sql, {{QStringLiteral(":type"), key}}, error);
}

bool saveCodeList(Database& db, const QString& key, RecordModel& model, QString* error)
{
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        setError(error, guard.error());
        return false;
    }
    if (!model.applyPending(db, QStringLiteral("t_code"), {{QStringLiteral(":F_type"), key}},
                            error))
        return false;
    if (!guard.commit()) {
        setError(error, sqlRollbackError(guard, QStringLiteral("保存失败")));
        return false;
    }
    return true;
}

bool deleteCode(Database& db, qint64 id, QString* error)
{
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        setError(error, guard.error());
        return false;
    }
    if (!db.exec(QStringLiteral("DELETE FROM t_code WHERE F_ID = :id"),
                 {{QStringLiteral(":id"), id}}, error))
        return false;
    if (!guard.commit()) {
        setError(error, sqlRollbackError(guard, QStringLiteral("删除失败")));
        return false;
    }
    return true;
}

bool names(Database& db, const QString& key, QStringList* out, QString* error,
           const std::optional<QStringList>& only)
{
    out->clear();
    SqlBuilder b(QStringLiteral("SELECT F_name FROM t_code WHERE F_name <> '' "));
    b.add(QStringLiteral("AND %1 ").arg(
              db.dialect().equalsNoCase(QStringLiteral("F_type"), QStringLiteral("%1"))),
          key);
    if (only)
        b.addList(QStringLiteral("AND F_name IN (%1) "), *only);
    b.add(QStringLiteral("ORDER BY F_ID"));
    QSqlQuery q = db.prepare(b.sql(), b.params(), error);
    if (!db.exec(q, error))
        return false;
    QSet<QString> seen;
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (!name.trimmed().isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            *out << name;
        }
    }
    return true;
}

TreeKind treeKind(int mode)
{
    if (mode < 1 || mode > 8)
        mode = 1;
    static const char* const flags[] = {"type", "clttype", "gctype", "dept"};
    static const char* const captions[] = {"合同类型", "单位类型", "项目类型", "合同部门"};
    const int kind = (mode - 1) / 2;
    return {mode, QLatin1String(flags[kind]), QString::fromUtf8(captions[kind]), mode % 2 == 0};
}

int pickerModeOfFlag(const QString& flag)
{
    for (int mode = 2; mode <= 8; mode += 2) {
        if (treeKind(mode).flag.compare(flag, Qt::CaseInsensitive) == 0)
            return mode;
    }
    return 2;
}

QString normalizePath(QString path)
{
    const QString three(3, QLatin1Char('\\'));
    const QString two(2, QLatin1Char('\\'));
    while (path.contains(three))
        path.replace(three, two);
    return path;
}

AllocatedCode addTreeNode(TdmData& dm, const QString& flag, const QString& selectedCode, int mode,
                          const QString& name, const QString& path)
{
    Database& db = dm.db();
    TransactionGuard guard(db);
    if (!guard.isActive())
        return {QString(), guard.error()};
    // Allocated under the write lock: two workstations never share a code.
    AllocatedCode code = dm.NextTreeCode(selectedCode, flag, mode);
    if (!code)
        return code;
    QString error;
    if (!db.exec(QStringLiteral("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                                "VALUES(:code, :name, :path, :flag)"),
                 {{QStringLiteral(":code"), code.code},
                  {QStringLiteral(":name"), name},
                  {QStringLiteral(":path"), path},
                  {QStringLiteral(":flag"), flag}},
                 &error))
        return {QString(), error};
    if (!guard.commit())
        return {QString(), sqlRollbackError(guard, QStringLiteral("保存失败"))};
    return code;
}

RenameResult renameTreeNode(Database& db, const QString& flag, const QString& code,
                            const QString& newName, const QString& oldPath, const QString& newPath,
                            QString* error, PathTooLong* tooLong)
{
    if (oldPath.trimmed().compare(newPath.trimmed(), Qt::CaseInsensitive) == 0)
        return RenameResult::Unchanged;
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        setError(error, guard.error());
        return RenameResult::PathsFailed;
    }
    const PathColumn records = pathColumnOf(flag);
    const QString column = QLatin1String(records.column);
    // The node's own path is not the only one that grows: those below it and
    // the records' paths grow as much, and none may be cut.
    PathTooLong longest;
    if (!findTooLong(db, QLatin1String(records.table), column, flag, oldPath, newPath, &longest,
                     error) ||
        !findTooLong(db, QStringLiteral("t_treecode"), QStringLiteral("F_likecode"), flag, oldPath,
                     newPath, &longest, error))
        return RenameResult::PathsFailed;
    if (!longest.path.isEmpty()) {
        if (tooLong)
            *tooLong = longest;
        return RenameResult::TooLong;
    }
    const QString oldLength = db.dialect().textLength(QStringLiteral(":op"));
    const QString recordSql =
        QStringLiteral("UPDATE %1 SET %2 = :np || substr(%2, %3 + 1) WHERE %4")
            .arg(QLatin1String(records.table), column, oldLength, belowOrEqual(db, column));
    const QString treeSql =
        QStringLiteral("UPDATE t_treecode SET F_likecode = :np || substr(F_likecode, %1 + 1) "
                       "WHERE %2 AND F_flag = :flag")
            .arg(oldLength, belowOrEqual(db, QStringLiteral("F_likecode")));
    SqlParams treeParams = rewriteParams(oldPath, newPath);
    treeParams.append({QStringLiteral(":flag"), flag});
    if (!db.exec(recordSql, rewriteParams(oldPath, newPath), error) ||
        !db.exec(treeSql, treeParams, error))
        return RenameResult::PathsFailed;
    if (!db.exec(QStringLiteral("UPDATE t_treecode SET F_name = :name, F_likecode = :path "
                                "WHERE F_code = :code AND F_flag = :flag"),
                 {{QStringLiteral(":name"), newName},
                  {QStringLiteral(":path"), newPath},
                  {QStringLiteral(":code"), code},
                  {QStringLiteral(":flag"), flag}},
                 error))
        return RenameResult::NodeFailed;
    if (!guard.commit()) {
        setError(error, sqlRollbackError(guard, QStringLiteral("保存失败")));
        return RenameResult::NodeFailed;
    }
    return RenameResult::Renamed;
}

bool deleteTreeNode(Database& db, const QString& flag, const QString& code, QString* error)
{
    if (code.isEmpty()) {
        setError(error, QStringLiteral("没有选择节点"));
        return false;
    }
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        setError(error, guard.error());
        return false;
    }
    if (!db.exec(
            QStringLiteral("DELETE FROM t_treecode WHERE %1 AND F_flag = :flag")
                .arg(db.dialect().likeNoCase(QStringLiteral("F_code"), QStringLiteral(":prefix"))),
            {{QStringLiteral(":prefix"), SqlDialect::escapeLike(code) + QLatin1Char('%')},
             {QStringLiteral(":flag"), flag}},
            error))
        return false;
    if (!guard.commit()) {
        setError(error, sqlRollbackError(guard, QStringLiteral("删除失败")));
        return false;
    }
    return true;
}

} // namespace CodeStore
