#include "common/CategoryList.h"

#include <QHeaderView>

CategoryList::CategoryList(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setObjectName(QStringLiteral("vleList"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(0, 36);
}

void CategoryList::setNames(const QString& caption, const QStringList& names)
{
    setRowCount(int(names.size()) + 1);
    setItem(0, 0, new QTableWidgetItem(QStringLiteral("0")));
    setItem(0, 1, new QTableWidgetItem(QStringLiteral("全部")));
    for (int i = 0; i < names.size(); ++i) {
        setItem(i + 1, 0, new QTableWidgetItem(QString::number(i + 1)));
        setItem(i + 1, 1, new QTableWidgetItem(names.at(i)));
    }
    setHorizontalHeaderLabels({QString(), caption});
    setCurrentCell(0, 1);
}

QString CategoryList::selectedName() const
{
    const int row = currentRow();
    return row > 0 && item(row, 1) ? item(row, 1)->text() : QString();
}
