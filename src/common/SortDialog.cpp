#include "common/SortDialog.h"

#include "common/DataGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The direction cell offers its three choices in a drop-down.
class DirectionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override
    {
        auto* combo = new QComboBox(parent);
        combo->addItems({QString(), SortDialog::ascending(), SortDialog::descending()});
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(qMax(0, combo->findText(index.data().toString())));
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText());
    }
};

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

SortDialog::SortDialog(DataGrid* grid, QWidget* parent)
    : QDialog(parent), m_columns(grid->columns()), m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("SortDialog"));
    setWindowTitle(QStringLiteral("排序对话框"));

    m_table->setObjectName(QStringLiteral("sgSort"));
    m_table->setColumnCount(2);
    m_table->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("排序方式")});
    m_table->setRowCount(int(m_columns.size()));
    for (int r = 0; r < m_columns.size(); ++r) {
        m_table->setItem(r, 0, readOnlyItem(m_columns.at(r).title));
        m_table->setItem(r, 1, new QTableWidgetItem(QString()));
    }
    m_table->setItemDelegateForColumn(1, new DirectionDelegate(m_table));
    // Double click belongs to cycling; the drop-down opens on a second click.
    m_table->setEditTriggers(QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->setColumnWidth(1, 80);
    if (!m_columns.isEmpty())
        m_table->setCurrentCell(0, 0);
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { cycleDirection(row); });

    auto* hint = new QLabel(
        QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"), this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    auto* up = new QPushButton(QStringLiteral("上移"), this);
    up->setObjectName(QStringLiteral("btnUp"));
    auto* down = new QPushButton(QStringLiteral("下移"), this);
    down->setObjectName(QStringLiteral("btnDown"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {up, down, ok, cancel})
        b->setAutoDefault(false);
    connect(up, &QPushButton::clicked, this, &SortDialog::moveUp);
    connect(down, &QPushButton::clicked, this, &SortDialog::moveDown);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto* body = new QHBoxLayout;
    body->addWidget(m_table, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(hint);
    resize(360, 420);
}

std::optional<QString> SortDialog::execute(DataGrid* grid, QWidget* parent)
{
    SortDialog dlg(grid, parent ? parent : grid->window());
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.sortText();
}

int SortDialog::rowCount() const
{
    return m_table->rowCount();
}

QString SortDialog::title(int row) const
{
    const QTableWidgetItem* item = m_table->item(row, 0);
    return item ? item->text() : QString();
}

QString SortDialog::direction(int row) const
{
    const QTableWidgetItem* item = m_table->item(row, 1);
    return item ? item->text() : QString();
}

void SortDialog::setDirection(int row, const QString& direction)
{
    if (QTableWidgetItem* item = m_table->item(row, 1))
        item->setText(direction);
}

void SortDialog::cycleDirection(int row)
{
    const QString d = direction(row);
    setDirection(row, d.isEmpty() ? ascending() : d == ascending() ? descending() : QString());
}

int SortDialog::currentRow() const
{
    return m_table->currentRow();
}

void SortDialog::setCurrentRow(int row)
{
    m_table->setCurrentCell(row, qMax(0, m_table->currentColumn()));
}

void SortDialog::moveUp()
{
    const int row = currentRow();
    if (row <= 0)
        return;
    swapRows(row, row - 1);
    setCurrentRow(row - 1);
}

void SortDialog::moveDown()
{
    const int row = currentRow();
    if (row < 0 || row >= rowCount() - 1)
        return;
    swapRows(row, row + 1);
    setCurrentRow(row + 1);
}

void SortDialog::swapRows(int a, int b)
{
    for (int c = 0; c < m_table->columnCount(); ++c) {
        QTableWidgetItem* first = m_table->takeItem(a, c);
        QTableWidgetItem* second = m_table->takeItem(b, c);
        m_table->setItem(a, c, second);
        m_table->setItem(b, c, first);
    }
}

QString SortDialog::sortText() const
{
    QString text;
    for (int r = 0; r < rowCount(); ++r) {
        if (direction(r).isEmpty())
            continue;
        const QString t = title(r);
        QString field;
        for (const GridColumn& c : m_columns) {
            if (c.title == t) {
                field = c.fieldName;
                break;
            }
        }
        QString dir;
        for (int s = 0; s < rowCount(); ++s) {
            if (title(s) == t) {
                dir = direction(s);
                break;
            }
        }
        text += field.toLower();
        if (dir == ascending())
            text += QLatin1String(" ASC");
        else if (dir == descending())
            text += QLatin1String(" DESC");
        text += QLatin1Char(',');
    }
    return text;
}
