#include "browser/DetailPages.h"
#include "browser/MainCommands.h"
#include "browser/ScanPage.h"
#include "common/DataGrid.h"
#include "contracts/TDlgContractXz.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>

// The detail pages under the contract list, driven through their commands.
class TstDetailPagesGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsFollowTheContract();
    void moneyColumnsShowTheirFormat_data();
    void moneyColumnsShowTheirFormat();
    void openAllOpensTheOtherPages();
    void navigatorSwitchesPages();
    void emptyPageMessages_data();
    void emptyPageMessages();
    void modifyWithARecordIsNotProvidedYet();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void deleteOnAnEmptyListDoesNothing();
    void shipmentDeletionKeepsOtherLines();
    void shipmentDeletionFailureRollsBack();
    void changeApprovalAndWithdrawal();
    void approveHiddenWithoutTheRight();
    void pageSwitchingShowsTheCommands_data();
    void pageSwitchingShowsTheCommands();
    void showLinesToggles();
    void showLinesStartsFromTheSetting();
    void linesFollowTheShipment();
    void noDatesShowBlank();
    void saveLayoutAsksFirst();
    void exportUsesThePageCaption();
    void doubleClickRunsModifyWhenVisible();
    void screenshots();

private:
    void build();
    QAction* named(const char* name) const { return m_cmd->action(QString::fromLatin1(name)); }
    int count(const QString& sql) const { return m_dm->QueryInt(sql); }

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    QMainWindow* m_win = nullptr;
    MainCommands* m_cmd = nullptr;
    DetailPages* m_pages = nullptr;
};

void TstDetailPagesGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstDetailPagesGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    Session.OperName = "admin";

    // Contract 1 has records on every page but the scans; contract 2 only a
    // receipt; contract 3 none.
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_SKrec(F_cltID, F_date, F_OldCode, F_YSprice, F_YSdate, F_SKprice, "
        "F_SKdate, F_memo1) VALUES (1, '2024-03-01', 'P-1', 100, '1900-08-14', 50, '2024-03-05', "
        "'首付款'), (2, '2024-04-01', 'P-2', 200, '2024-04-10', 0, '1900-08-14', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_ZXrec(F_cltID, F_date, F_ZXdate, F_ZXmem) VALUES "
                          "(1, '2024-03-02', '2024-03-02', '开工')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_TXrec(F_cltID, F_awokeDate, F_caption, F_editDate) VALUES "
                          "(1, '1900-08-14', '催款', '2024-03-03 10:20:00')"));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_BGrec(F_cltID, F_HTcode, F_BGitem, F_PZemp, F_PZdate, F_editDate, F_memo1) "
        "VALUES (1, 'HT-01', '工期', '', '1900-08-14', '2024-03-04', '延期说明'), "
        "(1, 'HT-01', '金额', 'admin', '2024-02-02', '2024-02-01', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FJrec(F_cltID, F_fileName, F_editDate) VALUES "
                          "(1, '图纸', '2024-03-06')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDname, F_amount, F_price, F_totalprice) "
                          "VALUES (1, '水泥', 2, 300, 600)"));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_FHrec(F_cltID, F_code, F_FHemp, F_FHdate, F_SHdate) VALUES "
        "(1, 'FH-1', '赵六', '2024-03-07', '1900-08-14'), (1, 'FH-2', '钱七', '1900-08-14', "
        "'2024-03-09')"));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_FHdetail(F_code, F_GDname, F_amount, F_price, F_totalprice) VALUES "
        "('FH-1', '水泥', 1, 300, 300), ('FH-1', '钢筋', 2, 50, 100), ('FH-2', '砂石', 4, 10, "
        "40)"));
}

void TstDetailPagesGui::build()
{
    m_win = new QMainWindow;
    m_cmd = new MainCommands(m_win);
    m_pages = new DetailPages(m_cmd, m_win);
    m_win->setCentralWidget(m_pages);
    m_win->resize(1000, 360);
    m_win->show();
    m_cmd->ApplyRights({}, Session.CanApprove, Session.isAdmin());
}

