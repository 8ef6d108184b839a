#pragma once

#include <QTableWidget>

// The two-column category list of the contract lists: a running key and a
// name, the first row always "全部" (no filter). Filling it selects "全部";
// only the operator's clicks emit cellClicked.
class CategoryList : public QTableWidget
{
    Q_OBJECT
public:
    explicit CategoryList(QWidget* parent = nullptr);

    // "全部" keyed 0, then the names keyed 1, 2, ...; the name column titled
    // with the list kind's caption.
    void setNames(const QString& caption, const QStringList& names);
    // The chosen name; empty for "全部" or no choice.
    QString selectedName() const;
};
