#include "reference/ProjectStore.h"

#include "common/RecordModel.h"
#include "data/StoredDate.h"
#include "data/TransactionGuard.h"

#include <QSqlQuery>

namespace ProjectStore {

namespace {

const QString kFiles = QStringLiteral("t_GCdetail");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

void addTypeNode(SqlBuilder& b, const SqlDialect& dialect, const QString& typePath)
{
    if (!typePath.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_type"),
                  SqlDialect::escapeLike(typePath) + QLatin1Char('%'));
}

QString anywhere(const QString& text)
{
    return QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%');
}

SqlParams valueParams(const Project& p)
{
    return {
        {QStringLiteral(":code"), p.code.trimmed()},
        {QStringLiteral(":name"), p.name.trimmed()},
        {QStringLiteral(":type"), p.type},
        {QStringLiteral(":FZRemp"), p.fzrEmp},
        {QStringLiteral(":GCname"), p.gcName.trimmed()},
        {QStringLiteral(":GCtype"), p.gcType.trimmed()},
        {QStringLiteral(":GCpos"), p.gcPos.trimmed()},
        {QStringLiteral(":GCprice"), p.gcPrice},
        {QStringLiteral(":GCphone"), p.gcPhone.trimmed()},
        {QStringLiteral(":fromDate"), StoredDate::toStored(p.fromDateGiven, p.fromDate)},
        {QStringLiteral(":toDate"), StoredDate::toStored(p.toDateGiven, p.toDate)},
        {QStringLiteral(":memo1"), p.memo1.trimmed()},
        {QStringLiteral(":useFlag"), p.stopped},
    };
}

} // namespace

SqlBuilder listQuery(const SqlDialect& dialect, const ReferenceListCriteria& criteria)
{
    SqlBuilder b(QStringLiteral("select * from GCitem where (1=1) "));
    const QString text = criteria.text.trimmed();
    switch (criteria.choice) {
    case ReferenceListCriteria::ByCode:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_code"),
                  SqlDialect::escapeLike(text) + QLatin1Char('%'));
        break;
    case ReferenceListCriteria::ByName:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_name"), anywhere(text));
        break;
    case ReferenceListCriteria::ByContact:
        // A project has no contact of its own: its person in charge.
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_FZRemp"), anywhere(text));
        break;
    case ReferenceListCriteria::ByAddress:
        // ... and no address: its site.
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_GCpos"), anywhere(text));
        break;
    default:
        break;
    }
    addTypeNode(b, dialect, criteria.typePath);
    if (!criteria.includeStopped)
        b.add(QStringLiteral("and (F_useFlag = %1 or F_useFlag is null) "), false);
    b.add(QStringLiteral("order by f_code"));
    return b;
}

SqlBuilder pickQuery(const SqlDialect& dialect, const PickCriteria& criteria)
{
    SqlBuilder b(QStringLiteral("select * from GCitem where (1=1) "));
    b.add(QStringLiteral("and (F_useFlag = %1 or F_useFlag is null) "), false);
    if (!criteria.gcType.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_GCtype"),
                  SqlDialect::escapeLike(criteria.gcType) + QLatin1Char('%'));
    if (!criteria.name.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_name"),
                  anywhere(criteria.name));
    if (!criteria.gcName.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_GCname"),
                  anywhere(criteria.gcName));
    addTypeNode(b, dialect, criteria.typePath);
    b.add(QStringLiteral("order by F_code"));
    return b;
}

QString filesSql()
{
    return QStringLiteral("select * from t_GCdetail where F_GCcode = :code order by F_ID");
}

SqlParams filesParams(const QString& code)
{
    return {{QStringLiteral(":code"), code}};
}

QString noFilesSql()
{
    return QStringLiteral("select * from t_GCdetail where 1=0");
}

bool findByCode(Database& db, const QString& code, qint64* id, QString* error)
{
    bool ok = false;
    const QVariant v = db.scalar(QStringLiteral("Select F_ID From GCitem Where F_Code = :code"),
                                 {{QStringLiteral(":code"), code}}, &ok, error);
    *id = ok && v.isValid() ? v.toLongLong() : 0;
    return ok;
}

bool save(Database& db, Project* p, RecordModel* files, QString* error)
{
    const QString code = p->code.trimmed();
    if (p->id > 0) {
        // The files follow a changed code, also those another workstation
        // added meanwhile.
        bool ok = false;
        const QVariant former =
            db.scalar(QStringLiteral("select F_code from GCitem where F_ID = :id"),
                      {{QStringLiteral(":id"), p->id}}, &ok, error);
        if (!ok)
            return false;
        if (former.isValid() && former.toString() != code &&
            !db.exec(QStringLiteral("update t_GCdetail set F_GCcode = :code "
                                    "where F_GCcode = :former"),
                     {{QStringLiteral(":code"), code}, {QStringLiteral(":former"), former}}, error))
            return false;
    }
    if (files && !files->applyPending(db, kFiles, {{QStringLiteral(":F_GCcode"), code}}, error))
        return false;
    SqlParams params = valueParams(*p);
    if (p->id > 0) {
        params.append({QStringLiteral(":ID"), p->id});
        return db.exec(
            QStringLiteral("Update GCitem Set F_code = :code,F_name = :name,F_type = :type,"
                           "F_FZRemp = :FZRemp,F_GCname = :GCname,F_GCtype = :GCtype,"
                           "F_GCpos = :GCpos,F_GCprice = :GCprice,F_GCphone = :GCphone,"
                           "F_fromDate = :fromDate,F_toDate = :toDate,F_memo1 = :memo1,"
                           "F_useFlag = :useFlag Where F_ID = :ID"),
            params, error);
    }
    QSqlQuery q = db.prepare(
        QStringLiteral("Insert into GCitem(F_code,F_name,F_type,F_FZRemp,F_GCname,F_GCtype,"
                       "F_GCpos,F_GCprice,F_GCphone,F_fromDate,F_toDate,F_memo1,F_useFlag) "
                       "Values(:code,:name,:type,:FZRemp,:GCname,:GCtype,:GCpos,:GCprice,"
                       ":GCphone,:fromDate,:toDate,:memo1,:useFlag)"),
        params, error);
    if (!db.exec(q, error))
        return false;
    const qint64 id = q.lastInsertId().toLongLong();
    if (id <= 0) {
        setError(error, QStringLiteral("新增的工程项目没有得到编号"));
        return false;
    }
    p->id = id;
    return true;
}

bool remove(Database& db, const QString& code, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        setError(error, tx.error());
        return false;
    }
    const SqlParams params{{QStringLiteral(":code"), code}};
    if (!db.exec(QStringLiteral("delete from GCitem where F_code = :code"), params, error) ||
        !db.exec(QStringLiteral("delete from t_GCdetail where F_GCcode = :code"), params, error))
        return false;
    if (!tx.commit()) {
        setError(error, tx.error());
        return false;
    }
    return true;
}

} // namespace ProjectStore
