#include "maintenance/CompanyInfo.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

#include <QSqlQuery>

bool CompanyInfoStore::read(Database& db, CompanyInfo* info, QString* error)
{
    QSqlQuery q = db.prepare(QStringLiteral("SELECT F_Code, F_Name, F_Manager, F_Phone, "
                                            "F_HandPhone, F_Homepage, F_Email, F_Enroler, F_Mem "
                                            "FROM SysInfo ORDER BY F_ID"));
    if (!db.exec(q, error))
        return false;
    *info = CompanyInfo();
    if (!q.next())
        return true;
    info->code = q.value(0).toString();
    info->name = q.value(1).toString();
    info->manager = q.value(2).toString();
    info->phone = q.value(3).toString();
    info->handPhone = q.value(4).toString();
    info->homepage = q.value(5).toString();
    info->email = q.value(6).toString();
    info->enroler = q.value(7).toString();
    info->mem = q.value(8).toString();
    return true;
}

bool CompanyInfoStore::save(Database& db, const CompanyInfo& info, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    // Every row, as the readers of the table take its first one.
    if (!db.exec(QStringLiteral("UPDATE SysInfo SET F_Code = :code, F_Name = :name, "
                                "F_Manager = :manager, F_Phone = :phone, "
                                "F_HandPhone = :handPhone, F_Homepage = :homepage, "
                                "F_Email = :email, F_Enroler = :enroler, F_Mem = :mem"),
                 {{QStringLiteral(":code"), info.code.trimmed()},
                  {QStringLiteral(":name"), info.name.trimmed()},
                  {QStringLiteral(":manager"), info.manager.trimmed()},
                  {QStringLiteral(":phone"), info.phone.trimmed()},
                  {QStringLiteral(":handPhone"), info.handPhone.trimmed()},
                  {QStringLiteral(":homepage"), info.homepage.trimmed()},
                  {QStringLiteral(":email"), info.email.trimmed()},
                  {QStringLiteral(":enroler"), info.enroler.trimmed()},
                  {QStringLiteral(":mem"), info.mem.trimmed()}},
                 error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}

bool IsMailAddress(const QString& address)
{
    for (const QChar c : address) {
        const ushort u = c.unicode();
        const bool allowed = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                             (u >= '0' && u <= '9') || u == '-' || u == '.' || u == '_' || u == '@';
        if (!allowed)
            return false;
    }
    const int at = address.indexOf(QLatin1Char('@'));
    if (at <= 0 || address.contains(QLatin1String("..")))
        return false;
    const QString domain = address.mid(at + 1);
    if (domain.size() <= 3)
        return false;
    const int dot = domain.indexOf(QLatin1Char('.'));
    return dot >= 0 && domain.size() - dot - 1 >= 3;
}

QUrl HomePageUrl(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return {};
    const bool hasScheme = trimmed.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
                           trimmed.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
    return QUrl(hasScheme ? trimmed : QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
}
