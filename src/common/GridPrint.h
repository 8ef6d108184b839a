#pragma once

#include "common/GridColumn.h"

#include <QFont>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class DataGrid;
class QPainter;
class QPaintDevice;
class QPrinter;
class RecordModel;

// What a printed grid carries besides its rows.
struct GridPrintOptions
{
    QString title;          // printed once, centred, between two empty lines
    int mode = 0;           // 0: rows grow to show all their text; 1: one line a row
    QString header;         // left part of every page header
    QString footer;         // right part of every page footer, as printed
    bool gridFooter = true; // the grid's footer row (sums) after the last row
};

// The footer as printed: "date" stands for "打印日期：" and today; blank
// stays empty; any other text is printed as it is.
QString GridPrintFooterText(const QString& footer);

// The pages of a grid for one paint device. Both modes fit the visible
// columns to the page width in proportion to their grid widths; a grid wider
// than the page is printed smaller. Every page repeats the column titles and
// carries the page header, the footer text and "第 n 页 共 m 页".
class GridPrintLayout
{
public:
    GridPrintLayout(const RecordModel& model, const GridColumns& columns,
                    const GridPrintOptions& options, QPaintDevice* device);

    int pageCount() const { return int(m_pages.size()); }
    // Paints one page (from 0) in the painter's device coordinates.
    void paintPage(QPainter& painter, int page) const;

    // Model rows printed on a page, [first, end).
    int firstRow(int page) const { return m_pages.at(size_t(page)).first; }
    int endRow(int page) const { return m_pages.at(size_t(page)).end; }

private:
    struct Column
    {
        int modelColumn;
        double x;
        double width;
    };
    struct Page
    {
        int first;
        int end;
        bool footerRow;
    };
    QString cellText(int row, const Column& c) const;
    double textHeight(const QString& text, double width, const QFont& font) const;
    void paintRow(QPainter& painter, double y, double height, int row) const;
    void paintTitles(QPainter& painter, double y) const;
    void paintFooterRow(QPainter& painter, double y) const;

    const RecordModel& m_model;
    GridPrintOptions m_options;
    QPaintDevice* m_device;
    QList<Column> m_columns;
    QFont m_body, m_bold, m_title, m_margin;
    double m_width = 0, m_height = 0;
    double m_pad = 0, m_line = 0;
    double m_bandHeight = 0, m_titleBlock = 0, m_titlesRow = 0, m_footerRow = 0;
    std::vector<float> m_rowHeights; // empty: every row is m_oneLine high
    double m_oneLine = 0;
    std::vector<Page> m_pages;
};

// Prints the grid onto the printer (which may write a PDF); returns the
// number of pages, 0 when the printer could not be started.
int renderGridToPrinter(DataGrid* grid, QPrinter* printer, const GridPrintOptions& options);

// Print preview of the grid: mode 0 or 1 as in GridPrintOptions (any other
// mode keeps the choice of the previous print), the footer text "date" for
// the print date, the header text on the left of each page header.
void PrintGrid(DataGrid* grid, const QString& title, int mode, const QString& footer,
               const QString& header);

// Shows the preview of a print: `paint` renders the pages onto the printer
// it is given. The program shows QPrintPreviewDialog; tests install their
// own. An empty function restores the dialog.
using PrintPreviewRunner =
    std::function<void(QPrinter* printer, const std::function<void(QPrinter*)>& paint)>;
void setPrintPreviewRunner(PrintPreviewRunner runner);
