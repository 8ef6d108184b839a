#pragma once

#include <QDate>
#include <QDateEdit>
#include <QVariant>
#include <QWidget>

class QCheckBox;

// A date box (yyyy-MM-dd, with a calendar). A typed date that does not exist
// (2025-02-30) is kept as typed and the box counts as invalid, instead of
// turning silently into another date; leaving the box keeps it so. A window
// refuses to save while one of its dates is invalid (DatesAreValid).
class DateBox : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    // Shows the date; drops an invalid text.
    void setDate(const QDate& date);
    // False while the box holds a text that is no existing date.
    bool isValidInput() const;

    QValidator::State validate(QString& input, int& pos) const override;
    // No correction: a day past the month's end is not moved into it.
    void fixup(QString& input) const override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void keepTyped();

    // The invalid text the box holds; Qt's spin box would put the last valid
    // date back whenever it redraws its text.
    QString m_typed;
};

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
    // A stored optional date as read back: ticked when given, otherwise
    // unticked holding today.
    void setStoredDate(const QVariant& stored);
    QDate shownDate() const { return m_shown; }

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    QCheckBox* checkBox() const { return m_check; }
    DateBox* dateEdit() const { return m_edit; }

signals:
    void changed();

private:
    void showState();

    QCheckBox* m_check;
    DateBox* m_edit;
    QDate m_shown;
    bool m_readOnly = false;
};

// The check of every save: a date box below `root` that is in use (shown,
// enabled) and holds no existing date makes the window say so, with the focus
// on that box. True when all dates are valid.
bool DatesAreValid(QWidget* root);
