#pragma once

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

// An optional date: a tick box before a date box. Unticked, the box shows
// nothing and date() is invalid; ticking shows the date it last held (today
// when it never held one).
class CheckedDate : public QWidget
{
    Q_OBJECT
public:
    explicit CheckedDate(QWidget* parent = nullptr);

    bool isChecked() const;
    void setChecked(bool checked);
    // The date when ticked; an invalid date when unticked.
    QDate date() const;
    // Ticks and shows the date; an invalid date unticks.
    void setDate(const QDate& date);
    // The date shown when the box gets ticked, without changing the tick.
    void setShownDate(const QDate& date);
    QDate shownDate() const { return m_shown; }

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    QCheckBox* checkBox() const { return m_check; }
    QDateEdit* dateEdit() const { return m_edit; }

signals:
    void changed();

private:
    void showState();

    QCheckBox* m_check;
    QDateEdit* m_edit;
    QDate m_shown;
    bool m_readOnly = false;
};
