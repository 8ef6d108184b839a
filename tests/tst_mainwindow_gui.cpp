#include "browser/DetailPages.h"
#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "common/DataGrid.h"
#include "data/DataServicesUi.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "maintenance/DemoData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

// The contract browser driven through its controls.
class TstMainWindowGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstShow();
    void filtersThroughTheControls();
    void treeNeedsADoubleClick();
    void doubleClickFiltersWithoutFolding_data();
    void doubleClickFiltersWithoutFolding();
    void popupWithNothingToOfferStaysClosed();
    void refusedReloginLeavesNoReach();
    void categoryList();
    void operatorRestrictions_data();
    void operatorRestrictions();
    void advancedSearch();
    void doubleClickRunsModifyWhenVisible();
    void leavingAsksAndOffersBackup_data();
    void leavingAsksAndOffersBackup();
    void screenshotOnDemoData();

private:
    TFrmMain* open(const QString& oper = "admin");
    QStringList listedCodes() const;
    template <class T> T* child(const char* name) const
    {
        T* w = m_main->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    TFrmMain* m_main = nullptr;
};

void TstMainWindowGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstMainWindowGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) VALUES "
        "('001', '工程', '\\\\工程', 'type'), ('001001', 'A', '\\\\工程\\A', 'type'), "
        "('001002', 'AB', '\\\\工程\\AB', 'type'), ('002', '服务', '\\\\服务', 'type')"));
    QVERIFY(m_dm->ExecSql("DELETE FROM t_code WHERE F_type = 'status'"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES ('status', '执行中'), "
                          "('status', '已完成'), ('dept', '工程部'), ('dept', '采购部')"));
    struct C
    {
        const char *code, *name, *type;
        int sf, archived;
        const char *status, *emp, *dept, *approver;
    };
    const C rows[] = {
        {"HT-01", "办公楼施工", "\\\\工程\\A", 1, 0, "执行中", "张三", "工程部", ""},
        {"HT-02", "设备采购", "\\\\工程\\AB", -1, 0, "已完成", "李四", "采购部", "admin"},
        {"HT-03", "O'Brien 100%", "\\\\工程\\A", 1, 1, "执行中", "张三", "工程部", ""},
        {"HT-04", "软件开发", "\\\\服务", -1, 0, "执行中", "王五", "采购部", ""},
    };
    int link = 0;
    for (const C& c : rows)
        QVERIFY(m_dm->ExecSql(
            "INSERT INTO Contract(F_cltID, F_code, F_name, F_type, F_SFflag, F_GDflag, F_status, "
            "F_empname, F_dept, F_SHemp, F_date, F_totalPrice, F_beginDate, F_endDate) "
            "VALUES(:l, :c, :n, :t, :sf, :g, :s, :e, :d, :a, :date, 1000, '1900-08-14', "
            "'3000-08-14')",
            {{":l", ++link},
             {":c", QString::fromUtf8(c.code)},
             {":n", QString::fromUtf8(c.name)},
             {":t", QString::fromUtf8(c.type)},
             {":sf", c.sf},
             {":g", c.archived},
             {":s", QString::fromUtf8(c.status)},
             {":e", QString::fromUtf8(c.emp)},
             {":d", QString::fromUtf8(c.dept)},
             {":a", QString::fromUtf8(c.approver)},
             {":date", QString("2024-0%1-01").arg(link)}}));
}

