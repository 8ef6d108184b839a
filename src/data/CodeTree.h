#pragma once

#include <QList>
#include <QString>

// A classification tree as loaded from t_treecode, without any widget: the
// tree view of a window is filled from it.
struct CodeTreeNode
{
    int level = 0;    // length of the code; 0 for the root
    QString code;     // "000" for the root
    QString name;     // the root caption for the root
    QString likeCode; // name path; two backslashes for the root
    int parent = -1;  // index in the node list; -1 for the root
    QList<int> children;
};

class CodeTree
{
public:
    // Node 0 is the root.
    explicit CodeTree(const QString& rootCaption = QString());

    // Adds a node under the deepest existing node whose code starts its code
    // (the root when none): rows must come in code order. A code whose
    // parent code is missing therefore lands under its nearest ancestor.
    int add(const QString& code, const QString& name, const QString& likeCode);

    const QList<CodeTreeNode>& nodes() const { return m_nodes; }
    const CodeTreeNode& node(int index) const { return m_nodes.at(index); }
    int size() const { return int(m_nodes.size()); }
    int find(const QString& code) const;

    // The name path of node `index` (mode 1) or of its parent (mode 2):
    // two backslashes, then the names from level 1 down joined by single
    // backslashes.
    QString path(int index, int mode = 1) const;

private:
    QList<CodeTreeNode> m_nodes;
};

// The name path from node names listed from level 1 down.
QString CodeTreePathFromNames(const QStringList& namesFromTop);
