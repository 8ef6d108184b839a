#include "operators/OperatorStore.h"

#include "data/TransactionGuard.h"

#include <QSqlQuery>

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// The id of the operator holding `name` in any letter case, other than
// `exceptId`; 0 when there is none.
bool otherOperatorWithName(Database& db, const QString& name, qint64 exceptId, qint64* found,
                           QString* error)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT F_ID FROM OperList WHERE %1 AND F_ID <> :id")
            .arg(db.dialect().equalsNoCase(QStringLiteral("F_Name"), QStringLiteral(":name"))),
        {{QStringLiteral(":name"), name}, {QStringLiteral(":id"), exceptId}}, error);
    if (!db.exec(q, error))
        return false;
    *found = q.next() ? q.value(0).toLongLong() : 0;
    return true;
}

bool removeRights(Database& db, const QString& name, QString* error)
{
    return db.exec(QStringLiteral("DELETE FROM OperLimit WHERE F_OperName = :name"),
                   {{QStringLiteral(":name"), name}}, error);
}

} // namespace

bool OperatorStore::isAdministrator(const QString& name)
{
    return name.trimmed().toLower() == QLatin1String("admin");
}

QString OperatorStore::listStatement(bool showDisabled)
{
    return showDisabled ? QStringLiteral("SELECT * FROM OperList ORDER BY F_ID")
                        : QStringLiteral("SELECT * FROM OperList WHERE F_Flag = :off "
                                         "OR F_Flag IS NULL ORDER BY F_ID");
}

SqlParams OperatorStore::listParams(bool showDisabled)
{
    if (showDisabled)
        return {};
    return {{QStringLiteral(":off"), false}};
}

bool OperatorStore::read(Database& db, qint64 id, OperatorRecord* out, QString* error)
{
    QSqlQuery q = db.prepare(QStringLiteral("SELECT F_ID, F_Name, F_mem, F_Flag, F_xtFlag, "
                                            "F_SHflag, F_dept FROM OperList WHERE F_ID = :id"),
                             {{QStringLiteral(":id"), id}}, error);
    if (!db.exec(q, error))
        return false;
    if (!q.next())
        return fail(error, QStringLiteral("operator %1 not found").arg(id));
    out->id = q.value(0).toLongLong();
    out->name = q.value(1).toString();
    out->mem = q.value(2).toString();
    out->disabled = q.value(3).toInt() != 0;
    out->xtFlag = q.value(4).toInt();
    out->canApprove = q.value(5).toInt() != 0;
    out->dept = q.value(6).toString();
    return true;
}

bool OperatorStore::grantableRights(Database& db, QStringList* names, QString* error)
{
    QSqlQuery q =
        db.prepare(QStringLiteral("SELECT F_name FROM Limits WHERE F_flag = :on ORDER BY F_code"),
                   {{QStringLiteral(":on"), true}}, error);
    if (!db.exec(q, error))
        return false;
    names->clear();
    while (q.next())
        *names << q.value(0).toString();
    return true;
}

bool OperatorStore::heldRights(Database& db, const QString& name, QStringList* names,
                               QString* error)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT F_lmtName FROM OperLimit WHERE F_OperName = :name ORDER BY F_ID"),
        {{QStringLiteral(":name"), name.trimmed()}}, error);
    if (!db.exec(q, error))
        return false;
    names->clear();
    while (q.next())
        *names << q.value(0).toString();
    return true;
}

