#include "common/DataGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QVBoxLayout>

// The footer row: one cell under each visible column, kept aligned with the
// columns while they are resized, moved or scrolled.
class GridFooter : public QWidget
{
public:
    GridFooter(QTableView* view, RecordModel* model, QWidget* parent)
        : QWidget(parent), m_view(view), m_model(model)
    {
        setObjectName(QStringLiteral("gridFooter"));
        setFixedHeight(view->verticalHeader()->defaultSectionSize() + 4);
        QHeaderView* h = view->horizontalHeader();
        connect(h, &QHeaderView::sectionResized, this, qOverload<>(&QWidget::update));
        connect(h, &QHeaderView::sectionMoved, this, qOverload<>(&QWidget::update));
        connect(h, &QHeaderView::geometriesChanged, this, qOverload<>(&QWidget::update));
        connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                qOverload<>(&QWidget::update));
        connect(model, &RecordModel::footerChanged, this, qOverload<>(&QWidget::update));
        connect(model, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().button());
        p.setPen(palette().mid().color());
        p.drawLine(0, 0, width(), 0);
        QHeaderView* h = m_view->horizontalHeader();
        // The footer is the view's sibling: go through the grid they share.
        const int offset = m_view->viewport()->mapTo(parentWidget(), QPoint(0, 0)).x() - x();
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        for (int c = 0; c < m_model->columnCount(); ++c) {
            if (h->isSectionHidden(c))
                continue;
            const QString text = m_model->footerText(c);
            if (text.isEmpty())
                continue;
            const QRect cell(offset + h->sectionViewportPosition(c), 1, h->sectionSize(c),
                             height() - 1);
            Qt::Alignment a = Qt::AlignVCenter;
            const int al = m_model->gridColumn(c).alignment;
            a |= al == GridColumn::AlignRight ||
                         (al == GridColumn::AlignDefault &&
                          m_model->gridColumn(c).footerType == GridColumn::FooterSum)
                     ? Qt::AlignRight
                 : al == GridColumn::AlignCenter ? Qt::AlignHCenter
                                                 : Qt::AlignLeft;
            p.setPen(palette().buttonText().color());
            // A sum wider than its column grows to the left rather than
            // losing its leading digits.
            QRect area = cell.adjusted(3, 0, -3, 0);
            const int needed = p.fontMetrics().horizontalAdvance(text);
            if (needed > area.width() && (a & Qt::AlignRight))
                area.setLeft(area.right() - needed);
            p.drawText(area, int(a), text);
        }
    }

private:
    QTableView* m_view;
    RecordModel* m_model;
};

namespace {

// Column titles whose sort mark points up for ascending and down for
// descending, as the operators know it; Qt's own mark is the other way round.
class GridTitles : public QHeaderView
{
public:
    explicit GridTitles(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override
    {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator == QStyleOptionHeader::None)
            return;
        option->sortIndicator = sortIndicatorOrder() == Qt::AscendingOrder
                                    ? QStyleOptionHeader::SortUp
                                    : QStyleOptionHeader::SortDown;
    }
};

} // namespace

