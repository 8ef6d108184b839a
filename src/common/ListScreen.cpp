#include "common/ListScreen.h"

#include "common/DataGrid.h"
#include "common/EnterActsAsTab.h"
#include "common/GridExport.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <QAction>
#include <QDebug>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct StandardCommand
{
    const char* name;
    const char* text;
    QKeySequence::StandardKey standardKey;
    int key;
};

// The paging and output commands, in tool-bar order after "查询".
const StandardCommand kPaging[] = {
    {"tbFirst", "首项", QKeySequence::UnknownKey, Qt::Key_Home},
    {"tbPrior", "前项", QKeySequence::UnknownKey, Qt::Key_PageUp},
    {"tbNext", "后项", QKeySequence::UnknownKey, Qt::Key_PageDown},
    {"tbLast", "末项", QKeySequence::UnknownKey, Qt::Key_End},
};

const char* const kOutputs[] = {"tbPrint", "tbDesign", "tbExport"};

} // namespace

ListScreen::ListScreen(const Options& options, QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(options.className);
    setWindowTitle(options.caption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);

    auto addCommand = [this](const QString& name, const QString& text, const QKeySequence& key) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        m_toolBar->addAction(a);
        // The key works even while a narrow tool bar folds its button away.
        addAction(a);
        return a;
    };

    if (options.queryCommand) {
        QAction* q = addCommand(QStringLiteral("tbQuery"), QStringLiteral("查询"),
                                QKeySequence(Qt::CTRL | Qt::Key_Q));
        connect(q, &QAction::triggered, this, [this] { requery(); });
        m_firstAction = q;
    }
    static const RecordNavigator::Move moves[] = {RecordNavigator::First, RecordNavigator::Prior,
                                                  RecordNavigator::Next, RecordNavigator::Last};
    for (int i = 0; i < 4; ++i) {
        QAction* a = addCommand(QLatin1String(kPaging[i].name), QString::fromUtf8(kPaging[i].text),
                                QKeySequence(kPaging[i].key));
        const RecordNavigator::Move move = moves[i];
        connect(a, &QAction::triggered, this, [this, move] { moveTo(move); });
        if (!m_firstAction)
            m_firstAction = a;
    }

    QAction* printAction = addCommand(QStringLiteral("tbPrint"), QStringLiteral("打印"), {});
    connect(printAction, &QAction::triggered, this, [this] { print(0); });
    if (!options.printFormats.isEmpty()) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("pmPrint"));
        for (int i = 0; i < options.printFormats.size(); ++i) {
            QAction* entry = menu->addAction(options.printFormats.at(i));
            entry->setObjectName(QStringLiteral("mnuPrint%1").arg(i + 1));
            connect(entry, &QAction::triggered, this, [this, i] { print(i); });
        }
        printAction->setMenu(menu);
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(printAction)))
            button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    connect(addCommand(QStringLiteral("tbDesign"), QStringLiteral("设置"), {}), &QAction::triggered,
            this, [this] { design(); });
    connect(addCommand(QStringLiteral("tbExport"), QStringLiteral("导出"), {}), &QAction::triggered,
            this, [this] { exportResult(); });
    m_toolBar->addSeparator();
    // Esc closes through QDialog::reject; the command shows the key only.
    QAction* exit = addCommand(QStringLiteral("tbExit"), QStringLiteral("退出"), {});
    connect(exit, &QAction::triggered, this, &QDialog::reject);

    m_criteria = new QFrame(this);
    m_criteria->setObjectName(QStringLiteral("pnlCriteria"));
    layout->addWidget(m_criteria);

    m_bodyLayout = new QVBoxLayout;
    m_bodyLayout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_bodyLayout, 1);

    m_grid = new DataGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_body = m_grid;
    m_bodyLayout->addWidget(m_grid);

    m_grid->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* chooseColumns = new QAction(QStringLiteral("显示字段列表"), m_grid->view());
    chooseColumns->setObjectName(QStringLiteral("mnuFieldList"));
    connect(chooseColumns, &QAction::triggered, this, [this] { ChooseGridColumns(m_grid); });
    auto* saveLayout = new QAction(QStringLiteral("保存当前设置"), m_grid->view());
    saveLayout->setObjectName(QStringLiteral("mnuSaveLayout"));
    connect(saveLayout, &QAction::triggered, this,
            [this] { AskAndSaveGridLayout(m_grid, m_options.layoutName); });
    m_grid->view()->addAction(chooseColumns);
    m_grid->view()->addAction(saveLayout);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("pnlStatus%1").arg(i));
        m_panels[i]->setMinimumWidth(i == 2 ? 140 : 80);
        status->addWidget(m_panels[i], i == 1 ? 1 : 0);
    }
    m_panels[3]->setText(QStringLiteral("璞朔软件  "));
    layout->addWidget(status);

    if (!options.layoutName.isEmpty()) {
        m_grid->setColumns(GridLayoutStore::builtColumns(options.layoutName));
        LoadGridLayout(m_grid, options.layoutName);
        ApplyColumnFormats(m_grid, options.layoutName);
    }
    setOutputsEnabled(!options.outputsAfterFirstQuery);
    new EnterActsAsTab(this);
}

