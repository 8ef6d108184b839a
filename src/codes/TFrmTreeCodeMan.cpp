#include "codes/TFrmTreeCodeMan.h"

#include "codes/TDLGenterCaption.h"
#include "data/DataServicesUi.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QDebug>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kConnectionFailed = QStringLiteral("数据连接失败，请与作者联系... ");

QString nodeCode(const QTreeWidgetItem* node)
{
    return node->data(0, TreeCodeRole).toString();
}

QString nodeName(const QTreeWidgetItem* node)
{
    return node->data(0, TreeNameRole).toString();
}

bool isRoot(const QTreeWidgetItem* node)
{
    return node && !node->parent();
}

} // namespace

TFrmTreeCodeMan::TFrmTreeCodeMan(int mode, QWidget* parent)
    : QDialog(parent), m_kind(CodeStore::treeKind(mode)), m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("TFrmTreeCodeMan"));
    setWindowTitle(m_kind.caption);

    auto* hint = new QLabel(
        QStringLiteral(
            "    增加节点，需先选中左边框里的节点成灰色，然后才能选择增加同级节点或子节点"),
        this);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);

    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_tree->installEventFilter(this);

    struct Command
    {
        const char* name;
        const char* text;
        QKeySequence key;
        void (TFrmTreeCodeMan::*run)();
    };
    const Command commands[] = {
        {"AddSibling", "添加同类(&A)", QKeySequence(), &TFrmTreeCodeMan::addSibling},
        {"AddChild", "添加子类(&C)", QKeySequence(), &TFrmTreeCodeMan::addChild},
        {"Modify", "修    改(&E)", QKeySequence(Qt::CTRL | Qt::Key_S),
         &TFrmTreeCodeMan::renameNode},
        {"Delete", "删除(包含子类)", QKeySequence(Qt::Key_Delete), &TFrmTreeCodeMan::deleteNode},
    };
    auto* side = new QVBoxLayout;
    for (const Command& c : commands) {
        auto* action = new QAction(QString::fromUtf8(c.text), m_tree);
        action->setObjectName(QStringLiteral("act") + QLatin1String(c.name));
        if (!c.key.isEmpty()) {
            action->setShortcut(c.key);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this, c.run);
        m_tree->addAction(action);
        auto* button = new QPushButton(QString::fromUtf8(c.text), this);
        button->setObjectName(QStringLiteral("btn") + QLatin1String(c.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, c.run);
        side->addWidget(button);
    }
    side->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_tree, 1);
    middle->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(middle, 1);
    if (m_kind.picker) {
        auto* buttons = new QHBoxLayout;
        auto* ok = new QPushButton(QStringLiteral("确定"), this);
        ok->setObjectName(QStringLiteral("btnOK"));
        ok->setAutoDefault(false);
        auto* cancel = new QPushButton(QStringLiteral("取消"), this);
        cancel->setObjectName(QStringLiteral("btnCancel"));
        cancel->setAutoDefault(false);
        connect(ok, &QPushButton::clicked, this, &TFrmTreeCodeMan::confirm);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { confirm(); });
        buttons->addStretch(1);
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
    }
    resize(460, 480);
    reload();
}

void TFrmTreeCodeMan::reload(const QString& code)
{
    LoadCodeTree(m_tree, m_kind.caption, m_kind.flag);
    if (QTreeWidgetItem* root = m_tree->topLevelItem(0))
        root->setExpanded(true);
    if (code.isEmpty())
        return;
    if (QTreeWidgetItem* node = findCode(code)) {
        m_tree->setCurrentItem(node);
        m_tree->scrollToItem(node);
    }
}

QTreeWidgetItem* TFrmTreeCodeMan::findCode(const QString& code) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->parent() && nodeCode(*it) == code)
            return *it;
    }
    return nullptr;
}

void TFrmTreeCodeMan::selectPath(const QString& path)
{
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->parent() && (*it)->data(0, TreeLikeCodeRole).toString() == path)
            found = *it;
    }
    m_tree->setCurrentItem(found);
    if (found) {
        found->setExpanded(true);
        m_tree->scrollToItem(found);
    }
}

QString TFrmTreeCodeMan::chosenPath() const
{
    const QTreeWidgetItem* node = m_tree->currentItem();
    return node ? CodeTreePath(node, 1) : QString();
}

void TFrmTreeCodeMan::confirm()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node)
        return;
    if (isRoot(node)) {
        ShowMess(QStringLiteral("不能选择根节点！"), mkInfo);
        return;
    }
    accept();
}

bool TFrmTreeCodeMan::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree && m_kind.picker && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QTreeWidgetItem* TFrmTreeCodeMan::makeItem(const QString& code, const QString& name,
                                           const QString& path) const
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, name);
    item->setData(0, TreeLevelRole, int(code.size()));
    item->setData(0, TreeCodeRole, code);
    item->setData(0, TreeNameRole, name);
    item->setData(0, TreeLikeCodeRole, path);
    return item;
}