void TstDetailPagesGui::cleanup()
{
    delete m_win;
    m_win = nullptr;
    m_cmd = nullptr;
    m_pages = nullptr;
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

void TstDetailPagesGui::moneyColumnsShowTheirFormat_data()
{
    QTest::addColumn<int>("page"); // 81 the shipment lines, 0 the contract selection dialog
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("money"); // decimals of money amounts in the settings
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("footer"); // empty: no footer on that column

    // Receipts follow the money format of the settings.
    QTest::newRow("receipt due") << 1 << "F_YSprice"
                                 << "2"
                                 << "8,708.55"
                                 << "1,349,965.49";
    QTest::newRow("receipt received, 4 decimals") << 1 << "F_SKprice"
                                                  << "4"
                                                  << "8,708.5512"
                                                  << "1,349,965.4912";
    QTest::newRow("receipt invoiced") << 1 << "F_KPprice"
                                      << "2"
                                      << "8,708.55"
                                      << "8,708.55";
    // The contract's goods lines: two decimals, as on the contract's goods page.
    QTest::newRow("goods price") << 7 << "F_price"
                                 << "4"
                                 << "8,708.55"
                                 << "";
    QTest::newRow("goods amount") << 7 << "F_totalprice"
                                  << "4"
                                  << "8,708.55"
                                  << "1,349,965.49";
    // Shipment lines: the amount in the money format, the price as it is.
    QTest::newRow("shipped amount") << 81 << "F_totalprice"
                                    << "2"
                                    << "8,708.55"
                                    << "1,349,965.49";
    QTest::newRow("shipped price") << 81 << "F_price"
                                   << "2"
                                   << "8708.5512"
                                   << "";
    QTest::newRow("selection dialog") << 0 << "F_totalPrice"
                                      << "2"
                                      << "8,708.55"
                                      << "";
}

void TstDetailPagesGui::moneyColumnsShowTheirFormat()
{
    QFETCH(int, page);
    QFETCH(QString, field);
    QFETCH(QString, money);
    QFETCH(QString, cell);
    QFETCH(QString, footer);
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = :v WHERE F_ID = (SELECT F_ID FROM "
                          "KeyValue ORDER BY F_ID LIMIT 1 OFFSET 13)",
                          {{":v", money}}));
    QVERIFY(m_dm->LoadSessionValues());
    const double a = 8708.5512, b = 1341256.94;
    for (const char* table : {"t_SKrec", "t_GDrec", "t_FHdetail"})
        QVERIFY(m_dm->ExecSql(QString("DELETE FROM %1").arg(table)));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_SKrec(F_cltID, F_date, F_YSprice, F_SKprice, F_KPprice) "
                          "VALUES (1, '2024-03-01', :a, :a, :a), (1, '2024-03-02', :b, :b, 0)",
                          {{":a", a}, {":b", b}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDname, F_amount, F_price, F_totalprice) "
                          "VALUES (1, '水泥', 1, :a, :a), (1, '钢筋', 1, :b, :b)",
                          {{":a", a}, {":b", b}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code, F_GDname, F_amount, F_price, "
                          "F_totalprice) VALUES ('FH-1', '水泥', 1, :a, :a), ('FH-1', '钢筋', 1, "
                          ":b, :b)",
                          {{":a", a}, {":b", b}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_totalPrice) "
                          "VALUES (1, 'HT-01', '甲', :a)",
                          {{":a", a}}));
    DataGrid* g = nullptr;
    std::unique_ptr<TDlgContractXz> dialog;
    if (page == 0) {
        dialog = std::make_unique<TDlgContractXz>();
        dialog->runQuery();
        g = dialog->grid();
    } else {
        build();
        m_pages->loadLayouts();
        m_pages->setContract(1);
        m_pages->showPage(page == 81 ? 8 : page);
        g = m_pages->grid(page); // the lines: those of the first shipment, FH-1
    }
    QVERIFY(g);
    const RecordModel* m = g->model();
    const int column = m->columnOfField(field);
    QVERIFY(column >= 0);
    QVERIFY(m->rowCount() >= 1);
    int row = 0;
    while (row < m->rowCount() && qAbs(m->value(row, field).toDouble() - a) > 1e-9)
        ++row;
    QVERIFY(row < m->rowCount());
    QCOMPARE(m->data(m->index(row, column)).toString(), cell);
    if (!footer.isEmpty())
        QCOMPARE(g->footerText(column), footer);
    if (page == 1 && field == "F_YSprice" && qEnvironmentVariableIsSet("CONTRACT_SCREENSHOTS")) {
        m_win->resize(1100, 300);
        saveScreenshot(m_win, "detail-receipts-money");
    }
}

