#include "shipments/ShipmentStore.h"

#include "common/RecordModel.h"
#include "data/StoredDate.h"
#include "data/TransactionGuard.h"
#include "platform/Clock.h"

#include <QSqlQuery>

namespace ShipmentStore {

namespace {

const QString kPrefix = QStringLiteral("FH-");

QString isoDay(const QDate& day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

SqlParams headerParams(const Shipment& s, double total)
{
    return {
        {QStringLiteral(":OLDcode"), s.oldCode.trimmed()},
        {QStringLiteral(":FHemp"), s.fhEmp.trimmed()},
        {QStringLiteral(":FHdate"), isoDay(s.fhDate)},
        {QStringLiteral(":SHemp"), s.shEmp.trimmed()},
        {QStringLiteral(":SHdate"), StoredDate::toStored(s.shDateGiven, s.shDate)},
        {QStringLiteral(":SHaddress"), s.shAddress.trimmed()},
        {QStringLiteral(":SHphone"), s.shPhone.trimmed()},
        {QStringLiteral(":FHfilePath"), s.filePath.trimmed()},
        {QStringLiteral(":memo1"), s.memo1},
        {QStringLiteral(":operName"), s.operName.trimmed()},
        {QStringLiteral(":totalPrice"), total},
    };
}

bool writeHeader(Database& db, const Shipment& s, bool isNew, ShipmentWriter writer,
                 const QString& code, double total, qint64* savedId, QString* error)
{
    SqlParams params = headerParams(s, total);
    const bool edit = writer == ShipmentWriter::EditWindow;
    if (edit)
        params.append({QStringLiteral(":SHhandPhone"), s.shHandPhone.trimmed()});
    if (isNew) {
        params.append({QStringLiteral(":cltID"), s.cltID});
        params.append({QStringLiteral(":code"), code});
        params.append({QStringLiteral(":editDate"), isoDay(Clock::today())});
        QString sql;
        if (edit) {
            params.append({QStringLiteral(":mainID"), -1});
            sql = QStringLiteral(
                "Insert into t_FHrec(F_cltID,F_mainID,F_FHemp,F_FHdate,F_SHemp,F_SHdate,"
                "F_SHaddress,F_SHphone,F_SHhandPhone,F_FHfilePath,F_memo1,F_code,F_OLDcode,"
                "F_operName,F_editDate,F_totalPrice) Values(:cltID,:mainID,:FHemp,:FHdate,:SHemp,"
                ":SHdate,:SHaddress,:SHphone,:SHhandPhone,:FHfilePath,:memo1,:code,:OLDcode,"
                ":operName,:editDate,:totalPrice)");
        } else {
            sql = QStringLiteral(
                "Insert into t_FHrec(F_cltID,F_code,F_OLDcode,F_FHemp,F_FHdate,F_SHemp,F_SHdate,"
                "F_SHaddress,F_SHphone,F_FHfilePath,F_memo1,F_operName,F_totalPrice,F_editDate) "
                "Values(:cltID,:code,:OLDcode,:FHemp,:FHdate,:SHemp,:SHdate,:SHaddress,:SHphone,"
                ":FHfilePath,:memo1,:operName,:totalPrice,:editDate)");
        }
        QSqlQuery q = db.prepare(sql, params, error);
        if (!db.exec(q, error))
            return false;
        *savedId = q.lastInsertId().toLongLong();
        return true;
    }
    params.append({QStringLiteral(":ID"), s.id});
    QString sql;
    if (edit) {
        // The edit window never moves a shipment to another contract.
        sql = QStringLiteral(
            "Update t_FHrec Set F_OLDcode = :OLDcode,F_FHemp = :FHemp,F_FHdate = :FHdate,"
            "F_SHemp = :SHemp,F_SHdate = :SHdate,F_SHaddress = :SHaddress,F_SHphone = :SHphone,"
            "F_SHhandPhone = :SHhandPhone,F_FHfilePath = :FHfilePath,F_memo1 = :memo1,"
            "F_operName = :operName,F_totalPrice = :totalPrice Where F_ID = :ID");
    } else {
        params.append({QStringLiteral(":cltID"), s.cltID});
        sql = QStringLiteral(
            "Update t_FHrec Set F_cltID = :cltID,F_OLDcode = :OLDcode,F_FHemp = :FHemp,"
            "F_FHdate = :FHdate,F_SHemp = :SHemp,F_SHdate = :SHdate,F_SHaddress = :SHaddress,"
            "F_SHphone = :SHphone,F_FHfilePath = :FHfilePath,F_memo1 = :memo1,"
            "F_operName = :operName,F_totalPrice = :totalPrice Where F_ID = :ID");
    }
    *savedId = s.id;
    return db.exec(sql, params, error);
}

} // namespace

AllocatedCode nextCode(Database& db, const QDate& day)
{
    const QString ymd = day.toString(QStringLiteral("yyyyMMdd"));
    bool ok = false;
    QString error;
    const QVariant largest = db.scalar(
        QStringLiteral("SELECT max(F_code) FROM t_FHrec WHERE %1")
            .arg(db.dialect().likeNoCase(QStringLiteral("F_code"), QStringLiteral(":day"))),
        {{QStringLiteral(":day"),
          SqlDialect::escapeLike(kPrefix + ymd + QLatin1Char('-')) + QLatin1Char('%')}},
        &ok, &error);
    if (!ok)
        return {QString(), error};
    return CodeAllocation::nextDated(largest.toString(), kPrefix, ymd, 3);
}

QString dayListSql()
{
    return QStringLiteral(
        "Select fh.F_ID,fh.F_cltID,fh.F_code,fh.F_OLDcode,fh.F_FHemp, fh.F_FHdate,fh.F_SHemp,"
        "fh.F_SHdate,fh.F_SHaddress,fh.F_SHphone,fh.F_FHfilePath, fh.F_memo1,fh.F_editDate,"
        "fh.F_totalPrice,fh.F_operName, c.F_code as F_HTcode,c.F_name as F_HTname "
        "from t_FHrec as fh Left join Contract as c on fh.F_cltID = c.F_cltID "
        "Where fh.F_editDate = :day Order By fh.F_code");
}

SqlParams dayListParams(const QDate& entryDate)
{
    return {{QStringLiteral(":day"), isoDay(entryDate)}};
}

QString contractListSql()
{
    return QStringLiteral("select * from t_FHrec where F_cltID = :F_cltID");
}

SqlParams contractListParams(int cltID)
{
    return {{QStringLiteral(":F_cltID"), cltID}};
}

int contractGoodsCount(Database& db, int cltID, QString* error)
{
    bool ok = false;
    const QVariant n = db.scalar(QStringLiteral("select count(*) from t_GDrec where F_cltID = :c"),
                                 {{QStringLiteral(":c"), cltID}}, &ok, error);
    return ok ? n.toInt() : -1;
}

QString linesSql()
{
    return QStringLiteral("select * from t_FHdetail where F_code = :code order by F_ID");
}

SqlParams linesParams(const QString& code)
{
    return {{QStringLiteral(":code"), code.isEmpty() ? QStringLiteral("-2") : code}};
}

SqlParams noLinesParams()
{
    return {{QStringLiteral(":code"), QStringLiteral("-10")}};
}

void dropEmptyLines(RecordModel* lines)
{
    for (int row = lines->rowCount() - 1; row >= 0; --row) {
        if (lines->text(row, QStringLiteral("F_GDcode")).trimmed().isEmpty() &&
            lines->text(row, QStringLiteral("F_GDname")).trimmed().isEmpty())
            lines->removeRows(row, 1);
    }
}

double linesTotal(const RecordModel& lines)
{
    double total = 0;
    for (int row = 0; row < lines.rowCount(); ++row)
        total += lines.value(row, QStringLiteral("F_totalPrice")).toDouble();
    return total;
}

bool save(Database& db, Shipment* shipment, RecordModel* lines, ShipmentWriter writer,
          QString* error)
{
    const bool isNew = shipment->id == 0;
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    QString code = shipment->code.trimmed();
    if (isNew) {
        // Taken under the write lock: two workstations never get the same code.
        const AllocatedCode next = nextCode(db, Clock::today());
        if (!next) {
            if (error)
                *error = next.error;
            return false;
        }
        code = next.code;
    }
    double total = 0;
    if (lines) {
        if (!lines->applyPending(db, QStringLiteral("t_FHdetail"),
                                 {{QStringLiteral(":F_code"), code}}, error))
            return false;
        total = linesTotal(*lines);
    }
    qint64 savedId = 0;
    if (!writeHeader(db, *shipment, isNew, writer, code, total, &savedId, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    shipment->id = savedId;
    shipment->code = code;
    return true;
}

bool deleteShipment(Database& db, const QString& code, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    const SqlParams params{{QStringLiteral(":code"), code}};
    // Lines first, so that no line is ever left without its shipment.
    if (!db.exec(QStringLiteral("Delete From t_FHdetail Where F_code = :code"), params, error))
        return false;
    if (!db.exec(QStringLiteral("Delete From t_FHrec Where F_code = :code"), params, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}

SqlBuilder queryStatement(const SqlDialect& dialect, const ShipmentQueryCriteria& c)
{
    SqlBuilder b(QStringLiteral(
        "Select fh.F_ID,fh.F_cltID,fh.F_code,fh.F_OLDcode,fh.F_FHemp,fh.F_FHdate, fh.F_SHemp,"
        "fh.F_SHdate,fh.F_SHaddress,fh.F_SHphone,fh.F_FHfilePath,fh.F_memo1, fh.F_editDate,"
        "fh.F_totalPrice,fh.F_operName,c.F_code as F_HTcode,c.F_name as F_HTname,c.F_GCcode,"
        "c.F_GCname from t_FHrec as fh Left join Contract as c on fh.F_cltID = c.F_cltID "
        "where (1=1) "));
    if (c.fhFromTicked)
        b.add(QStringLiteral("and fh.F_FHdate >= %1 "), isoDay(c.fhFrom));
    if (c.fhToTicked)
        b.add(QStringLiteral("and fh.F_FHdate <= %1 "), isoDay(c.fhTo));
    if (c.shFromTicked)
        b.add(QStringLiteral("and fh.F_SHdate >= %1 "), isoDay(c.shFrom));
    if (c.shToTicked)
        b.add(QStringLiteral("and fh.F_SHdate <= %1 "), isoDay(c.shTo));
    // A receipt bound asks for shipments that were received: an unset date
    // (stored as the no-date value) is no date at all.
    if (c.shFromTicked || c.shToTicked)
        b.add(QStringLiteral("and fh.F_SHdate >= %1 "), StoredDate::iso(StoredDate::kFirstGiven));
    auto contains = [](const QString& text) {
        return QLatin1Char('%') + SqlDialect::escapeLike(text.trimmed()) + QLatin1Char('%');
    };
    auto startsWith = [](const QString& text) {
        return SqlDialect::escapeLike(text.trimmed()) + QLatin1Char('%');
    };
    auto given = [](const QString& text) { return !text.trimmed().isEmpty(); };
    const QString andPrefix = QStringLiteral("and ");
    if (given(c.fhEmp))
        b.addLike(dialect, andPrefix, QStringLiteral("fh.F_FHemp"), contains(c.fhEmp));
    if (given(c.oldCode))
        b.addLike(dialect, andPrefix, QStringLiteral("fh.F_OLDcode"), contains(c.oldCode));
    if (given(c.contractName))
        b.addLike(dialect, andPrefix, QStringLiteral("c.F_name"), startsWith(c.contractName));
    if (given(c.shEmp))
        b.addLike(dialect, andPrefix, QStringLiteral("fh.F_SHemp"), startsWith(c.shEmp));
    if (given(c.shPhone))
        b.addLike(dialect, andPrefix, QStringLiteral("fh.F_SHphone"), startsWith(c.shPhone));
    if (given(c.shAddress))
        b.addLike(dialect, andPrefix, QStringLiteral("fh.F_SHaddress"), contains(c.shAddress));
    if (given(c.goodsCode) || given(c.goodsName) || given(c.goodsType)) {
        // One line must meet all goods criteria; a shipment without lines meets none.
        b.add(QStringLiteral(
            "and (fh.F_code in (select F_code from t_FHdetail where F_code is not null "));
        if (given(c.goodsCode))
            b.addLike(dialect, andPrefix, QStringLiteral("F_GDcode"), startsWith(c.goodsCode));
        if (given(c.goodsName))
            b.addLike(dialect, andPrefix, QStringLiteral("F_GDname"), contains(c.goodsName));
        if (given(c.goodsType))
            b.addLike(dialect, andPrefix, QStringLiteral("F_type"), startsWith(c.goodsType));
        b.add(QStringLiteral(")) "));
    }
    b.add(QStringLiteral("Order By fh.F_code"));
    return b;
}

bool employeeNames(Database& db, QStringList* out, QString* error)
{
    out->clear();
    QSqlQuery q = db.prepare(QStringLiteral("select distinct F_name from t_employee "
                                            "where (F_name <> '') order by F_name"),
                             {}, error);
    if (!db.exec(q, error))
        return false;
    while (q.next())
        *out << q.value(0).toString();
    return true;
}

} // namespace ShipmentStore
