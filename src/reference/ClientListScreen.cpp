#include "reference/ClientListScreen.h"

#include "common/DataGrid.h"
#include "data/DataServicesUi.h"
#include "data/TdmData.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecordModel::RowStyle stoppedRowStyle(const RecordModel& model, int row)
{
    if (model.value(row, QStringLiteral("F_useFlag")).toInt() != 0)
        return {QColor(Qt::red), QGuiApplication::palette().color(QPalette::Button)};
    return {};
}

void FillTypeTree(QTreeWidget* tree, const QString& rootCaption, const QString& flag)
{
    LoadCodeTree(tree, rootCaption, flag);
    if (tree->topLevelItemCount() > 0)
        tree->setCurrentItem(tree->topLevelItem(0));
}

QString ChosenTypePath(const QTreeWidget* tree)
{
    const QTreeWidgetItem* item = tree->currentItem();
    if (!item || !item->parent())
        return QString();
    return CodeTreePath(item, 1);
}

ClientListScreen::ClientListScreen(const Options& options, const QString& treeFlag,
                                   const QString& rootCaption, QWidget* parent)
    : ListScreen(options, parent), m_treeFlag(treeFlag), m_rootCaption(rootCaption)
{
    QAction* add = addLeadingAction(QStringLiteral("tbAdd"), QStringLiteral("新增"),
                                    QKeySequence(Qt::CTRL | Qt::Key_A));
    QAction* modify = addLeadingAction(QStringLiteral("tbModify"), QStringLiteral("修改"),
                                       QKeySequence(Qt::CTRL | Qt::Key_E));
    QAction* remove = addLeadingAction(QStringLiteral("tbDelete"), QStringLiteral("删除"),
                                       QKeySequence(Qt::Key_Delete));
    connect(add, &QAction::triggered, this, &ClientListScreen::addRecord);
    connect(modify, &QAction::triggered, this, &ClientListScreen::modifyRecord);
    connect(remove, &QAction::triggered, this, [this] { deleteRecord(); });
    connect(grid(), &DataGrid::rowDoubleClicked, this, [this] { modifyRecord(); });
    grid()->model()->setRowStyler(stoppedRowStyle);

    // Search row.
    auto* row = new QHBoxLayout(criteria());
    row->setContentsMargins(4, 2, 4, 2);
    auto* treeButton = new QToolButton(criteria());
    treeButton->setObjectName(QStringLiteral("btnTree"));
    treeButton->setText(QStringLiteral("类型"));
    treeButton->setCheckable(true);
    treeButton->setChecked(true);
    row->addWidget(treeButton);
    auto* choiceLabel = new QLabel(QStringLiteral("查询类型："), criteria());
    row->addWidget(choiceLabel);
    m_choice = new QComboBox(criteria());
    m_choice->setObjectName(QStringLiteral("cbbSearchType"));
    m_choice->addItems(ClientStore::searchChoices());
    m_choice->setCurrentIndex(-1);
    choiceLabel->setBuddy(m_choice);
    row->addWidget(m_choice);
    auto* textLabel = new QLabel(QStringLiteral("查询内容："), criteria());
    row->addWidget(textLabel);
    m_text = new QLineEdit(criteria());
    m_text->setObjectName(QStringLiteral("edtSearch"));
    textLabel->setBuddy(m_text);
    row->addWidget(m_text, 1);
    m_stopped = new QCheckBox(QStringLiteral("包含已停用"), criteria());
    m_stopped->setObjectName(QStringLiteral("chkStopped"));
    row->addWidget(m_stopped);
    auto* queryButton = new QToolButton(criteria());
    queryButton->setObjectName(QStringLiteral("btnQuery"));
    queryButton->setText(QStringLiteral("查询"));
    row->addWidget(queryButton);

    // Tree beside the list.
    auto* split = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(split);
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listSplit = new QSplitter(Qt::Vertical, split);
    m_listSplit->addWidget(grid());
    split->addWidget(m_tree);
    split->addWidget(m_listSplit);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 700});
    setBody(split);

    connect(treeButton, &QToolButton::toggled, m_tree, &QWidget::setVisible);
    connect(queryButton, &QToolButton::clicked, this, [this] { requery(); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { requery(); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { requery(); });
    connect(m_choice, &QComboBox::currentIndexChanged, this, [this] {
        // A new choice starts from an empty text; the emptied text reads
        // the list again, an already empty one does not.
        if (m_text->text().isEmpty())
            requery();
        else
            m_text->clear();
    });
    connect(m_text, &QLineEdit::textChanged, this, [this] { requery(); });
    connect(m_stopped, &QCheckBox::toggled, this, [this] { requery(); });
    resize(960, 600);
}

void ClientListScreen::start()
{
    // Choosing the root reads the list.
    FillTypeTree(m_tree, m_rootCaption, m_treeFlag);
}

void ClientListScreen::addBelowList(QWidget* widget)
{
    m_listSplit->addWidget(widget);
    m_listSplit->setStretchFactor(0, 3);
    m_listSplit->setStretchFactor(1, 1);
}

ReferenceListCriteria ClientListScreen::searchCriteria() const
{
    ReferenceListCriteria c;
    c.choice = m_choice->currentIndex();
    c.text = m_text->text().trimmed();
    c.typePath = selectedTypePath();
    c.includeStopped = m_stopped->isChecked();
    return c;
}

QString ClientListScreen::selectedTypePath() const
{
    return ChosenTypePath(m_tree);
}

bool ClientListScreen::hasSelectedNode() const
{
    return m_tree->currentItem() != nullptr;
}

bool ClientListScreen::selectTypePath(const QString& path)
{
    QTreeWidgetItemIterator it(m_tree);
    for (; *it; ++it) {
        const bool root = !(*it)->parent();
        if ((root && path.isEmpty()) || (!root && CodeTreePath(*it, 1) == path)) {
            m_tree->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

bool ClientListScreen::query(QString* error)
{
    // Nothing is listed until a type is chosen.
    if (!hasSelectedNode())
        return true;
    const SqlBuilder b = listQuery(searchCriteria());
    const bool ok = grid()->open(dmData()->db(), b.sql(), b.params(), error);
    listRead();
    return ok;
}

SubRecordEdit::CallerList ClientListScreen::callerList()
{
    return {grid(), [this](QString* error) {
                const bool ok = query(error);
                showCount();
                return ok;
            }};
}

QString ClientListScreen::emptyListText()
{
    return QStringLiteral("此表为空，没有记录需要修改！");
}

void ClientListScreen::addRecord()
{
    openEdit(SubRecordEdit::AddMode);
}

void ClientListScreen::modifyRecord()
{
    if (grid()->model()->rowCount() == 0) {
        ShowMess(emptyListText(), mkError);
        return;
    }
    openEdit(SubRecordEdit::ModifyMode);
}
