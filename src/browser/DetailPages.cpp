#include "browser/DetailPages.h"

#include "browser/DetailStore.h"
#include "browser/MainCommands.h"
#include "browser/ScanPage.h"
#include "common/DataGrid.h"
#include "common/GridExport.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "common/SortDialog.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "records/TfrmShouKuanEdit.h"
#include "shipments/ShipmentStore.h"
#include "shipments/TfrmHTFHedit.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <climits>

using namespace DetailStore;

namespace {

constexpr int kNotOpen = INT_MIN;

QAction* named(MainCommands* commands, const char* name)
{
    return commands->action(QString::fromLatin1(name));
}

} // namespace

DetailPages::DetailPages(MainCommands* commands, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_openFor(kPageCount + 1, kNotOpen)
{
    setObjectName(QStringLiteral("pcDetail"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    if (QToolBar* bar = commands->detailToolBar())
        outer->addWidget(bar);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(2);
    outer->addLayout(body, 1);

    m_nav = new QListWidget(this);
    m_nav->setObjectName(QStringLiteral("lbDetailNav"));
    for (int p = 1; p <= kPageCount; ++p)
        m_nav->addItem(page(p).caption);
    m_nav->setFixedWidth(96);
    m_nav->setCurrentRow(0);
    body->addWidget(m_nav);

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("stDetailPages"));
    body->addWidget(m_stack, 1);

    for (int p = 1; p <= kPageCount; ++p) {
        if (p == kScansPage) {
            m_scans = new ScanPage(m_stack);
            if (m_scans->objectName().isEmpty())
                m_scans->setObjectName(QStringLiteral("scanPage"));
            connect(m_scans, &ScanPage::activated, this, [this] {
                if (m_commands->action(902)->isVisible())
                    modifyRecord();
            });
            m_grids << nullptr;
            m_stack->addWidget(m_scans);
            continue;
        }
        if (p == 1 || p == kChangesPage) {
            auto* split = new QSplitter(Qt::Horizontal, m_stack);
            split->setObjectName(QStringLiteral("splDetail%1").arg(p));
            DataGrid* g = makeGrid(p, split);
            auto* memo = new QPlainTextEdit(split);
            memo->setObjectName(QStringLiteral("memoDetail%1").arg(p));
            split->addWidget(g);
            split->addWidget(memo);
            split->setStretchFactor(0, 3);
            split->setStretchFactor(1, 1);
            // The memo is shown, not saved: typing there changes nothing stored.
            connect(g, &DataGrid::currentRowChanged, memo, [g, memo] {
                memo->setPlainText(g->currentValue(QStringLiteral("F_memo1")).toString());
            });
            (p == 1 ? m_memo1 : m_memo4) = memo;
            m_stack->addWidget(split);
            continue;
        }
        if (p == kShipmentsPage) {
            auto* box = new QWidget(m_stack);
            box->setObjectName(QStringLiteral("pnlShipments"));
            auto* v = new QVBoxLayout(box);
            v->setContentsMargins(0, 0, 0, 0);
            v->setSpacing(2);
            m_showLines = new QCheckBox(QStringLiteral("显示明细"), box);
            m_showLines->setObjectName(QStringLiteral("chkShowLines"));
            v->addWidget(m_showLines);
            m_shipSplit = new QSplitter(Qt::Horizontal, box);
            m_shipSplit->setObjectName(QStringLiteral("splShipments"));
            DataGrid* g = makeGrid(p, m_shipSplit);
            m_shipSplit->addWidget(g);
            m_lines = new DataGrid(m_shipSplit);
            m_lines->setObjectName(QStringLiteral("DBGridDetail81"));
            m_lines->setColumns(GridLayoutStore::builtColumns(linesLayout()));
            m_lines->setFooterVisible(true);
            m_shipSplit->addWidget(m_lines);
            m_shipSplit->setStretchFactor(0, 1);
            m_shipSplit->setStretchFactor(1, 1);
            v->addWidget(m_shipSplit, 1);
            connect(g, &DataGrid::currentRowChanged, this, &DetailPages::openLines);
            // The splitter hides its handle only later, on its own; do it now.
            auto showLines = [this](bool shown) {
                m_lines->setVisible(shown);
                m_shipSplit->handle(1)->setVisible(shown);
            };
            connect(m_showLines, &QCheckBox::toggled, this, showLines);
            const bool shown =
                dmData() ? dmData()->settings().readBool(QStringLiteral("set"),
                                                         QStringLiteral("detailflag"), true)
                         : true;
            m_showLines->setChecked(shown);
            showLines(shown);

            m_linesMenu = new QMenu(this);
            m_linesMenu->setObjectName(QStringLiteral("pmDetailLines"));
            m_linesMenu->addAction(m_commands->action(901));
            m_linesMenu->addAction(m_commands->action(902));
            m_linesMenu->addAction(m_commands->action(903));
            m_linesMenu->addSeparator();
            m_linesMenu->addAction(m_commands->action(904));
            m_linesMenu->addAction(named(m_commands, "actDetailExport"));
            QAction* cols = m_linesMenu->addAction(QStringLiteral("显示字段选择"));
            cols->setObjectName(QStringLiteral("actLinesColumns"));
            connect(cols, &QAction::triggered, this, [this] { ChooseGridColumns(m_lines); });
            QAction* save = m_linesMenu->addAction(QStringLiteral("保存当前网格"));
            save->setObjectName(QStringLiteral("actLinesSave"));
            connect(save, &QAction::triggered, this,
                    [this] { AskAndSaveGridLayout(m_lines, linesLayout()); });
            m_lines->view()->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(m_lines->view(), &QWidget::customContextMenuRequested, this,
                    [this, cols, save](const QPoint& at) {
                        // These two act on the line grid but follow the rights of 905, 906.
                        cols->setVisible(m_commands->action(905)->isVisible());
                        save->setVisible(m_commands->action(906)->isVisible());
                        MainCommands::popup(m_linesMenu,
                                            m_lines->view()->viewport()->mapToGlobal(at));
                    });
            m_stack->addWidget(box);
            continue;
        }
        m_stack->addWidget(makeGrid(p, m_stack));
    }

    connect(grid(kChangesPage), &DataGrid::currentRowChanged, this,
            &DetailPages::updateApproveButton);
    connect(m_nav, &QListWidget::currentRowChanged, this,
            [this](int row) { showPage(row < 0 ? 1 : row + 1); });
    connectCommands();
}

DataGrid* DetailPages::makeGrid(int p, QWidget* parent)
{
    auto* g = new DataGrid(parent);
    g->setObjectName(QStringLiteral("DBGridDetail%1").arg(p));
    const GridColumns columns = GridLayoutStore::builtColumns(page(p).layout);
    g->setColumns(columns);
    g->setFooterVisible(std::any_of(columns.begin(), columns.end(), [](const GridColumn& c) {
        return c.footerType != GridColumn::NoFooter;
    }));
    g->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g->view(), &QWidget::customContextMenuRequested, this, [this, g](const QPoint& at) {
        MainCommands::popup(m_commands->detailPopup(), g->view()->viewport()->mapToGlobal(at));
    });
    connect(g, &DataGrid::rowDoubleClicked, this, [this] {
        if (m_commands->action(902)->isVisible())
            modifyRecord();
    });
    m_grids << g;
    return g;
}

void DetailPages::connectCommands()
{
    QPointer<DetailPages> self(this);
    auto bind = [self](void (DetailPages::*run)()) {
        return [self, run] {
            if (self)
                (self.data()->*run)();
        };
    };
    m_commands->setHandler(901, bind(&DetailPages::addRecord));
    m_commands->setHandler(902, bind(&DetailPages::modifyRecord));
    m_commands->setHandler(903, bind(&DetailPages::deleteRecord));
    m_commands->setHandler(904, bind(&DetailPages::sortPage));
    m_commands->setHandler(905, bind(&DetailPages::chooseColumns));
    m_commands->setHandler(906, bind(&DetailPages::saveLayout));
    m_commands->setHandler(907, bind(&DetailPages::renameRecord));
    m_commands->setHandler(named(m_commands, "actDetailExport"), bind(&DetailPages::exportPage));
    m_commands->setHandler(named(m_commands, "actDetailApprove"),
                           bind(&DetailPages::approveChange));
}

DataGrid* DetailPages::grid(int p) const
{
    if (p == 81)
        return m_lines;
    return m_grids.value(p - 1, nullptr);
}

DataGrid* DetailPages::pageGrid() const
{
    return grid(m_page);
}

void DetailPages::setContract(int cltID)
{
    m_cltID = cltID;
    openPage(m_page);
}

void DetailPages::showPage(int p)
{
    if (p < 1 || p > kPageCount)
        p = 1;
    m_page = p;
    {
        const QSignalBlocker block(m_nav);
        m_nav->setCurrentRow(p - 1);
    }
    m_stack->setCurrentIndex(p - 1);
    reopenCurrent();

    QAction* approve = named(m_commands, "actDetailApprove");
    m_showLines->setVisible(false);
    approve->setVisible(false);
    m_commands->ApplyDetailRights(dmData() ? HeldRights(*dmData()) : QSet<int>{},
                                  Session.isAdmin());
    m_commands->action(907)->setVisible(false);

    if (p == kChangesPage) {
        updateApproveButton();
    } else if (p == kScansPage) {
        m_commands->action(907)->setVisible(true);
        m_commands->action(904)->setVisible(false);
        m_commands->action(905)->setVisible(false);
        m_commands->action(906)->setVisible(false);
        named(m_commands, "actDetailExport")->setVisible(false);
        if (m_scans->count() > 0) {
            m_scans->setCurrentIndex(0);
            m_scans->setFocus();
        }
    } else if (p == kShipmentsPage) {
        m_showLines->setVisible(true);
    }
    emit pageChanged(p);
}

void DetailPages::reopenCurrent()
{
    openPage(m_page);
}

void DetailPages::openAll()
{
    for (int p = 1; p <= kPageCount; ++p) {
        if (m_openFor.at(p) != m_cltID)
            openPage(p);
    }
}

bool DetailPages::openPage(int p)
{
    if (p < 1 || p > kPageCount || !dmData())
        return false;
    m_openFor[p] = m_cltID;
    if (p == kScansPage) {
        m_scans->setContract(m_cltID);
        return true;
    }
    QString error;
    // The lines follow through the shipment grid's current-row signal.
    if (!grid(p)->open(dmData()->db(), listSql(p), contractParams(m_cltID), &error)) {
        ShowFailure(Messages::openFailed(), error);
        return false;
    }
    return true;
}

void DetailPages::openLines()
{
    // While the shipment edit window has the lines, they follow no shipment.
    if (!dmData() || m_linesDetached)
        return;
    const QVariant code = grid(kShipmentsPage)->currentValue(QStringLiteral("F_code"));
    QString error;
    if (!m_lines->open(dmData()->db(), linesSql(), {{QStringLiteral(":F_code"), code}}, &error)) {
        ShowFailure(Messages::openFailed(), error);
    }
}

void DetailPages::loadLayouts()
{
    for (int p = 1; p <= kPageCount; ++p) {
        if (p != kScansPage) {
            LoadGridLayout(grid(p), page(p).layout);
            ApplyColumnFormats(grid(p), page(p).layout);
        }
    }
    LoadGridLayout(m_lines, linesLayout());
    ApplyColumnFormats(m_lines, linesLayout());
}

void DetailPages::updateApproveButton()
{
    QAction* approve = named(m_commands, "actDetailApprove");
    DataGrid* g = grid(kChangesPage);
    if (g->currentRow() < 0) {
        approve->setVisible(false);
        return;
    }
    const bool approved =
        !g->currentValue(QStringLiteral("F_PZemp")).toString().trimmed().isEmpty();
    approve->setText(approved ? QStringLiteral("撤消") : QStringLiteral("批准"));
    approve->setVisible(m_page == kChangesPage && Session.CanApprove);
}

void DetailPages::addRecord()
{
    if (m_cltID < 0) {
        ShowMess(page(m_page).addRefused, mkInfo);
        emit focusContractList();
        return;
    }
    if (m_page == kScansPage) {
        m_scans->addScan();
        return;
    }
    if (m_page == 1 && m_contractSource) {
        OpenReceiptEdit(SubRecordEdit::AddMode, pageGrid(), m_contractSource(), this);
        return;
    }
    if (m_page == kShipmentsPage && m_contractSource) {
        editShipment(SubRecordEdit::AddMode);
        return;
    }
    ShowMess(Messages::notYetAvailable(), mkInfo);
}

void DetailPages::modifyRecord()
{
    if (m_page == kScansPage) {
        m_scans->viewOrReplace();
        return;
    }
    if (pageGrid()->currentRow() < 0) {
        ShowMess(page(m_page).emptyModify, mkError);
        return;
    }
    if (m_page == 1 && m_contractSource) {
        OpenReceiptEdit(SubRecordEdit::ModifyMode, pageGrid(), m_contractSource(), this);
        return;
    }
    if (m_page == kShipmentsPage && m_contractSource) {
        editShipment(SubRecordEdit::ModifyMode);
        return;
    }
    ShowMess(Messages::notYetAvailable(), mkInfo);
}

void DetailPages::deleteRecord()
{
    if (m_page == kScansPage) {
        m_scans->deleteScan();
        return;
    }
    DataGrid* g = pageGrid();
    if (!g || g->currentRow() < 0)
        return;
    const PageDef& d = page(m_page);
    const QString question = d.deleteQuestion.arg(questionValue(g->currentValue(d.deleteField)));
    if (ShowMess(question, mkQuestion) != 1)
        return;
    if (m_page == kShipmentsPage) {
        QString error;
        if (!ShipmentStore::deleteShipment(
                dmData()->db(), g->currentValue(QStringLiteral("F_code")).toString(), &error)) {
            ShowFailure(Messages::writeFailed(), error);
            return;
        }
        openPage(m_page);
        return;
    }
    if (dmData()->DeleteById(d.table, g->currentValue(QStringLiteral("F_ID")).toLongLong()))
        openPage(m_page);
}

void DetailPages::editShipment(int mode)
{
    DataGrid* shipments = grid(kShipmentsPage);
    const SqlParams lines = mode == SubRecordEdit::AddMode
                                ? ShipmentStore::noLinesParams()
                                : ShipmentStore::linesParams(
                                      shipments->currentValue(QStringLiteral("F_code")).toString());
    m_linesDetached = true;
    QString error;
    if (m_lines->open(dmData()->db(), ShipmentStore::linesSql(), lines, &error)) {
        TfrmHTFHedit window(shipments, m_lines, m_contractSource(), this);
        window.Open(SubRecordEdit::Mode(mode));
    } else {
        ShowFailure(Messages::openFailed(), error);
    }
    m_linesDetached = false;
    openLines();
}

void DetailPages::renameRecord()
{
    if (m_page == kScansPage)
        m_scans->renameScan();
}

void DetailPages::sortPage()
{
    DataGrid* g = pageGrid();
    if (!g)
        return;
    if (const std::optional<QString> text = SortDialog::execute(g, this))
        g->model()->sortByText(*text);
}

void DetailPages::chooseColumns()
{
    if (DataGrid* g = pageGrid())
        ChooseGridColumns(g);
}

void DetailPages::saveLayout()
{
    if (DataGrid* g = pageGrid())
        AskAndSaveGridLayout(g, page(m_page).layout);
}

void DetailPages::exportPage()
{
    if (DataGrid* g = pageGrid())
        ExportGridToExcel(g, page(m_page).caption, true);
}

void DetailPages::approveChange()
{
    DataGrid* g = grid(kChangesPage);
    if (m_page != kChangesPage || g->currentRow() < 0)
        return;
    const qint64 id = g->currentValue(QStringLiteral("F_ID")).toLongLong();
    const bool withdraw =
        !g->currentValue(QStringLiteral("F_PZemp")).toString().trimmed().isEmpty();
    QString error;
    const bool ok = withdraw ? withdrawChange(dmData()->db(), id, &error)
                             : DetailStore::approveChange(dmData()->db(), id, Session.OperName,
                                                          Clock::today(), &error);
    if (!ok) {
        ShowFailure(Messages::writeFailed(), error);
        return;
    }
    // Re-reading keeps the same record current, and its signal sets the caption.
    openPage(kChangesPage);
    ShowMess(withdraw ? QStringLiteral("撤消记录成功！") : QStringLiteral("批准记录成功！"),
             mkInfo);
}
