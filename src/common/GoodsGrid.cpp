#include "common/GoodsGrid.h"

#include "common/AmountBox.h"
#include "common/DataGrid.h"
#include "common/MaxLength.h"
#include "common/PickerRegistry.h"
#include "common/RecordModel.h"

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

bool isNumberField(const QString& field)
{
    for (const char* name : {"F_amount", "F_price", "F_totalprice"}) {
        if (field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Quantity, price and amount cells are edited in an amount box: what is no
// number is refused and the cell keeps its value.
class NumberDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* box = new AmountBox(parent);
        box->setFrame(false);
        return box;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QVariant v = index.data(Qt::EditRole);
        double value = 0;
        if (v.typeId() != QMetaType::QString)
            value = v.toDouble();
        else if (AmountBox::check(v.toString()) == QValidator::Acceptable)
            value = AmountBox::parse(v.toString());
        static_cast<AmountBox*>(editor)->setValue(value);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        auto* box = static_cast<AmountBox*>(editor);
        if (AmountBox::check(box->text()) != QValidator::Acceptable)
            return;
        model->setData(index, box->valueFromText(box->text()), Qt::EditRole);
    }
};

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

void PrepareGoodsGrid(DataGrid* grid, const QString& table)
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
    QTableView* view = grid->view();
    view->setItemDelegate(new MaxLengthDelegate(table, view));
    for (int c = 0; c < model->columnCount(); ++c) {
        if (isNumberField(model->gridColumn(c).fieldName))
            view->setItemDelegateForColumn(c, new NumberDelegate(view));
    }
    const int nameColumn = model->columnOfField(QStringLiteral("F_GDname"));
    if (nameColumn >= 0)
        view->setItemDelegateForColumn(nameColumn, new PickButtonDelegate(grid));
}

int AppendGoodsLine(RecordModel* model, const GoodsLineValues& goods)
{
    const int row = model->appendRecord();
    model->setValue(row, QStringLiteral("F_GDcode"), goods.code);
    model->setValue(row, QStringLiteral("F_GDname"), goods.name);
    model->setValue(row, QStringLiteral("F_type"), goods.type);
    model->setValue(row, QStringLiteral("F_spec"), goods.spec);
    model->setValue(row, QStringLiteral("F_unit"), goods.unit);
    model->setValue(row, QStringLiteral("F_price"), goods.price);
    model->setValue(row, QStringLiteral("F_amount"), 1);
    model->setValue(row, QStringLiteral("F_totalPrice"), goods.price);
    return row;
}