void TstMainWindowGui::cleanup()
{
    delete m_main;
    m_main = nullptr;
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

TFrmMain* TstMainWindowGui::open(const QString& oper)
{
    EstablishSession(*m_dm, oper);
    m_main = new TFrmMain;
    m_main->ApplySession();
    m_main->PrepareFirstShow();
    m_main->show();
    return m_main;
}

QStringList TstMainWindowGui::listedCodes() const
{
    QStringList out;
    const RecordModel* m = m_main->contractGrid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->text(r, "F_code");
    out.sort();
    return out;
}

void TstMainWindowGui::firstShow()
{
    open();
    QCOMPARE(m_main->windowTitle(), QStringLiteral("璞朔工程合同管理软件 v2.30(企业版) "));
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
    QCOMPARE(child<QLabel>("lblHTnum")->text(), QStringLiteral("合同总数： 3 条  "));
    QCOMPARE(child<QLabel>("stbUser")->text(), QStringLiteral(" admin"));
    auto* tree = child<QTreeWidget>("tvTree");
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("合同类型"));
    QVERIFY(tree->topLevelItem(0)->isExpanded());
    QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
    auto* list = child<QTableWidget>("vleList");
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(0, 1)->text(), QStringLiteral("全部"));
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("合同状态"));
    // Approved contracts are blue.
    const RecordModel* m = m_main->contractGrid()->model();
    const int approved = m->findRow("F_code", "HT-02");
    QCOMPARE(m->data(m->index(approved, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    // The open end and the no-date value show blank.
    const int end = m->columnOfField("F_endDate");
    QCOMPARE(m->data(m->index(0, end)).toString(), QString());
    QVERIFY(m_ui->messages().isEmpty());
}

void TstMainWindowGui::filtersThroughTheControls()
{
    open();
    auto* field = child<QComboBox>("cbbSearchField");
    auto* value = child<QLineEdit>("edtSearchValue");
    QCOMPARE(field->currentIndex(), -1);
    field->setCurrentIndex(1); // 合同名称
    emit field->activated(1);
    value->setText("O'Brien 100%"); // every change lists again
    QCOMPARE(listedCodes(), QStringList{});
    child<QCheckBox>("chkArchived")->click();
    QCOMPARE(listedCodes(), QStringList{"HT-03"});
    // A red archived row.
    const RecordModel* m = m_main->contractGrid()->model();
    QCOMPARE(m->data(m->index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    // Another field clears the value and lists again.
    field->setCurrentIndex(0);
    emit field->activated(0);
    QCOMPARE(value->text(), QString());
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-03", "HT-04"}));
    child<QRadioButton>("rbPayment")->click();
    QCOMPARE(listedCodes(), (QStringList{"HT-02", "HT-04"}));
    child<QRadioButton>("rbReceipt")->click();
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-03"}));
    child<QRadioButton>("rbAll")->click();
    QCOMPARE(child<QLabel>("lblHTnum")->text(), QStringLiteral("合同总数： 4 条  "));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstMainWindowGui::treeNeedsADoubleClick()
{
    open();
    auto* tree = child<QTreeWidget>("tvTree");
    QTreeWidgetItem* a = tree->topLevelItem(0)->child(0)->child(0);
    QCOMPARE(a->text(0), QStringLiteral("A"));
    tree->setCurrentItem(a);
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"})); // not yet
    emit tree->itemDoubleClicked(a, 0);
    // A's name path starts AB's too: both are listed.
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02"}));
    tree->setCurrentItem(tree->topLevelItem(0)->child(1));
    emit tree->itemDoubleClicked(tree->currentItem(), 0);
    QCOMPARE(listedCodes(), QStringList{"HT-04"});
    tree->setCurrentItem(tree->topLevelItem(0));
    emit tree->itemDoubleClicked(tree->currentItem(), 0);
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
}

void TstMainWindowGui::doubleClickFiltersWithoutFolding_data()
{
    QTest::addColumn<QStringList>("path"); // node captions from the root down
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("root clears the filter")
        << QStringList{"合同类型"} << QStringList{"HT-01", "HT-02", "HT-04"};
    QTest::newRow("node with children")
        << QStringList{"合同类型", "工程"} << QStringList{"HT-01", "HT-02"};
}

// The operator's double click, not the signal: the tree's own reaction to it
// is what folded the tree.
void TstMainWindowGui::doubleClickFiltersWithoutFolding()
{
    QFETCH(QStringList, path);
    QFETCH(QStringList, codes);
    open();
    auto* tree = child<QTreeWidget>("tvTree");
    QTreeWidgetItem* node = tree->topLevelItem(0);
    for (int i = 1; i < path.size(); ++i) {
        for (int c = 0; c < node->childCount(); ++c) {
            if (node->child(c)->text(0) == path.at(i)) {
                node = node->child(c);
                break;
            }
        }
    }
    QCOMPARE(node->text(0), path.last());
    node->setExpanded(true);
    // Filter by another type first, so that the double click has something to change.
    QTreeWidgetItem* other = tree->topLevelItem(0)->child(1);
    tree->setCurrentItem(other);
    emit tree->itemDoubleClicked(other, 0);
    QCOMPARE(listedCodes(), QStringList{"HT-04"});

    const QPoint at = tree->visualItemRect(node).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(listedCodes(), codes);
    QVERIFY(node->isExpanded());
    QVERIFY(tree->topLevelItem(0)->isExpanded());
}

// An operator whose rights leave a pop-up menu nothing gets no menu: an
// empty one would take the next click and leave the grid's menus unseen,
// also for the next operator.
void TstMainWindowGui::popupWithNothingToOfferStaysClosed()
{
    const QString goods = m_dm->QueryString("SELECT F_name FROM Limits WHERE F_code = '215'");
    QVERIFY(!goods.isEmpty());
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord) VALUES('张三', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES('张三', :g)",
                          {{":g", goods}}));
    open("张三");
    QVERIFY(m_main->commands()->action(215)->isVisible());
    DetailPages* pages = m_main->detailPages();
    m_main->contractGrid()->setCurrentRow(0);
    pages->showPage(8);
    struct Grid
    {
        DataGrid* grid;
        const char* menu;
    };
    const Grid grids[] = {{m_main->contractGrid(), "pmContract"},
                          {pages->grid(1), "pmDetail"},
                          {pages->grid(8), "pmDetail"},
                          {pages->grid(81), "pmDetailLines"}};
    const auto request = [](DataGrid* g) {
        emit g->view()->customContextMenuRequested(QPoint(5, 5));
    };
    for (const Grid& g : grids) {
        request(g.grid);
        auto* menu = m_main->findChild<QMenu*>(g.menu);
        QVERIFY2(menu, g.menu);
        QVERIFY2(!menu->isVisible(), g.menu);
        QVERIFY2(!QApplication::activePopupWidget(), g.menu);
    }

    // The administrator, after a re-login, gets every menu with its entries.
    onModal([](QWidget* w) {
        QVERIFY(w->objectName() == "LoginDialog");
        w->findChild<QComboBox*>("cbbName")->setEditText("admin");
        w->findChild<QLineEdit*>("edtPassword")->clear();
        w->findChild<QPushButton*>("btnOK")->click();
    });
    m_main->commands()->action("actReLogin")->trigger();
    QCOMPARE(Session.OperName, QStringLiteral("admin"));
    for (const Grid& g : grids) {
        request(g.grid);
        auto* menu = m_main->findChild<QMenu*>(g.menu);
        QVERIFY2(menu->isVisible(), g.menu);
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QStringList shown;
        for (QAction* a : menu->actions()) {
            if (a->isVisible())
                shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QVERIFY2(shown.size() >= 5 && shown.first() == QStringLiteral("新增") &&
                     shown.last() != QStringLiteral("-"),
                 qPrintable(shown.join(' ')));
        menu->hide();
    }
}

// A re-login refused because the operator's row could not be read leaves
// the window with nothing of the previous operator's reach.
void TstMainWindowGui::refusedReloginLeavesNoReach()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord) VALUES('张三', :p)",
                          {{":p", SavePass("")}}));
    open();
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
    QVERIFY(m_main->commands()->action("actApprove")->isVisible());
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.contains("F_xtFlag"); });
    onModal([](QWidget* w) {
        QVERIFY(w->objectName() == "LoginDialog");
        w->findChild<QComboBox*>("cbbName")->setEditText("张三");
        w->findChild<QPushButton*>("btnOK")->click();
        QVERIFY(w->isVisible()); // refused
        w->findChild<QPushButton*>("btnCancel")->click();
    });
    m_main->commands()->action("actReLogin")->trigger();
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查数据连接... "));
    QCOMPARE(Session.OperName, QStringLiteral("admin"));
    QCOMPARE(listedCodes(), QStringList{});
    QVERIFY(!m_main->commands()->action("actApprove")->isVisible());
}

