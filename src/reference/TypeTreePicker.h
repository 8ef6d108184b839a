#pragma once

#include <QDialog>
#include <QString>

class DataGrid;
class QHBoxLayout;
class QLineEdit;
class QTreeWidget;

// A picker of one record under a classification tree: the search row on
// top, the type tree beside the list, "新增…" (add through the record's edit
// window), "确定" and "取消" below. Choosing a node or double-clicking it
// reads the list again; a double click on a row chooses it. The counterpart
// and project pickers are its two kinds.
//
// Children: tvTree, btnQuery ("查询"), btnAdd, DBGridEh1, btnOK ("确定"),
// btnCancel ("取消"), plus the search fields of each kind.
class TypeTreePicker : public QDialog
{
    Q_OBJECT
public:
    struct Kind
    {
        QString className;
        QString caption;
        QString addCaption;  // "新增单位", "新增项目"
        QString treeFlag;    // classification tree of the types
        QString treeCaption; // its root
        QString resultField; // what a pick gives
        int width = 860;
    };

    QTreeWidget* tree() const { return m_tree; }
    DataGrid* grid() const { return m_grid; }

    // Reads the list again; false (the operator told) when it failed.
    bool requery();
    // The chosen row's value of the picker's result column; empty when the
    // list is empty.
    QString chosenValue() const;

    // Shows the picker modally: the chosen value, or `current` unchanged when
    // it was closed without a choice or over an empty list.
    QString pick(const QString& current);

protected:
    TypeTreePicker(const Kind& kind, QWidget* parent);

    // The search row, for the kind's own fields (the query button ends it).
    QHBoxLayout* searchRow() const { return m_search; }
    // A captioned search field that reads the list again on every change.
    QLineEdit* addSearchField(const char* name, const QString& caption);
    // Ends the layout and fills the tree; the root is chosen, which runs the
    // first query. The kind's constructor calls it last.
    void finish();

    // The chosen node's name path; empty for the root.
    QString typePath() const;

    // Opens the list on grid() for the fields and the chosen node.
    virtual bool query(QString* error) = 0;
    // "新增…": the edit window in its picker variant.
    virtual void addRecord() = 0;

private:
    Kind m_kind;
    QHBoxLayout* m_search = nullptr;
    QTreeWidget* m_tree = nullptr;
    DataGrid* m_grid = nullptr;
};
