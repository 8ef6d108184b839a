#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DataGrid;
class MainCommands;
class QWidget;

// What the commands need of the main window beyond its contract grid.
struct ContractCommandsHost
{
    QWidget* window = nullptr;
    DataGrid* grid = nullptr;
    // Re-runs the list statement of the current filters.
    std::function<void()> refreshList;
    // The name path of the type chosen in the tree; empty for the root.
    std::function<QString()> selectedTypePath;
    // Reads the type tree again after its window changed it.
    std::function<void()> reloadTypeTree;
};

// The main window's commands: what each menu, tool-bar and pop-up entry runs
// on the contracts of the grid, on the database, and which other window it
// opens. MainCommands owns the actions; this class gives them their work.
//
// To add a command: write a member that runs it and add one line to the
// table at the top of ContractCommands.cpp, by right code or by the
// action's objectName. A command not in the table keeps the placeholder
// message "此功能尚未提供".
class ContractCommands : public QObject
{
    Q_OBJECT
public:
    ContractCommands(MainCommands* commands, ContractCommandsHost host, QObject* parent = nullptr);

    // Contracts of the grid
    void addContract();    // 201
    void modifyContract(); // 202, a double click on a row
    void copyContract();   // 207
    void deleteContract(); // 203, Ctrl+S, Delete
    void toggleApproval(); // tool bar 审批 (批准 / 撤消)
    void batchChangeType();
    void batchChangeDepartment();
    // The grid itself
    void sortGrid();       // 204
    void chooseColumns();  // 205
    void saveGridLayout(); // 206
    void exportGrid();     // 301
    // Database
    void cleanEmptyContracts();
    void cleanEmptyClients();
    void compactDatabase();    // 504
    void connectNetworkData(); // 505
    // Other windows
    void openCodeLists();     // 104
    void openContractTypes(); // 105
    void openClientTypes();   // 106
    void openProjectTypes();  // 107
    void openDepartments();   // 108
    void openCompanyInfo();   // 101
    void openShipments();     // tool bar 发货管理
    void openShipmentQuery(); // 216
    void openGoods();         // 210
    void openCounterparts();  // 208
    void openProjects();      // 209
    void changePassword();    // 102
    void openOperators();     // 103
    void openCustomFields();  // 109
    void openDataCleanup();   // 502
    void openBackup();        // 503
    void importContracts();   // 501
    void importClients();     // 506
    // Tools and help
    void startCalculator();
    void startNotepad();
    void openHelpFile();
    void openReadme();
    void openWhatsNew();
    void showAbout();

private:
    void editContract(int mode);
    void batchChange(bool department);
    void refresh();
    static void startDesktopProgram(const QStringList& candidates, const QString& what);
    static void openShippedFile(const QString& name);

    MainCommands* m_commands;
    ContractCommandsHost m_host;
};
