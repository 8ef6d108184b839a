#pragma once

#include <QDate>
#include <QString>

// Display formats of numbers: style 1 "0.##", styles 2 and 3 ",0.00##"
// (thousands separators; the first two decimals always shown). Any other
// style gives an empty format (the default number display).
QString NumberFormat(int decimals, int style);

// The caption of a statistic's date range, such as
// "统计日期：自 2024年01月01日 至 记帐最后一天". An unticked end of the range reads
// "启用系统" (from) or "记帐最后一天" (to). A blank prefix is "统计".
QString PeriodCaption(const QDate& from, bool fromChecked, const QDate& to, bool toChecked,
                      const QString& prefix);
