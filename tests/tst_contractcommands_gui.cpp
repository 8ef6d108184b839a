#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "codes/TDLGenterCaption.h"
#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>

// The main window's commands on contracts.
class TstContractCommandsGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void deleteRemovesEveryRecord_data();
    void deleteRemovesEveryRecord();
    void deleteAsksAndCanBeDeclined();
    void approvedContractIsRefusedUntilWithdrawn();
    void linkNumberZeroIsDeletedByItsRow();
    void failureInTheMiddleChangesNothing();
    void batchChange_data();
    void batchChange();
    void batchChangeIsAllOrNothing();
    void batchChangeCountsRowsGoneMeanwhile();
    void approvalFailureIsReported();
    void cleanEmptyRows();
    void compaction();
    void connectNetworkDatabase();
    void helpAndTools();
    void layoutAndExport();
    void addAndModifyThroughTheEditWindow();
    void modifyAndCopyOnAnEmptyList();

private:
    void addContract(int link, const QString& code, const QString& name);
    void addRecords(int link, const QString& shipmentCode);
    int count(const QString& table, const QString& where = "1=1");
    void select(const QStringList& codes);
    void trigger(const QString& name);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    TFrmMain* m_main = nullptr;
};

static const char* const kRecordTables[] = {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec",
                                            "t_TPrec", "t_FJrec", "t_GDrec", "t_FHrec"};

void TstContractCommandsGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstContractCommandsGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    addContract(1, "HT-A", "甲合同");
    addContract(2, "HT-B", "乙合同");
    addContract(3, "HT-C", "丙合同");
    // Both contracts ship on the same day: their codes share the prefix.
    addRecords(1, "FH-20261211-001");
    addRecords(2, "FH-20261211-002");
    EstablishSession(*m_dm, "admin");
    m_main = new TFrmMain;
    m_main->ApplySession();
    m_main->PrepareFirstShow();
    m_main->show();
}

void TstContractCommandsGui::cleanup()
{
    delete m_main;
    closeDataFixture(m_exe, m_ui, m_dm);
    setEnterValueHook({});
}

void TstContractCommandsGui::addContract(int link, const QString& code, const QString& name)
{
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO Contract(F_cltID, F_code, F_name, F_date, F_SHemp, F_type, "
        "F_dept) VALUES(:l, :c, :n, :d, '', '\\\\旧类', '旧部门')",
        {{":l", link}, {":c", code}, {":n", name}, {":d", QString("2024-01-0%1").arg(link + 1)}}));
}

void TstContractCommandsGui::addRecords(int link, const QString& shipmentCode)
{
    for (const char* table : kRecordTables)
        QVERIFY(m_dm->ExecSql(QString("INSERT INTO %1(F_cltID) VALUES(:l)").arg(table),
                              {{":l", link}}));
    QVERIFY(m_dm->ExecSql("UPDATE t_FHrec SET F_code = :c WHERE F_cltID = :l",
                          {{":c", shipmentCode}, {":l", link}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code, F_GDcode) VALUES(:c, '1'), (:c, '2')",
                          {{":c", shipmentCode}}));
}

int TstContractCommandsGui::count(const QString& table, const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
}

