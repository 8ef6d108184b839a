#include "codes/TDLGenterCaption.h"

#include "data/DataServicesUi.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace {
EnterValueHook g_hook;
}

void setEnterValueHook(EnterValueHook hook)
{
    g_hook = std::move(hook);
}

TDLGenterCaption::TDLGenterCaption(const QString& title, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDLGenterCaption"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_label = new QLabel(title, this);
    m_label->setObjectName(QStringLiteral("lblCaption"));
    auto* row = new QHBoxLayout;
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("edtValue"));
    m_value->setMaxLength(255); // name paths are stored in 255 characters
    m_value->setMinimumWidth(280);
    auto* pickButton = new QToolButton(this);
    pickButton->setObjectName(QStringLiteral("btnPick"));
    pickButton->setText(QStringLiteral("…"));
    connect(pickButton, &QToolButton::clicked, this, &TDLGenterCaption::pick);
    row->addWidget(m_value, 1);
    row->addWidget(pickButton);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &TDLGenterCaption::tryAccept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(m_label);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString TDLGenterCaption::value() const
{
    return m_value->text();
}

void TDLGenterCaption::tryAccept()
{
    if (m_value->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("部门名称不能为空！"), mkInfo);
        m_value->setFocus();
        return;
    }
    accept();
}

void TDLGenterCaption::pick()
{
    const bool departments = m_label->text() == QLatin1String("部门名称");
    m_value->setText(PickTreeNode(departments ? QStringLiteral("dept") : QStringLiteral("type"),
                                  departments ? QStringLiteral("合同部门") : QStringLiteral("合同类型"),
                                  m_value->text(), this));
}

QString EnterValue(const QString& title, const QString& initial, QWidget* parent)
{
    if (g_hook)
        return g_hook(title, initial);
    TDLGenterCaption dialog(title, parent);
    dialog.valueEdit()->setText(initial);
    DispFormPos(&dialog, fpEdit);
    return dialog.exec() == QDialog::Accepted ? dialog.value() : QString();
}

QString PickTreeNode(const QString& flag, const QString& rootCaption, const QString& currentPath,
                     QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("TfrmTreePick"));
    dialog.setWindowTitle(rootCaption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* tree = new QTreeWidget(&dialog);
    tree->setObjectName(QStringLiteral("tvTree"));
    tree->setHeaderHidden(true);
    LoadCodeTree(tree, rootCaption, flag);
    // The node of the current path, the last one when several share it.
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->data(0, TreeLikeCodeRole).toString() == currentPath && (*it)->parent())
            tree->setCurrentItem(*it);
    }
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    auto confirm = [&] {
        QTreeWidgetItem* node = tree->currentItem();
        if (!node || !node->parent()) {
            ShowMess(QStringLiteral("不能选择根节点！"), mkInfo);
            return;
        }
        dialog.accept();
    };
    QObject::connect(ok, &QPushButton::clicked, &dialog, confirm);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog, confirm);
    layout->addWidget(tree, 1);
    layout->addWidget(buttons);
    dialog.resize(320, 420);
    DispFormPos(&dialog, fpEdit);
    if (dialog.exec() != QDialog::Accepted || !tree->currentItem())
        return currentPath;
    return CodeTreePath(tree->currentItem(), 1);
}
