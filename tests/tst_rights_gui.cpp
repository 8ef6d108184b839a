#include "browser/MainCommands.h"
#include "data/RightsCatalogue.h"
#include "platform/ScriptedDialogs.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

// The commands of the main window: their captions and places, and which of
// them an operator's rights leave him.
class TstRightsGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyCatalogueCodeHasItsAction();
    void unnumberedCommands_data();
    void unnumberedCommands();
    void lookupByCodeAndName();
    void menuBarOrder();
    void placement_data();
    void placement();
    void unplacedCommands();

    void rights_data();
    void rights();
    void reapplyStartsFromScratch();
    void detailRights_data();
    void detailRights();

    void separators_data();
    void separators();
    void separatorsFollowLaterChanges();
    void toolBarDrawsOnlyWhatIsLeft();

    void shortcuts_data();
    void shortcuts();

    void placeholders();
    void handlerReplacesPlaceholder();
    void viewToggles();
    void detailToolBarPlacedByWindow();
    void toolButtonsKeepTheirDots();

private:
    QWidget* container(const QString& name) const;
    QAction* named(const QString& name) const;
    void apply(const QList<int>& held, bool canApprove = false, bool isAdmin = false);

    ScriptedDialogs* m_ui = nullptr;
    QMainWindow* m_win = nullptr;
    MainCommands* m_cmd = nullptr;
};

namespace {

QList<int> allCodes()
{
    QList<int> codes;
    for (const RightDef& r : rightsCatalogue())
        codes << r.code;
    return codes;
}

QList<int> allCodesExcept(std::function<bool(int)> dropped)
{
    QList<int> codes;
    for (int c : allCodes()) {
        if (!dropped(c))
            codes << c;
    }
    return codes;
}

QStringList codeNames(const QList<int>& codes)
{
    QStringList names;
    for (int c : codes)
        names << QStringLiteral("Action%1").arg(c);
    return names;
}

// Entries of a menu or tool bar by objectName, "-" for a separator.
QString entries(QWidget* w, bool visibleOnly)
{
    QStringList out;
    for (QAction* a : w->actions()) {
        if (visibleOnly && !a->isVisible())
            continue;
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    return out.join(QLatin1Char(' '));
}

const QStringList kGroupMenus = {"mnuFileAction", "mnuEditAction", "mnuOutputAction",
                                 "mnuStatAction", "mnuDataAction"};
const QStringList kAlwaysOffered = {
    "mnuViewAction", "mnuToolsAction", "mnuHelpAction",    "actReLogin",       "actExit",
    "actClose",      "actViewToolBar", "actViewNavigator", "actViewStatusBar", "actCalculator",
    "actNotepad",    "actHelpFile",    "actFaq",           "actReadme",        "actWhatsNew",
    "actAbout",      "actWebSite",     "Action907"};

} // namespace

void TstRightsGui::init()
{
    m_ui = new ScriptedDialogs;
    m_win = new QMainWindow;
    m_win->resize(1400, 600);
    m_cmd = new MainCommands(m_win);
}

void TstRightsGui::cleanup()
{
    delete m_win;
    m_win = nullptr;
    m_cmd = nullptr;
    delete m_ui;
    m_ui = nullptr;
}

QWidget* TstRightsGui::container(const QString& name) const
{
    if (name == QLatin1String("tbDetail"))
        return m_cmd->detailToolBar();
    return m_win->findChild<QWidget*>(name);
}

QAction* TstRightsGui::named(const QString& name) const
{
    if (QAction* a = m_cmd->action(name))
        return a;
    return m_win->findChild<QAction*>(name);
}

void TstRightsGui::apply(const QList<int>& held, bool canApprove, bool isAdmin)
{
    m_cmd->ApplyRights(QSet<int>(held.begin(), held.end()), canApprove, isAdmin);
}

void TstRightsGui::everyCatalogueCodeHasItsAction()
{
    QCOMPARE(int(rightsCatalogue().size()), 56);
    for (const RightDef& r : rightsCatalogue()) {
        const QString name = QStringLiteral("Action%1").arg(r.code);
        QAction* a = m_cmd->action(r.code);
        QVERIFY2(a, qPrintable(name));
        QCOMPARE(a->objectName(), name);
        QCOMPARE(a->text(), QString::fromUtf8(r.caption));
        QCOMPARE(m_win->findChild<QAction*>(name), a);
    }
}

void TstRightsGui::unnumberedCommands_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("checkable");

