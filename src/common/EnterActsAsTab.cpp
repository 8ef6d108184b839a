#include "common/EnterActsAsTab.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

bool EnterActsAsTab(QWidget* window, QKeyEvent* event)
{
    const int key = event->key();
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    QWidget* focus = window->focusWidget();
    if (qobject_cast<QPlainTextEdit*>(focus) || qobject_cast<QTextEdit*>(focus))
        return false;
    // A key press event sent to the window moves the focus the way Tab does.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
    return true;
}
