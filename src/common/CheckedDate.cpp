#include "common/CheckedDate.h"

#include "data/StoredDate.h"
#include "platform/Clock.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace {
// The minimum stands for "no date": the box then shows the blank special text.
const QDate kBlank(1752, 9, 14);
const QString kFormat = QStringLiteral("yyyy-MM-dd");
} // namespace

// ---- DateBox

DateBox::DateBox(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(kFormat);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& text) {
        QString t = text;
        int pos = 0;
        if (validate(t, pos) == QValidator::Acceptable)
            m_typed.clear();
    });
}

void DateBox::setDate(const QDate& date)
{
    m_typed.clear();
    QDateEdit::setDate(date);
    // The same date again does not redraw the text.
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(date == minimumDate() && !specialValueText().isEmpty()
                            ? specialValueText()
                            : QDateEdit::date().toString(kFormat));
}

bool DateBox::isValidInput() const
{
    return m_typed.isEmpty() && hasAcceptableInput();
}

QValidator::State DateBox::validate(QString& input, int& pos) const
{
    if (!specialValueText().isEmpty() && input == specialValueText())
        return QDateEdit::validate(input, pos);
    static const QRegularExpression whole(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    static const QRegularExpression part(QStringLiteral("^\\d{0,4}(-\\d{0,2}(-\\d{0,2})?)?$"));
    if (whole.match(input).hasMatch()) {
        const QDate d = QDate::fromString(input, kFormat);
        return d.isValid() && d >= minimumDate() && d <= maximumDate() ? QValidator::Acceptable
                                                                       : QValidator::Intermediate;
    }
    return part.match(input).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

void DateBox::fixup(QString& input) const
{
    Q_UNUSED(input);
}

void DateBox::keepTyped()
{
    if (m_typed.isEmpty() || lineEdit()->text() == m_typed)
        return;
    const QSignalBlocker block(lineEdit());
    lineEdit()->setText(m_typed);
}

void DateBox::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    keepTyped();
}

void DateBox::focusOutEvent(QFocusEvent* event)
{
    QString typed = lineEdit()->text();
    int pos = 0;
    if (validate(typed, pos) != QValidator::Acceptable)
        m_typed = typed;
    QDateEdit::focusOutEvent(event);
    keepTyped();
}

void DateBox::keyPressEvent(QKeyEvent* event)
{
    QDateEdit::keyPressEvent(event);
    // Qt moves on to the next part of the date only while the text is a
    // valid date; over a day that does not exist the operator must be able
    // to type year, month and day in one go all the same.
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isDigit() || lineEdit()->hasSelectedText())
        return;
    const QString text = lineEdit()->text();
    const int pos = lineEdit()->cursorPosition();
    if ((pos != 4 && pos != 7) || pos >= text.size() || text.at(pos) != QLatin1Char('-'))
        return;
    qsizetype end = text.indexOf(QLatin1Char('-'), pos + 1);
    if (end < 0)
        end = text.size();
    lineEdit()->setSelection(pos + 1, int(end - pos - 1));
}

void DateBox::showEvent(QShowEvent* event)
{
    QDateEdit::showEvent(event);
    keepTyped();
}

bool DatesAreValid(QWidget* root)
{
    for (DateBox* box : root->findChildren<DateBox*>()) {
        if (!box->isVisibleTo(root) || !box->isEnabled() || box->isValidInput())
            continue;
        ShowMess(QStringLiteral("“%1”不是有效的日期，请重新输入！").arg(box->text().trimmed()),
                 mkInfo);
        box->setFocus();
        return false;
    }
    return true;
}

// ---- CheckedDate

CheckedDate::CheckedDate(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("chkDate"));
    m_edit = new DateBox(this);
    m_edit->setObjectName(QStringLiteral("dtpDate"));
    m_edit->setMinimumDate(kBlank);
    m_edit->setSpecialValueText(QStringLiteral(" "));
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    setFocusProxy(m_edit);
    m_shown = Clock::today();
    connect(m_check, &QCheckBox::toggled, this, [this] {
        showState();
        emit changed();
    });
    connect(m_edit, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (m_check->isChecked() && d != kBlank) {
            m_shown = d;
            emit changed();
        }
    });
    showState();
}

bool CheckedDate::isChecked() const
{
    return m_check->isChecked();
}

void CheckedDate::setChecked(bool checked)
{
    m_check->setChecked(checked);
    showState();
}

QDate CheckedDate::date() const
{
    return m_check->isChecked() ? m_shown : QDate();
}

void CheckedDate::setDate(const QDate& date)
{
    if (date.isValid() && date > kBlank)
        m_shown = date;
    setChecked(date.isValid());
}

void CheckedDate::setShownDate(const QDate& date)
{
    if (date.isValid() && date > kBlank)
        m_shown = date;
    showState();
}

void CheckedDate::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_check->setEnabled(!readOnly);
    showState();
}

void CheckedDate::showState()
{
    const bool checked = m_check->isChecked();
    const QSignalBlocker block(m_edit);
    m_edit->setDate(checked ? m_shown : kBlank);
    m_edit->setEnabled(checked && !m_readOnly);
}

void CheckedDate::setStoredDate(const QVariant& stored)
{
    if (StoredDate::isGiven(stored)) {
        setDate(StoredDate::parse(stored));
    } else {
        setShownDate(Clock::today());
        setChecked(false);
    }
}