    const std::pair<const char*, const char*> plain[] = {
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
    for (const auto& [name, caption] : plain)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << false;
    QTest::newRow("actViewToolBar") << "actViewToolBar"
                                    << "工具栏" << true;
    QTest::newRow("actViewNavigator") << "actViewNavigator"
                                      << "导航树" << true;
    QTest::newRow("actViewStatusBar") << "actViewStatusBar"
                                      << "状态栏" << true;
}

void TstRightsGui::unnumberedCommands()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, checkable);

    QAction* a = m_cmd->action(name);
    QVERIFY(a);
    QCOMPARE(a->objectName(), name);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->isCheckable(), checkable);
    QCOMPARE(a->isChecked(), checkable);
    QCOMPARE(m_win->findChild<QAction*>(name), a);
}

void TstRightsGui::lookupByCodeAndName()
{
    QCOMPARE(m_cmd->action(907), m_cmd->action(QStringLiteral("Action907")));
    QCOMPARE(m_cmd->action(301), m_cmd->action(QStringLiteral("Action301")));
    QVERIFY(m_cmd->action(QStringLiteral("actDetailExport")) != m_cmd->action(301));
    QCOMPARE(m_cmd->action(100), nullptr);
    QCOMPARE(m_cmd->action(908), nullptr);
    QCOMPARE(m_cmd->action(QStringLiteral("actNothing")), nullptr);
}

void TstRightsGui::menuBarOrder()
{
    QMenuBar* bar = m_win->menuBar();
    QCOMPARE(bar->objectName(), QStringLiteral("MainMenu1"));
    QStringList titles, names;
    for (QAction* a : bar->actions()) {
        titles << a->text();
        names << a->menu()->objectName();
    }
    QCOMPARE(titles, QStringList({"文件", "编辑", "输出", "统计", "数据", "视图", "工具", "帮助"}));
    QCOMPARE(names, QStringList({"mnuFile", "mnuEdit", "mnuOutput", "mnuStat", "mnuData", "mnuView",
                                 "mnuTools", "mnuHelp"}));
    for (const QString& n : names)
        QCOMPARE(m_cmd->menu(n), m_win->findChild<QMenu*>(n));

    QCOMPARE(m_win->findChild<QToolBar*>(QStringLiteral("ToolBar1")), m_cmd->toolBar());
    QCOMPARE(m_win->toolBarArea(m_cmd->toolBar()), Qt::TopToolBarArea);
    QCOMPARE(m_cmd->contractPopup()->objectName(), QStringLiteral("pmContract"));
    QCOMPARE(m_cmd->detailPopup()->objectName(), QStringLiteral("pmDetail"));
    QCOMPARE(m_cmd->detailToolBar()->objectName(), QStringLiteral("tbDetail"));
    QCOMPARE(m_cmd->detailToolBar()->parent(), nullptr);
}

