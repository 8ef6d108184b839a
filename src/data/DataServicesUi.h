#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>

class CodeTree;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The data services that fill widgets. The data they show comes from the
// data module (dmData()).

// Item data roles of a tree filled by LoadCodeTree.
enum CodeTreeRole
{
    TreeLevelRole = Qt::UserRole + 1, // length of the code; 0 for the root
    TreeCodeRole,                     // F_code; "000" for the root
    TreeNameRole,                     // F_name; the root caption for the root
    TreeLikeCodeRole,                 // name path
};

// Empties the list and offers the values (read by a store, e.g. the pick
// list of a code list from CodeStore::names).
void FillComboBox(const QStringList& values, QComboBox* combo);

// Fills the tree view with the classification tree of one kind: the root
// with the root caption, the nodes below it; level-1 nodes expanded.
void LoadCodeTree(QTreeWidget* tree, const QString& rootCaption, const QString& flag);
void FillCodeTree(QTreeWidget* tree, const CodeTree& codes);

// The name path of the node (mode 1) or of its parent (mode 2).
QString CodeTreePath(const QTreeWidgetItem* node, int mode);

// Gives every text-entry control of the window the preferred input method
// (Session.ImeName). The desktop here switches input methods per window, not
// per field, so the name is recorded on the controls (property "imeName")
// and the desktop's own switching stays in charge. Returns the number of
// controls given the name.
int ApplyInputMethod(QWidget* window);