void TstDetailPagesGui::listsFollowTheContract()
{
    build();
    QCOMPARE(m_pages->objectName(), QString("pcDetail"));
    m_pages->showPage(1);
    m_pages->setContract(1);
    DataGrid* g = m_pages->grid(1);
    QCOMPARE(g->objectName(), QString("DBGridDetail1"));
    QCOMPARE(g->model()->rowCount(), 1);
    QCOMPARE(g->currentValue("F_OldCode").toString(), QString("P-1"));
    auto* memo = m_pages->findChild<QPlainTextEdit*>("memoDetail1");
    QVERIFY(memo);
    QCOMPARE(memo->toPlainText(), QString("首付款"));
    QCOMPARE(g->footerText(g->model()->columnOfField("F_YSprice")).isEmpty(), false);

    m_pages->setContract(2);
    QCOMPARE(g->model()->rowCount(), 1);
    QCOMPARE(g->currentValue("F_OldCode").toString(), QString("P-2"));
    QCOMPARE(memo->toPlainText(), QString());

    m_pages->setContract(3);
    QCOMPARE(g->model()->rowCount(), 0);
    m_pages->setContract(-1);
    QCOMPARE(g->model()->rowCount(), 0);

    // Another page is read for the contract current when it is shown.
    m_pages->setContract(1);
    m_pages->showPage(4);
    QCOMPARE(m_pages->currentPage(), 4);
    QCOMPARE(m_pages->grid(4)->model()->rowCount(), 2);
    QCOMPARE(m_pages->findChild<QPlainTextEdit*>("memoDetail4")->toPlainText(),
             QString("延期说明"));
    m_pages->setContract(2);
    QCOMPARE(m_pages->grid(4)->model()->rowCount(), 0);
    QCOMPARE(m_ui->messages().size(), 0);
}

void TstDetailPagesGui::openAllOpensTheOtherPages()
{
    build();
    m_pages->showPage(1);
    m_pages->setContract(1);
    QCOMPARE(m_pages->grid(7)->model()->rowCount(), 0); // not read yet
    m_pages->openAll();
    const int expected[] = {1, 1, 1, 2, -1, 1, 1, 2};
    for (int p = 1; p <= 8; ++p) {
        if (p == 5)
            continue;
        QCOMPARE(m_pages->grid(p)->model()->rowCount(), expected[p - 1]);
    }
    QCOMPARE(m_pages->grid(81)->model()->rowCount(), 2);
    QCOMPARE(m_pages->currentPage(), 1);
}

void TstDetailPagesGui::navigatorSwitchesPages()
{
    build();
    m_pages->setContract(1);
    auto* nav = m_pages->findChild<QListWidget*>("lbDetailNav");
    QVERIFY(nav);
    QStringList captions;
    for (int i = 0; i < nav->count(); ++i)
        captions << nav->item(i)->text();
    QCOMPARE(captions, (QStringList{"收付款项", "执行情况", "合同提醒", "合同变更", "合同扫描",
                                    "合同附件", "合同货品", "发货记录"}));
    QSignalSpy changed(m_pages, &DetailPages::pageChanged);
    nav->setCurrentRow(6);
    QCOMPARE(m_pages->currentPage(), 7);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(m_pages->grid(7)->model()->rowCount(), 1);
    QVERIFY(m_pages->grid(7)->isVisible());
    QVERIFY(!m_pages->grid(1)->isVisible());
    m_pages->showPage(2);
    QCOMPARE(nav->currentRow(), 1);
}

