#pragma once

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QToolBar>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QPoint;
class QWidget;

// Every command of the main window, its menus, tool bars and pop-up menus,
// and the rights that show or hide them. The window only places the widgets
// and connects handlers.
//
// Actions (objectName, caption):
//   Action101 .. Action506  the numbered commands, captions of the rights
//                           catalogue; Action108 and Action505 are placed
//                           nowhere
//   Action901 新增, Action902 修改, Action903 删除, Action904 排序...,
//   Action905 显示字段选择, Action906 保存当前网格, Action907 更名,
//   actDetailExport 导出, actDetailApprove 批准     detail area
//   actReLogin 重新登录 (menu 文件 and tool bar), actExit 退出系统,
//   actCleanContracts 清空合同空行, actCleanClients 清空客户空行,
//   actViewToolBar 工具栏, actViewNavigator 导航树, actViewStatusBar 状态栏
//                           (checkable, checked at start),
//   actCalculator 计算器, actNotepad 笔记本,
//   actHelpFile 帮助文件, actFaq 常见问题, actReadme 自述文件,
//   actWhatsNew 最新功能, actAbout 关于我们, actWebSite 浏览作者的网站,
//   actShipments 发货管理 (tool bar; the shipment management window),
//   actApprove 审批 (tool bar), actClose 关闭 (tool bar),
//   actBatchType 批量修改合同类型, actBatchDept 批量修改合同部门 (pmContract)
//
// Widgets: menu bar MainMenu1 with the menus mnuFile 文件, mnuEdit 编辑,
// mnuOutput 输出, mnuStat 统计, mnuData 数据, mnuView 视图, mnuTools 工具,
// mnuHelp 帮助 (their menuAction() named mnuFileAction ...); tool bar ToolBar1 (added to the
// window); contract-grid pop-up pmContract; detail tool bar tbDetail (not placed: the window puts
// it above the detail pages) and detail pop-up pmDetail.
//
// Shortcuts: Ctrl+A on 201, Ctrl+E on 202, Ctrl+S and Delete on 203, window
// wide. Qt disables a hidden action, shortcut included, so a command the
// operator may not use cannot be reached by key either. Esc is the window's.
class MainCommands : public QObject
{
    Q_OBJECT
public:
    explicit MainCommands(QMainWindow* window);
    ~MainCommands() override;

    // By code (101..506, 901..907) or by objectName; nullptr when unknown.
    QAction* action(int code) const;
    QAction* action(const QString& objectName) const;

    // Replaces what the action runs when triggered (at first the message
    // "此功能尚未提供"; for 工具栏 the tool bar's visibility). An empty
    // function brings the placeholder back.
    void setHandler(QAction* action, std::function<void()> handler);
    void setHandler(int code, std::function<void()> handler);

    // After each successful login: shows the commands the operator may use
    // and hides the rest, the menus with them.
    void ApplyRights(const QSet<int>& held, bool canApprove, bool isAdmin);
    // On each switch of the detail page: 排序..., 显示字段选择, 保存当前网格
    // and 导出 of the detail area by 204, 205, 206 and 301.
    void ApplyDetailRights(const QSet<int>& held, bool isAdmin);

    // Hides separators that would lead, trail or double up. Runs by itself
    // whenever a placed action is shown or hidden.
    void tidySeparators();
    static void tidySeparators(QWidget* container);
    // True when a menu or tool bar has an entry other than a separator shown.
    static bool hasVisibleEntry(const QWidget* container);
    // Every pop-up menu of the window opens through this: it opens the menu
    // at the point only when the operator may use one of its entries, and
    // returns whether it did.
    static bool popup(QMenu* menu, const QPoint& globalPos);

    QToolBar* toolBar() const { return m_toolBar; }
    QToolBar* detailToolBar() const { return m_detailToolBar; }
    QMenu* contractPopup() const { return m_contractPopup; }
    QMenu* detailPopup() const { return m_detailPopup; }
    QMenu* menu(const QString& objectName) const;

private:
    QAction* makeAction(const QString& name, const QString& caption);
    void fill(QWidget* container, const char* entries);
    QMetaObject::Connection connectDefault(QAction* action);

    QMainWindow* m_window;
    QHash<QString, QAction*> m_actions;
    QHash<QAction*, QMetaObject::Connection> m_handlers;
    QHash<QString, QMenu*> m_menus;
    QList<QWidget*> m_containers;
    QToolBar* m_toolBar = nullptr;
    QPointer<QToolBar> m_detailToolBar;
    QMenu* m_contractPopup = nullptr;
    QMenu* m_detailPopup = nullptr;
    bool m_applying = false;
};
