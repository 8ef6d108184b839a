#include "contracts/ContractEditStore.h"

#include "common/RecordModel.h"
#include "data/StoredDate.h"
#include "data/TransactionGuard.h"

#include <QSqlQuery>

namespace ContractEditStore {

namespace {

QDate parseDate(const QString& text)
{
    return QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
}

QVariant optional(const QDate& d, const QDate& unset)
{
    return d.isValid() ? d : unset;
}

qint64 otherWith(Database& db, const QString& field, const QString& value, qint64 exceptId)
{
    QSqlQuery q = db.prepare(QStringLiteral("SELECT F_ID FROM Contract WHERE %1 = :v").arg(field),
                             {{QStringLiteral(":v"), value}});
    if (!db.exec(q))
        return -1;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (id != exceptId)
            return id;
    }
    return -1;
}

const QString kFields = QStringLiteral(
    "F_ID,F_cltID,F_code,F_name,F_type,F_empName,F_editDate,F_date,F_totalPrice,F_beginDate,"
    "F_endDate,F_status,F_memo1,F_memo2,F_filePath,F_GDflag,F_GDpath,F_client1,F_client2,"
    "F_FZR1,F_FZR2,F_SFflag,F_priceUnit,F_dept,F_ZF1,F_ZF2,F_ZF3,F_ZF4,F_ZF5,F_SZ1,F_SZ2,"
    "F_SZ3,F_RQ1,F_RQ2,F_RQ3,F_GCcode,F_GCname,F_SHemp");

} // namespace

bool load(Database& db, qint64 id, ContractValues* v, QString* error)
{
    QSqlQuery q =
        db.prepare(QStringLiteral("SELECT %1 FROM Contract WHERE F_ID = :id").arg(kFields),
                   {{QStringLiteral(":id"), id}}, error);
    if (!db.exec(q, error))
        return false;
    if (!q.next()) {
        if (error)
            *error = QStringLiteral("合同记录不存在");
        return false;
    }
    int i = 0;
    auto text = [&] { return q.value(i++).toString(); };
    auto number = [&] { return q.value(i++).toDouble(); };
    v->id = q.value(i++).toLongLong();
    v->cltID = q.value(i++).toInt();
    v->code = text();
    v->name = text();
    v->type = text();
    v->empName = text();
    v->editDate = parseDate(text());
    v->date = parseDate(text());
    v->totalPrice = number();
    v->beginDate = StoredDate::optionalDate(text());
    v->endDate = StoredDate::endDate(text());
    v->status = text();
    v->memo1 = text();
    v->memo2 = text();
    v->filePath = text();
    v->gdFlag = q.value(i++).toInt() != 0;
    v->gdPath = text();
    v->client1 = text();
    v->client2 = text();
    v->fzr1 = text();
    v->fzr2 = text();
    v->sfFlag = q.value(i++).toInt() == -1 ? -1 : 1;
    v->priceUnit = text();
    v->dept = text();
    for (QString& z : v->zf)
        z = text();
    for (double& s : v->sz)
        s = number();
    for (QDate& r : v->rq)
        r = StoredDate::optionalDate(text());
    v->gcCode = text();
    v->gcName = text();
    v->shEmp = text();
    return true;
}

