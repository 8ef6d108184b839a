#pragma once

#include <QString>

#include <functional>

class DataGrid;
class QUrl;

// Copies the grid's visible columns and all its rows into a new workbook
// that the operator names (suggested: <title>.xlsx in the documents folder).
// Cancelling the file dialog does nothing. A failure is reported as an
// error message. With `show` the file is then opened with the desktop's
// spreadsheet program; when none takes it, a message tells where it is.
// True when the file was written.
bool ExportGridToExcel(DataGrid* grid, const QString& title, bool show);
