#pragma once

#include "browser/ContractListQuery.h"

#include <QMainWindow>

class CategoryList;
class ContractCommands;
class DataGrid;
class MainCommands;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTimer;
class DetailPages;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the type tree and category list on the left, the
// contract list with its search bar, the detail area under it, the menus,
// tool bar and status bar. The window wires these together; the statement
// comes from ContractList, the actions from MainCommands and what they run
// from ContractCommands.
class TFrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    // After each successful login: rights, status bar, the list reactions.
    void ApplySession();
    // The first display: caption, settings, tree, categories, list, layouts.
    void PrepareFirstShow();

    // Runs the list statement of the current filters.
    void RefreshContractList();
    // Fills the category list with the names of a kind (0..3) and refreshes.
    void FillCategoryList(int kind);

    // The filters as the controls hold them.
    ContractFilter currentFilter() const;

    MainCommands* commands() const { return m_commands; }
    ContractCommands* contractCommands() const { return m_contractCommands; }
    DataGrid* contractGrid() const { return m_grid; }
    DetailPages* detailPages() const { return m_details; }

    static QString productTitle();  // "璞朔工程合同管理软件 "
    static QString windowCaption(); // product title and version

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildNavigator();
    void buildSearchBar(QWidget* parent);
    void buildStatusBar();
    void connectCommands();
    void tickClock();
    void setAdvancedMode(bool on);
    void onAdvancedToggled(bool down);
    void onCurrentContractChanged(int row);
    void reloadTypeTree();
    void relogin();
    void setNavigatorVisible(bool visible);
    // Asks about leaving and about the backup; false keeps the window.
    bool confirmClose();

    MainCommands* m_commands = nullptr;
    ContractCommands* m_contractCommands = nullptr;
    // Navigation
    QWidget* m_nav = nullptr;
    QTabWidget* m_navPages = nullptr;
    QTreeWidget* m_tree = nullptr;
    QComboBox* m_listType = nullptr;
    CategoryList* m_list = nullptr;
    QButtonGroup* m_direction = nullptr;
    // Search bar
    QComboBox* m_searchField = nullptr;
    QLineEdit* m_searchValue = nullptr;
    QPushButton* m_find = nullptr;
    QPushButton* m_advanced = nullptr;
    QCheckBox* m_archived = nullptr;
    // List
    DataGrid* m_grid = nullptr;
    QLabel* m_count = nullptr;
    DetailPages* m_details = nullptr;
    // Status bar panels
    QLabel* m_panels[5] = {};
    QTimer* m_clock = nullptr;

    int m_categoryKind = 0;
    bool m_loggedIn = false;
    bool m_closing = false;
};
