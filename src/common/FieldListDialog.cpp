#include "common/FieldListDialog.h"

#include "common/DataGrid.h"
#include "common/DialogButtons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FieldListDialog::FieldListDialog(DataGrid* grid, QWidget* parent)
    : QDialog(parent), m_grid(grid), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("FieldListDialog"));
    setWindowTitle(QStringLiteral("字段列表"));
    m_list->setObjectName(QStringLiteral("lstFields"));

    const QHeaderView* h = grid->view()->horizontalHeader();
    const RecordModel* model = grid->model();
    for (int visual = 0; visual < model->columnCount(); ++visual) {
        const int logical = h->logicalIndex(visual);
        auto* item = new QListWidgetItem(model->gridColumn(logical).title, m_list);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(h->isSectionHidden(logical) ? Qt::Unchecked : Qt::Checked);
        item->setData(Qt::UserRole, logical);
    }

    auto* buttons = okCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(260, 380);
}

void FieldListDialog::applyToGrid()
{
    QTableView* view = m_grid->view();
    RecordModel* model = m_grid->model();
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        const int c = item->data(Qt::UserRole).toInt();
        if (c < 0 || c >= model->columnCount())
            continue;
        const bool show = item->checkState() == Qt::Checked;
        view->setColumnHidden(c, !show);
        GridColumn gc = model->gridColumn(c);
        // A column hidden since the grid was built has no width of its own yet.
        if (show && view->columnWidth(c) <= 0)
            view->setColumnWidth(c, gc.width > 0 ? gc.width : 100);
        if (gc.visible != show) {
            gc.visible = show;
            model->setGridColumn(c, gc);
        }
    }
}
