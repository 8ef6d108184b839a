#include "browser/TFrmMain.h"

#include "browser/ContractCommands.h"
#include "browser/DetailPages.h"
#include "browser/MainCommands.h"
#include "common/CategoryList.h"
#include "common/DataGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "contracts/ContractRows.h"
#include "contracts/TDLGcontractCX.h"
#include "data/DataServicesUi.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginDialog.h"
#include "operators/LoginService.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "reference/ReferencePickers.h"
#include "reference/TDlgGoodXz.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLabel* panel(const QString& name, const QString& text)
{
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

} // namespace

QString TFrmMain::productTitle()
{
    return QStringLiteral("璞朔工程合同管理软件 ");
}

QString TFrmMain::windowCaption()
{
    return productTitle() + AppInfo::version() + QStringLiteral("(企业版) ");
}

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TFrmMain"));
    setWindowTitle(AppInfo::applicationTitle());
    resize(1280, 800);

    m_commands = new MainCommands(this);
    RegisterGoodsPickers();
    RegisterCounterpartPickers();

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 4, 4, 0);
    outer->setSpacing(4);
    buildSearchBar(central);

    auto* split = new QSplitter(Qt::Horizontal, central);
    split->setObjectName(QStringLiteral("splMain"));
    buildNavigator();
    split->addWidget(m_nav);

    auto* right = new QSplitter(Qt::Vertical, split);
    right->setObjectName(QStringLiteral("splList"));
    auto* listArea = new QWidget(right);
    auto* listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(2);
    m_grid = new DataGrid(listArea);
    m_grid->setObjectName(QStringLiteral("DBGridEh1"));
    m_grid->setColumns(GridLayoutStore::builtColumns(QStringLiteral("clientmain")));
    m_grid->model()->setRowStyler(contractRowStyle);
    applyContractDateRules(*m_grid->model());
    m_grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->view(), &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        MainCommands::popup(m_commands->contractPopup(),
                            m_grid->view()->viewport()->mapToGlobal(p));
    });
    m_count = new QLabel(QStringLiteral("合同条数： 0 条  "), listArea);
    m_count->setObjectName(QStringLiteral("lblHTnum"));
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    listLayout->addWidget(m_grid, 1);
    listLayout->addWidget(m_count);
    right->addWidget(listArea);

    // The records of the current contract, one kind per page.
    m_details = new DetailPages(m_commands, right);
    connect(m_details, &DetailPages::focusContractList, this, [this] { m_grid->setFocus(); });
    m_details->setContractSource(
        [this] { return RecordValues(*m_grid->model(), m_grid->currentRow()); });
    right->addWidget(m_details);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);

    split->addWidget(right);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 1060});
    outer->addWidget(split, 1);
    setCentralWidget(central);

    buildStatusBar();
    connectCommands();

    connect(m_grid, &DataGrid::currentRowChanged, this, &TFrmMain::onCurrentContractChanged);
    connect(m_grid, &DataGrid::rowDoubleClicked, this, [this] {
        QAction* modify = m_commands->action(202);
        if (modify && modify->isVisible())
            modify->trigger();
    });

    if (TdmData* dm = dmData())
        Session.ImeName =
            dm->settings().readString(QStringLiteral("Config"), QStringLiteral("CurImeName"));
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::buildNavigator()
{
    m_nav = new QWidget;
    m_nav->setObjectName(QStringLiteral("pnlNavigator"));
    auto* layout = new QVBoxLayout(m_nav);
    layout->setContentsMargins(0, 0, 0, 0);
    m_navPages = new QTabWidget(m_nav);
    m_navPages->setObjectName(QStringLiteral("pcNavigator"));

    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A single click only selects; a double click lists the type and leaves
    // the tree as it is (on the root it would otherwise fold everything).
    m_tree->setExpandsOnDoubleClick(false);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { RefreshContractList(); });
    m_navPages->addTab(m_tree, QStringLiteral("合同类型"));

    auto* listPage = new QWidget;
    auto* listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins(2, 2, 2, 2);
    m_listType = new QComboBox(listPage);
    m_listType->setObjectName(QStringLiteral("cbbListType"));
    m_listType->addItems(ContractList::categoryKindCaptions());
    connect(m_listType, &QComboBox::activated, this, [this](int kind) { FillCategoryList(kind); });
    m_list = new CategoryList(listPage);
    connect(m_list, &QTableWidget::cellClicked, this, [this] { RefreshContractList(); });
    listLayout->addWidget(m_listType);
    listLayout->addWidget(m_list, 1);
    m_navPages->addTab(listPage, QStringLiteral(" 项    目 "));
    layout->addWidget(m_navPages, 1);

    auto* box = new QGroupBox(m_nav);
    box->setObjectName(QStringLiteral("RadioGroup1"));
    auto* boxLayout = new QHBoxLayout(box);
    m_direction = new QButtonGroup(box);
    const char* const names[] = {"rbAll", "rbReceipt", "rbPayment"};
    const QStringList captions{QStringLiteral("全部"), QStringLiteral("收款"),
                               QStringLiteral("付款")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(captions.at(i), box);
        rb->setObjectName(QLatin1String(names[i]));
        m_direction->addButton(rb, i);
        boxLayout->addWidget(rb);
    }
    m_direction->button(0)->setChecked(true);
    connect(m_direction, &QButtonGroup::idClicked, this, [this] { RefreshContractList(); });
    layout->addWidget(box);
}