bool hasNumberedTail(const QString& code)
{
    if (code.size() < 4)
        return false;
    for (const QChar c : code.right(4)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString contractCodeAfter(const QString& lastCode)
{
    if (lastCode.size() <= 3 || !hasNumberedTail(lastCode))
        return QStringLiteral("0001");
    const int serial = (10000 + lastCode.right(4).toInt() + 1) % 10000;
    return lastCode.left(lastCode.size() - 4) +
           QStringLiteral("%1").arg(serial, 4, 10, QLatin1Char('0'));
}

QString nextContractCode(Database& db, QString* error)
{
    bool ok = false;
    const QVariant last = db.scalar(
        QStringLiteral("SELECT F_code FROM Contract ORDER BY F_ID DESC LIMIT 1"), {}, &ok, error);
    return contractCodeAfter(ok ? last.toString() : QString());
}

int nextLinkNumber(Database& db)
{
    bool ok = false;
    const QVariant largest =
        db.scalar(QStringLiteral("SELECT max(F_cltID) FROM Contract"), {}, &ok);
    return ok ? largest.toInt() + 1 : 0;
}

qint64 otherWithCode(Database& db, const QString& code, qint64 exceptId)
{
    return otherWith(db, QStringLiteral("F_code"), code, exceptId);
}

qint64 otherWithName(Database& db, const QString& name, qint64 exceptId)
{
    return otherWith(db, QStringLiteral("F_name"), name, exceptId);
}

QString counterpartContact(Database& db, const QString& name)
{
    return db
        .scalar(QStringLiteral("SELECT F_linkMan FROM Client WHERE F_name = :n LIMIT 1"),
                {{QStringLiteral(":n"), name}})
        .toString();
}

QString projectName(Database& db, const QString& code)
{
    return db
        .scalar(QStringLiteral("SELECT F_name FROM GCitem WHERE F_code = :c LIMIT 1"),
                {{QStringLiteral(":c"), code}})
        .toString();
}

QString goodsSql()
{
    return QStringLiteral("SELECT * FROM t_GDrec WHERE F_cltID = :F_cltID ORDER BY F_ID");
}

SqlParams goodsParams(int cltID)
{
    return {{QStringLiteral(":F_cltID"), cltID}};
}

namespace {

// Lines added but left without goods code and name are dropped; every line
// kept goes under the link number.
void prepareLines(RecordModel* goods, int cltID)
{
    for (int row = goods->rowCount() - 1; row >= 0; --row) {
        const bool added = goods->value(row, QStringLiteral("F_ID")).isNull();
        if (added && goods->text(row, QStringLiteral("F_GDcode")).trimmed().isEmpty() &&
            goods->text(row, QStringLiteral("F_GDname")).trimmed().isEmpty())
            goods->removeRows(row, 1);
    }
    for (int row = 0; row < goods->rowCount(); ++row) {
        if (goods->value(row, QStringLiteral("F_cltID")).toInt() != cltID)
            goods->setValue(row, QStringLiteral("F_cltID"), cltID);
    }
}

} // namespace

SaveResult save(Database& db, bool insert, const ContractValues& v, int cltID, RecordModel* goods,
                const QString& autoCode, bool uniqueCode)
{
    SaveResult r;
    TransactionGuard guard(db);
    if (!guard.isActive()) {
        r.error = guard.error();
        return r;
    }
    QString code = v.code.trimmed();
    if (insert) {
        // Both numbers are taken here, under the write lock.
        cltID = nextLinkNumber(db);
        if (cltID <= 0) {
            r.error = QStringLiteral("无法取得合同关联号");
            return r;
        }
        if (!autoCode.isEmpty() && code == autoCode.trimmed()) {
            QString error;
            code = nextContractCode(db, &error);
            if (!error.isEmpty()) {
                r.error = error;
                return r;
            }
            if (uniqueCode && otherWithCode(db, code, -1) >= 0) {
                r.duplicateCode = true;
                r.error = QStringLiteral("合同编号重复");
                return r;
            }
        }
    }
    if (goods) {
        prepareLines(goods, cltID);
        if (!goods->applyPending(db, QStringLiteral("t_GDrec"), goodsParams(cltID), &r.error))
            return r;
    }
    SqlParams p = {
        {QStringLiteral(":cltID"), cltID},
        {QStringLiteral(":code"), code},
        {QStringLiteral(":name"), v.name.trimmed()},
        {QStringLiteral(":type"), v.type.trimmed()},
        {QStringLiteral(":empName"), v.empName.trimmed()},
        {QStringLiteral(":date"), v.date},
        {QStringLiteral(":totalPrice"), v.totalPrice},
        {QStringLiteral(":beginDate"), optional(v.beginDate, StoredDate::kNoDate)},
        {QStringLiteral(":endDate"), optional(v.endDate, StoredDate::kOpenEnd)},
        {QStringLiteral(":status"), v.status.trimmed()},
        {QStringLiteral(":memo1"), v.memo1.trimmed()},
        {QStringLiteral(":filePath"), v.filePath.trimmed()},
        {QStringLiteral(":memo2"), v.memo2.trimmed()},
        {QStringLiteral(":GDflag"), v.gdFlag},
        {QStringLiteral(":GDpath"), v.gdPath.trimmed()},
        {QStringLiteral(":editDate"), v.editDate},
        {QStringLiteral(":client1"), v.client1.trimmed()},
        {QStringLiteral(":client2"), v.client2.trimmed()},
        {QStringLiteral(":FZR1"), v.fzr1.trimmed()},
        {QStringLiteral(":FZR2"), v.fzr2.trimmed()},
        {QStringLiteral(":SFflag"), v.sfFlag == -1 ? -1 : 1},
        {QStringLiteral(":priceUnit"), v.priceUnit.trimmed()},
        {QStringLiteral(":dept"), v.dept.trimmed()},
    };
    for (int i = 0; i < 5; ++i)
        p.append({QStringLiteral(":ZF%1").arg(i + 1), v.zf[size_t(i)]});
    for (int i = 0; i < 3; ++i)
        p.append({QStringLiteral(":SZ%1").arg(i + 1), v.sz[size_t(i)]});
    for (int i = 0; i < 3; ++i)
        p.append(
            {QStringLiteral(":RQ%1").arg(i + 1), optional(v.rq[size_t(i)], StoredDate::kNoDate)});
    p.append({QStringLiteral(":GCcode"), v.gcCode.trimmed()});
    p.append({QStringLiteral(":GCname"), v.gcName.trimmed()});

    if (insert) {
        QSqlQuery q = db.prepare(
            QStringLiteral(
                "INSERT INTO Contract(F_cltID,F_code,F_name,F_type,F_empName,F_date,"
                "F_totalPrice,F_beginDate,F_endDate,F_status,F_memo1,F_filePath,F_memo2,"
                "F_GDflag,F_GDpath,F_editDate,F_client1,F_client2,F_FZR1,F_FZR2,F_SFflag,"
                "F_priceUnit,F_dept,F_ZF1,F_ZF2,F_ZF3,F_ZF4,F_ZF5,F_SZ1,F_SZ2,F_SZ3,"
                "F_RQ1,F_RQ2,F_RQ3,F_GCcode,F_GCname,F_SHemp) VALUES(:cltID,:code,:name,"
                ":type,:empName,:date,:totalPrice,:beginDate,:endDate,:status,:memo1,"
                ":filePath,:memo2,:GDflag,:GDpath,:editDate,:client1,:client2,:FZR1,"
                ":FZR2,:SFflag,:priceUnit,:dept,:ZF1,:ZF2,:ZF3,:ZF4,:ZF5,:SZ1,:SZ2,:SZ3,"
                ":RQ1,:RQ2,:RQ3,:GCcode,:GCname,'')"),
            p, &r.error);
        if (!r.error.isEmpty() || !db.exec(q, &r.error))
            return r;
        r.id = q.lastInsertId().toLongLong();
    } else {
        p.append({QStringLiteral(":id"), v.id});
        if (!db.exec(QStringLiteral(
                         "UPDATE Contract SET F_cltID = :cltID,F_code = :code,F_name = :name,"
                         "F_type = :type,F_empName = :empName,F_date = :date,"
                         "F_totalPrice = :totalPrice,F_beginDate = :beginDate,"
                         "F_endDate = :endDate,F_status = :status,F_memo1 = :memo1,"
                         "F_filePath = :filePath,F_memo2 = :memo2,F_GDflag = :GDflag,"
                         "F_GDpath = :GDpath,F_editDate = :editDate,F_client1 = :client1,"
                         "F_client2 = :client2,F_FZR1 = :FZR1,F_FZR2 = :FZR2,F_SFflag = :SFflag,"
                         "F_priceUnit = :priceUnit,F_dept = :dept,F_ZF1 = :ZF1,F_ZF2 = :ZF2,"
                         "F_ZF3 = :ZF3,F_ZF4 = :ZF4,F_ZF5 = :ZF5,F_SZ1 = :SZ1,F_SZ2 = :SZ2,"
                         "F_SZ3 = :SZ3,F_RQ1 = :RQ1,F_RQ2 = :RQ2,F_RQ3 = :RQ3,"
                         "F_GCcode = :GCcode,F_GCname = :GCname WHERE F_ID = :id"),
                     p, &r.error))
            return r;
        r.id = v.id;
    }
    if (!guard.commit()) {
        r.error = guard.error();
        return r;
    }
    r.ok = true;
    r.cltID = cltID;
    r.code = code;
    return r;
}

} // namespace ContractEditStore
