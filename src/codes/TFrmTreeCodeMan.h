#pragma once

#include "codes/CodeStore.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The classification tree window: maintenance of one tree (odd modes) or a
// picker that returns a node's name path (even modes). Modes 1/2 contract
// types, 3/4 counterpart types, 5/6 project types, 7/8 departments.
class TFrmTreeCodeMan : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmTreeCodeMan(int mode, QWidget* parent = nullptr);

    const CodeStore::TreeKind& kind() const { return m_kind; }
    QTreeWidget* tree() const { return m_tree; }
    // Loads the tree again from the database; the node of `code` (when
    // given and still there) becomes the current one.
    void reload(const QString& code = QString());

    // Picker: makes the last node whose name path equals `path` current and
    // shows it; no node when none matches.
    void selectPath(const QString& path);
    // The name path of the current node (empty for none).
    QString chosenPath() const;
    QTreeWidgetItem* findCode(const QString& code) const;

    // Commands, as the buttons and the pop-up menu run them.
    void addSibling();
    void addChild();
    void renameNode();
    void deleteNode();
    // "确定", double click, Enter: accepts the current node unless it is
    // the root.
    void confirm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addNode(int mode);
    QTreeWidgetItem* makeItem(const QString& code, const QString& name, const QString& path) const;

    CodeStore::TreeKind m_kind;
    QTreeWidget* m_tree;
};

// Maintenance of the tree of an odd mode (1, 3, 5, 7), shown modally.
// Callers that show the tree themselves reload it afterwards.
void OpenTreeWindow(int mode, QWidget* parent = nullptr);
