#include "data/DataServicesUi.h"

#include "data/CodeTree.h"
#include "data/Session.h"
#include "data/SqlBuilder.h"
#include "data/TdmData.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>

void FillComboBox(const QStringList& values, QComboBox* combo)
{
    combo->clear();
    combo->addItems(values);
}

void FillCodeTree(QTreeWidget* tree, const CodeTree& codes)
{
    tree->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(codes.size());
    for (int i = 0; i < codes.size(); ++i) {
        const CodeTreeNode& n = codes.node(i);
        auto* item = i == 0 ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(items.at(n.parent));
        item->setText(0, n.name);
        item->setData(0, TreeLevelRole, n.level);
        item->setData(0, TreeCodeRole, n.code);
        item->setData(0, TreeNameRole, n.name);
        item->setData(0, TreeLikeCodeRole, n.likeCode);
        items << item;
    }
    if (!items.isEmpty()) {
        items.first()->setExpanded(true);
        for (int child : codes.node(0).children)
            items.at(child)->setExpanded(true);
    }
}

void LoadCodeTree(QTreeWidget* tree, const QString& rootCaption, const QString& flag)
{
    TdmData* dm = dmData();
    FillCodeTree(tree, dm ? dm->LoadCodeTree(rootCaption, flag) : CodeTree(rootCaption));
}

QString CodeTreePath(const QTreeWidgetItem* node, int mode)
{
    const QTreeWidgetItem* current = node;
    if (mode == 2 && current)
        current = current->parent();
    QStringList names;
    // Stop at the root (the item without a parent).
    while (current && current->parent()) {
        names.prepend(current->data(0, TreeNameRole).toString());
        current = current->parent();
    }
    return CodeTreePathFromNames(names);
}

int ApplyInputMethod(QWidget* window)
{
    const QString name = Session.ImeName.trimmed();
    if (!window || name.isEmpty())
        return 0;
    int count = 0;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        const bool textEntry =
            qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
            qobject_cast<QPlainTextEdit*>(w) ||
            (qobject_cast<QComboBox*>(w) && static_cast<QComboBox*>(w)->isEditable());
        // The line edit inside an editable combo box or a spin box is counted
        // with its owner.
        if (!textEntry || qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            continue;
        w->setProperty("imeName", name);
        ++count;
    }
    return count;
}
