#pragma once

#include "data/Database.h"

#include <QString>

class CodeTree;
class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The data services that fill widgets. The data they show comes from the
// data module (dmData()).

// Item data roles of a tree filled by LoadCodeTree.
enum CodeTreeRole {
    TreeLevelRole = Qt::UserRole + 1, // length of the code; 0 for the root
    TreeCodeRole,                     // F_code; "000" for the root
    TreeNameRole,                     // F_name; the root caption for the root
    TreeLikeCodeRole,                 // name path
};

// Empties the list and offers the first column of every row that is not
// blank (as stored). On a failure the message is shown and the values read
// so far stay.
void FillComboBox(const QString& sql, QComboBox* combo, const SqlParams& params = {});

// Fills the tree view with the classification tree of one kind: the root
// with the root caption, the nodes below it; level-1 nodes expanded.
void LoadCodeTree(QTreeWidget* tree, const QString& rootCaption, const QString& flag);
void FillCodeTree(QTreeWidget* tree, const CodeTree& codes);

// The name path of the node (mode 1) or of its parent (mode 2).
QString CodeTreePath(const QTreeWidgetItem* node, int mode);

// Salesperson and department pick lists by the operator's restriction:
// all, own contracts only (salesperson fixed to the operator), or the listed
// departments only.
void FillEmployeeAndDeptCombos(QComboBox* salesperson, QComboBox* department);

// Gives every text-entry control of the window the preferred input method
// (Session.ImeName). The desktop here switches input methods per window, not
// per field, so the name is recorded on the controls (property "imeName")
// and the desktop's own switching stays in charge. Returns the number of
// controls given the name.
int ApplyInputMethod(QWidget* window);