void TFrmMain::buildSearchBar(QWidget* parent)
{
    auto* bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("pnlSearch"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    auto* toggle = new QToolButton(bar);
    toggle->setObjectName(QStringLiteral("btnNavigator"));
    toggle->setText(QStringLiteral("◧"));
    toggle->setToolTip(QStringLiteral("导航树"));
    connect(toggle, &QToolButton::clicked, this,
            [this] { m_commands->action(QStringLiteral("actViewNavigator"))->trigger(); });
    row->addWidget(toggle);

    m_searchField = new QComboBox(bar);
    m_searchField->setObjectName(QStringLiteral("cbbSearchField"));
    m_searchField->addItems(ContractList::searchFieldCaptions());
    m_searchField->setCurrentIndex(-1);
    auto* searchLabel = new QLabel(QStringLiteral("搜索(&V)"), bar);
    searchLabel->setBuddy(m_searchField);
    // Another field starts with an empty value; clearing a filled box lists again.
    connect(m_searchField, &QComboBox::activated, this, [this] { m_searchValue->clear(); });

    m_searchValue = new QLineEdit(bar);
    m_searchValue->setObjectName(QStringLiteral("edtSearchValue"));
    m_searchValue->setMaxLength(255);
    auto* valueLabel = new QLabel(QStringLiteral("值(&V)"), bar);
    valueLabel->setBuddy(m_searchValue);
    connect(m_searchValue, &QLineEdit::textChanged, this, [this] { RefreshContractList(); });

    m_find = new QPushButton(QStringLiteral("查找(F3)"), bar);
    m_find->setObjectName(QStringLiteral("btnFind"));
    connect(m_find, &QPushButton::clicked, this, [this] { RefreshContractList(); });

    m_advanced = new QPushButton(QStringLiteral("高级查找..."), bar);
    m_advanced->setObjectName(QStringLiteral("btnAdvanced"));
    m_advanced->setCheckable(true);
    connect(m_advanced, &QPushButton::toggled, this, &TFrmMain::onAdvancedToggled);

    m_archived = new QCheckBox(QStringLiteral("包含已归档"), bar);
    m_archived->setObjectName(QStringLiteral("chkArchived"));
    connect(m_archived, &QCheckBox::clicked, this, [this] { RefreshContractList(); });

    row->addWidget(searchLabel);
    row->addWidget(m_searchField);
    row->addWidget(valueLabel);
    row->addWidget(m_searchValue, 1);
    row->addWidget(m_find);
    row->addWidget(m_advanced);
    row->addWidget(m_archived);
    static_cast<QVBoxLayout*>(parent->layout())->addWidget(bar);
}

void TFrmMain::buildStatusBar()
{
    const char* const names[] = {"stbUserCaption", "stbUser", "stbTimeCaption", "stbClock",
                                 "stbProduct"};
    const QStringList texts{QStringLiteral(" 当前用户"), QStringLiteral(" "),
                            QStringLiteral(" 当前日期时间"), QStringLiteral(" "),
                            QStringLiteral("璞朔工程合同管理软件(企业版)")};
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = panel(QLatin1String(names[i]), texts.at(i));
        if (i == 4) {
            m_panels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            statusBar()->addPermanentWidget(m_panels[i], 1);
        } else {
            m_panels[i]->setMinimumWidth(i == 3 ? 160 : 80);
            statusBar()->addWidget(m_panels[i]);
        }
    }
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &TFrmMain::tickClock);
    m_clock->start();
}

