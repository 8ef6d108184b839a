#pragma once

#include <QList>
#include <QVariantList>

class QWidget;

// What the input controls below `root` hold (texts, numbers, dates, ticks,
// choices) in a form that compares: a window keeps the state it had when it
// showed a record and compares it later to learn whether the operator
// changed something. Grids are left out (their models know their own
// changes), and so are the widgets of `skip` with their children.
QVariantList InputState(const QWidget* root, const QList<const QWidget*>& skip = {});