void TstRightsGui::placement_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("expected");

    QTest::newRow("文件") << "mnuFile"
                          << "Action101 Action102 Action103 - Action104 Action105 Action106 "
                             "Action107 Action109 - actReLogin actExit";
    QTest::newRow("编辑") << "mnuEdit"
                          << "Action201 Action207 Action202 Action203 Action204 Action301 - "
                             "Action211 Action212 Action213 Action214 Action215 Action216 - "
                             "Action208 Action209 Action210 Action205 Action206";
    QTest::newRow("输出")
        << "mnuOutput"
        << "Action301 Action302 - Action303 Action307 Action304 Action305 "
           "Action306 Action312 Action313 Action308 Action309 Action310 Action311";
    QTest::newRow("统计") << "mnuStat"
                          << "Action401 Action402 - Action403 Action404 Action405 Action406 "
                             "Action407 Action408 Action409 Action410 Action411 Action412";
    QTest::newRow("数据") << "mnuData"
                          << "Action501 actCleanContracts Action506 actCleanClients Action502 "
                             "Action503 - Action504";
    QTest::newRow("视图") << "mnuView"
                          << "actViewToolBar actViewNavigator actViewStatusBar";
    QTest::newRow("工具") << "mnuTools"
                          << "actCalculator actNotepad";
    QTest::newRow("帮助") << "mnuHelp"
                          << "actHelpFile actFaq - actReadme actWhatsNew - actAbout actWebSite";
    QTest::newRow("tool bar") << "ToolBar1"
                              << "actReLogin - Action211 Action212 Action213 Action214 "
                                 "Action215 actShipments - Action201 Action207 Action202 "
                                 "Action203 - actApprove - actClose";
    QTest::newRow("contract pop-up")
        << "pmContract"
        << "Action201 Action207 Action202 Action203 - Action204 Action301 Action205 Action206 "
           "actBatchType actBatchDept";
    QTest::newRow("detail tool bar")
        << "tbDetail"
        << "Action901 Action902 Action903 Action907 Action904 actDetailExport actDetailApprove";
    QTest::newRow("detail pop-up")
        << "pmDetail"
        << "Action901 Action902 Action903 - Action904 actDetailExport Action905 Action906";
}

void TstRightsGui::placement()
{
    QFETCH(QString, container);
    QFETCH(QString, expected);

    QWidget* w = this->container(container);
    QVERIFY(w);
    QCOMPARE(entries(w, false), expected);
    // Before any login everything is offered.
    QCOMPARE(entries(w, true), expected);
}

void TstRightsGui::unplacedCommands()
{
    for (int code : {108, 505})
        QVERIFY2(m_cmd->action(code)->associatedObjects().isEmpty(),
                 qPrintable(QString::number(code)));
    // The keys of 新增, 修改 and 删除 belong to the window.
    for (int code : {201, 202, 203})
        QVERIFY(m_cmd->action(code)->associatedObjects().contains(m_win));
}