OperatorStore::SaveResult OperatorStore::save(Database& db, OperatorRecord& op,
                                              const QString& passwordHash,
                                              const QStringList& rights, QString* error)
{
    const QString name = op.name.trimmed();
    if (isAdministrator(name) && op.id == 0)
        return SaveResult::NameTaken;

    TransactionGuard tx(db);
    if (!tx.isActive()) {
        fail(error, tx.error());
        return SaveResult::Failed;
    }
    // Checked inside the transaction, which holds the write lock: two
    // workstations cannot both take a name.
    qint64 other = 0;
    if (!otherOperatorWithName(db, name, op.id, &other, error))
        return SaveResult::Failed;
    if (other > 0)
        return SaveResult::NameTaken;

    QString oldName;
    if (op.id != 0) {
        QSqlQuery q = db.prepare(QStringLiteral("SELECT F_Name FROM OperList WHERE F_ID = :id"),
                                 {{QStringLiteral(":id"), op.id}}, error);
        if (!db.exec(q, error))
            return SaveResult::Failed;
        if (!q.next())
            return SaveResult::Missing;
        oldName = q.value(0).toString();
        if (isAdministrator(oldName))
            return SaveResult::Administrator;
    }

    SqlParams values{{QStringLiteral(":name"), name},
                     {QStringLiteral(":mem"), op.mem},
                     {QStringLiteral(":flag"), op.disabled},
                     {QStringLiteral(":xtFlag"), op.xtFlag},
                     {QStringLiteral(":shFlag"), op.canApprove},
                     {QStringLiteral(":dept"), op.xtFlag == 2 ? op.dept.trimmed() : QString()}};
    if (op.id == 0) {
        if (passwordHash.isEmpty()) {
            fail(error, QStringLiteral("no password hash for a new operator"));
            return SaveResult::Failed;
        }
        values << qMakePair(QStringLiteral(":password"), QVariant(passwordHash));
        if (!db.exec(QStringLiteral("INSERT INTO OperList(F_Name, F_PassWord, F_mem, F_Flag, "
                                    "F_xtFlag, F_SHflag, F_dept) VALUES(:name, :password, :mem, "
                                    ":flag, :xtFlag, :shFlag, :dept)"),
                     values, error))
            return SaveResult::Failed;
    } else {
        values << qMakePair(QStringLiteral(":id"), QVariant(op.id));
        QString sql = QStringLiteral("UPDATE OperList SET F_Name = :name, F_mem = :mem, "
                                     "F_Flag = :flag, F_xtFlag = :xtFlag, F_SHflag = :shFlag, "
                                     "F_dept = :dept");
        if (!passwordHash.isEmpty()) {
            sql += QStringLiteral(", F_PassWord = :password");
            values << qMakePair(QStringLiteral(":password"), QVariant(passwordHash));
        }
        sql += QStringLiteral(" WHERE F_ID = :id");
        if (!db.exec(sql, values, error))
            return SaveResult::Failed;
    }

    if (!removeRights(db, name, error))
        return SaveResult::Failed;
    if (!oldName.isEmpty() && oldName.compare(name, Qt::CaseInsensitive) != 0 &&
        !removeRights(db, oldName, error))
        return SaveResult::Failed;
    QSqlQuery insert = db.prepare(
        QStringLiteral("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES(:name, :right)"), {},
        error);
    for (const QString& right : rights) {
        insert.bindValue(QStringLiteral(":name"), name);
        insert.bindValue(QStringLiteral(":right"), right);
        if (!db.exec(insert, error))
            return SaveResult::Failed;
    }

    qint64 id = op.id;
    if (id == 0 && !otherOperatorWithName(db, name, 0, &id, error))
        return SaveResult::Failed;
    if (!tx.commit()) {
        fail(error, tx.error());
        return SaveResult::Failed;
    }
    op.id = id;
    op.name = name;
    return SaveResult::Saved;
}

OperatorStore::SaveResult OperatorStore::remove(Database& db, qint64 id, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        fail(error, tx.error());
        return SaveResult::Failed;
    }
    QSqlQuery q = db.prepare(QStringLiteral("SELECT F_Name FROM OperList WHERE F_ID = :id"),
                             {{QStringLiteral(":id"), id}}, error);
    if (!db.exec(q, error))
        return SaveResult::Failed;
    if (!q.next())
        return SaveResult::Missing;
    const QString name = q.value(0).toString();
    if (isAdministrator(name))
        return SaveResult::Administrator;
    if (!db.exec(QStringLiteral("DELETE FROM OperList WHERE F_ID = :id"),
                 {{QStringLiteral(":id"), id}}, error) ||
        !removeRights(db, name, error))
        return SaveResult::Failed;
    if (!tx.commit()) {
        fail(error, tx.error());
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

bool OperatorStore::storedPassword(Database& db, const QString& name, qint64* id, QString* hash,
                                   bool* found, QString* error)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT F_ID, F_PassWord FROM OperList WHERE %1 ORDER BY F_ID")
            .arg(db.dialect().equalsNoCase(QStringLiteral("F_Name"), QStringLiteral(":name"))),
        {{QStringLiteral(":name"), name.trimmed()}}, error);
    if (!db.exec(q, error))
        return false;
    *found = q.next();
    if (*found) {
        *id = q.value(0).toLongLong();
        *hash = q.value(1).toString();
    }
    return true;
}

bool OperatorStore::setPassword(Database& db, qint64 id, const QString& hash, QString* error)
{
    if (hash.isEmpty())
        return fail(error, QStringLiteral("the password could not be hashed"));
    TransactionGuard tx(db);
    if (!tx.isActive())
        return fail(error, tx.error());
    QSqlQuery q =
        db.prepare(QStringLiteral("UPDATE OperList SET F_PassWord = :password "
                                  "WHERE F_ID = :id"),
                   {{QStringLiteral(":password"), hash}, {QStringLiteral(":id"), id}}, error);
    if (!db.exec(q, error))
        return false;
    if (q.numRowsAffected() != 1)
        return fail(error, QStringLiteral("operator %1 not found").arg(id));
    if (!tx.commit())
        return fail(error, tx.error());
    return true;
}