QAction* ListScreen::command(const QString& objectName) const
{
    const QList<QAction*> all = findChildren<QAction*>(objectName);
    return all.value(0);
}

QAction* ListScreen::addLeadingAction(const QString& objectName, const QString& text,
                                      const QKeySequence& key)
{
    auto* a = new QAction(text, this);
    a->setObjectName(objectName);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    m_toolBar->insertAction(m_firstAction, a);
    addAction(a);
    return a;
}

void ListScreen::setBody(QWidget* body)
{
    if (m_body == body)
        return;
    m_bodyLayout->removeWidget(m_body);
    m_body = body;
    m_bodyLayout->addWidget(body);
}

bool ListScreen::requery()
{
    QString error;
    if (!query(&error)) {
        qWarning().noquote() << objectName() << "query failed:" << error;
        ShowFailure(Messages::openFailed(), error);
        showCount();
        return false;
    }
    setOutputsEnabled(true);
    showCount();
    return true;
}

QString ListScreen::countText() const
{
    return m_options.countPrefix + QString::number(m_grid->model()->rowCount());
}

void ListScreen::showCount()
{
    m_panels[2]->setText(countText());
}

void ListScreen::moveTo(RecordNavigator::Move move)
{
    const int count = m_grid->model()->rowCount();
    const int target = RecordNavigator::targetRow(move, m_grid->currentRow(), count);
    if (target >= 0)
        m_grid->setCurrentRow(target);
    updatePaging(move);
}

void ListScreen::updatePaging(RecordNavigator::Move move)
{
    QAction* first = command(QStringLiteral("tbFirst"));
    QAction* prior = command(QStringLiteral("tbPrior"));
    QAction* next = command(QStringLiteral("tbNext"));
    QAction* last = command(QStringLiteral("tbLast"));
    if (!first->property("outputsOn").toBool())
        return;
    RecordNavigator::applyPaging(move, m_grid->currentRow(), m_grid->model()->rowCount(), first,
                                 prior, next, last);
}

void ListScreen::setOutputsEnabled(bool enabled)
{
    for (const char* name : {"tbFirst", "tbPrior", "tbNext", "tbLast"}) {
        QAction* a = command(QLatin1String(name));
        a->setProperty("outputsOn", enabled);
        a->setEnabled(enabled);
    }
    for (const char* name : kOutputs)
        command(QLatin1String(name))->setEnabled(enabled);
}

void ListScreen::print(int)
{
    ShowMess(Messages::notYetAvailable(), mkInfo);
}

void ListScreen::design()
{
    ShowMess(Messages::notYetAvailable(), mkInfo);
}

void ListScreen::exportResult()
{
    ExportGridToExcel(m_grid, m_options.exportTitle, true);
}
