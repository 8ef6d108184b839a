#include "data/SeedData.h"

#include "data/Database.h"
#include "data/RightsCatalogue.h"
#include "data/SeedLayouts.h"
#include "platform/PasswordHash.h"

namespace SeedData {

namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

bool ensureAdministrator(Database& db, QString* error)
{
    bool ok = false;
    const int n = db.scalar(QStringLiteral("SELECT count(*) FROM OperList WHERE lower(F_Name) = "
                                           "'admin'"),
                            {}, &ok, error)
                      .toInt();
    if (!ok)
        return false;
    if (n > 0)
        return true;
    const QString stored = SavePass(QString());
    if (stored.isEmpty()) {
        if (error)
            *error = QStringLiteral("无法生成口令");
        return false;
    }
    return db.exec(QStringLiteral("INSERT INTO OperList(F_Name, F_PassWord, F_mem, F_Flag, "
                                  "F_xtFlag, F_SHflag, F_dept) VALUES('admin', :pw, :mem, 0, 0, "
                                  "1, '')"),
                   {{QStringLiteral(":pw"), stored}, {QStringLiteral(":mem"), u("系统管理员")}},
                   error);
}

bool ensureCompanyRow(Database& db, QString* error)
{
    bool ok = false;
    const int n = db.scalar(QStringLiteral("SELECT count(*) FROM SysInfo"), {}, &ok, error).toInt();
    if (!ok)
        return false;
    if (n > 0)
        return true;
    // The backup folder starts empty: backups then go beside the database.
    return db.exec(QStringLiteral("INSERT INTO SysInfo(F_Code, F_Name, F_BakPath, F_Manager, "
                                  "F_Phone, F_HandPhone, F_Email, F_Homepage, F_Enroler, F_Mem) "
                                  "VALUES('', '', '', '', '', '', '', '', '', '')"),
                   {}, error);
}

// Slots 1 to 11 are captions (empty: the custom field is unnamed), 12 to 14
// the decimals of quantities, prices and amounts, 15 unused.
bool ensureKeyValues(Database& db, bool newTable, QString* error)
{
    bool ok = false;
    const int n =
        db.scalar(QStringLiteral("SELECT count(*) FROM KeyValue"), {}, &ok, error).toInt();
    if (!ok)
        return false;
    const int wanted = newTable ? kKeyValueSlots : 14;
    for (int slot = n + 1; slot <= wanted; ++slot) {
        const QString value = (slot >= 12 && slot <= 14) ? QStringLiteral("2") : QString();
        if (!db.exec(QStringLiteral("INSERT INTO KeyValue(F_Value) VALUES(:v)"),
                     {{QStringLiteral(":v"), value}}, error))
            return false;
    }
    return true;
}

bool ensureRights(Database& db, QString* error)
{
    for (const RightDef& r : rightsCatalogue()) {
        const QString code = QString::number(r.code);
        bool ok = false;
        const int n = db.scalar(QStringLiteral("SELECT count(*) FROM Limits WHERE F_code = :c"),
                                {{QStringLiteral(":c"), code}}, &ok, error)
                          .toInt();
        if (!ok)
            return false;
        if (n > 0)
            continue;
        if (!db.exec(QStringLiteral("INSERT INTO Limits(F_code, F_name, F_flag) VALUES(:c, :n, 1)"),
                     {{QStringLiteral(":c"), code}, {QStringLiteral(":n"), u(r.caption)}}, error))
            return false;
    }
    return true;
}

bool insertGridLayouts(Database& db, QString* error)
{
    QSqlQuery q = db.prepare(QStringLiteral(
        "INSERT INTO cfg_grid(F_name, F_FieldName, F_Caption, F_Width, F_Visible, F_ReadOnly, "
        "F_DisplayFormat, F_FooterValue, F_FooterType, F_Alignment, F_Order) "
        "VALUES(:name, :field, :caption, :width, :visible, :ro, :fmt, :fv, :ft, :align, :ord)"));
    QString layout;
    int order = 0;
    for (const SeedGridColumn& c : seedGridColumns()) {
        const QString name = u(c.layout);
        order = (name == layout) ? order + 1 : 0;
        layout = name;
        q.bindValue(QStringLiteral(":name"), name);
        q.bindValue(QStringLiteral(":field"), u(c.field));
        q.bindValue(QStringLiteral(":caption"), u(c.caption));
        q.bindValue(QStringLiteral(":width"), c.width);
        q.bindValue(QStringLiteral(":visible"), c.visible ? 1 : 0);
        q.bindValue(QStringLiteral(":ro"), c.readOnly ? 1 : 0);
        q.bindValue(QStringLiteral(":fmt"), u(c.displayFormat));
        q.bindValue(QStringLiteral(":fv"), u(c.footerValue));
        q.bindValue(QStringLiteral(":ft"), c.footerType);
        q.bindValue(QStringLiteral(":align"), c.alignment);
        q.bindValue(QStringLiteral(":ord"), order);
        if (!db.exec(q, error))
            return false;
    }
    return true;
}

bool insertImportFields(Database& db, QString* error)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("INSERT INTO cfg_import(F_tablename, F_iFlag, S_Field, F_FieldName, "
                       "F_Field) VALUES(:t, 1, :s, :n, '')"));
    for (const SeedImportField& f : seedImportFields()) {
        q.bindValue(QStringLiteral(":t"), u(f.table));
        q.bindValue(QStringLiteral(":s"), u(f.field));
        q.bindValue(QStringLiteral(":n"), u(f.caption));
        if (!db.exec(q, error))
            return false;
    }
    return true;
}

bool seedCodeLists(Database& db, QString* error)
{
    struct Entry
    {
        const char* type;
        const char* names;
    };
    // Values a company needs on its first day; each list is kept in the
    // code-list window afterwards.
    static const Entry kLists[] = {
        {"priceunit", "人民币 美元 欧元 港币 日元"},
        {"status", "未生效 执行中 已完成 已终止 已作废"},
        {"unit", "个 台 套 件 只 箱 吨 千克 米 平方米 立方米 项 批"},
        {"awoketime", "上午 下午 全天"},
        {"bgitem", "合同名称 合同类型 业务员 签订日期 所属部门 合同金额 币种 合同开始日期 "
                   "合同截止日期 甲方单位 乙方单位 合同主要内容"},
        {"gctype", "新建 扩建 改建 维修"},
    };
    QSqlQuery q = db.prepare(QStringLiteral("INSERT INTO t_code(F_type, F_name) VALUES(:t, :n)"));
    for (const Entry& e : kLists) {
        for (const QString& name : u(e.names).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            q.bindValue(QStringLiteral(":t"), u(e.type));
            q.bindValue(QStringLiteral(":n"), name);
            if (!db.exec(q, error))
                return false;
        }
    }
    return true;
}

} // namespace

bool fillRequiredRows(Database& db, const QSet<QString>& tablesBefore, QString* error)
{
    auto isNew = [&](const char* table) { return !tablesBefore.contains(QLatin1String(table)); };
    if (!ensureAdministrator(db, error) || !ensureCompanyRow(db, error) ||
        !ensureKeyValues(db, isNew("keyvalue"), error) || !ensureRights(db, error))
        return false;
    if (isNew("cfg_grid") && !insertGridLayouts(db, error))
        return false;
    if (isNew("cfg_import") && !insertImportFields(db, error))
        return false;
    if (isNew("t_code") && !seedCodeLists(db, error))
        return false;
    return true;
}

} // namespace SeedData