void TstContractCommandsGui::select(const QStringList& codes)
{
    DataGrid* grid = m_main->contractGrid();
    grid->view()->clearSelection();
    for (const QString& code : codes) {
        const int row = grid->model()->findRow("F_code", code);
        QVERIFY(row >= 0);
        grid->view()->selectionModel()->select(
            grid->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void TstContractCommandsGui::trigger(const QString& name)
{
    QAction* a = m_main->commands()->action(name);
    QVERIFY(a);
    a->trigger();
}

void TstContractCommandsGui::deleteRemovesEveryRecord_data()
{
    QTest::addColumn<QString>("table");
    for (const char* t : kRecordTables)
        QTest::newRow(t) << QString::fromLatin1(t);
    QTest::newRow("t_FHdetail") << "t_FHdetail";
}

void TstContractCommandsGui::deleteRemovesEveryRecord()
{
    QFETCH(QString, table);
    m_main->contractGrid()->setCurrentRow(
        m_main->contractGrid()->model()->findRow("F_code", "HT-A"));
    m_ui->queueAnswer(1);
    trigger("Action203");
    QCOMPARE(m_ui->messages().first().text,
             QStringLiteral("删除当前合同资料，将删除当前合同所有的相关记录，\n真的要删除当前合同“"
                            "甲合同”的相关资料吗？"));
    QCOMPARE(count("Contract"), 2);
    if (table == "t_FHdetail") {
        QCOMPARE(count(table, "F_code = 'FH-20261211-001'"), 0);
        QCOMPARE(count(table, "F_code = 'FH-20261211-002'"), 2);
    } else {
        QCOMPARE(count(table, "F_cltID = 1"), 0);
        QCOMPARE(count(table, "F_cltID = 2"), 1);
    }
    QCOMPARE(m_main->contractGrid()->model()->rowCount(), 2);
}

void TstContractCommandsGui::deleteAsksAndCanBeDeclined()
{
    m_ui->queueAnswer(2);
    trigger("Action203");
    QCOMPARE(count("Contract"), 3);
    QCOMPARE(count("t_FHdetail"), 4);
}

void TstContractCommandsGui::approvedContractIsRefusedUntilWithdrawn()
{
    DataGrid* grid = m_main->contractGrid();
    grid->setCurrentRow(grid->model()->findRow("F_code", "HT-B"));
    QAction* approve = m_main->commands()->action(QStringLiteral("actApprove"));
    QCOMPARE(approve->text(), QStringLiteral("批准"));
    approve->trigger();
    QCOMPARE(m_dm->QueryString("SELECT F_SHemp FROM Contract WHERE F_code = 'HT-B'"),
             QStringLiteral("admin"));
    QCOMPARE(grid->currentValue("F_code").toString(), QStringLiteral("HT-B"));
    QCOMPARE(approve->text(), QStringLiteral("撤消"));
    trigger("Action203");
    QCOMPARE(m_ui->lastText(), QStringLiteral("合同已审批，不能再 \"删除\" ！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(count("Contract"), 3);
    approve->trigger(); // withdraw
    QCOMPARE(approve->text(), QStringLiteral("批准"));
    m_ui->queueAnswer(1);
    trigger("Action203");
    QCOMPARE(count("Contract", "F_code = 'HT-B'"), 0);
}

void TstContractCommandsGui::linkNumberZeroIsDeletedByItsRow()
{
    QVERIFY(m_dm->ExecSql("UPDATE Contract SET F_cltID = 0 WHERE F_code = 'HT-C'"));
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_date) VALUES(0, 'HT-D', "
                          "'丁', '2024-02-01')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_SKrec(F_cltID) VALUES(0)"));
    m_main->RefreshContractList();
    DataGrid* grid = m_main->contractGrid();
    grid->setCurrentRow(grid->model()->findRow("F_code", "HT-C"));
    m_ui->queueAnswer(1);
    trigger("Action203");
    QCOMPARE(count("Contract", "F_code = 'HT-C'"), 0);
    QCOMPARE(count("Contract", "F_code = 'HT-D'"), 1); // the other 0 stays
    QCOMPARE(count("t_SKrec", "F_cltID = 0"), 0);      // records stored under 0 go
}

void TstContractCommandsGui::failureInTheMiddleChangesNothing()
{
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.contains("t_FHdetail"); });
    DataGrid* grid = m_main->contractGrid();
    grid->setCurrentRow(grid->model()->findRow("F_code", "HT-A"));
    m_ui->queueAnswer(1);
    trigger("Action203");
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查连接..."));
    QCOMPARE(count("Contract"), 3);
    for (const char* t : kRecordTables)
        QVERIFY2(count(QString::fromLatin1(t), "F_cltID = 1") == 1, t);
    QCOMPARE(count("t_FHdetail"), 4);
}

void TstContractCommandsGui::batchChange_data()
{
    QTest::addColumn<bool>("department");
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("type, three rows") << false << QStringList{"HT-A", "HT-B", "HT-C"};
    QTest::newRow("department, two rows") << true << QStringList{"HT-A", "HT-C"};
    QTest::newRow("type, none selected") << false << QStringList{};
}

void TstContractCommandsGui::batchChange()
{
    QFETCH(bool, department);
    QFETCH(QStringList, selected);
    QString askedTitle;
    setEnterValueHook([&](const QString& title, const QString&) {
        askedTitle = title;
        return department ? QString("新部门") : QString("\\\\新类\\子类");
    });
    select(selected);
    m_ui->queueAnswer(1);
    trigger(department ? "actBatchDept" : "actBatchType");
    QCOMPARE(askedTitle, department ? QStringLiteral("部门名称") : QStringLiteral("类型名称"));
    const QString column = department ? "F_dept" : "F_type";
    const QString value = department ? "新部门" : "\\\\新类\\子类";
    QCOMPARE(count("Contract", column + " = '" + QString(value).replace("'", "''") + "'"),
             int(selected.size()));
    if (selected.isEmpty())
        QCOMPARE(m_ui->lastText(), QStringLiteral("请选择需要更改合同类型的合同资料！"));
    // Declining the question asks nothing more.
    askedTitle.clear();
    m_ui->queueAnswer(2);
    trigger(department ? "actBatchDept" : "actBatchType");
    QVERIFY(askedTitle.isEmpty());
}

void TstContractCommandsGui::batchChangeIsAllOrNothing()
{
    setEnterValueHook([](const QString&, const QString&) { return QString("\\\\新类"); });
    select({"HT-A", "HT-B", "HT-C"});
    int updates = 0;
    // The second row fails: the first must not stay changed.
    m_dm->db().setFailureInjector([&updates](const QString& sql) {
        return sql.startsWith("UPDATE Contract SET F_type") && ++updates == 2;
    });
    m_ui->queueAnswer(1);
    trigger("actBatchType");
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查连接..."));
    QCOMPARE(count("Contract", "F_type = '\\\\旧类'"), 3);
}

void TstContractCommandsGui::batchChangeCountsRowsGoneMeanwhile()
{
    setEnterValueHook([](const QString&, const QString&) { return QString("新部门"); });
    select({"HT-A", "HT-B", "HT-C"});
    // Another workstation deletes one of them after the list was read.
    QVERIFY(m_dm->ExecSql("DELETE FROM Contract WHERE F_code = 'HT-B'"));
    m_ui->queueAnswer(1);
    trigger("actBatchDept");
    QCOMPARE(count("Contract", "F_dept = '新部门'"), 2);
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QCOMPARE(m_ui->lastText(), QStringLiteral("已修改 2 个合同；其余 1 个合同已不存在。"));
}

void TstContractCommandsGui::approvalFailureIsReported()
{
    DataGrid* grid = m_main->contractGrid();
    grid->setCurrentRow(grid->model()->findRow("F_code", "HT-B"));
    QAction* approve = m_main->commands()->action(QStringLiteral("actApprove"));
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.startsWith("UPDATE Contract SET F_SHemp"); });
    approve->trigger();
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查连接..."));
    QCOMPARE(m_dm->QueryString("SELECT F_SHemp FROM Contract WHERE F_code = 'HT-B'"), QString());
    QCOMPARE(approve->text(), QStringLiteral("批准"));
    // A contract another workstation deleted meanwhile is not approved silently.
    QVERIFY(m_dm->ExecSql("DELETE FROM Contract WHERE F_code = 'HT-B'"));
    m_ui->clear();
    approve->trigger();
    QCOMPARE(m_ui->lastKind(), int(mkError));
}