void TstDetailPagesGui::emptyPageMessages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("addRefused");
    QTest::addColumn<QString>("emptyModify");
    QTest::newRow("1") << 1 << "请先选择要增加收付款项记录的合同！"
                       << "此表为空，没有收付款记录需要修改！";
    QTest::newRow("2") << 2 << "请先选择要增加执行情况的合同！"
                       << "此表为空，没有执行情况记录需要修改！";
    QTest::newRow("3") << 3 << "请先选择要增加提醒事务的合同！"
                       << "此表为空，没有提醒记录需要修改！";
    QTest::newRow("4") << 4 << "请先选择要增加变更记录的合同！"
                       << "此表为空，没有合同变更记录需要修改！";
    QTest::newRow("5") << 5 << "请先选择要增加合同扫描图片的合同！"
                       << "此表为空，没有合同图片需要修改！";
    QTest::newRow("6") << 6 << "请先选择要增加合同附件的合同！"
                       << "此表为空，没有合同附件记录需要修改！";
    QTest::newRow("7") << 7 << "请先选择要增加合同货品的合同！"
                       << "此表为空，没有合同的合同货品需要修改！";
    QTest::newRow("8") << 8 << "请先选择要增加合同发货记录的合同信息！"
                       << "此表为空，没有合同的发货记录需要修改！";
}

void TstDetailPagesGui::emptyPageMessages()
{
    QFETCH(int, page);
    QFETCH(QString, addRefused);
    QFETCH(QString, emptyModify);
    build();
    m_pages->setContract(3);
    m_pages->showPage(page);

    m_cmd->action(902)->trigger();
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastText(), emptyModify);
    QCOMPARE(m_ui->lastKind(), int(mkError));

    QSignalSpy focus(m_pages, &DetailPages::focusContractList);
    m_pages->setContract(-1);
    m_cmd->action(901)->trigger();
    QCOMPARE(m_ui->messages().size(), 2);
    QCOMPARE(m_ui->lastText(), addRefused);
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QCOMPARE(focus.size(), 1);
}

void TstDetailPagesGui::modifyWithARecordIsNotProvidedYet()
{
    build();
    m_pages->setContract(1);
    for (int p : {1, 2, 3, 4, 6, 7, 8}) {
        m_pages->showPage(p);
        m_ui->clear();
        m_cmd->action(902)->trigger();
        QCOMPARE(m_ui->texts(), QStringList{"此功能尚未提供"});
        m_ui->clear();
        m_cmd->action(901)->trigger();
        QCOMPARE(m_ui->texts(), QStringList{"此功能尚未提供"});
    }
}

void TstDetailPagesGui::deleteAsksFirst_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("answer");
    struct Row
    {
        int page;
        const char* table;
        const char* question;
    };
    const Row rows[] = {
        {1, "t_SKrec", "真的要删除当前2024-03-01日的收付款记录吗？"},
        {2, "t_ZXrec", "真的要删除当前2024-03-02日的合同执行情况记录吗？"},
        {3, "t_TXrec", "真的要删除当前2024-03-03日的事务提醒记录吗？"},
        {4, "t_BGrec", "真的要删除当前2024-03-04日的合同变更记录吗？"},
        {6, "t_FJrec", "真的要删除当前2024-03-06日的合同附件记录吗？"},
        {7, "t_GDrec", "真的要删除当前水泥的合同标的记录吗？"},
        {8, "t_FHrec", "真的要删除发货人为为 赵六 的发货记录吗？"},
    };
    for (const Row& r : rows) {
        for (int answer : {1, 2})
            QTest::addRow("page %d %s", r.page, answer == 1 ? "yes" : "no")
                << r.page << QString(r.table) << QString::fromUtf8(r.question) << answer;
    }
}

void TstDetailPagesGui::deleteAsksFirst()
{
    QFETCH(int, page);
    QFETCH(QString, table);
    QFETCH(QString, question);
    QFETCH(int, answer);
    build();
    m_pages->setContract(1);
    m_pages->showPage(page);
    const QString countSql = QString("SELECT COUNT(*) FROM %1 WHERE F_cltID = 1").arg(table);
    const int before = count(countSql);
    const int shown = m_pages->grid(page)->model()->rowCount();
    QCOMPARE(shown, before);

    m_ui->queueAnswer(answer);
    m_cmd->action(903)->trigger();
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastText(), question);
    QCOMPARE(m_ui->lastKind(), int(mkQuestion));
    const int removed = answer == 1 ? 1 : 0;
    QCOMPARE(count(countSql), before - removed);
    QCOMPARE(m_pages->grid(page)->model()->rowCount(), shown - removed);
    // The other contract's records are never touched.
    QCOMPARE(count("SELECT COUNT(*) FROM t_SKrec WHERE F_cltID = 2"), 1);
}

