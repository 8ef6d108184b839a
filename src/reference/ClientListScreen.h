#pragma once

#include "common/ListScreen.h"
#include "common/RecordModel.h"
#include "data/SqlBuilder.h"
#include "records/SubRecordEdit.h"
#include "reference/ClientStore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The list screen of counterparts and of projects: a type tree on the left,
// the search row above a list of the rows under the chosen type, and the
// commands 新增 (Ctrl+A), 修改 (Ctrl+E, a double click), 删除 (Delete) before
// the paging and output commands. The list is read only while a node of the
// tree is chosen; the root is chosen when the screen opens, so the list
// shows at once. Stopped rows are drawn red.
//
// Children: tvTree, cbbSearchType ("查询类型："), edtSearch ("查询内容："),
// chkStopped ("包含已停用"), btnTree (hides or shows the tree), btnQuery
// (reads the list again), tbAdd, tbModify, tbDelete, and those of
// ListScreen.
class ClientListScreen : public ListScreen
{
    Q_OBJECT
public:
    QTreeWidget* tree() const { return m_tree; }
    QComboBox* searchChoice() const { return m_choice; }
    QLineEdit* searchText() const { return m_text; }
    QCheckBox* includeStopped() const { return m_stopped; }

    // The criteria the controls stand for now.
    ReferenceListCriteria searchCriteria() const;
    // The chosen node's name path; empty for the root (every type).
    QString selectedTypePath() const;
    bool hasSelectedNode() const;
    // Chooses the node with the name path (the root for an empty path).
    bool selectTypePath(const QString& path);

    // The commands.
    void addRecord();
    void modifyRecord();
    virtual void deleteRecord() = 0;

    // The text of "修改" on an empty list.
    static QString emptyListText();

protected:
    ClientListScreen(const Options& options, const QString& treeFlag, const QString& rootCaption,
                     QWidget* parent);

    // Call at the end of the subclass's constructor: fills the tree, chooses
    // the root and reads the list.
    void start();
    // The area right of the tree holds the grid; a screen may put a widget
    // of its own under it.
    void addBelowList(QWidget* widget);
    // How the edit window reaches this list.
    SubRecordEdit::CallerList callerList();

    virtual SqlBuilder listQuery(const ReferenceListCriteria& criteria) const = 0;
    // Opens the screen's edit window.
    virtual void openEdit(SubRecordEdit::Mode mode) = 0;
    // After every reading of the list.
    virtual void listRead() {}

    bool query(QString* error) override;

private:
    QString m_treeFlag;
    QString m_rootCaption;
    QTreeWidget* m_tree = nullptr;
    QComboBox* m_choice = nullptr;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_stopped = nullptr;
    QSplitter* m_listSplit = nullptr;
};

// Stopped rows (F_useFlag) red on the button face.
RecordModel::RowStyle stoppedRowStyle(const RecordModel& model, int row);

// The type tree of the pickers and list screens: filled from the
// classification of `flag`, root caption `rootCaption`, the root chosen.
void FillTypeTree(QTreeWidget* tree, const QString& rootCaption, const QString& flag);
// The name path of the chosen node; empty for the root.
QString ChosenTypePath(const QTreeWidget* tree);
