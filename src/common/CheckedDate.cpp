#include "common/CheckedDate.h"

#include "platform/Clock.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

namespace {
// The minimum stands for "no date": the box then shows the blank special text.
const QDate kBlank(1752, 9, 14);
} // namespace

CheckedDate::CheckedDate(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("chkDate"));
    m_edit = new QDateEdit(this);
    m_edit->setObjectName(QStringLiteral("dtpDate"));
    m_edit->setCalendarPopup(true);
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
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