void TstMainWindowGui::categoryList()
{
    open();
    auto* list = child<QTableWidget>("vleList");
    list->setCurrentCell(1, 1); // 执行中
    emit list->cellClicked(1, 1);
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-04"}));
    // Another kind starts again at 全部.
    auto* kind = child<QComboBox>("cbbListType");
    kind->setCurrentIndex(2);
    emit kind->activated(2);
    QCOMPARE(list->horizontalHeaderItem(1)->text(), QStringLiteral("部    门"));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
    list->setCurrentCell(2, 1); // 采购部
    emit list->cellClicked(2, 1);
    QCOMPARE(listedCodes(), (QStringList{"HT-02", "HT-04"}));
}

void TstMainWindowGui::operatorRestrictions_data()
{
    QTest::addColumn<int>("xtFlag");
    QTest::addColumn<QString>("depts");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("departmentsListed");
    QTest::newRow("all") << 0 << "" << QStringList{"HT-01", "HT-02", "HT-04"} << 2;
    QTest::newRow("own") << 1 << "" << QStringList{"HT-01"} << 2;
    QTest::newRow("listed departments") << 2 << "'采购部'" << QStringList{"HT-02", "HT-04"} << 1;
    QTest::newRow("no department") << 2 << "" << QStringList{} << 0;
}

