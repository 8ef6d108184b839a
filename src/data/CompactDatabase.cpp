#include "data/CompactDatabase.h"

#include "data/Database.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool integrityOk(Database& db, QString* error)
{
    QString why;
    QSqlQuery q = db.prepare(db.dialect().integrityCheck(), {}, &why);
    if (!db.exec(q, &why)) {
        setError(error, Database::plainReason(why) + QLatin1Char('\n') + why);
        return false;
    }
    // A damaged file can report hundreds of problems, some of several lines.
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (problems == QStringList{QStringLiteral("ok")})
        return true;
    setError(error, QStringLiteral("数据库文件已损坏（完整性检查发现 %1 处问题）\n%2")
                        .arg(problems.size())
                        .arg(problems.join(QLatin1Char('\n'))));
    return false;
}

} // namespace

bool CompactDatabase(Database& db, QString* error)
{
    if (!db.isOpen()) {
        setError(error, QStringLiteral("数据库未连接"));
        return false;
    }
    if (db.transactionDepth() > 0) {
        setError(error, QStringLiteral("事务进行中，不能压缩"));
        return false;
    }
    if (db.isReadOnly()) {
        setError(error, QStringLiteral("数据库是只读打开的，不能压缩"));
        return false;
    }
    if (!integrityOk(db, error))
        return false;
    QString why;
    if (!db.exec(db.dialect().compact(), {}, &why)) {
        setError(error,
                 QStringLiteral("压缩没有完成：%1\n%2").arg(Database::plainReason(why), why));
        return false;
    }
    // Fold the write-ahead log back into the file so that its size shows the
    // gain; harmless with the rollback journal, and the compaction is done
    // whether or not it can run now.
    db.exec(db.dialect().checkpoint());
    return integrityOk(db, error);
}
