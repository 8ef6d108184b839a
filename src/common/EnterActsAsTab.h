#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QKeyEvent;
class QWidget;

// The keys of an entry window, seen before its controls: Enter acts as Tab
// (not inside a multi-line box, where it starts a new line, nor in a grid,
// whose cell editor takes it); Ctrl+S presses `ok` and Esc presses `cancel`,
// each only while that button is enabled (a null button leaves its key
// alone). Created once per window, as its child; controls added later are
// covered as well.
class EnterActsAsTab : public QObject
{
    Q_OBJECT
public:
    EnterActsAsTab(QWidget* window, QAbstractButton* ok = nullptr,
                   QAbstractButton* cancel = nullptr);

    // Enter without Ctrl or Alt on `target` (a control of `window`): moves
    // the window's focus to the next field. True when the key was taken.
    static bool moveOn(QWidget* window, QWidget* target, QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QPointer<QAbstractButton> m_ok;
    QPointer<QAbstractButton> m_cancel;
};

// Ends the typing in the window as leaving the control would: an open grid
// cell editor writes its text to the grid, and the focused control gets to
// take or refuse what was typed into it. For the buttons that act without
// taking the focus (record navigation, keyboard shortcuts).
void FinishTyping(QWidget* window);
