#pragma once

#include <QDoubleSpinBox>
#include <QString>

// An amount: up to four decimals, shown in a display format such as ",0.00"
// (plain number when the format is empty), and with the further decimals
// that the amount has up to the fourth; no range check of its own.
//
// Typed text is an amount only when it is digits with at most four decimals
// and commas, if any, stand exactly between groups of three digits
// ("1,234,567.25" or "1234567.25"). Anything else is refused: letters and
// surplus decimals at the keystroke, a misplaced comma ("12,34") when the box
// is left, which brings back the value it had before.
class AmountBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit AmountBox(QWidget* parent = nullptr);
    void setDisplayFormat(const QString& format);
    QString displayFormat() const { return m_format; }

    // Acceptable: an amount; Intermediate: could become one by further
    // typing; Invalid: never.
    static QValidator::State check(const QString& text);
    // The value of an acceptable text.
    static double parse(const QString& text);

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    // No correction: QDoubleSpinBox would drop every comma and so turn
    // "1,2,3" into 123.
    void fixup(QString& text) const override;

protected:
    // While focused the box shows every decimal, so that leaving it never
    // rounds the value to the display format.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refreshText();

    QString m_format;
    QString m_shownFormat; // m_format with room for four decimals
    bool m_editing = false;
    double m_valueAtFocus = 0;
};