void TFrmTreeCodeMan::addSibling()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node)
        return;
    if (isRoot(node)) {
        ShowMess(QStringLiteral("不能增加根节点的同类节点，该节点只能增加子节点！"), mkInfo);
        return;
    }
    addNode(1);
}

void TFrmTreeCodeMan::addChild()
{
    if (m_tree->currentItem())
        addNode(2);
}

void TFrmTreeCodeMan::addNode(int mode)
{
    QTreeWidgetItem* node = m_tree->currentItem();
    const QString title = QStringLiteral("添加 %1 %2 %3")
                              .arg(nodeCode(node), nodeName(node),
                                   mode == 1 ? QStringLiteral("同类") : QStringLiteral("子类"));
    const QString name = EnterValue(title, QString(), this).trimmed();
    if (name.isEmpty())
        return;
    QString path;
    if (mode == 2)
        path = node->data(0, TreeLikeCodeRole).toString() + QLatin1Char('\\') + name;
    else if (isRoot(node->parent()))
        path = QStringLiteral("\\\\") + name;
    else
        path = CodeTreePath(node, 2) + QLatin1Char('\\') + name;
    path = CodeStore::normalizePath(path);
    const int longest =
        Schema::maxLength(QStringLiteral("t_treecode"), QStringLiteral("F_likecode"));
    if (longest > 0 && path.size() > longest) {
        ShowMess(QStringLiteral("类别路径超过 %1 个字符，请使用较短的名称！").arg(longest),
                 mkWarning);
        return;
    }
    // The root stands for "no parent" when allocating.
    const QString selected = isRoot(node) ? QString() : nodeCode(node);
    const AllocatedCode code =
        CodeStore::addTreeNode(*dmData(), m_kind.flag, selected, mode, name, path);
    if (!code) {
        qWarning().noquote() << code.error;
        ShowMess(kConnectionFailed, mkError);
        return;
    }
    QTreeWidgetItem* item = makeItem(code.code, name, path);
    if (mode == 1) {
        QTreeWidgetItem* parent = node->parent();
        parent->insertChild(parent->indexOfChild(node) + 1, item);
    } else {
        node->addChild(item);
        node->setExpanded(true);
    }
    m_tree->setCurrentItem(item);
}

void TFrmTreeCodeMan::renameNode()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node || isRoot(node))
        return;
    const QString code = nodeCode(node);
    const QString oldPath = CodeTreePath(node, 1);
    const QString name = EnterValue(QStringLiteral("修改类别 %1 %2 子类").arg(code, nodeName(node)),
                                    nodeName(node), this)
                             .trimmed();
    if (name.isEmpty())
        return;
    QTreeWidgetItem* parent = node->parent();
    const QString newPath = CodeStore::normalizePath(
        isRoot(parent) ? QStringLiteral("\\\\") + name
                       : parent->data(0, TreeLikeCodeRole).toString() + QLatin1Char('\\') + name);
    QString error;
    CodeStore::PathTooLong tooLong;
    switch (CodeStore::renameTreeNode(dmData()->db(), m_kind.flag, code, name, oldPath, newPath,
                                      &error, &tooLong)) {
    case CodeStore::RenameResult::Unchanged:
        return;
    case CodeStore::RenameResult::TooLong:
        ShowMess(QStringLiteral("类别路径超过 %1 个字符，请使用较短的名称！\n%2")
                     .arg(tooLong.limit)
                     .arg(tooLong.path),
                 mkWarning);
        return;
    case CodeStore::RenameResult::PathsFailed:
        ShowFailure(Messages::operationFailed(), error);
        return;
    case CodeStore::RenameResult::NodeFailed:
        qWarning().noquote() << error;
        ShowMess(kConnectionFailed, mkError);
        return;
    case CodeStore::RenameResult::Renamed:
        break;
    }
    // The descendants' paths changed too: show them as stored.
    reload(code);
}

void TFrmTreeCodeMan::deleteNode()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node || isRoot(node))
        return;
    const QString code = nodeCode(node);
    const QString question =
        node->childCount() == 0
            ? QStringLiteral("真的要删除当前节点 “%1%2” 吗？").arg(code, nodeName(node))
            : QStringLiteral("此节点包含有子节点，真的要删除所有的子节点吗？");
    if (ShowMess(question, mkQuestion) != 1)
        return;
    QString error;
    if (!CodeStore::deleteTreeNode(dmData()->db(), m_kind.flag, code, &error)) {
        qWarning().noquote() << error;
        ShowMess(kConnectionFailed, mkError);
        return;
    }
    delete node;
}

void OpenTreeWindow(int mode, QWidget* parent)
{
    TFrmTreeCodeMan window(mode, parent);
    DispFormPos(&window, fpEdit);
    window.exec();
}
