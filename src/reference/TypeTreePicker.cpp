#include "reference/TypeTreePicker.h"

#include "common/DataGrid.h"
#include "platform/DispFormPos.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ClientListScreen.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

TypeTreePicker::TypeTreePicker(const Kind& kind, QWidget* parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(kind.className);
    setWindowTitle(kind.caption);
    m_search = new QHBoxLayout;

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(split);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid = new DataGrid(split);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    split->addWidget(m_tree);
    split->addWidget(m_grid);
    split->setStretchFactor(1, 1);
    split->setSizes({160, kind.width - 220});

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(kind.addCaption, this);
    add->setObjectName(QStringLiteral("btnAdd"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    for (QPushButton* b : {add, ok, cancel})
        b->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_search);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, [this] { addRecord(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { requery(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { requery(); });
    resize(kind.width, 520);
}

QLineEdit* TypeTreePicker::addSearchField(const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    label->setBuddy(edit);
    m_search->addWidget(label);
    m_search->addWidget(edit, 1);
    connect(edit, &QLineEdit::textChanged, this, [this] { requery(); });
    return edit;
}

void TypeTreePicker::finish()
{
    auto* queryButton = new QPushButton(QStringLiteral("查询"), this);
    queryButton->setObjectName(QStringLiteral("btnQuery"));
    queryButton->setAutoDefault(false);
    m_search->addWidget(queryButton);
    connect(queryButton, &QPushButton::clicked, this, [this] { requery(); });
    FillTypeTree(m_tree, m_kind.treeCaption, m_kind.treeFlag);
}

QString TypeTreePicker::typePath() const
{
    return ChosenTypePath(m_tree);
}

bool TypeTreePicker::requery()
{
    // Nothing is listed until a node is chosen.
    if (!m_tree->currentItem())
        return true;
    QString error;
    if (query(&error))
        return true;
    qWarning().noquote() << objectName() << "query failed:" << error;
    ShowFailure(Messages::openFailed(), error);
    return false;
}

QString TypeTreePicker::chosenValue() const
{
    return m_grid->currentValue(m_kind.resultField).toString();
}

QString TypeTreePicker::pick(const QString& current)
{
    DispFormPos(this, fpList);
    if (exec() != QDialog::Accepted || m_grid->model()->rowCount() == 0)
        return current;
    return chosenValue();
}
