#include "common/InputState.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

namespace {

bool leftOut(const QWidget* w, const QWidget* root, const QList<const QWidget*>& skip)
{
    for (const QWidget* p = w; p && p != root; p = p->parentWidget()) {
        if (skip.contains(p) || qobject_cast<const QAbstractItemView*>(p))
            return true;
        // The line edit inside a spin box or combo box: the box speaks for it.
        if (p != w &&
            (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p)))
            return true;
    }
    return false;
}

} // namespace

QVariantList InputState(const QWidget* root, const QList<const QWidget*>& skip)
{
    QVariantList state;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (leftOut(w, root, skip))
            continue;
        // Dates by their text, which holds a date still being typed; numbers
        // by their value, as their text changes with the focus.
        if (auto* d = qobject_cast<const QDateTimeEdit*>(w))
            state << d->text();
        else if (auto* n = qobject_cast<const QDoubleSpinBox*>(w))
            state << n->value();
        else if (auto* i = qobject_cast<const QSpinBox*>(w))
            state << i->value();
        else if (auto* c = qobject_cast<const QComboBox*>(w))
            state << c->currentText();
        else if (auto* e = qobject_cast<const QLineEdit*>(w))
            state << e->text();
        else if (auto* p = qobject_cast<const QPlainTextEdit*>(w))
            state << p->toPlainText();
        else if (auto* t = qobject_cast<const QTextEdit*>(w))
            state << t->toPlainText();
        else if (auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable())
            state << b->isChecked();
    }
    return state;
}
