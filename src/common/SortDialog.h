#pragma once

#include "common/GridColumn.h"

#include <QDialog>

#include <optional>

class DataGrid;
class QTableWidget;

// "排序对话框": the operator gives columns of a grid a direction and orders
// them by priority; the result is a sort text such as "f_code ASC,f_date DESC,"
// for RecordModel::sortByText. The buttons call the public methods, so tests
// drive the dialog without showing it.
class SortDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SortDialog(DataGrid* grid, QWidget* parent = nullptr);

    // The sort text, or nothing when the operator cancels.
    static std::optional<QString> execute(DataGrid* grid, QWidget* parent = nullptr);

    static QString ascending() { return QStringLiteral("升序"); }
    static QString descending() { return QStringLiteral("降序"); }

    QTableWidget* table() const { return m_table; }
    int rowCount() const;
    QString title(int row) const;
    QString direction(int row) const;
    void setDirection(int row, const QString& direction);
    // Empty, ascending, descending, empty again (double click).
    void cycleDirection(int row);
    int currentRow() const;
    void setCurrentRow(int row);
    // Swap the current row with its neighbour; the moved row stays current.
    void moveUp();
    void moveDown();
    // What "确定" returns. Rows are found by title: rows sharing a title all
    // use the first column of that title and the direction of the first of
    // those rows.
    QString sortText() const;

private:
    void swapRows(int a, int b);

    GridColumns m_columns;
    QTableWidget* m_table;
};
