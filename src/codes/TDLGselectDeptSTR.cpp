#include "codes/TDLGselectDeptSTR.h"

#include "codes/CodeStore.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
SelectDepartmentsHook g_hook;
}

void setSelectDepartmentsHook(SelectDepartmentsHook hook)
{
    g_hook = std::move(hook);
}

TDLGselectDeptSTR::TDLGselectDeptSTR(const QStringList& departments, const QString& current,
                                     QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDLGselectDeptSTR"));
    setWindowTitle(QStringLiteral("部门选择"));
    auto* label = new QLabel(QStringLiteral("请从以下列表中勾选所需项目："), this);
    label->setObjectName(QStringLiteral("Label1"));

    // A whole name must match: department A is not ticked by a list that
    // holds only AB.
    QString text = current;
    text.replace(QStringLiteral("，"), QStringLiteral(","));
    const QStringList held = parseDeptList(text);

    auto* list = new QWidget;
    list->setObjectName(QStringLiteral("CheckListBox1"));
    auto* grid = new QGridLayout(list);
    const int rows = int((departments.size() + 1) / 2);
    for (int i = 0; i < departments.size(); ++i) {
        auto* box = new QCheckBox(departments.at(i), list);
        box->setChecked(held.contains(departments.at(i)));
        // Filled column by column, as the check list shows them.
        grid->addWidget(box, i % rows, i / rows);
        m_boxes << box;
    }
    grid->setRowStretch(rows, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(360, 320);
}

QCheckBox* TDLGselectDeptSTR::box(const QString& department) const
{
    for (QCheckBox* b : m_boxes) {
        if (b->text() == department)
            return b;
    }
    return nullptr;
}

QStringList TDLGselectDeptSTR::ticked() const
{
    QStringList names;
    for (QCheckBox* b : m_boxes) {
        if (b->isChecked())
            names << b->text();
    }
    return names;
}

QString TDLGselectDeptSTR::listText() const
{
    return formatDeptList(ticked());
}

QString SelectDepartments(const QString& current, QWidget* parent)
{
    if (g_hook)
        return g_hook(current);
    QStringList departments;
    QString error;
    if (!CodeStore::names(dmData()->db(), CodeStore::kDepartments, &departments, &error)) {
        ShowFailure(Messages::openFailed(), error);
        return current;
    }
    if (departments.isEmpty()) {
        ShowMess(QStringLiteral("没有部门选择！"), mkInfo);
        return current;
    }
    TDLGselectDeptSTR dialog(departments, current, parent);
    DispFormPos(&dialog, fpEdit);
    return dialog.exec() == QDialog::Accepted ? dialog.listText() : current;
}