void TstDetailPagesGui::deleteOnAnEmptyListDoesNothing()
{
    build();
    m_pages->setContract(3);
    for (int p : {1, 2, 3, 4, 6, 7, 8}) {
        m_pages->showPage(p);
        m_cmd->action(903)->trigger();
    }
    QCOMPARE(m_ui->messages().size(), 0);
}

void TstDetailPagesGui::shipmentDeletionKeepsOtherLines()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(8);
    QCOMPARE(m_pages->grid(8)->currentValue("F_code").toString(), QString("FH-1"));
    m_ui->queueAnswer(1);
    m_cmd->action(903)->trigger();
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHrec WHERE F_code = 'FH-1'"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHdetail WHERE F_code = 'FH-1'"), 0);
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHrec WHERE F_code = 'FH-2'"), 1);
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHdetail WHERE F_code = 'FH-2'"), 1);
    QCOMPARE(m_pages->grid(8)->model()->rowCount(), 1);
    QCOMPARE(m_pages->grid(81)->model()->rowCount(), 1);
    QCOMPARE(m_pages->grid(81)->currentValue("F_GDname").toString(), QString("砂石"));
}

void TstDetailPagesGui::shipmentDeletionFailureRollsBack()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(8);
    QStringList seen;
    m_dm->db().setFailureInjector([&seen](const QString& sql) {
        if (sql.contains("DELETE", Qt::CaseInsensitive))
            seen << sql;
        return sql.contains("DELETE FROM t_FHrec", Qt::CaseInsensitive);
    });
    m_ui->queueAnswer(1);
    m_cmd->action(903)->trigger();
    m_dm->db().setFailureInjector({});
    QCOMPARE(seen.size(), 2);
    QVERIFY(seen.first().contains("t_FHdetail"));
    QCOMPARE(m_ui->lastText(), QString("操作失败，请检查连接..."));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHrec"), 2);
    QCOMPARE(count("SELECT COUNT(*) FROM t_FHdetail"), 3);
    QCOMPARE(m_dm->db().transactionDepth(), 0);
}

