#include "browser/MainCommands.h"

#include "data/RightsCatalogue.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"

#include <algorithm>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPoint>
#include <QToolBar>

namespace {

struct Named
{
    const char* name;
    const char* caption;
};

const Named kUnnumbered[] = {
    {"Action901", "新增"},
    {"Action902", "修改"},
    {"Action903", "删除"},
    {"Action904", "排序..."},
    {"Action905", "显示字段选择"},
    {"Action906", "保存当前网格"},
    {"Action907", "更名"},
    {"actDetailExport", "导出"},
    {"actDetailApprove", "批准"},
    {"actReLogin", "重新登录"},
    {"actExit", "退出系统"},
    {"actCleanContracts", "清空合同空行"},
    {"actCleanClients", "清空客户空行"},
    {"actViewToolBar", "工具栏"},
    {"actViewNavigator", "导航树"},
    {"actViewStatusBar", "状态栏"},
    {"actCalculator", "计算器"},
    {"actNotepad", "笔记本"},
    {"actHelpFile", "帮助文件"},
    {"actFaq", "常见问题"},
    {"actReadme", "自述文件"},
    {"actWhatsNew", "最新功能"},
    {"actAbout", "关于我们"},
    {"actWebSite", "浏览作者的网站"},
    {"actShipments", "发货管理"},
    {"actApprove", "审批"},
    {"actClose", "关闭"},
    {"actBatchType", "批量修改合同类型"},
    {"actBatchDept", "批量修改合同部门"},
};

struct MenuDef
{
    const char* name;
    const char* title;
    int group; // first digit of the codes that keep the menu shown; 0 always shown
    const char* entries;
};

const MenuDef kMenus[] = {
    {"mnuFile", "文件", 1,
     "Action101 Action102 Action103 - Action104 Action105 Action106 Action107 Action109 - "
     "actReLogin actExit"},
    {"mnuEdit", "编辑", 2,
     "Action201 Action207 Action202 Action203 Action204 Action301 - Action211 Action212 "
     "Action213 Action214 Action215 Action216 - Action208 Action209 Action210 Action205 "
     "Action206"},
    {"mnuOutput", "输出", 3,
     "Action301 Action302 - Action303 Action307 Action304 Action305 Action306 Action312 "
     "Action313 Action308 Action309 Action310 Action311"},
    {"mnuStat", "统计", 4,
     "Action401 Action402 - Action403 Action404 Action405 Action406 Action407 Action408 "
     "Action409 Action410 Action411 Action412"},
    {"mnuData", "数据", 5,
     "Action501 actCleanContracts Action506 actCleanClients Action502 Action503 - Action504"},
    {"mnuView", "视图", 0, "actViewToolBar actViewNavigator actViewStatusBar"},
    {"mnuTools", "工具", 0, "actCalculator actNotepad"},
    {"mnuHelp", "帮助", 0, "actHelpFile actFaq - actReadme actWhatsNew - actAbout actWebSite"},
};

const char kToolBar[] = "actReLogin - Action211 Action212 Action213 Action214 Action215 "
                        "actShipments - Action201 Action207 Action202 Action203 - actApprove - "
                        "actClose";
const char kContractPopup[] = "Action201 Action207 Action202 Action203 - Action204 Action301 "
                              "Action205 Action206 actBatchType actBatchDept";
const char kDetailToolBar[] =
    "Action901 Action902 Action903 Action907 Action904 actDetailExport actDetailApprove";
const char kDetailPopup[] =
    "Action901 Action902 Action903 - Action904 actDetailExport Action905 Action906";

QString codeName(int code)
{
    return QStringLiteral("Action%1").arg(code);
}

} // namespace

MainCommands::MainCommands(QMainWindow* window) : QObject(window), m_window(window)
{
    setObjectName(QStringLiteral("MainCommands"));

    for (const RightDef& r : rightsCatalogue())
        makeAction(codeName(r.code), QString::fromUtf8(r.caption));
    for (const Named& n : kUnnumbered)
        makeAction(QString::fromLatin1(n.name), QString::fromUtf8(n.caption));

    for (const char* name : {"actViewToolBar", "actViewNavigator", "actViewStatusBar"}) {
        QAction* a = action(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(true);
    }

    action(201)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    action(202)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    action(203)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::Key_Delete)});
    // The window itself carries them, so the keys work wherever the focus is
    // in the window and no matter whether a menu or tool bar is shown.
    for (int code : {201, 202, 203}) {
        action(code)->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action(code));
    }

    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuDef& def : kMenus) {
        QMenu* m = bar->addMenu(QString::fromUtf8(def.title));
        m->setObjectName(QString::fromLatin1(def.name));
        m->menuAction()->setObjectName(QString::fromLatin1(def.name) + QStringLiteral("Action"));
        m_menus.insert(m->objectName(), m);
        fill(m, def.entries);
    }

    m_toolBar = new QToolBar(QStringLiteral("工具栏"), window);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    window->addToolBar(Qt::TopToolBarArea, m_toolBar);
    fill(m_toolBar, kToolBar);

    m_contractPopup = new QMenu(window);
    m_contractPopup->setObjectName(QStringLiteral("pmContract"));
    fill(m_contractPopup, kContractPopup);

    // Without a parent until the window places it; a child of the window it
    // would sit over the window's top left corner meanwhile.
    m_detailToolBar = new QToolBar;
    m_detailToolBar->setObjectName(QStringLiteral("tbDetail"));
    fill(m_detailToolBar, kDetailToolBar);

    m_detailPopup = new QMenu(window);
    m_detailPopup->setObjectName(QStringLiteral("pmDetail"));
    fill(m_detailPopup, kDetailPopup);

    for (QAction* a : std::as_const(m_actions)) {
        m_handlers.insert(a, connectDefault(a));
        connect(a, &QAction::visibleChanged, this, [this] {
            if (!m_applying)
                tidySeparators();
        });
    }
}