void TFrmMain::tickClock()
{
    m_panels[3]->setText(QLatin1Char(' ') +
                         Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TFrmMain::connectCommands()
{
    ContractCommandsHost host;
    host.window = this;
    host.grid = m_grid;
    host.refreshList = [this] { RefreshContractList(); };
    host.selectedTypePath = [this] {
        const QTreeWidgetItem* node = m_tree->currentItem();
        return node && node->parent() ? node->data(0, TreeLikeCodeRole).toString() : QString();
    };
    host.reloadTypeTree = [this] { reloadTypeTree(); };
    m_contractCommands = new ContractCommands(m_commands, std::move(host), this);

    // What acts on the window itself stays here.
    MainCommands* c = m_commands;
    c->setHandler(c->action(QStringLiteral("actReLogin")), [this] { relogin(); });
    c->setHandler(c->action(QStringLiteral("actExit")), [this] { close(); });
    c->setHandler(c->action(QStringLiteral("actClose")), [this] { close(); });
    c->setHandler(c->action(QStringLiteral("actViewToolBar")), [this] {
        m_commands->toolBar()->setVisible(
            m_commands->action(QStringLiteral("actViewToolBar"))->isChecked());
    });
    c->setHandler(c->action(QStringLiteral("actViewNavigator")), [this] {
        setNavigatorVisible(m_commands->action(QStringLiteral("actViewNavigator"))->isChecked());
    });
    c->setHandler(c->action(QStringLiteral("actViewStatusBar")), [this] {
        statusBar()->setVisible(
            m_commands->action(QStringLiteral("actViewStatusBar"))->isChecked());
    });
}

void TFrmMain::setNavigatorVisible(bool visible)
{
    m_nav->setVisible(visible);
}

void TFrmMain::ApplySession()
{
    TdmData* dm = dmData();
    m_commands->ApplyRights(dm ? HeldRights(*dm) : QSet<int>(), Session.CanApprove,
                            Session.isAdmin());
    m_panels[1]->setText(QLatin1Char(' ') + Session.OperName);
    m_panels[3]->setText(QLatin1Char(' ') +
                         Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    m_loggedIn = true;
    onCurrentContractChanged(m_grid->currentRow());
    // Rights just set the page commands; the page decides which it shows.
    m_details->showPage(qMax(1, m_details->currentPage()));
}

void TFrmMain::PrepareFirstShow()
{
    TdmData* dm = dmData();
    setWindowTitle(windowCaption());
    if (dm) {
        IniFile& ini = dm->settings();
        Session.BackupMode = ini.readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 0);
        Session.PrintRows = ini.readInteger(QStringLiteral("sys"), QStringLiteral("iPrintNum"), 5);
        Session.ShowReminders =
            ini.readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), false);
    }
    reloadTypeTree();
    LoadGridLayout(m_grid, QStringLiteral("clientmain"));
    ApplyColumnFormats(m_grid);
    m_details->loadLayouts();
    m_listType->setCurrentIndex(0);
    FillCategoryList(0);
    m_details->showPage(1);
}

void TFrmMain::reloadTypeTree()
{
    LoadCodeTree(m_tree, QStringLiteral("合同类型"), QStringLiteral("type"));
    if (QTreeWidgetItem* root = m_tree->topLevelItem(0)) {
        root->setExpanded(true);
        m_tree->setCurrentItem(root);
    }
}

ContractFilter TFrmMain::currentFilter() const
{
    ContractFilter f;
    f.searchField = m_searchField->currentIndex();
    f.searchValue = m_searchValue->text();
    const QTreeWidgetItem* node = m_tree->currentItem();
    if (node && node->parent())
        f.typePath = node->data(0, TreeLikeCodeRole).toString();
    f.direction = qMax(0, m_direction->checkedId());
    f.includeArchived = m_archived->isChecked();
    f.categoryKind = m_categoryKind;
    f.categoryName = m_list->selectedName();
    return f;
}