void TstRightsGui::rights_data()
{
    QTest::addColumn<QList<int>>("held");
    QTest::addColumn<bool>("canApprove");
    QTest::addColumn<bool>("isAdmin");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");

    QTest::newRow("only 215") << QList<int>{215} << false << false
                              << QStringList{"Action215", "mnuEditAction"}
                              << QStringList{"Action214",     "Action216",       "actShipments",
                                             "mnuFileAction", "mnuOutputAction", "mnuStatAction",
                                             "mnuDataAction"};
    QTest::newRow("no 5xx") << allCodesExcept([](int c) { return c / 100 == 5; }) << false << false
                            << QStringList{"mnuFileAction", "mnuEditAction", "mnuOutputAction",
                                           "mnuStatAction"}
                            << QStringList{"mnuDataAction", "actCleanContracts", "actCleanClients",
                                           "Action501",     "Action504",         "Action506"};
    QTest::newRow("only 505 keeps 数据")
        << QList<int>{505} << false << false
        << QStringList{"Action505", "mnuDataAction", "actCleanContracts", "actCleanClients"}
        << QStringList{"Action501", "Action506"};
    QTest::newRow("only 108 keeps 文件")
        << QList<int>{108} << false << false << QStringList{"Action108", "mnuFileAction"}
        << QStringList{"Action101", "mnuEditAction"};
    QTest::newRow("no 202") << allCodesExcept([](int c) { return c == 202; }) << false << false
                            << QStringList{"Action201", "Action901", "Action903", "Action904",
                                           "mnuEditAction"}
                            << QStringList{"Action202", "Action902", "actBatchType",
                                           "actBatchDept"};
    QTest::newRow("only 202 brings the batch entries")
        << QList<int>{202} << false << false
        << QStringList{"Action202", "Action902", "actBatchType", "actBatchDept"}
        << QStringList{"Action901", "Action903"};
    QTest::newRow("detail commands follow 201..206")
        << QList<int>{201, 203, 204, 205, 206} << false << false
        << QStringList{"Action901", "Action903", "Action904", "Action905", "Action906"}
        << QStringList{"Action902", "actDetailExport"};
    QTest::newRow("216 brings the shipment button")
        << QList<int>{216} << false << false
        << QStringList{"Action216", "actShipments", "mnuEditAction"}
        << QStringList{"Action215", "mnuOutputAction"};
    QTest::newRow("301 alone") << QList<int>{301} << false << false
                               << QStringList{"Action301", "actDetailExport", "mnuOutputAction"}
                               << QStringList{"mnuEditAction", "Action901", "Action302"};
    QTest::newRow("approver without rights")
        << QList<int>{} << true << false
        << QStringList{"actApprove", "actDetailApprove"} + kAlwaysOffered
        << kGroupMenus + codeNames(allCodes()) +
               QStringList{"Action901",    "Action906",    "actDetailExport",
                           "actBatchType", "actShipments", "actCleanContracts"};
    QTest::newRow("everything but approval")
        << allCodes() << false << false << kGroupMenus + codeNames(allCodes()) + kAlwaysOffered
        << QStringList{"actApprove", "actDetailApprove"};
    QTest::newRow("admin without OperLimit rows")
        << QList<int>{} << false << true
        << kGroupMenus + codeNames(allCodes()) + kAlwaysOffered +
               QStringList{"Action901",    "Action902",    "Action903",         "Action904",
                           "Action905",    "Action906",    "actDetailExport",   "actBatchType",
                           "actBatchDept", "actShipments", "actCleanContracts", "actCleanClients"}
        << QStringList{"actApprove", "actDetailApprove"};
    QTest::newRow("admin approver")
        << QList<int>{} << true << true
        << QStringList{"actApprove", "actDetailApprove", "Action505"} << QStringList{};
}

void TstRightsGui::rights()
{
    QFETCH(QList<int>, held);
    QFETCH(bool, canApprove);
    QFETCH(bool, isAdmin);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);

    apply(held, canApprove, isAdmin);
    for (const QString& n : shown) {
        QVERIFY2(named(n), qPrintable(n));
        QVERIFY2(named(n)->isVisible(), qPrintable(n + " should be shown"));
    }
    for (const QString& n : hidden) {
        QVERIFY2(named(n), qPrintable(n));
        QVERIFY2(!named(n)->isVisible(), qPrintable(n + " should be hidden"));
    }
    // Every numbered command by its own right only.
    for (int c : allCodes())
        QCOMPARE(m_cmd->action(c)->isVisible(), isAdmin || held.contains(c));
}

void TstRightsGui::reapplyStartsFromScratch()
{
    apply({}, true, true);
    apply({211});
    for (int c : allCodes())
        QCOMPARE(m_cmd->action(c)->isVisible(), c == 211);
    for (const QString& n : kGroupMenus)
        QCOMPARE(named(n)->isVisible(), n == QLatin1String("mnuEditAction"));
    QVERIFY(!named("actApprove")->isVisible());
    QVERIFY(!named("Action901")->isVisible());

    apply(allCodes(), true);
    for (int c : allCodes())
        QVERIFY(m_cmd->action(c)->isVisible());
    QVERIFY(named("actApprove")->isVisible());
    QVERIFY(named("actCleanClients")->isVisible());
}

void TstRightsGui::detailRights_data()
{
    QTest::addColumn<QList<int>>("held");
    QTest::addColumn<bool>("isAdmin");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("none") << QList<int>{} << false << QStringList{};
    QTest::newRow("204") << QList<int>{204} << false << QStringList{"Action904"};
    QTest::newRow("205 206") << QList<int>{205, 206} << false
                             << QStringList{"Action905", "Action906"};
    QTest::newRow("301") << QList<int>{301} << false << QStringList{"actDetailExport"};
    QTest::newRow("unrelated") << QList<int>{201, 202, 203, 302} << false << QStringList{};
    QTest::newRow("admin") << QList<int>{} << true
                           << QStringList{"Action904", "Action905", "Action906", "actDetailExport"};
}

