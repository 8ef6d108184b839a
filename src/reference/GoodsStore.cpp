#include "reference/GoodsStore.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

#include <QSqlQuery>

namespace GoodsStore {

namespace {

QString containing(const QString& text)
{
    return QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%');
}

QString startingWith(const QString& text)
{
    return SqlDialect::escapeLike(text) + QLatin1Char('%');
}

AllocatedCode nextCode(Database& db)
{
    bool ok = false;
    QString error;
    const QVariant largest =
        db.scalar(QStringLiteral("select max(F_code) from t_goods"), {}, &ok, &error);
    if (!ok)
        return {QString(), error};
    return CodeAllocation::nextPlain(largest.toString(), kCodeWidth);
}

GoodsRecord fromQuery(const QSqlQuery& q)
{
    GoodsRecord g;
    g.id = q.value(0).toLongLong();
    g.code = q.value(1).toString();
    g.name = q.value(2).toString();
    g.type = q.value(3).toString();
    g.spec = q.value(4).toString();
    g.unit = q.value(5).toString();
    g.price = q.value(6).toDouble();
    g.memo = q.value(7).toString();
    g.stopped = q.value(8).toBool();
    return g;
}

} // namespace

SqlBuilder listQuery(const SqlDialect& dialect, const QString& type, const QString& search)
{
    SqlBuilder b(QStringLiteral("select * from t_goods where (1=1) "));
    if (!type.trimmed().isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_type"),
                  startingWith(type.trimmed()));
    const QString text = search.trimmed();
    if (!text.isEmpty()) {
        b.addLike(dialect, QStringLiteral("and ("), QStringLiteral("F_code"), containing(text));
        b.addLike(dialect, QStringLiteral("or "), QStringLiteral("F_name"), containing(text));
        b.addLike(dialect, QStringLiteral("or "), QStringLiteral("F_memo1"), containing(text));
        b.add(QStringLiteral(") "));
    }
    b.add(QStringLiteral("order by F_code"));
    return b;
}

SqlBuilder pickerQuery(const SqlDialect& dialect, const PickerCriteria& criteria)
{
    SqlBuilder b(QStringLiteral("select * from t_goods where (1=1) "));
    // An empty IN list would match nothing: no exclusion then.
    if (!criteria.excluded.isEmpty())
        b.addList(QStringLiteral("and not (F_code in (%1)) "), criteria.excluded);
    if (criteria.contractId >= 0)
        b.add(QStringLiteral("and (F_code in (select F_GDcode from t_GDrec where F_cltID = %1)) "),
              criteria.contractId);
    if (!criteria.type.trimmed().isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_type"),
                  startingWith(criteria.type.trimmed()));
    const QString text = criteria.search.trimmed();
    if (!text.isEmpty()) {
        b.addLike(dialect, QStringLiteral("and ("), QStringLiteral("F_code"), containing(text));
        b.addLike(dialect, QStringLiteral("or "), QStringLiteral("F_name"), containing(text));
        b.add(QStringLiteral(") "));
    }
    b.add(QStringLiteral("order by F_code"));
    return b;
}

AllocatedCode proposeCode(Database& db)
{
    return nextCode(db);
}

bool save(Database& db, SaveMode mode, GoodsRecord* goods, QString* error)
{
    TransactionGuard tx(db);
    QString why;
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason.isEmpty() ? tx.error() : reason;
        return false;
    };
    if (!tx.isActive())
        return fail(tx.error());

    QString code = goods->code.trimmed();
    if (mode == Modify) {
        bool ok = false;
        const QVariant holder =
            db.scalar(QStringLiteral("select F_ID from t_goods where F_code = :code"),
                      {{QStringLiteral(":code"), code}}, &ok, &why);
        if (!ok)
            return fail(why);
        if (holder.isValid() && holder.toLongLong() != goods->id)
            code.clear();
    } else {
        code.clear();
    }
    if (code.isEmpty()) {
        // Read under the write lock: nobody else can take it before commit.
        const AllocatedCode next = nextCode(db);
        if (!next)
            return fail(next.error);
        code = next.code;
    }

    const SqlParams params{
        {QStringLiteral(":type"), goods->type.trimmed()},
        {QStringLiteral(":code"), code},
        {QStringLiteral(":name"), goods->name.trimmed()},
        {QStringLiteral(":spec"), goods->spec.trimmed()},
        {QStringLiteral(":unit"), goods->unit.trimmed()},
        {QStringLiteral(":price"), goods->price},
        {QStringLiteral(":memo1"), goods->memo},
        {QStringLiteral(":flag"), goods->stopped},
    };
    qint64 id = goods->id;
    if (mode == Modify) {
        SqlParams withId = params;
        withId << qMakePair(QStringLiteral(":ID"), QVariant(goods->id));
        if (!db.exec(QStringLiteral("update t_goods set F_type = :type, F_code = :code, "
                                    "F_name = :name, F_spec = :spec, F_unit = :unit, "
                                    "F_price = :price, F_memo1 = :memo1, F_flag = :flag "
                                    "where F_ID = :ID"),
                     withId, &why))
            return fail(why);
    } else {
        if (!db.exec(QStringLiteral("insert into t_goods(F_type, F_code, F_name, F_spec, F_unit, "
                                    "F_price, F_memo1, F_flag) values(:type, :code, :name, "
                                    ":spec, :unit, :price, :memo1, :flag)"),
                     params, &why))
            return fail(why);
        bool ok = false;
        id = db.scalar(QStringLiteral("select max(F_ID) from t_goods where F_code = :code"),
                       {{QStringLiteral(":code"), code}}, &ok, &why)
                 .toLongLong();
        if (!ok)
            return fail(why);
    }
    if (!tx.commit())
        return fail(tx.error());
    goods->code = code;
    goods->id = id;
    return true;
}

bool read(Database& db, const QString& code, GoodsRecord* goods, QString* error)
{
    QString why;
    QSqlQuery q = db.prepare(QStringLiteral("select F_ID, F_code, F_name, F_type, F_spec, F_unit, "
                                            "F_price, F_memo1, F_Flag from t_goods "
                                            "where F_code = :code order by F_ID"),
                             {{QStringLiteral(":code"), code}}, &why);
    if (!db.exec(q, &why)) {
        if (error)
            *error = why;
        return false;
    }
    if (error)
        error->clear();
    if (!q.next())
        return false;
    *goods = fromQuery(q);
    return true;
}

} // namespace GoodsStore