void TstContractCommandsGui::cleanEmptyRows()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name) VALUES (7, '', NULL), "
                          "(8, NULL, NULL), (9, 'only code', ''), (10, '', 'only name')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Code, F_Name) VALUES ('', ''), ('K1', '')"));
    trigger("actCleanContracts");
    QCOMPARE(m_ui->lastText(), QStringLiteral("清除合同编号和名称为空的记录行成功！"));
    QCOMPARE(count("Contract", "F_cltID >= 7"), 2);
    trigger("actCleanClients");
    QCOMPARE(m_ui->lastText(), QStringLiteral("清除客户编号和名称为空的记录行成功！"));
    QCOMPARE(count("Client"), 1);
    // A failure is not reported as success.
    QVERIFY(m_dm->ExecSql("DROP TABLE Client"));
    m_ui->clear();
    trigger("actCleanClients");
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(!m_ui->texts().contains("清除客户编号和名称为空的记录行成功！"));
}

void TstContractCommandsGui::compaction()
{
    trigger("Action504");
    QCOMPARE(m_ui->lastText(), QStringLiteral("压缩数据库成功！"));
    QCOMPARE(m_main->contractGrid()->model()->rowCount(), 3);
}

void TstContractCommandsGui::connectNetworkDatabase()
{
    m_ui->queueFile("/srv/share/合同/other.db");
    trigger("Action505");
    QCOMPARE(m_ui->dialogs().last().title, QStringLiteral("连接网络数据库"));
    QCOMPARE(m_dm->settings().readString("config", "ds"), QStringLiteral("/srv/share/合同/"));
    // Cancelling changes nothing; the running connection stays as it is.
    trigger("Action505");
    QCOMPARE(m_dm->settings().readString("config", "ds"), QStringLiteral("/srv/share/合同/"));
    QVERIFY(m_dm->db().filePath().startsWith(m_exe->path()));
}

