#include "common/AmountBox.h"

#include "common/NumberText.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStringList>

AmountBox::AmountBox(QWidget* parent) : QDoubleSpinBox(parent)
{
    setDecimals(4);
    setRange(-1e13, 1e13);
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setGroupSeparatorShown(false);
}

namespace {

// The display format with room for every decimal the box holds: ",0.00"
// becomes ",0.00##", so that 1.2345 does not show as 1.23.
QString allDecimals(const QString& format)
{
    QStringList sections = format.split(QLatin1Char(';'));
    for (QString& section : sections) {
        if (section.isEmpty())
            continue;
        const qsizetype dot = section.indexOf(QLatin1Char('.'));
        const qsizetype shown = dot < 0 ? 0 : section.size() - dot - 1;
        if (dot < 0)
            section += QLatin1Char('.');
        if (shown < 4)
            section += QString(4 - shown, QLatin1Char('#'));
    }
    return sections.join(QLatin1Char(';'));
}

} // namespace

void AmountBox::setDisplayFormat(const QString& format)
{
    m_format = format;
    m_shownFormat = allDecimals(format);
    refreshText();
}

void AmountBox::refreshText()
{
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(textFromValue(value()));
}

QString AmountBox::textFromValue(double value) const
{
    return m_editing ? PlainNumber(value) : FormatNumber(value, m_shownFormat);
}

void AmountBox::focusInEvent(QFocusEvent* event)
{
    m_editing = true;
    m_valueAtFocus = value();
    refreshText();
    QDoubleSpinBox::focusInEvent(event);
}

void AmountBox::focusOutEvent(QFocusEvent* event)
{
    // A text that is no amount is refused as a whole, not taken up to the
    // last keystroke that happened to form one.
    if (m_editing && check(lineEdit()->text()) != QValidator::Acceptable)
        setValue(m_valueAtFocus);
    QDoubleSpinBox::focusOutEvent(event);
    m_editing = false;
    refreshText();
}

QValidator::State AmountBox::check(const QString& text)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-')))
        t.remove(0, 1);
    static const QRegularExpression shape(QStringLiteral("^[0-9,]*(\\.[0-9]*)?$"));
    if (!shape.match(t).hasMatch())
        return QValidator::Invalid;
    const qsizetype dot = t.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? t : t.left(dot);
    const QString decimals = dot < 0 ? QString() : t.mid(dot + 1);
    if (decimals.size() > 4)
        return QValidator::Invalid;
    if (whole.isEmpty() && decimals.isEmpty())
        return QValidator::Intermediate;
    if (!whole.contains(QLatin1Char(',')))
        return QValidator::Acceptable;
    static const QRegularExpression grouped(QStringLiteral("^[0-9]{1,3}(,[0-9]{3})+$"));
    return grouped.match(whole).hasMatch() ? QValidator::Acceptable : QValidator::Intermediate;
}

double AmountBox::parse(const QString& text)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(','));
    return t.toDouble();
}

double AmountBox::valueFromText(const QString& text) const
{
    return parse(text);
}

QValidator::State AmountBox::validate(QString& text, int& pos) const
{
    Q_UNUSED(pos);
    return check(text);
}

void AmountBox::fixup(QString& text) const
{
    Q_UNUSED(text);
}