void TstMainWindowGui::operatorRestrictions()
{
    QFETCH(int, xtFlag);
    QFETCH(QString, depts);
    QFETCH(QStringList, codes);
    QFETCH(int, departmentsListed);
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord, F_xtFlag, F_dept) "
                          "VALUES('张三', '', :x, :d)",
                          {{":x", xtFlag}, {":d", depts}}));
    open("张三");
    QCOMPARE(listedCodes(), codes);
    auto* kind = child<QComboBox>("cbbListType");
    kind->setCurrentIndex(2);
    emit kind->activated(2);
    QCOMPARE(child<QTableWidget>("vleList")->rowCount(), departmentsListed + 1);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstMainWindowGui::advancedSearch()
{
    open();
    auto* advanced = child<QPushButton>("btnAdvanced");
    // Closed without a query: the button comes up and the list stays.
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            d->findChild<QPushButton*>("btnClose")->click();
    });
    advanced->click();
    QVERIFY(!advanced->isChecked());
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
    // A query: its statement stands alone (archived contracts too) and the
    // button stays down until lifted.
    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            d->findChild<QPushButton*>("btnQuery")->click();
    });
    advanced->click();
    QVERIFY(advanced->isChecked());
    QVERIFY(listedCodes().contains("HT-01"));
    advanced->click(); // lifted: the filters apply again
    QVERIFY(!advanced->isChecked());
    QCOMPARE(listedCodes(), (QStringList{"HT-01", "HT-02", "HT-04"}));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstMainWindowGui::doubleClickRunsModifyWhenVisible()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord) VALUES('张三', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES('张三', '修改')"));
    open("张三");
    int runs = 0;
    m_main->commands()->setHandler(202, [&] { ++runs; });
    emit m_main->contractGrid()->rowDoubleClicked(0);
    QCOMPARE(runs, 1);
    QVERIFY(m_dm->ExecSql("DELETE FROM OperLimit"));
    m_main->ApplySession();
    emit m_main->contractGrid()->rowDoubleClicked(0);
    QCOMPARE(runs, 1);
}

void TstMainWindowGui::leavingAsksAndOffersBackup_data()
{
    QTest::addColumn<int>("ibak");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("offered");
    QTest::newRow("Mondays, on a Monday") << 2 << QDate(2026, 12, 7) << true;
    QTest::newRow("Mondays, on a Tuesday") << 2 << QDate(2026, 12, 8) << false;
    QTest::newRow("every time") << 1 << QDate(2026, 12, 8) << true;
    QTest::newRow("first days, on the first") << 3 << QDate(2026, 12, 1) << true;
    QTest::newRow("first days, on the second") << 3 << QDate(2026, 12, 2) << false;
    QTest::newRow("never") << 0 << QDate(2026, 12, 7) << false;
}

void TstMainWindowGui::leavingAsksAndOffersBackup()
{
    QFETCH(int, ibak);
    QFETCH(QDate, day);
    QFETCH(bool, offered);
    Clock::setNow(QDateTime(day, QTime(17, 0)));
    m_dm->settings().writeInteger("config", "ibak", ibak);
    open();
    m_ui->queueAnswer(2); // "no" to leaving
    QTest::keyClick(m_main, Qt::Key_Escape);
    QVERIFY(m_main->isVisible());
    QCOMPARE(m_ui->lastText(), QStringLiteral("真的要退出“璞朔工程合同管理软件 ”软件吗？"));
    m_ui->clear();
    m_ui->queueAnswer(1);
    m_ui->queueAnswer(1); // "yes" to the backup when asked
    m_ui->queueAnswer(1); // and to making its folder
    QVERIFY(m_main->close());
    QCOMPARE(m_ui->texts().contains("软件关闭，要备份当前数据吗？"), offered);
    const QString backup = m_exe->file("data/backup/dp" + day.toString("yyyyMMdd") + ".back");
    // The backup folder does not exist yet: creating it is asked too.
    QCOMPARE(QFileInfo::exists(backup), offered);
}

void TstMainWindowGui::screenshotOnDemoData()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    open();
    m_main->resize(1280, 860);
    QTest::qWait(100);
    saveScreenshot(m_main, "mainwindow");
    // Each detail page on a contract that has records of that kind.
    child<QCheckBox>("chkArchived")->click();
    DataGrid* grid = m_main->contractGrid();
    const char* const tables[] = {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec",
                                  "t_TPrec", "t_FJrec", "t_GDrec", "t_FHrec"};
    for (int page = 1; page <= 8; ++page) {
        const int link = m_dm->QueryInt(QString("SELECT F_cltID FROM %1 GROUP BY F_cltID ORDER BY "
                                                "count(*) DESC LIMIT 1")
                                            .arg(tables[page - 1]));
        grid->setCurrentRow(grid->model()->findRow("F_cltID", link));
        m_main->detailPages()->showPage(page);
        QTest::qWait(50);
        saveScreenshot(m_main, QString("mainwindow-page%1").arg(page));
    }
}

QTEST_MAIN(TstMainWindowGui)
#include "tst_mainwindow_gui.moc"
