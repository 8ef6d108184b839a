#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// The read-only contract summary that every edit window opened from the
// main window shows: one line per item, dates not given left out. Field
// names of `contract` are matched without regard to letter case.
QString ContractSummaryText(const QVariantMap& contract);
// A value of a record map by field name, letter case ignored.
QVariant FieldValue(const QVariantMap& record, const QString& field);