void TstDetailPagesGui::changeApprovalAndWithdrawal()
{
    Session.OperName = "张三";
    Session.CanApprove = true;
    Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(9, 0)));
    build();
    m_pages->setContract(1);
    m_pages->showPage(1);
    QAction* approve = named("actDetailApprove");
    QVERIFY(!approve->isVisible());

    m_pages->showPage(4);
    DataGrid* g = m_pages->grid(4);
    QVERIFY(approve->isVisible());
    QCOMPARE(g->currentRow(), 0);
    QCOMPARE(approve->text(), QString("批准"));
    g->setCurrentRow(1); // already approved
    QCOMPARE(approve->text(), QString("撤消"));
    g->setCurrentRow(0);
    const qint64 id = g->currentValue("F_ID").toLongLong();
    const QString stored =
        QString("SELECT F_PZemp || '/' || F_PZdate FROM t_BGrec WHERE F_ID = %1").arg(id);
    const int dateColumn = g->model()->columnOfField("F_PZdate");
    QCOMPARE(g->model()->displayText(0, dateColumn), QString());

    approve->trigger();
    QCOMPARE(m_ui->lastText(), QString("批准记录成功！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QCOMPARE(m_dm->QueryString(stored), QString("张三/2024-05-06"));
    QCOMPARE(g->currentValue("F_ID").toLongLong(), id);
    QCOMPARE(approve->text(), QString("撤消"));
    QCOMPARE(g->model()->displayText(g->currentRow(), dateColumn), QString("2024-05-06"));

    approve->trigger();
    QCOMPARE(m_ui->lastText(), QString("撤消记录成功！"));
    QCOMPARE(m_dm->QueryString(stored), QString("/1900-08-14"));
    QCOMPARE(g->currentValue("F_ID").toLongLong(), id);
    QCOMPARE(approve->text(), QString("批准"));
    QCOMPARE(g->model()->displayText(g->currentRow(), dateColumn), QString());

    // Staying on the second record through a withdrawal.
    g->setCurrentRow(1);
    const qint64 second = g->currentValue("F_ID").toLongLong();
    approve->trigger();
    QCOMPARE(g->currentValue("F_ID").toLongLong(), second);
    QCOMPARE(approve->text(), QString("批准"));

    // No change records: nothing to approve.
    m_pages->setContract(3);
    QVERIFY(!approve->isVisible());
    m_ui->clear();
    approve->trigger();
    QCOMPARE(m_ui->messages().size(), 0);
}

void TstDetailPagesGui::approveHiddenWithoutTheRight()
{
    Session.CanApprove = false;
    build();
    m_pages->setContract(1);
    m_pages->showPage(4);
    QVERIFY(!named("actDetailApprove")->isVisible());
}

void TstDetailPagesGui::pageSwitchingShowsTheCommands_data()
{
    QTest::addColumn<QString>("oper");
    QTest::addColumn<QList<int>>("held");
    QTest::addColumn<bool>("shown");
    QTest::newRow("admin") << "admin" << QList<int>{} << true;
    QTest::newRow("operator with 204..206 and 301")
        << "张三" << QList<int>{204, 205, 206, 301} << true;
    QTest::newRow("operator without them") << "李四" << QList<int>{201, 202} << false;
}

void TstDetailPagesGui::pageSwitchingShowsTheCommands()
{
    QFETCH(QString, oper);
    QFETCH(QList<int>, held);
    QFETCH(bool, shown);
    for (int code : held)
        QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) SELECT :o, F_name "
                              "FROM Limits WHERE CAST(F_code AS INTEGER) = :c",
                              {{":o", oper}, {":c", code}}));
    Session.OperName = oper;
    build();
    m_pages->setContract(1);
    const QList<QAction*> group{m_cmd->action(904), m_cmd->action(905), m_cmd->action(906),
                                named("actDetailExport")};

    m_pages->showPage(5);
    for (QAction* a : group)
        QVERIFY2(!a->isVisible(), qPrintable(a->objectName()));
    QVERIFY(m_cmd->action(907)->isVisible());
    QVERIFY(m_pages->showLinesBox()->isHidden());

    m_pages->showPage(1);
    for (QAction* a : group)
        QCOMPARE(a->isVisible(), shown);
    QVERIFY(!m_cmd->action(907)->isVisible());
    QVERIFY(m_pages->showLinesBox()->isHidden());

    m_pages->showPage(8);
    QVERIFY(!m_pages->showLinesBox()->isHidden());
    for (QAction* a : group)
        QCOMPARE(a->isVisible(), shown);
}

void TstDetailPagesGui::showLinesToggles()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(8);
    QCheckBox* box = m_pages->showLinesBox();
    QCOMPARE(box->objectName(), QString("chkShowLines"));
    QCOMPARE(box->text(), QString("显示明细"));
    QVERIFY(box->isChecked());
    DataGrid* lines = m_pages->grid(81);
    QCOMPARE(lines->objectName(), QString("DBGridDetail81"));
    auto* split = m_pages->findChild<QSplitter*>("splShipments");
    QVERIFY(lines->isVisible());
    QVERIFY(split->handle(1)->isVisible());
    box->setChecked(false);
    QVERIFY(!lines->isVisible());
    QVERIFY(!split->handle(1)->isVisible());
    box->setChecked(true);
    QVERIFY(lines->isVisible());
    QVERIFY(split->handle(1)->isVisible());
}

void TstDetailPagesGui::showLinesStartsFromTheSetting()
{
    QVERIFY(m_dm->settings().writeBool("set", "detailflag", false));
    build();
    m_pages->setContract(1);
    m_pages->showPage(8);
    QVERIFY(!m_pages->showLinesBox()->isChecked());
    QVERIFY(!m_pages->grid(81)->isVisible());
}

