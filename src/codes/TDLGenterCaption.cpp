#include "codes/TDLGenterCaption.h"

#include "codes/CodeStore.h"
#include "codes/TFrmTreeCodeMan.h"
#include "data/Schema.h"
#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
EnterValueHook g_enterHook;
PickTreeNodeHook g_pickHook;
} // namespace

void setEnterValueHook(EnterValueHook hook)
{
    g_enterHook = std::move(hook);
}

void setPickTreeNodeHook(PickTreeNodeHook hook)
{
    g_pickHook = std::move(hook);
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
    // Names and paths share the width of the stored path.
    m_value->setMaxLength(
        Schema::maxLength(QStringLiteral("t_treecode"), QStringLiteral("F_likecode")));
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

int TDLGenterCaption::pickerMode() const
{
    return m_label->text() == QStringLiteral("部门名称") ? 8 : 2;
}

void TDLGenterCaption::pick()
{
    m_value->setText(PickTreeNode(pickerMode(), m_value->text(), this));
}

QString EnterValue(const QString& title, const QString& initial, QWidget* parent)
{
    if (g_enterHook)
        return g_enterHook(title, initial);
    TDLGenterCaption dialog(title, parent);
    dialog.valueEdit()->setText(initial);
    DispFormPos(&dialog, fpEdit);
    return dialog.exec() == QDialog::Accepted ? dialog.value() : QString();
}

QString PickTreeNode(int mode, const QString& currentPath, QWidget* parent)
{
    if (g_pickHook)
        return g_pickHook(mode, currentPath);
    TFrmTreeCodeMan window(mode, parent);
    window.selectPath(currentPath);
    DispFormPos(&window, fpEdit);
    if (window.exec() != QDialog::Accepted)
        return currentPath;
    const QString chosen = window.chosenPath();
    return chosen.isEmpty() ? currentPath : chosen;
}

QString PickTreeNode(const QString& flag, const QString&, const QString& currentPath,
                     QWidget* parent)
{
    return PickTreeNode(CodeStore::pickerModeOfFlag(flag), currentPath, parent);
}