void TstRightsGui::detailRights()
{
    QFETCH(QList<int>, held);
    QFETCH(bool, isAdmin);
    QFETCH(QStringList, shown);

    apply({}, false, true);
    m_cmd->ApplyDetailRights(QSet<int>(held.begin(), held.end()), isAdmin);
    for (const QString n : {"Action904", "Action905", "Action906", "actDetailExport"})
        QVERIFY2(named(n)->isVisible() == shown.contains(n), qPrintable(n));
    // The page switch leaves the other detail commands and the contract
    // commands as the login set them.
    for (const QString n : {"Action901", "Action902", "Action903", "Action204", "Action301"})
        QVERIFY2(named(n)->isVisible(), qPrintable(n));
}

void TstRightsGui::separators_data()
{
    QTest::addColumn<QList<int>>("held");
    QTest::addColumn<bool>("canApprove");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("expected");

    QTest::newRow("文件, only 104") << QList<int>{104} << false << "mnuFile"
                                    << "Action104 - actReLogin actExit";
    QTest::newRow("文件, only 101") << QList<int>{101} << false << "mnuFile"
                                    << "Action101 - actReLogin actExit";
    QTest::newRow("文件, none") << QList<int>{} << false << "mnuFile"
                                << "actReLogin actExit";
    QTest::newRow("编辑, only 215") << QList<int>{215} << false << "mnuEdit"
                                    << "Action215";
    QTest::newRow("编辑, 201 and 208") << QList<int>{201, 208} << false << "mnuEdit"
                                       << "Action201 - Action208";
    QTest::newRow("编辑, 212 and 206") << QList<int>{212, 206} << false << "mnuEdit"
                                       << "Action212 - Action206";
    QTest::newRow("编辑, 203 and 205") << QList<int>{203, 205} << false << "mnuEdit"
                                       << "Action203 - Action205";
    QTest::newRow("输出, 302 and 311") << QList<int>{302, 311} << false << "mnuOutput"
                                       << "Action302 - Action311";
    QTest::newRow("输出, 303 only") << QList<int>{303} << false << "mnuOutput"
                                    << "Action303";
    QTest::newRow("统计, 401 only") << QList<int>{401} << false << "mnuStat"
                                    << "Action401";
    QTest::newRow("数据, only 504") << QList<int>{504} << false << "mnuData"
                                    << "actCleanContracts actCleanClients - Action504";
    QTest::newRow("数据, only 503") << QList<int>{503} << false << "mnuData"
                                    << "actCleanContracts actCleanClients Action503";
    QTest::newRow("帮助 whatever the rights")
        << QList<int>{} << false << "mnuHelp"
        << "actHelpFile actFaq - actReadme actWhatsNew - actAbout actWebSite";
    QTest::newRow("tool bar, none") << QList<int>{} << false << "ToolBar1"
                                    << "actReLogin - actClose";
    QTest::newRow("tool bar, only 215") << QList<int>{215} << false << "ToolBar1"
                                        << "actReLogin - Action215 - actClose";
    QTest::newRow("tool bar, approver only") << QList<int>{} << true << "ToolBar1"
                                             << "actReLogin - actApprove - actClose";
    QTest::newRow("tool bar, 216 and 201, approver")
        << QList<int>{216, 201} << true << "ToolBar1"
        << "actReLogin - actShipments - Action201 - actApprove - actClose";
    QTest::newRow("tool bar, 203 without approval") << QList<int>{203} << false << "ToolBar1"
                                                    << "actReLogin - Action203 - actClose";
    QTest::newRow("contract pop-up, only 204") << QList<int>{204} << false << "pmContract"
                                               << "Action204";
    QTest::newRow("contract pop-up, 203 and 301") << QList<int>{203, 301} << false << "pmContract"
                                                  << "Action203 - Action301";
    QTest::newRow("contract pop-up, only 202") << QList<int>{202} << false << "pmContract"
                                               << "Action202 - actBatchType actBatchDept";
    QTest::newRow("detail pop-up, only 205") << QList<int>{205} << false << "pmDetail"
                                             << "Action905";
    QTest::newRow("detail pop-up, 201 and 206") << QList<int>{201, 206} << false << "pmDetail"
                                                << "Action901 - Action906";
    QTest::newRow("detail tool bar, approver") << QList<int>{} << true << "tbDetail"
                                               << "Action907 actDetailApprove";
}

