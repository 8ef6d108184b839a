#pragma once

#include "common/RecordModel.h"

#include <QTableView>
#include <QWidget>

class GridFooter;

// The list grid of every window: a table of whole-row, multi-row selection
// over a RecordModel, with a footer row under it (static text or the column
// sum), title-click sorting with the sort mark, hidden columns and widths from
// the grid's columns, and a "current row" that other lists follow.
//
// Only the rows on screen are ever drawn or measured: rows have one fixed
// height, so 100,000 rows open and scroll without work for the rest.
class DataGrid : public QWidget
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    RecordModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }

    // Replaces the columns and shows them (widths, hidden columns).
    void setColumns(const GridColumns& columns);
    // The columns as the operator arranged them: order on screen, widths and
    // visibility taken from the view.
    GridColumns columns() const;
    // Shows the model's column visibility and widths again (after a change
    // of the model's columns); the order on screen stays as it is.
    void applyColumns();

    // Runs the statement and shows its rows; keeps the current record when
    // it is still there. False on failure (the grid is then empty).
    bool open(Database& db, const QString& sql, const SqlParams& params = {},
              QString* error = nullptr);

    int currentRow() const;
    void setCurrentRow(int row);
    // Model rows of the selected rows, in ascending order.
    QList<int> selectedRows() const;
    // A value of the current row; invalid when there is none.
    QVariant currentValue(const QString& field) const;

    void setFooterVisible(bool visible);
    bool footerVisible() const;
    QString footerText(int column) const;

    // Title clicks sort the list in memory (memo columns show the mark only).
    void setTitleSortEnabled(bool enabled) { m_titleSort = enabled; }
    // The order of the first click on a column (ascending unless set).
    void setFirstSortOrder(Qt::SortOrder order) { m_firstSortOrder = order; }
    // The column whose sort mark is shown and its direction; -1 for none.
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void clearSortMark();

signals:
    // The current row moved (also to -1 when the list became empty).
    void currentRowChanged(int row);
    void rowDoubleClicked(int row);
    // The button drawn in a cell (goods-name cells of line grids) was pressed.
    void cellButtonClicked(int row, int column);

private slots:
    void onTitleClicked(int section);

private:
    void emitCurrentIfChanged();

    RecordModel* m_model;
    QTableView* m_view;
    GridFooter* m_footer;
    bool m_titleSort = true;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    Qt::SortOrder m_firstSortOrder = Qt::AscendingOrder;
    int m_lastCurrent = -2;
};
