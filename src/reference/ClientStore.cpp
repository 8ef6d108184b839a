#include "reference/ClientStore.h"

#include <QSqlQuery>

namespace ClientStore {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Stopped rows are left out; a row whose flag was never set counts as in use.
void addInUse(SqlBuilder& b)
{
    b.add(QStringLiteral("and (F_useFlag = %1 or F_useFlag is null) "), false);
}

void addTypeNode(SqlBuilder& b, const SqlDialect& dialect, const QString& typePath)
{
    if (!typePath.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_type"),
                  SqlDialect::escapeLike(typePath) + QLatin1Char('%'));
}

SqlParams valueParams(const Client& c)
{
    return {
        {QStringLiteral(":Code"), c.code.trimmed()},
        {QStringLiteral(":Name"), c.name.trimmed()},
        {QStringLiteral(":Type"), c.type},
        {QStringLiteral(":LinkMan"), c.linkMan},
        {QStringLiteral(":Phone"), c.phone.trimmed()},
        {QStringLiteral(":Address"), c.address.trimmed()},
        {QStringLiteral(":Postcode"), c.postcode.trimmed()},
        {QStringLiteral(":fax"), c.fax.trimmed()},
        {QStringLiteral(":handPhone"), c.handPhone.trimmed()},
        {QStringLiteral(":Mem"), c.mem},
        {QStringLiteral(":UseFlag"), c.stopped},
        {QStringLiteral(":bank"), c.bank.trimmed()},
        {QStringLiteral(":account"), c.account.trimmed()},
        {QStringLiteral(":ratecode"), c.ratecode.trimmed()},
        {QStringLiteral(":homepage"), c.homepage.trimmed()},
        {QStringLiteral(":Email"), c.email.trimmed()},
        {QStringLiteral(":Enrol"), c.enrol.trimmed()},
    };
}

} // namespace

QStringList searchChoices()
{
    return {QStringLiteral("单位编号"), QStringLiteral("单位名称"), QStringLiteral("联 系 人"),
            QStringLiteral("单位地址")};
}

SqlBuilder listQuery(const SqlDialect& dialect, const ReferenceListCriteria& criteria)
{
    SqlBuilder b(QStringLiteral("select * from Client where (1=1) "));
    const QString text = SqlDialect::escapeLike(criteria.text.trimmed());
    const QString anywhere = QLatin1Char('%') + text + QLatin1Char('%');
    switch (criteria.choice) {
    case ReferenceListCriteria::ByCode:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_code"),
                  text + QLatin1Char('%'));
        break;
    case ReferenceListCriteria::ByName:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_name"), anywhere);
        break;
    case ReferenceListCriteria::ByContact:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_linkman"), anywhere);
        break;
    case ReferenceListCriteria::ByAddress:
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("f_address"), anywhere);
        break;
    default:
        break;
    }
    addTypeNode(b, dialect, criteria.typePath);
    if (!criteria.includeStopped)
        addInUse(b);
    b.add(QStringLiteral("order by f_code"));
    return b;
}

SqlBuilder pickQuery(const SqlDialect& dialect, const PickCriteria& criteria)
{
    SqlBuilder b(QStringLiteral("select * from Client where (1=1) "));
    addInUse(b);
    if (!criteria.code.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_code"),
                  SqlDialect::escapeLike(criteria.code) + QLatin1Char('%'));
    if (!criteria.name.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_name"),
                  QLatin1Char('%') + SqlDialect::escapeLike(criteria.name) + QLatin1Char('%'));
    if (!criteria.address.isEmpty())
        b.addLike(dialect, QStringLiteral("and "), QStringLiteral("F_address"),
                  QLatin1Char('%') + SqlDialect::escapeLike(criteria.address) + QLatin1Char('%'));
    addTypeNode(b, dialect, criteria.typePath);
    b.add(QStringLiteral("order by F_code,F_type"));
    return b;
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

QString nextAutoCode(const QString& lastCode)
{
    if (lastCode.size() <= 3 || !hasNumberedTail(lastCode))
        return QStringLiteral("0001");
    const QString prefix = lastCode.left(lastCode.size() - 4);
    // A leading 1 keeps the zeros; the last four digits of the sum wrap
    // 9999 to 0000.
    const int number = (QStringLiteral("1") + lastCode.right(4)).toInt() + 1;
    return prefix + QString::number(number).right(4);
}

AllocatedCode allocateAutoCode(Database& db)
{
    bool ok = false;
    QString error;
    const QVariant last = db.scalar(
        QStringLiteral("select F_code from Client order by F_ID desc limit 1"), {}, &ok, &error);
    AllocatedCode result;
    if (!ok) {
        result.error = error;
        return result;
    }
    result.code = nextAutoCode(last.toString().trimmed());
    return result;
}

bool findByCode(Database& db, const QString& code, qint64* id, QString* error)
{
    bool ok = false;
    const QVariant v = db.scalar(QStringLiteral("Select F_ID From Client Where F_Code = :code"),
                                 {{QStringLiteral(":code"), code}}, &ok, error);
    *id = ok && v.isValid() ? v.toLongLong() : 0;
    return ok;
}

bool insert(Database& db, Client* c, QString* error)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("Insert into Client(F_Code,F_Name,F_Type,F_LinkMan,F_Phone,F_Address,"
                       "F_Postcode,F_fax,F_handPhone,F_Mem,F_useFlag,F_bank,F_account,F_ratecode,"
                       "F_homepage,F_Email,F_Enrol) Values(:Code,:Name,:Type,:LinkMan,:Phone,"
                       ":Address,:Postcode,:fax,:handPhone,:Mem,:UseFlag,:bank,:account,"
                       ":ratecode,:homepage,:Email,:Enrol)"),
        valueParams(*c), error);
    if (!db.exec(q, error))
        return false;
    c->id = q.lastInsertId().toLongLong();
    if (c->id <= 0) {
        setError(error, QStringLiteral("新增的往来单位没有得到编号"));
        return false;
    }
    return true;
}

bool update(Database& db, const Client& c, QString* error)
{
    SqlParams params = valueParams(c);
    params.append({QStringLiteral(":ID"), c.id});
    return db.exec(
        QStringLiteral("Update Client Set F_code = :Code,F_Name = :Name,F_Type = :Type,"
                       "F_LinkMan = :LinkMan,F_Phone = :Phone,F_Address = :Address,"
                       "F_Postcode = :Postcode,F_fax = :fax,F_handPhone = :handPhone,F_Mem = :Mem,"
                       "F_useFlag = :UseFlag,F_bank = :bank,F_account = :account,"
                       "F_ratecode = :ratecode,F_homepage = :homepage,F_Email = :Email,"
                       "F_enrol = :Enrol Where F_ID = :ID"),
        params, error);
}

} // namespace ClientStore
