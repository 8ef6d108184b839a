#include "common/GoodsGrid.h"

#include "common/DataGrid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

bool isPickedField(const QString& field)
{
    for (const char* name : {"F_GDname", "F_type", "F_spec", "F_unit"}) {
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Draws the cell with a small "…" button at its right end.
class PickButtonDelegate : public QStyledItemDelegate
{
public:
    PickButtonDelegate(DataGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    static QRect buttonRect(const QRect& cell)
    {
        const int w = qMin(cell.height(), 22);
        return QRect(cell.right() - w + 1, cell.top() + 1, w - 1, cell.height() - 2);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem text = option;
        text.rect.setRight(buttonRect(option.rect).left() - 1);
        QStyledItemDelegate::paint(painter, text, index);
        QStyleOptionButton button;
        button.rect = buttonRect(option.rect);
        button.text = QStringLiteral("…");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (buttonRect(option.rect).contains(me->position().toPoint())) {
                emit m_grid->cellButtonClicked(index.row(), index.column());
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    DataGrid* m_grid;
};

} // namespace

void PrepareGoodsGrid(DataGrid* grid)
{
    RecordModel* model = grid->model();
    GridColumns columns = model->columns();
    for (GridColumn& c : columns)
        c.readOnly = isPickedField(c.fieldName);
    model->setColumns(columns);
    grid->applyColumns();
    model->setEditable(true);
    model->setLineTotal(QStringLiteral("F_amount"), QStringLiteral("F_price"),
                        QStringLiteral("F_totalprice"));
    const int nameColumn = model->columnOfField(QStringLiteral("F_GDname"));
    if (nameColumn >= 0)
        grid->view()->setItemDelegateForColumn(nameColumn, new PickButtonDelegate(grid));
}
