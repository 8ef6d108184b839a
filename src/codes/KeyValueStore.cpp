#include "codes/KeyValueStore.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

#include <QList>
#include <QSqlQuery>

bool KeyValueStore::rewrite(Database& db, const QStringList& values, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    QSqlQuery rows =
        db.prepare(QStringLiteral("SELECT F_ID FROM KeyValue ORDER BY F_ID"), {}, error);
    if (!db.exec(rows, error))
        return false;
    QList<qint64> ids;
    while (rows.next() && ids.size() < kSlots)
        ids << rows.value(0).toLongLong();
    QSqlQuery update = db.prepare(
        QStringLiteral("UPDATE KeyValue SET F_Value = :value WHERE F_ID = :id"), {}, error);
    for (int n = 1; n <= int(ids.size()); ++n) {
        update.bindValue(QStringLiteral(":value"), Database::toSqlValue(values.value(n)));
        update.bindValue(QStringLiteral(":id"), ids.at(n - 1));
        if (!db.exec(update, error))
            return false;
    }
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}