MainCommands::~MainCommands()
{
    if (m_detailToolBar && !m_detailToolBar->parent())
        delete m_detailToolBar;
}

QAction* MainCommands::makeAction(const QString& name, const QString& caption)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    // A tool button shows the icon text, which Qt makes from the caption
    // without its trailing dots; "排序..." keeps them.
    if (caption.endsWith(QLatin1String("...")))
        a->setIconText(caption);
    m_actions.insert(name, a);
    return a;
}

void MainCommands::fill(QWidget* container, const char* entries)
{
    const QStringList names =
        QString::fromLatin1(entries).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& name : names) {
        if (name == QLatin1String("-")) {
            auto* sep = new QAction(container);
            sep->setSeparator(true);
            container->addAction(sep);
        } else {
            Q_ASSERT(m_actions.contains(name));
            container->addAction(m_actions.value(name));
        }
    }
    m_containers.append(container);
}

QMetaObject::Connection MainCommands::connectDefault(QAction* a)
{
    if (a->objectName() == QLatin1String("actViewToolBar"))
        return connect(a, &QAction::triggered, this,
                       [this](bool checked) { m_toolBar->setVisible(checked); });
    return connect(a, &QAction::triggered, this,
                   [] { ShowMess(Messages::notYetAvailable(), mkInfo); });
}

QAction* MainCommands::action(int code) const
{
    return m_actions.value(codeName(code));
}

QAction* MainCommands::action(const QString& objectName) const
{
    return m_actions.value(objectName);
}

QMenu* MainCommands::menu(const QString& objectName) const
{
    return m_menus.value(objectName);
}

void MainCommands::setHandler(QAction* a, std::function<void()> handler)
{
    if (!a || !m_handlers.contains(a)) {
        qWarning("MainCommands::setHandler: not a command of the main window");
        return;
    }
    disconnect(m_handlers.value(a));
    if (handler)
        m_handlers[a] = connect(a, &QAction::triggered, this, [h = std::move(handler)] { h(); });
    else
        m_handlers[a] = connectDefault(a);
}

void MainCommands::setHandler(int code, std::function<void()> handler)
{
    setHandler(action(code), std::move(handler));
}

void MainCommands::ApplyRights(const QSet<int>& held, bool canApprove, bool isAdmin)
{
    m_applying = true;

    bool groupShown[10] = {};
    for (const RightDef& r : rightsCatalogue()) {
        const bool shown = isAdmin || held.contains(r.code);
        action(r.code)->setVisible(shown);
        if (shown)
            groupShown[r.code / 100] = true;
    }

    for (int i = 1; i <= 6; ++i)
        action(900 + i)->setVisible(action(200 + i)->isVisible());
    action(QStringLiteral("actDetailExport"))->setVisible(action(301)->isVisible());
    action(QStringLiteral("actBatchType"))->setVisible(action(902)->isVisible());
    action(QStringLiteral("actBatchDept"))->setVisible(action(902)->isVisible());
    action(QStringLiteral("actShipments"))->setVisible(action(216)->isVisible());
    action(QStringLiteral("actApprove"))->setVisible(canApprove);
    action(QStringLiteral("actDetailApprove"))->setVisible(canApprove);

    for (const MenuDef& def : kMenus) {
        if (def.group != 0)
            menu(QString::fromLatin1(def.name))->menuAction()->setVisible(groupShown[def.group]);
    }
    // Placed only in 数据: they go when the menu goes.
    action(QStringLiteral("actCleanContracts"))->setVisible(groupShown[5]);
    action(QStringLiteral("actCleanClients"))->setVisible(groupShown[5]);

    m_applying = false;
    tidySeparators();
}

void MainCommands::ApplyDetailRights(const QSet<int>& held, bool isAdmin)
{
    m_applying = true;
    action(904)->setVisible(isAdmin || held.contains(204));
    action(905)->setVisible(isAdmin || held.contains(205));
    action(906)->setVisible(isAdmin || held.contains(206));
    action(QStringLiteral("actDetailExport"))->setVisible(isAdmin || held.contains(301));
    m_applying = false;
    tidySeparators();
}

void MainCommands::tidySeparators()
{
    for (QWidget* container : std::as_const(m_containers))
        tidySeparators(container);
}

void MainCommands::tidySeparators(QWidget* container)
{
    // A separator is shown only between two shown entries, and of a run of
    // separators only the last.
    QSet<QAction*> keep;
    bool entryBefore = false;
    QAction* pending = nullptr;
    const QList<QAction*> actions = container->actions();
    for (QAction* a : actions) {
        if (a->isSeparator()) {
            if (entryBefore)
                pending = a;
        } else if (a->isVisible()) {
            if (pending)
                keep.insert(pending);
            pending = nullptr;
            entryBefore = true;
        }
    }
    for (QAction* a : actions) {
        if (a->isSeparator())
            a->setVisible(keep.contains(a));
    }
}

bool MainCommands::hasVisibleEntry(const QWidget* container)
{
    const QList<QAction*> actions = container->actions();
    return std::any_of(actions.begin(), actions.end(),
                       [](const QAction* a) { return !a->isSeparator() && a->isVisible(); });
}

bool MainCommands::popup(QMenu* menu, const QPoint& globalPos)
{
    if (!menu)
        return false;
    tidySeparators(menu);
    // A pop-up without a shown entry would open as an invisible window that
    // takes the next click and leaves the view's later pop-ups unseen.
    if (!hasVisibleEntry(menu))
        return false;
    menu->popup(globalPos);
    return true;
}
