#include "records/ReceiptStore.h"

#include "contracts/ContractQuery.h"

namespace ReceiptStore {

namespace {

SqlParams valueParams(const Receipt& r)
{
    return {
        {QStringLiteral(":date"), r.date.toString(QStringLiteral("yyyy-MM-dd"))},
        {QStringLiteral(":OldCode"), r.oldCode.trimmed()},
        {QStringLiteral(":YSprice"), r.ysPrice},
        {QStringLiteral(":YSdate"), StoredDate::toStored(r.ysDateGiven, r.ysDate)},
        {QStringLiteral(":SKprice"), r.skPrice},
        {QStringLiteral(":SKdate"), StoredDate::toStored(r.skDateGiven, r.skDate)},
        {QStringLiteral(":KPprice"), r.kpPrice},
        {QStringLiteral(":memo1"), r.memo1},
        {QStringLiteral(":OperName"), r.operName.trimmed()},
    };
}

} // namespace

bool insert(Database& db, Receipt* r, QString* error)
{
    SqlParams params = valueParams(*r);
    params.prepend({QStringLiteral(":cltID"), r->cltID});
    QSqlQuery q =
        db.prepare(QStringLiteral("Insert into t_SKrec(F_cltID,F_date,F_Oldcode,F_YSprice,F_YSdate,"
                                  "F_SKprice,F_SKdate,F_KPprice,F_memo1,F_operName) "
                                  "Values(:cltID,:date,:OldCode,:YSprice,:YSdate,:SKprice,:SKdate,"
                                  ":KPprice,:memo1,:OperName)"),
                   params, error);
    if (!db.exec(q, error))
        return false;
    r->id = q.lastInsertId().toLongLong();
    return true;
}

bool update(Database& db, const Receipt& r, bool moveContract, QString* error)
{
    SqlParams params = valueParams(r);
    params.append({QStringLiteral(":ID"), r.id});
    QString sql = QStringLiteral(
        "Update t_SKrec Set F_date = :date,F_OldCode = :OldCode, F_YSprice = :YSprice,"
        "F_YSdate = :YSdate,F_SKprice = :SKprice, F_SKdate = :SKdate,F_KPprice = :KPprice,"
        "F_memo1 = :memo1, F_OperName = :OperName Where F_ID = :ID");
    if (moveContract) {
        sql.replace(QStringLiteral("Set F_date"), QStringLiteral("Set F_cltID = :cltID,F_date"));
        params.append({QStringLiteral(":cltID"), r.cltID});
    }
    return db.exec(sql, params, error);
}

QString contractListSql()
{
    return QStringLiteral("select * from t_SKrec where F_cltID = :F_cltID");
}

SqlParams contractListParams(int cltID)
{
    return {{QStringLiteral(":F_cltID"), cltID}};
}

} // namespace ReceiptStore
