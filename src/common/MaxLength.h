#pragma once

#include <QString>
#include <QStyledItemDelegate>

class QLineEdit;
class QPlainTextEdit;

// Text longer than its column is refused while it is typed, never cut when
// saved: the limits come from the schema (Schema::maxLength).

// A text box of `column` in `table`; a column without a limit leaves the box
// as it is.
void LimitToColumn(QLineEdit* edit, const QString& table, const QString& column);
// A multi-line box of such a column: typing or pasting past the limit is
// undone, so the box never holds more than the column takes.
void LimitToColumn(QPlainTextEdit* edit, const QString& table, const QString& column);

// The cell editors of a grid over `table`: each text cell stops at the width
// of its column. The column is the cell's grid field (RecordModel), or the
// fixed `column` when one is given.
class MaxLengthDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    MaxLengthDelegate(const QString& table, QObject* parent, const QString& column = QString());

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

    // The limit of a cell's column; 0 when there is none.
    int maxLength(const QModelIndex& index) const;

private:
    QString m_table;
    QString m_column;
};