void TstRightsGui::separators()
{
    QFETCH(QList<int>, held);
    QFETCH(bool, canApprove);
    QFETCH(QString, container);
    QFETCH(QString, expected);

    apply(held, canApprove);
    QCOMPARE(entries(this->container(container), true), expected);
}

void TstRightsGui::separatorsFollowLaterChanges()
{
    // The window hides and shows commands itself (批准 off the change page,
    // 更名 off the scans page); the separators keep up without being asked.
    apply({201, 211}, true);
    QCOMPARE(entries(m_cmd->toolBar(), true),
             QStringLiteral("actReLogin - Action211 - Action201 - actApprove - actClose"));
    m_cmd->action(QStringLiteral("actApprove"))->setVisible(false);
    QCOMPARE(entries(m_cmd->toolBar(), true),
             QStringLiteral("actReLogin - Action211 - Action201 - actClose"));
    m_cmd->action(211)->setVisible(false);
    QCOMPARE(entries(m_cmd->toolBar(), true), QStringLiteral("actReLogin - Action201 - actClose"));
    m_cmd->action(211)->setVisible(true);
    QCOMPARE(entries(m_cmd->toolBar(), true),
             QStringLiteral("actReLogin - Action211 - Action201 - actClose"));
}

void TstRightsGui::toolBarDrawsOnlyWhatIsLeft()
{
    apply({214});
    m_win->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_win));
    QToolBar* bar = m_cmd->toolBar();
    auto drawn = [bar] {
        QStringList out;
        for (QAction* a : bar->actions()) {
            QWidget* w = bar->widgetForAction(a);
            if (w && w->isVisible())
                out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return out.join(QLatin1Char(' '));
    };
    QTRY_COMPARE(drawn(), QStringLiteral("重新登录 - 合同附件 - 关闭"));

    apply({}, true);
    QTRY_COMPARE(drawn(), QStringLiteral("重新登录 - 审批 - 关闭"));
}

void TstRightsGui::shortcuts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("held");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");

    const struct
    {
        const char* name;
        int code;
        int key;
        int modifiers;
    } keys[] = {
        {"Delete", 203, Qt::Key_Delete, Qt::NoModifier},
        {"Ctrl+S", 203, Qt::Key_S, Qt::ControlModifier},
        {"Ctrl+A", 201, Qt::Key_A, Qt::ControlModifier},
        {"Ctrl+E", 202, Qt::Key_E, Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        QTest::addRow("%s, shown", k.name) << k.code << true << k.key << k.modifiers;
        QTest::addRow("%s, hidden", k.name) << k.code << false << k.key << k.modifiers;
    }
}

void TstRightsGui::shortcuts()
{
    QFETCH(int, code);
    QFETCH(bool, held);
    QFETCH(int, key);
    QFETCH(int, modifiers);

    m_win->show();
    m_win->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_win));

    // The other two of 新增/修改/删除 stay shown: the key must reach only its own.
    QList<int> rights = {201, 202, 203};
    if (!held)
        rights.removeAll(code);
    apply(rights);

    QHash<int, int> runs;
    for (int c : {201, 202, 203})
        m_cmd->setHandler(c, [&runs, c] { ++runs[c]; });

    QTest::keyClick(m_win, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(runs.value(code), held ? 1 : 0);
    for (int c : {201, 202, 203}) {
        if (c != code)
            QCOMPARE(runs.value(c), 0);
    }
    QVERIFY(m_ui->messages().isEmpty());
}