void TstContractCommandsGui::helpAndTools()
{
    // Files shipped beside the program; a missing one says which.
    trigger("actReadme");
    QCOMPARE(m_ui->lastKind(), int(mkWarning));
    QVERIFY(m_ui->lastText().contains("readme.txt"));
    m_ui->clear();
    trigger("actFaq"); // no action behind it
    QVERIFY(m_ui->messages().isEmpty());
    // "关于我们" is a window of its own now, not a message.
    QString aboutTitle;
    onModal([&](QWidget* w) {
        if (auto* title = w->findChild<QLabel*>("lblTitle"))
            aboutTitle = title->text();
        w->close();
    });
    trigger("actAbout");
    QVERIFY(aboutTitle.contains("璞朔工程合同管理软件(企业版)"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstContractCommandsGui::layoutAndExport()
{
    QHeaderView* h = m_main->contractGrid()->view()->horizontalHeader();
    h->moveSection(h->visualIndex(1), 0); // the name first
    m_ui->queueAnswer(1);
    trigger("Action206");
    QCOMPARE(m_ui->lastText(), QStringLiteral("真的要保存当前网格设置吗？"));
    QCOMPARE(m_dm->QueryString("SELECT F_FieldName FROM cfg_grid WHERE F_name = 'clientmain' AND "
                               "F_Order = 0"),
             QStringLiteral("F_name"));
    const QString file = m_exe->file("合同.xlsx");
    m_ui->queueFile(file);
    trigger("Action301");
    QCOMPARE(m_ui->dialogs().last().type, QStringLiteral("save"));
    QVERIFY(QFileInfo(file).size() > 0);
}

void TstContractCommandsGui::addAndModifyThroughTheEditWindow()
{
    // The edit window is modal: fill it and press 确定 from the event loop.
    QTimer::singleShot(0, [] {
        QWidget* w = QApplication::activeModalWidget();
        QVERIFY(w && w->objectName() == "TfrmContractEdit");
        w->findChild<QLineEdit*>("edtCode")->setText("HT-NEW");
        w->findChild<QLineEdit*>("edtName")->setText("新合同");
        w->findChild<QPushButton*>("btnOK")->click();
    });
    trigger("Action201");
    QCOMPARE(count("Contract", "F_code = 'HT-NEW'"), 1);
    QCOMPARE(m_dm->QueryInt("SELECT F_cltID FROM Contract WHERE F_code = 'HT-NEW'"), 4);
    // The list shows it and stands on it.
    DataGrid* grid = m_main->contractGrid();
    QCOMPARE(grid->currentValue("F_code").toString(), QStringLiteral("HT-NEW"));

    grid->setCurrentRow(grid->model()->findRow("F_code", "HT-B"));
    QTimer::singleShot(0, [] {
        QWidget* w = QApplication::activeModalWidget();
        QVERIFY(w);
        QCOMPARE(w->findChild<QLineEdit*>("edtCode")->text(), QStringLiteral("HT-B"));
        w->findChild<QLineEdit*>("edtName")->setText("乙合同（改）");
        w->findChild<QPushButton*>("btnOK")->click();
    });
    trigger("Action202");
    QCOMPARE(m_dm->QueryString("SELECT F_name FROM Contract WHERE F_code = 'HT-B'"),
             QStringLiteral("乙合同（改）"));
    QCOMPARE(grid->currentValue("F_code").toString(), QStringLiteral("HT-B"));
}

void TstContractCommandsGui::modifyAndCopyOnAnEmptyList()
{
    QVERIFY(m_dm->ExecSql("DELETE FROM Contract"));
    m_main->RefreshContractList();
    trigger("Action202");
    QCOMPARE(m_ui->lastText(), QStringLiteral("此表为空，没有客户记录需要修改！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    trigger("Action207");
    QCOMPARE(m_ui->lastText(), QStringLiteral("合同记录是空，不能复制！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
}

QTEST_MAIN(TstContractCommandsGui)
#include "tst_contractcommands_gui.moc"
