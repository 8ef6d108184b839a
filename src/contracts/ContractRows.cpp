#include "contracts/ContractRows.h"

#include <QGuiApplication>
#include <QPalette>

RecordModel::RowStyle contractRowStyle(const RecordModel& model, int row)
{
    const QPalette palette = QGuiApplication::palette();
    if (!model.text(row, QStringLiteral("F_SHemp")).trimmed().isEmpty())
        return {QColor(Qt::blue), palette.color(QPalette::ToolTipBase)};
    if (model.value(row, QStringLiteral("F_GDflag")).toInt() != 0)
        return {QColor(Qt::red), palette.color(QPalette::Button)};
    return {};
}

void applyContractDateRules(RecordModel& model)
{
    model.setDateRule(QStringLiteral("F_endDate"),
                      RecordModel::BlankBefore1901 | RecordModel::BlankAfter2999);
}
