#include "browser/ContractStore.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

#include <QSqlQuery>

namespace ContractStore {

bool deleteContract(Database& db, int cltID, qint64 rowId, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    const SqlParams link{{QStringLiteral(":n"), cltID}};
    for (const char* table :
         {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec", "t_TPrec", "t_FJrec", "t_GDrec"}) {
        if (!db.exec(QStringLiteral("DELETE FROM %1 WHERE F_cltID = :n").arg(QLatin1String(table)),
                     link, error))
            return false;
    }
    // The lines go first, found through the shipments they belong to.
    if (!db.exec(QStringLiteral("DELETE FROM t_FHdetail WHERE F_code IN (SELECT F_code FROM "
                                "t_FHrec WHERE F_cltID = :n)"),
                 link, error) ||
        !db.exec(QStringLiteral("DELETE FROM t_FHrec WHERE F_cltID = :n"), link, error))
        return false;
    const bool ok =
        cltID > 0 ? db.exec(QStringLiteral("DELETE FROM Contract WHERE F_cltID = :n"), link, error)
                  : db.exec(QStringLiteral("DELETE FROM Contract WHERE F_ID = :id"),
                            {{QStringLiteral(":id"), rowId}}, error);
    if (!ok)
        return false;
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}

bool setApprover(Database& db, qint64 rowId, const QString& approver, QString* error)
{
    QSqlQuery q =
        db.prepare(QStringLiteral("UPDATE Contract SET F_SHemp = :a WHERE F_ID = :id"),
                   {{QStringLiteral(":a"), approver}, {QStringLiteral(":id"), rowId}}, error);
    if (!db.exec(q, error))
        return false;
    if (q.numRowsAffected() < 1) {
        if (error)
            *error = QStringLiteral("contract row %1 not found").arg(rowId);
        return false;
    }
    return true;
}

BatchResult batchSet(Database& db, const QString& field, const QString& value,
                     const QList<qint64>& rowIds)
{
    // Only these two columns are offered; the name is never operator text.
    const QString column = field.compare(QLatin1String("F_dept"), Qt::CaseInsensitive) == 0
                               ? QStringLiteral("F_dept")
                               : QStringLiteral("F_type");
    const QString sql = QStringLiteral("UPDATE Contract SET %1 = :v WHERE F_ID = :id").arg(column);
    BatchResult result;
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        result.error = tx.error();
        return result;
    }
    // Prepared once; each row only binds its key.
    QSqlQuery q =
        db.prepare(sql, {{QStringLiteral(":v"), value}, {QStringLiteral(":id"), 0}}, &result.error);
    int written = 0;
    for (qint64 id : rowIds) {
        q.bindValue(QStringLiteral(":id"), id);
        if (!db.exec(q, &result.error))
            return result;
        written += qMax(0, q.numRowsAffected());
    }
    if (!tx.commit()) {
        result.error = tx.error();
        return result;
    }
    result.ok = true;
    result.written = written;
    return result;
}

bool cleanEmptyContracts(Database& db, QString* error)
{
    return db.exec(QStringLiteral("DELETE FROM Contract WHERE (F_code = '' OR F_code IS NULL) AND "
                                  "(F_name = '' OR F_name IS NULL)"),
                   {}, error);
}

bool cleanEmptyClients(Database& db, QString* error)
{
    return db.exec(QStringLiteral("DELETE FROM Client WHERE (F_Code = '' OR F_Code IS NULL) AND "
                                  "(F_Name = '' OR F_Name IS NULL)"),
                   {}, error);
}

} // namespace ContractStore
