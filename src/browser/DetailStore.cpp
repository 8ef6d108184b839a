#include "browser/DetailStore.h"
#include "data/SeedLayouts.h"
#include "data/StoredDate.h"

#include <QDateTime>
#include <QRegularExpression>

namespace DetailStore {

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

const QList<PageDef>& pages()
{
    static const QList<PageDef> all = {
        {u("收付款项"), u("t_SKrec"), u("detail2"), u("请先选择要增加收付款项记录的合同！"),
         u("此表为空，没有收付款记录需要修改！"), u("F_date"),
         u("真的要删除当前%1日的收付款记录吗？")},
        {u("执行情况"), u("t_ZXrec"), u("detail3"), u("请先选择要增加执行情况的合同！"),
         u("此表为空，没有执行情况记录需要修改！"), u("F_date"),
         u("真的要删除当前%1日的合同执行情况记录吗？")},
        {u("合同提醒"), u("t_TXrec"), u("detail4"), u("请先选择要增加提醒事务的合同！"),
         u("此表为空，没有提醒记录需要修改！"), u("F_editDate"),
         u("真的要删除当前%1日的事务提醒记录吗？")},
        {u("合同变更"), u("t_BGrec"), u("detail5"), u("请先选择要增加变更记录的合同！"),
         u("此表为空，没有合同变更记录需要修改！"), u("F_editDate"),
         u("真的要删除当前%1日的合同变更记录吗？")},
        {u("合同扫描"), u("t_TPrec"), QString(), u("请先选择要增加合同扫描图片的合同！"),
         u("此表为空，没有合同图片需要修改！"), QString(), QString()},
        {u("合同附件"), u("t_FJrec"), u("detail6"), u("请先选择要增加合同附件的合同！"),
         u("此表为空，没有合同附件记录需要修改！"), u("F_editDate"),
         u("真的要删除当前%1日的合同附件记录吗？")},
        {u("合同货品"), u("t_GDrec"), u("detail7"), u("请先选择要增加合同货品的合同！"),
         u("此表为空，没有合同的合同货品需要修改！"), u("F_GDname"),
         u("真的要删除当前%1的合同标的记录吗？")},
        {u("发货记录"), u("t_FHrec"), u("detail8"), u("请先选择要增加合同发货记录的合同信息！"),
         u("此表为空，没有合同的发货记录需要修改！"), u("F_FHemp"),
         u("真的要删除发货人为为 %1 的发货记录吗？")},
    };
    return all;
}

} // namespace

const PageDef& page(int number)
{
    static const PageDef none;
    if (number < 1 || number > kPageCount)
        return none;
    return pages().at(number - 1);
}

QString listSql(int number)
{
    const QString table = page(number).table;
    if (table.isEmpty())
        return QString();
    return QStringLiteral("select * from %1 where F_cltID = :F_cltID").arg(table);
}

SqlParams contractParams(int cltID)
{
    return {{QStringLiteral(":F_cltID"), cltID}};
}

QString linesSql()
{
    return QStringLiteral("select * from t_FHdetail where F_code = :F_code order by F_ID");
}

QString questionValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd"));
    default:
        break;
    }
    const QString text = value.toString();
    // Stored date texts may carry a time ("2024-03-01 10:20:00").
    static const QRegularExpression dated(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}[ T]"));
    return dated.match(text).hasMatch() ? text.left(10) : text;
}

bool approveChange(Database& db, qint64 id, const QString& oper, const QDate& day, QString* error)
{
    return db.exec(QStringLiteral("UPDATE t_BGrec SET F_PZemp = :emp, F_PZdate = :day "
                                  "WHERE F_ID = :id"),
                   {{QStringLiteral(":emp"), oper},
                    {QStringLiteral(":day"), day},
                    {QStringLiteral(":id"), id}},
                   error);
}

bool withdrawChange(Database& db, qint64 id, QString* error)
{
    return db.exec(QStringLiteral("UPDATE t_BGrec SET F_PZemp = :emp, F_PZdate = :day "
                                  "WHERE F_ID = :id"),
                   {{QStringLiteral(":emp"), QStringLiteral("")},
                    {QStringLiteral(":day"), StoredDate::noDateText()},
                    {QStringLiteral(":id"), id}},
                   error);
}

} // namespace DetailStore
