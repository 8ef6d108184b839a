#pragma once

#include <QList>
#include <QVariantMap>
#include <QWidget>

#include <functional>

class DataGrid;
class MainCommands;
class QCheckBox;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class ScanPage;

// The records of the current contract under the contract list, one kind per
// page, picked by the navigator on the left; the detail tool bar above and
// the detail pop-up run on the page showing.
//
// Children: lbDetailNav (navigator), stDetailPages, DBGridDetail1..8 (page 5
// holds the scans page instead, objectName "scanPage"), DBGridDetail81
// (shipment lines), memoDetail1 / memoDetail4, chkShowLines, splShipments,
// pmDetailLines (the line grid's pop-up).
class DetailPages : public QWidget
{
    Q_OBJECT
public:
    DetailPages(MainCommands* commands, QWidget* parent = nullptr);

    // The current contract's link number, -1 for none. Re-reads the list of
    // the page showing; the others are re-read when next shown.
    void setContract(int cltID);
    // The current contract's columns, for the edit windows' summary.
    void setContractSource(std::function<QVariantMap()> source)
    {
        m_contractSource = std::move(source);
    }
    int contract() const { return m_cltID; }

    int currentPage() const { return m_page; }
    void showPage(int page);
    // Opens every list that is not open for the current contract yet.
    void openAll();
    // Re-reads the list of the page showing (both lists on page 8).
    void reopenCurrent();
    // The stored layouts of the grids, over their delivered columns.
    void loadLayouts();

    // 1..8 (nullptr for 5), 81 for the shipment lines.
    DataGrid* grid(int page) const;
    ScanPage* scanPage() const { return m_scans; }
    QCheckBox* showLinesBox() const { return m_showLines; }
    QMenu* linesPopup() const { return m_linesMenu; }

    // The page commands, as the detail tool bar runs them.
    void addRecord();
    void modifyRecord();
    void deleteRecord();
    void renameRecord();
    void sortPage();
    void chooseColumns();
    void saveLayout();
    void exportPage();
    void approveChange();

signals:
    // "新增" without a current contract: the contract grid should take the focus.
    void focusContractList();
    void pageChanged(int page);

private:
    std::function<QVariantMap()> m_contractSource;
    void connectCommands();
    bool openPage(int page);
    void openLines();
    // The shipment edit window over the page's lists (SubRecordEdit::Mode).
    void editShipment(int mode);
    void pageOpened(int page);
    void updateApproveButton();
    DataGrid* makeGrid(int page, QWidget* parent);
    DataGrid* pageGrid() const;

    MainCommands* m_commands;
    QListWidget* m_nav = nullptr;
    QStackedWidget* m_stack = nullptr;
    QList<DataGrid*> m_grids; // index 0..7 for pages 1..8; nullptr on page 5
    DataGrid* m_lines = nullptr;
    ScanPage* m_scans = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
    QPlainTextEdit* m_memo4 = nullptr;
    QCheckBox* m_showLines = nullptr;
    QSplitter* m_shipSplit = nullptr;
    QMenu* m_linesMenu = nullptr;
    int m_cltID = -1;
    int m_page = 1;
    bool m_linesDetached = false;
    // The contract each page's list was last read for.
    QList<int> m_openFor;
};
