#pragma once

#include <QString>

// Numbers as the lists show them, through display formats of the kind
// NumberFormat builds: ",0.00##" (thousands separators, two decimals always,
// up to two more when present), "0.##", "0.00", "#,##0.00", "0". An empty
// format gives the plain number (1000000, 12.5).
QString FormatNumber(double value, const QString& format);
QString PlainNumber(double value);