void TstRightsGui::placeholders()
{
    const QList<QAction*> all = m_cmd->findChildren<QAction*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(all.size(), 56 + 29);
    int expected = 0;
    for (QAction* a : all) {
        if (a->objectName() == QLatin1String("actViewToolBar"))
            continue;
        a->trigger();
        ++expected;
        QVERIFY2(m_ui->messages().size() == expected, qPrintable(a->objectName()));
        QCOMPARE(m_ui->lastText(), QStringLiteral("此功能尚未提供"));
        QCOMPARE(m_ui->lastKind(), int(mkInfo));
    }
}

void TstRightsGui::handlerReplacesPlaceholder()
{
    int first = 0, second = 0;
    m_cmd->setHandler(m_cmd->action(201), [&first] { ++first; });
    m_cmd->action(201)->trigger();
    QCOMPARE(first, 1);
    QVERIFY(m_ui->messages().isEmpty());

    m_cmd->setHandler(201, [&second] { ++second; });
    m_cmd->action(201)->trigger();
    QCOMPARE(first, 1);
    QCOMPARE(second, 1);
    QVERIFY(m_ui->messages().isEmpty());

    m_cmd->setHandler(201, {});
    m_cmd->action(201)->trigger();
    QCOMPARE(second, 1);
    QCOMPARE(m_ui->texts(), QStringList{"此功能尚未提供"});

    // Unnumbered commands take handlers the same way.
    int relogin = 0;
    m_cmd->setHandler(m_cmd->action(QStringLiteral("actReLogin")), [&relogin] { ++relogin; });
    m_cmd->action(QStringLiteral("actReLogin"))->trigger();
    QCOMPARE(relogin, 1);
    QCOMPARE(m_ui->messages().size(), 1);

    QTest::ignoreMessage(QtWarningMsg,
                         "MainCommands::setHandler: not a command of the main window");
    m_cmd->setHandler(999, [] {});
}

void TstRightsGui::viewToggles()
{
    QAction* toolBar = m_cmd->action(QStringLiteral("actViewToolBar"));
    QVERIFY(!m_cmd->toolBar()->isHidden());
    toolBar->trigger();
    QVERIFY(!toolBar->isChecked());
    QVERIFY(m_cmd->toolBar()->isHidden());
    toolBar->trigger();
    QVERIFY(toolBar->isChecked());
    QVERIFY(!m_cmd->toolBar()->isHidden());
    QVERIFY(m_ui->messages().isEmpty());

    // A handler of the window's own takes over; the check mark still flips.
    bool lastState = true;
    m_cmd->setHandler(toolBar, [toolBar, &lastState] { lastState = toolBar->isChecked(); });
    toolBar->trigger();
    QVERIFY(!lastState);
    QVERIFY(!m_cmd->toolBar()->isHidden());
}

void TstRightsGui::detailToolBarPlacedByWindow()
{
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_cmd->detailToolBar());
    m_win->setCentralWidget(central);
    QCOMPARE(m_cmd->detailToolBar()->parentWidget(), central);
    m_win->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_win));
    QVERIFY(m_cmd->detailToolBar()->isVisible());
    // cleanup() deletes the window, which then owns the tool bar once only.
}

// A tool button shows an action's icon text, which Qt makes without the
// trailing dots of "排序...".
void TstRightsGui::toolButtonsKeepTheirDots()
{
    m_win->show();
    auto* button =
        qobject_cast<QToolButton*>(m_cmd->detailToolBar()->widgetForAction(named("Action904")));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("排序..."));
    QCOMPARE(named("Action904")->text(), QStringLiteral("排序..."));
    // Every tool button shows its command's caption as the menus do.
    for (QToolBar* bar : {m_cmd->toolBar(), m_cmd->detailToolBar()}) {
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                continue;
            auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            QVERIFY2(b, qPrintable(a->objectName()));
            QCOMPARE(b->text(), a->text());
        }
    }
}

QTEST_MAIN(TstRightsGui)
#include "tst_rights_gui.moc"
