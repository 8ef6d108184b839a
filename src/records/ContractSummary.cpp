#include "records/ContractSummary.h"

#include "common/NumberText.h"
#include "contracts/ContractQuery.h"

#include <QStringList>

QVariant FieldValue(const QVariantMap& record, const QString& field)
{
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        if (it.key().compare(field, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QVariant();
}

QString ContractSummaryText(const QVariantMap& contract)
{
    auto text = [&](const char* field) {
        return FieldValue(contract, QLatin1String(field)).toString();
    };
    auto date = [&](const char* field) {
        const QVariant v = FieldValue(contract, QLatin1String(field));
        const QDate d = StoredDate::parse(v);
        return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : v.toString();
    };
    QStringList lines;
    lines << QStringLiteral("  合同编号:") + text("F_code");
    lines << QStringLiteral("  合同名称:") + text("F_name");
    lines << QStringLiteral("  合同类型:") + text("F_type");
    lines << QStringLiteral("  业 务 员:") + text("F_empName");
    lines << QStringLiteral("  签订日期:") + date("F_date");
    lines << QStringLiteral("  合同金额:") +
                 PlainNumber(FieldValue(contract, QStringLiteral("F_totalprice")).toDouble());
    lines << QStringLiteral("  币种:") + text("F_priceUnit");
    if (StoredDate::isGiven(FieldValue(contract, QStringLiteral("F_beginDate"))))
        lines << QStringLiteral("  开始日期:") + date("F_beginDate");
    if (StoredDate::isGiven(FieldValue(contract, QStringLiteral("F_endDate"))))
        lines << QStringLiteral("  截止日期:") + date("F_endDate");
    lines << QStringLiteral("  甲方单位:") + text("F_client1");
    lines << QStringLiteral("  乙方单位:") + text("F_client2");
    lines << QStringLiteral("  合同状态:") + text("F_status");
    return lines.join(QLatin1Char('\n'));
}
