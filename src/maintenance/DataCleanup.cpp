#include "maintenance/DataCleanup.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

const QList<DataCleanup::Group>& DataCleanup::groups()
{
    static const QList<Group> all = {
        {QStringLiteral("合同档案资料"), {QStringLiteral("DELETE FROM Contract")}},
        {QStringLiteral("收付款项资料"), {QStringLiteral("DELETE FROM t_SKrec")}},
        {QStringLiteral("合同执行情况"), {QStringLiteral("DELETE FROM t_ZXrec")}},
        {QStringLiteral("合同提醒"), {QStringLiteral("DELETE FROM t_TXrec")}},
        {QStringLiteral("合同变更情况"), {QStringLiteral("DELETE FROM t_BGrec")}},
        {QStringLiteral("合同扫描图片"), {QStringLiteral("DELETE FROM t_TPrec")}},
        {QStringLiteral("客户附件资料"), {QStringLiteral("DELETE FROM t_FJrec")}},
        {QStringLiteral("合同货品"), {QStringLiteral("DELETE FROM t_GDrec")}},
        // Shipment lines first: they belong to the shipments.
        {QStringLiteral("合同发货记录"),
         {QStringLiteral("DELETE FROM t_FHdetail"), QStringLiteral("DELETE FROM t_FHrec")}},
        {QStringLiteral("合同类型"),
         {QStringLiteral("DELETE FROM t_treecode WHERE F_flag = 'type'")}},
        {QStringLiteral("客户类型"),
         {QStringLiteral("DELETE FROM t_treecode WHERE F_flag = 'clttype'")}},
        {QStringLiteral("项目类型"),
         {QStringLiteral("DELETE FROM t_treecode WHERE F_flag = 'gctype'")}},
        {QStringLiteral("客户档案资料"), {QStringLiteral("DELETE FROM Client")}},
        {QStringLiteral("货品资料"), {QStringLiteral("DELETE FROM t_goods")}},
        {QStringLiteral("工程项目资料"),
         {QStringLiteral("DELETE FROM t_GCdetail"), QStringLiteral("DELETE FROM GCitem")}},
        {QStringLiteral("选项设置"), {QStringLiteral("DELETE FROM t_code")}},
        {QStringLiteral("部门设置"),
         {QStringLiteral("DELETE FROM t_treecode WHERE F_flag = 'dept'")}},
    };
    return all;
}

QList<int> DataCleanup::groupsFollowingContracts()
{
    return {1, 2, 3, 4, 5, 6, 7, 8};
}

bool DataCleanup::run(Database& db, const QList<int>& chosen, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    const QList<Group>& all = groups();
    // In the order of the groups, whatever order they were chosen in.
    for (int i = 0; i < all.size(); ++i) {
        if (!chosen.contains(i))
            continue;
        for (const QString& sql : all.at(i).statements) {
            if (!db.exec(sql, {}, error))
                return false;
        }
    }
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}