DataGrid::DataGrid(QWidget* parent)
    : QWidget(parent), m_model(new RecordModel(this)), m_view(new QTableView(this))
{
    m_view->setHorizontalHeader(new GridTitles(m_view));
    setObjectName(QStringLiteral("DBGridEh1"));
    m_view->setObjectName(QStringLiteral("gridView"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_view->setAlternatingRowColors(false);
    m_view->setWordWrap(false);
    m_view->setCornerButtonEnabled(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // One fixed row height: nothing is measured for rows off the screen.
    QHeaderView* rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 8);
    rows->setMinimumWidth(16);
    rows->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView* titles = m_view->horizontalHeader();
    titles->setSectionsMovable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    titles->setSectionsClickable(true);
    titles->setSortIndicatorShown(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStretchLastSection(false);

    m_footer = new GridFooter(m_view, m_model, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);

    connect(titles, &QHeaderView::sectionClicked, this, &DataGrid::onTitleClicked);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { emitCurrentIfChanged(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { emitCurrentIfChanged(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { emitCurrentIfChanged(); });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit rowDoubleClicked(i.row()); });
}

void DataGrid::setColumns(const GridColumns& columns)
{
    m_model->setColumns(columns);
    clearSortMark();
    // New columns stand in the order given: put the sections back in the
    // model's order.
    QHeaderView* h = m_view->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const int visual = h->visualIndex(c);
        if (visual != c)
            h->moveSection(visual, c);
    }
    applyColumns();
}

void DataGrid::applyColumns()
{
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const GridColumn& gc = m_model->gridColumn(c);
        m_view->setColumnHidden(c, !gc.visible);
        if (gc.width > 0)
            m_view->setColumnWidth(c, gc.width);
    }
    m_footer->update();
}

GridColumns DataGrid::columns() const
{
    GridColumns out;
    const QHeaderView* h = m_view->horizontalHeader();
    for (int visual = 0; visual < m_model->columnCount(); ++visual) {
        const int c = h->logicalIndex(visual);
        GridColumn gc = m_model->gridColumn(c);
        gc.visible = !h->isSectionHidden(c);
        if (gc.visible)
            gc.width = h->sectionSize(c);
        out << gc;
    }
    return out;
}

bool DataGrid::open(Database& db, const QString& sql, const SqlParams& params, QString* error)
{
    // Stay on the same record when it is still in the list.
    const QVariant id = currentValue(QStringLiteral("F_ID"));
    clearSortMark();
    const bool ok = m_model->open(db, sql, params, error);
    int row = -1;
    if (ok && m_model->rowCount() > 0) {
        row = id.isValid() ? m_model->findRow(QStringLiteral("F_ID"), id) : -1;
        if (row < 0)
            row = 0;
    }
    m_lastCurrent = -2;
    setCurrentRow(row);
    emitCurrentIfChanged();
    return ok;
}

int DataGrid::currentRow() const
{
    const QModelIndex i = m_view->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void DataGrid::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        m_view->selectionModel()->clear();
        emitCurrentIfChanged();
        return;
    }
    int column = 0;
    while (column < m_model->columnCount() && m_view->isColumnHidden(column))
        ++column;
    const QModelIndex index = m_model->index(row, qMin(column, m_model->columnCount() - 1));
    m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_view->scrollTo(index);
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : m_view->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QVariant DataGrid::currentValue(const QString& field) const
{
    const int row = currentRow();
    return row < 0 ? QVariant() : m_model->value(row, field);
}

void DataGrid::setFooterVisible(bool visible)
{
    m_footer->setVisible(visible);
}

bool DataGrid::footerVisible() const
{
    return !m_footer->isHidden();
}

QString DataGrid::footerText(int column) const
{
    return m_model->footerText(column);
}

void DataGrid::clearSortMark()
{
    m_sortColumn = -1;
    m_view->horizontalHeader()->setSortIndicatorShown(false);
}

void DataGrid::onTitleClicked(int section)
{
    if (!m_titleSort || section < 0 || section >= m_model->columnCount())
        return;
    // A new column starts in the first order; the same column turns round.
    if (m_sortColumn == section)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_sortOrder = m_firstSortOrder;
    m_sortColumn = section;
    QHeaderView* h = m_view->horizontalHeader();
    h->setSortIndicatorShown(true);
    h->setSortIndicator(section, m_sortOrder);
    // Memo columns show the mark but keep the order.
    if (!m_model->gridColumn(section).fieldName.contains(QLatin1String("mem"), Qt::CaseInsensitive))
        m_model->sort(section, m_sortOrder);
    m_footer->update();
}

void DataGrid::emitCurrentIfChanged()
{
    const int row = currentRow();
    if (row == m_lastCurrent)
        return;
    m_lastCurrent = row;
    emit currentRowChanged(row);
}
