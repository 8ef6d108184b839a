#pragma once

#include <QDoubleSpinBox>
#include <QString>

// An amount: four decimals, shown in a display format such as ",0.00##"
// (plain number when the format is empty); no range check of its own.
class AmountBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit AmountBox(QWidget* parent = nullptr);
    void setDisplayFormat(const QString& format);

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;

protected:
    // While focused the box shows every decimal, so that leaving it never
    // rounds the value to the display format.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void refreshText();

    QString m_format;
    bool m_editing = false;
};
