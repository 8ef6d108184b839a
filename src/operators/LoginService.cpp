#include "operators/LoginService.h"

#include "data/RightsCatalogue.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/PasswordHash.h"
#include "platform/UserDialogs.h"

#include <QDebug>
#include <QSqlQuery>

LoginService::LoginService(TdmData& dm, Mode mode) : m_dm(dm), m_mode(mode) {}

QStringList LoginService::operatorNames() const
{
    return m_dm.PickListValues(
        QStringLiteral("SELECT F_Name FROM OperList WHERE F_Name <> '' ORDER BY F_ID"));
}

QString LoginService::presetName() const
{
    return m_dm.settings().readString(QStringLiteral("Config"), QStringLiteral("CurOperName"));
}

LoginService::Outcome LoginService::tryLogin(const QString& typedName, const QString& password)
{
    const QString name = typedName.trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("请选择用户！"), mkInfo);
        return Outcome::FocusName;
    }
    const SqlParams byName{{QStringLiteral(":name"), name}};
    if (m_dm.QueryInt(QStringLiteral("SELECT F_ID FROM OperList WHERE F_Name = :name"), byName) <=
        0) {
        ShowMess(QStringLiteral("此操作员并不存在，请重新选择操作员！"), mkInfo);
        return Outcome::FocusName;
    }
    const bool disabled =
        m_dm.QueryInt(QStringLiteral("SELECT F_Flag FROM OperList WHERE F_Name = :name"), byName) !=
        0;
    const QString stored = m_dm.QueryString(
        QStringLiteral("SELECT F_PassWord FROM OperList WHERE F_Name = :name"), byName);
    // The password as typed: letter case and blanks count.
    if (!disabled && CheckPass(password, stored)) {
        QString error;
        if (EstablishSession(m_dm, name, &error))
            return Outcome::LoggedIn;
        // Refused: who may see what is unknown. Not a wrong password.
        ShowFailure(Messages::operationFailed(), error);
        return Outcome::Stay;
    }
    if (m_wrong < 3) {
        ++m_wrong;
        ShowMess(disabled ? QStringLiteral("此操作员已被禁用，不能登录！")
                          : QStringLiteral("用户名或密码不正确，请重新输入！"),
                 mkInfo);
        return Outcome::Stay;
    }
    if (m_mode == StartUp) {
        m_dm.WriteLog(QStringLiteral("登录失败！"));
        ShowMess(QStringLiteral("非法操作员!"), mkError);
    } else {
        m_dm.WriteLog(QStringLiteral("更换操作员失败！"));
        ShowMess(QStringLiteral("更换操作员失败!"), mkError);
    }
    return Outcome::Failed;
}

bool EstablishSession(TdmData& dm, const QString& operatorName, QString* error)
{
    // Until the operator's row is read the session allows the least, so that
    // nothing of a previous operator's reach outlives a row that cannot be read.
    Session.XtFlag = 2;
    Session.DeptList.clear();
    Session.CanApprove = false;

    const QString name = operatorName.trimmed();
    if (name.toLower() == QLatin1String("admin")) {
        Session.XtFlag = 0;
        Session.CanApprove = true;
    } else {
        Database& db = dm.db();
        QSqlQuery q = db.prepare(QStringLiteral("SELECT F_xtFlag, F_SHflag, F_dept FROM OperList "
                                                "WHERE F_Name = :name"),
                                 {{QStringLiteral(":name"), name}}, error);
        if (!db.exec(q, error))
            return false;
        if (!q.next()) {
            if (error)
                *error = QStringLiteral("operator row of %1 not found").arg(name);
            return false;
        }
        Session.XtFlag = q.value(0).toInt();
        Session.CanApprove = q.value(1).toInt() != 0;
        Session.DeptList = q.value(2).toString();
    }
    Session.OperName = name;
    dm.settings().writeString(QStringLiteral("Config"), QStringLiteral("CurOperName"),
                              Session.OperName);
    dm.LoadSessionValues();
    return true;
}

QSet<int> HeldRights(TdmData& dm)
{
    QSet<int> held;
    if (Session.isAdmin()) {
        for (const RightDef& r : rightsCatalogue())
            held.insert(r.code);
        return held;
    }
    QSqlQuery q;
    if (dm.OpenQuery(QStringLiteral("SELECT DISTINCT l.F_code FROM OperLimit AS o JOIN Limits AS l "
                                    "ON o.F_lmtName = l.F_name WHERE o.F_OperName = :name"),
                     q, {{QStringLiteral(":name"), Session.OperName}})) {
        while (q.next())
            held.insert(q.value(0).toString().trimmed().toInt());
    }
    return held;
}
