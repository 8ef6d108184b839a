#include "common/EnterActsAsTab.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace {

// The keys that belong to the control itself: text boxes of several lines
// and the cell editors of grids (Enter and Esc end or undo the cell's edit).
bool keepsKeys(QWidget* target, QWidget* window)
{
    for (QWidget* w = target; w && w != window; w = w->parentWidget()) {
        if (qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
            return true;
        if (qobject_cast<QAbstractItemView*>(w))
            return w != target;
    }
    return false;
}

} // namespace

EnterActsAsTab::EnterActsAsTab(QWidget* window, QAbstractButton* ok, QAbstractButton* cancel)
    : QObject(window), m_window(window), m_ok(ok), m_cancel(cancel)
{
    // On the application, so that the window sees a key before any of its
    // controls, whenever the control was created.
    qApp->installEventFilter(this);
}

bool EnterActsAsTab::moveOn(QWidget* window, QWidget* target, QKeyEvent* event)
{
    const int key = event->key();
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (keepsKeys(target, window))
        return false;
    // A Tab sent to the window moves the focus the way the Tab key does.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
    return true;
}

bool EnterActsAsTab::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != m_window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (m_ok && key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
        if (m_ok->isEnabled()) {
            FinishTyping(m_window);
            m_ok->click();
        }
        return true;
    }
    if (m_cancel && key->key() == Qt::Key_Escape && !keepsKeys(target, m_window)) {
        if (m_cancel->isEnabled())
            m_cancel->click();
        return true;
    }
    return moveOn(m_window, target, key);
}

void FinishTyping(QWidget* window)
{
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        const QModelIndex current = view->currentIndex();
        if (!current.isValid() || view->isPersistentEditorOpen(current))
            continue;
        // The editor of the cell being edited.
        if (QWidget* editor = view->indexWidget(current)) {
            // Protected slots of the view, reached as slots.
            QMetaObject::invokeMethod(view, "commitData", Q_ARG(QWidget*, editor));
            QMetaObject::invokeMethod(
                view, "closeEditor", Q_ARG(QWidget*, editor),
                Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
        }
    }
    QWidget* focus = window->focusWidget();
    if (!focus || !focus->hasFocus())
        return;
    const QPointer<QWidget> back(focus);
    focus->clearFocus();
    if (back && back->isVisible() && back->isEnabled())
        back->setFocus(Qt::OtherFocusReason);
}
