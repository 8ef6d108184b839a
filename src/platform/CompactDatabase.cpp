#include "platform/CompactDatabase.h"

#include "data/Database.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

bool integrityOk(Database& db, QString* error)
{
    QSqlQuery q(db.handle());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check"))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems == QStringList{QStringLiteral("ok")})
        return true;
    if (error)
        *error = QStringLiteral("数据库文件已损坏: ") + problems.join(QLatin1String("; "));
    return false;
}

} // namespace

bool CompactDatabase(Database& db, QString* error)
{
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("数据库未连接");
        return false;
    }
    if (db.transactionDepth() > 0) {
        if (error)
            *error = QStringLiteral("事务进行中，不能压缩");
        return false;
    }
    if (!integrityOk(db, error))
        return false;
    QSqlQuery q(db.handle());
    if (!q.exec(QStringLiteral("VACUUM"))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    // Fold the write-ahead log back into the file so that its size shows the
    // gain; harmless with the rollback journal.
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return integrityOk(db, error);
}
