#include "common/AmountBox.h"

#include "common/NumberText.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>

AmountBox::AmountBox(QWidget* parent) : QDoubleSpinBox(parent)
{
    setDecimals(4);
    setRange(-1e13, 1e13);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setGroupSeparatorShown(false);
}

void AmountBox::setDisplayFormat(const QString& format)
{
    m_format = format;
    refreshText();
}

void AmountBox::refreshText()
{
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(textFromValue(value()));
}

QString AmountBox::textFromValue(double value) const
{
    return m_editing ? PlainNumber(value) : FormatNumber(value, m_format);
}

void AmountBox::focusInEvent(QFocusEvent* event)
{
    m_editing = true;
    refreshText();
    QDoubleSpinBox::focusInEvent(event);
}

void AmountBox::focusOutEvent(QFocusEvent* event)
{
    QDoubleSpinBox::focusOutEvent(event);
    m_editing = false;
    refreshText();
}

double AmountBox::valueFromText(const QString& text) const
{
    QString t = text;
    t.remove(QLatin1Char(',')).remove(QLatin1Char(' '));
    return t.toDouble();
}

QValidator::State AmountBox::validate(QString& text, int& pos) const
{
    Q_UNUSED(pos);
    QString t = text;
    t.remove(QLatin1Char(',')).remove(QLatin1Char(' '));
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("."))
        return QValidator::Intermediate;
    static const QRegularExpression number(QStringLiteral("^-?\\d*(\\.\\d{0,4})?$"));
    return number.match(t).hasMatch() ? QValidator::Acceptable : QValidator::Invalid;
}