void TstDetailPagesGui::linesFollowTheShipment()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(8);
    DataGrid* ships = m_pages->grid(8);
    DataGrid* lines = m_pages->grid(81);
    QCOMPARE(lines->model()->rowCount(), 2);
    const int total = lines->model()->columnOfField("F_totalprice");
    QCOMPARE(lines->model()->columnSum(total), 400.0);
    ships->setCurrentRow(1);
    QCOMPARE(ships->currentValue("F_code").toString(), QString("FH-2"));
    QCOMPARE(lines->model()->rowCount(), 1);
    QCOMPARE(lines->model()->columnSum(total), 40.0);
    m_pages->setContract(2);
    QCOMPARE(ships->model()->rowCount(), 0);
    QCOMPARE(lines->model()->rowCount(), 0);
}

void TstDetailPagesGui::noDatesShowBlank()
{
    build();
    m_pages->setContract(1);
    m_pages->openAll();
    struct Cell
    {
        int page;
        const char* field;
        int row;
        const char* shown;
    };
    const Cell cells[] = {
        {1, "F_YSdate", 0, ""},           {1, "F_SKdate", 0, "2024-03-05"},
        {3, "F_awokeDate", 0, ""},        {4, "F_PZdate", 0, ""},
        {4, "F_PZdate", 1, "2024-02-02"}, {8, "F_SHdate", 0, ""},
        {8, "F_FHdate", 0, "2024-03-07"}, {8, "F_FHdate", 1, ""},
    };
    for (const Cell& c : cells) {
        const RecordModel* m = m_pages->grid(c.page)->model();
        const int column = m->columnOfField(c.field);
        QVERIFY2(column >= 0, c.field);
        QCOMPARE(m->displayText(c.row, column), QString::fromUtf8(c.shown));
    }
}

void TstDetailPagesGui::saveLayoutAsksFirst()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(2);
    const QString stored = "SELECT COUNT(*) FROM cfg_grid WHERE F_name = 'detail3'";
    QVERIFY(m_dm->ExecSql("DELETE FROM cfg_grid WHERE F_name = 'detail3'"));
    m_ui->queueAnswer(2);
    m_cmd->action(906)->trigger();
    QCOMPARE(m_ui->lastText(), QString("真的要保存当前网格设置吗？"));
    QCOMPARE(count(stored), 0);
    m_ui->queueAnswer(1);
    m_cmd->action(906)->trigger();
    QCOMPARE(count(stored), m_pages->grid(2)->model()->columnCount());
}

void TstDetailPagesGui::exportUsesThePageCaption()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(3);
    m_ui->queueFile(QString()); // cancel the file dialog
    named("actDetailExport")->trigger();
    QCOMPARE(m_ui->dialogs().size(), 1);
    QVERIFY2(m_ui->dialogs().first().dir.endsWith("合同提醒.xlsx"),
             qPrintable(m_ui->dialogs().first().dir));
    m_pages->showPage(5);
    named("actDetailExport")->trigger();
    QCOMPARE(m_ui->dialogs().size(), 1);
}

void TstDetailPagesGui::doubleClickRunsModifyWhenVisible()
{
    build();
    m_pages->setContract(1);
    m_pages->showPage(2);
    QVERIFY(QTest::qWaitForWindowExposed(m_win));
    QTableView* view = m_pages->grid(2)->view();
    QCoreApplication::processEvents();
    const QRect cell = view->visualRect(view->model()->index(0, 0));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_ui->texts(), QStringList{"此功能尚未提供"});

    m_cmd->action(902)->setVisible(false);
    m_ui->clear();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(m_ui->messages().size(), 0);
}

void TstDetailPagesGui::screenshots()
{
    SCREENSHOTS_ONLY();
    build();
    m_pages->setContract(1);
    m_pages->showPage(1);
    QTest::qWait(20);
    saveScreenshot(m_win, "detailpages_page1");
    m_pages->showPage(8);
    QTest::qWait(20);
    saveScreenshot(m_win, "detailpages_page8");
}

QTEST_MAIN(TstDetailPagesGui)
#include "tst_detailpages_gui.moc"
