#pragma once

#include "common/RecordNavigator.h"

#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <QStringList>

class DataGrid;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QVBoxLayout;

// The frame of every list screen that finds rows by criteria (counterparts,
// projects, shipment query, statistic screens): a tool bar, a criteria area,
// the result grid with its pop-up menu, and a status bar.
//
// Tool bar (objectName; caption; key): the screen's own leading commands
// (addLeadingAction), tbQuery "查询" Ctrl+Q (optional), tbFirst "首项" Home,
// tbPrior "前项" Page Up, tbNext "后项" Page Down, tbLast "末项" End, tbPrint
// "打印" (with a menu of print formats when the screen names any), tbDesign
// "设置", tbExport "导出", tbExit "退出" Esc. A key acts only while its
// command is enabled. The paging and output commands are disabled until the
// first query when the screen asks so (statistic screens), else enabled.
// "首项" disables "首项"/"前项", "末项" the reverse; "前项"/"后项" at the
// list's end disable their pair; any move enables the other pair.
//
// Grid pop-up: "显示字段列表" (ChooseGridColumns) and "保存当前设置" (asks
// "真的要保存当前网格设置吗？", then saves under the screen's layout name).
// The layout is applied when the screen is built.
//
// Status bar: four panels; the third shows the count prefix and the row
// count after every query, the fourth "璞朔软件" and two blanks.
class ListScreen : public QDialog
{
    Q_OBJECT
public:
    struct Options
    {
        QString className;   // the window's objectName
        QString caption;     // window title
        QString layoutName;  // cfg_grid layout of the grid
        QString exportTitle; // title of "导出"
        bool queryCommand = true;
        // Paging and output stay disabled until the first query.
        bool outputsAfterFirstQuery = true;
        QString countPrefix = QStringLiteral("记录数/");
        // Entries of the "打印" menu; the button itself runs the first.
        QStringList printFormats;
    };

    QToolBar* toolBar() const { return m_toolBar; }
    DataGrid* grid() const { return m_grid; }
    // Where the screen puts its criteria controls (above the grid).
    QWidget* criteria() const { return m_criteria; }
    QAction* command(const QString& objectName) const;
    QLabel* statusPanel(int index) const { return m_panels[index]; }
    const Options& options() const { return m_options; }

    // Runs the screen's query; on success enables paging and output and
    // shows the count, on failure tells the operator. True when it ran.
    bool requery();
    // Shows the grid's row count in the third status panel.
    void showCount();
    // The paging commands.
    void moveTo(RecordNavigator::Move move);
    // The text the count panel shows now.
    QString countText() const;

protected:
    ListScreen(const Options& options, QWidget* parent);

    // Adds a command before the query command (新增, 修改, 删除, 编辑 ...).
    QAction* addLeadingAction(const QString& objectName, const QString& text,
                              const QKeySequence& key = QKeySequence());
    // Replaces the grid in the body by a widget of the screen's own that
    // holds the grid (a tree beside it, a second list below it ...).
    void setBody(QWidget* body);

    // Opens the result on grid(); false with the error when it failed.
    virtual bool query(QString* error) = 0;
    // "打印" (format 0 is the button itself) and "设置". Until the screen
    // prints, both say the function is not yet available.
    virtual void print(int format);
    virtual void design();
    // "导出": the grid to a workbook under the export title.
    virtual void exportResult();

private:
    void updatePaging(RecordNavigator::Move move);
    void setOutputsEnabled(bool enabled);

    Options m_options;
    QToolBar* m_toolBar = nullptr;
    QAction* m_firstAction = nullptr; // first of the standard commands
    QWidget* m_criteria = nullptr;
    QVBoxLayout* m_bodyLayout = nullptr;
    QWidget* m_body = nullptr;
    DataGrid* m_grid = nullptr;
    QLabel* m_panels[4] = {};
};
