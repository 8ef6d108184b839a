#include "data/CodeTree.h"

#include <QStringList>

CodeTree::CodeTree(const QString& rootCaption)
{
    CodeTreeNode root;
    root.code = QStringLiteral("000");
    root.name = rootCaption;
    root.likeCode = QStringLiteral("\\\\");
    m_nodes << root;
}

int CodeTree::find(const QString& code) const
{
    for (int i = 1; i < size(); ++i) {
        if (m_nodes.at(i).code == code)
            return i;
    }
    return -1;
}

int CodeTree::add(const QString& code, const QString& name, const QString& likeCode)
{
    // Rows come in code order, so the parent is the latest node whose code
    // is a proper prefix: walk up from the last node added.
    int parent = size() - 1;
    while (parent > 0) {
        const QString& pc = m_nodes.at(parent).code;
        if (pc.size() < code.size() && code.startsWith(pc))
            break;
        parent = m_nodes.at(parent).parent;
    }
    CodeTreeNode n;
    n.level = int(code.size());
    n.code = code;
    n.name = name;
    n.likeCode = likeCode;
    n.parent = parent;
    m_nodes << n;
    const int index = size() - 1;
    m_nodes[parent].children << index;
    return index;
}

QString CodeTree::path(int index, int mode) const
{
    int current = index;
    if (mode == 2 && current > 0)
        current = m_nodes.at(current).parent;
    QStringList names;
    while (current > 0) {
        names.prepend(m_nodes.at(current).name);
        current = m_nodes.at(current).parent;
    }
    return CodeTreePathFromNames(names);
}

QString CodeTreePathFromNames(const QStringList& namesFromTop)
{
    return QStringLiteral("\\\\") + namesFromTop.join(QLatin1Char('\\'));
}
