#pragma once

#include <QDialog>
#include <QList>

class DataGrid;
class QListWidget;

// "字段列表": one tick box per column of a grid (in the order on screen),
// ticked when the column is shown.
class FieldListDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FieldListDialog(DataGrid* grid, QWidget* parent = nullptr);

    QListWidget* fieldList() const { return m_list; }
    // Shows exactly the ticked columns.
    void applyToGrid();

private:
    DataGrid* m_grid;
    QListWidget* m_list;
};