void TFrmMain::RefreshContractList()
{
    setAdvancedMode(false);
    TdmData* dm = dmData();
    if (!dm)
        return;
    const SqlBuilder b = ContractList::statement(dm->db().dialect(), currentFilter(), Session);
    QString error;
    if (!m_grid->open(dm->db(), b.sql(), b.params(), &error)) {
        ShowFailure(Messages::openFailed(), error);
    }
    m_count->setText(QStringLiteral("合同总数： %1 条  ").arg(m_grid->model()->rowCount()));
}

void TFrmMain::FillCategoryList(int kind)
{
    m_categoryKind = qBound(0, kind, 3);
    QStringList names;
    QString error;
    if (TdmData* dm = dmData();
        dm && !ContractList::categoryNames(dm->db(), m_categoryKind, Session, &names, &error))
        ShowFailure(Messages::openFailed(), error);
    m_list->setNames(ContractList::categoryKindCaptions().value(m_categoryKind), names);
    RefreshContractList();
}

void TFrmMain::setAdvancedMode(bool on)
{
    if (m_advanced->isChecked() != on) {
        const QSignalBlocker block(m_advanced);
        m_advanced->setChecked(on);
    }
    m_advanced->setStyleSheet(on ? QStringLiteral("color: red;") : QString());
}

void TFrmMain::onAdvancedToggled(bool down)
{
    if (down) {
        const std::optional<SqlBuilder> query = ContractQueryDialog(this);
        if (!query) {
            setAdvancedMode(false);
            return;
        }
        // The statement stands as the dialog built it: no other filter applies.
        setAdvancedMode(true);
        QString error;
        if (!m_grid->open(dmData()->db(), query->sql(), query->params(), &error)) {
            ShowFailure(Messages::openFailed(), error);
        }
        m_count->setText(QStringLiteral("合同总数： %1 条  ").arg(m_grid->model()->rowCount()));
        return;
    }
    m_advanced->setStyleSheet(QString());
    RefreshContractList();
}

void TFrmMain::onCurrentContractChanged(int row)
{
    if (!m_loggedIn)
        return;
    m_details->setContract(
        row < 0 ? -1 : m_grid->model()->value(row, QStringLiteral("F_cltID")).toInt());
    // The approval button says what a click would do to this contract.
    if (QAction* approve = m_commands->action(QStringLiteral("actApprove"))) {
        const bool approved =
            row >= 0 && !m_grid->model()->text(row, QStringLiteral("F_SHemp")).trimmed().isEmpty();
        approve->setText(row < 0    ? QStringLiteral("审批")
                         : approved ? QStringLiteral("撤消")
                                    : QStringLiteral("批准"));
    }
}

void TFrmMain::relogin()
{
    const SessionData before = Session;
    if (!LoginDialog::Login(LoginService::ReLogin, this)) {
        // A login refused for an unreadable row took the session's reach
        // away; the window must not go on showing the old one.
        if (Session.XtFlag == before.XtFlag && Session.DeptList == before.DeptList &&
            Session.CanApprove == before.CanApprove)
            return;
    }
    ApplySession();
    RefreshContractList();
}

void TFrmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TFrmMain::confirmClose()
{
    if (ShowMess(QStringLiteral("真的要退出“") + productTitle() + QStringLiteral("”软件吗？"),
                 mkQuestion) != 1)
        return false;
    const QDate today = Clock::today();
    const bool offer = Session.BackupMode == 1 ||
                       (Session.BackupMode == 2 && today.dayOfWeek() == Qt::Monday) ||
                       (Session.BackupMode == 3 && today.day() == 1);
    if (offer && ShowMess(QStringLiteral("软件关闭，要备份当前数据吗？"), mkQuestion) == 1) {
        if (TdmData* dm = dmData())
            dm->BackupDatabase();
    }
    return true;
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    if (m_closing || !m_loggedIn) {
        event->accept();
        return;
    }
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_loggedIn = false;
    m_clock->stop();
    event->accept();
}
