#pragma once

#include "common/GridColumn.h"

#include <QList>
#include <QString>

class RecordModel;

// Writing a list grid into a new .xlsx workbook: one sheet named after the
// title, the column titles in row 1 and one row per model row below, each
// column in the spreadsheet column of its grid position.

// The title made acceptable to Excel as a sheet name: at most 31 characters,
// none of []:*?/\ (each becomes "_"), no apostrophe at either end, not
// empty ("Sheet1") and not Excel's reserved "History".
QString SheetNameForTitle(const QString& title);

// A grid display format (",0.00##", "0.##", ",0.") as an Excel number format
// ("#,##0.00##", "0.##", "#,##0"). A blank format gives the text format "@".
QString ExcelNumberFormat(const QString& displayFormat);

// The model column that each grid column shows (matched by field, in order
// for repeated fields); -1 where the model has no such column.
QList<int> ModelColumnsOf(const RecordModel& model, const GridColumns& columns);

// Writes the rows of the model, in its current order, under the columns in
// grid order (visibility, titles and formats taken from `columns`). Columns
// with a display format hold numbers in that number format; the others hold
// their text as shown, in the text format. No-date values are left empty and
// booleans read "是" or "否". Text goes into the workbook's shared string
// table, except in lists of more than 200,000 cells, which are streamed with
// their text in the cells. Replaces an existing file. False, with the reason,
// when the file cannot be written.
bool WriteGridToXlsx(const QString& filePath, const QString& title, const RecordModel& model,
                     const GridColumns& columns, QString* error = nullptr);
