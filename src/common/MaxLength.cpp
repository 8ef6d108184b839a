#include "common/MaxLength.h"

#include "common/RecordModel.h"
#include "data/Schema.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

void LimitToColumn(QLineEdit* edit, const QString& table, const QString& column)
{
    if (const int max = Schema::maxLength(table, column); max > 0)
        edit->setMaxLength(max);
}

void LimitToColumn(QPlainTextEdit* edit, const QString& table, const QString& column)
{
    const int max = Schema::maxLength(table, column);
    if (max <= 0)
        return;
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, max] {
        const QString text = edit->toPlainText();
        if (text.size() <= max) {
            edit->setProperty("acceptedText", text);
            return;
        }
        // What was typed last goes; the cursor stays where the typing was.
        const int position = qMin(edit->textCursor().position(), max);
        edit->setPlainText(edit->property("acceptedText").toString().left(max));
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(qMin(position, int(edit->toPlainText().size())));
        edit->setTextCursor(cursor);
    });
}

MaxLengthDelegate::MaxLengthDelegate(const QString& table, QObject* parent, const QString& column)
    : QStyledItemDelegate(parent), m_table(table), m_column(column)
{
}

int MaxLengthDelegate::maxLength(const QModelIndex& index) const
{
    QString column = m_column;
    if (column.isEmpty()) {
        const auto* model = qobject_cast<const RecordModel*>(index.model());
        if (!model || index.column() < 0 || index.column() >= model->columnCount())
            return 0;
        column = model->gridColumn(index.column()).fieldName;
    }
    return qMax(0, Schema::maxLength(m_table, column));
}

QWidget* MaxLengthDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (const int n = maxLength(index); n > 0)
            line->setMaxLength(n);
    }
    return editor;
}
