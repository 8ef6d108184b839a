#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "common/DataGrid.h"
#include "data/TdmData.h"
#include "maintenance/DataCleanup.h"
#include "maintenance/TfrmDataClean.h"
#include "operators/LoginService.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QMap>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTreeWidget>

// The clean-up window: which tables each box empties, all in one
// transaction, and the tables it never touches.
class TstDataCleanupGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boxes();
    void contractsTickTheirRecords();
    void combinations_data();
    void combinations();
    void declinedChangesNothing();
    void failureAtEachStatementChangesNothing();
    void mainWindowReadsTreeAndListAgain();
    void screenshot();

private:
    using Snapshot = QMap<QString, QStringList>;
    Snapshot snapshot();
    void fill();
    void apply(TfrmDataClean& window, const QStringList& clicks);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

namespace {

const char* const kTables[] = {"Contract",   "t_SKrec",    "t_ZXrec", "t_TXrec",
                               "t_BGrec",    "t_TPrec",    "t_FJrec", "t_GDrec",
                               "t_FHrec",    "t_FHdetail", "Client",  "t_goods",
                               "t_GCdetail", "GCitem",     "t_code",  "t_employee"};
// What the clean-up must never touch.
const char* const kProtected[] = {"OperList", "OperLimit",  "Limits",  "LogRec",
                                  "cfg_grid", "cfg_import", "SysInfo", "KeyValue"};
const char* const kTreeFlags[] = {"type", "clttype", "gctype", "dept"};

const QStringList kContractRecords = {"Contract", "t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec",
                                      "t_TPrec",  "t_FJrec", "t_GDrec", "t_FHrec", "t_FHdetail"};

} // namespace

void TstDataCleanupGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    fill();
}

void TstDataCleanupGui::cleanup()
{
    closeModalWindows();
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstDataCleanupGui::fill()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_name, F_type) "
                          "VALUES(1, 'HT-1', '甲', '\\\\工程\\\\土建'), (2, 'HT-2', '乙', '')"));
    for (const char* t :
         {"t_SKrec", "t_ZXrec", "t_TXrec", "t_BGrec", "t_TPrec", "t_FJrec", "t_GDrec", "t_FHrec"})
        QVERIFY(m_dm->ExecSql(QString("INSERT INTO %1(F_cltID) VALUES(1), (2)").arg(t)));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code) VALUES('FH-1'), ('FH-2')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Code, F_Name) VALUES('C1', '客户')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_goods(F_code, F_name) VALUES('G1', '水泥')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO GCitem(F_code, F_name) VALUES('P1', '大桥')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GCdetail(F_GCcode) VALUES('P1')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', '销售部'), "
                          "('empname', '张三')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_employee(F_name) VALUES('张三')"));
    for (const char* flag : kTreeFlags)
        QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                              "VALUES('001', :n, :p, :f), ('001001', :n, :p, :f)",
                              {{":n", QString("节点") + flag},
                               {":p", QString("\\\\节点") + flag},
                               {":f", QString(flag)}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord) VALUES('张三', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES('张三', '新增')"));
    QVERIFY(
        m_dm->ExecSql("INSERT INTO LogRec(F_EmpName, F_OperType) VALUES('张三', '登录失败！')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO cfg_import(F_tablename, S_Field) VALUES('contract', "
                          "'合同编号')"));
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_Code = '璞朔'"));
}

TstDataCleanupGui::Snapshot TstDataCleanupGui::snapshot()
{
    Snapshot s;
    auto read = [this, &s](const QString& key, const QString& sql, const SqlParams& params) {
        QSqlQuery q;
        if (!m_dm->OpenQuery(sql, q, params)) {
            s[key] << "unreadable";
            return;
        }
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            s[key] << values.join('|');
        }
    };
    for (const char* t : kTables)
        read(t, QString("SELECT * FROM %1 ORDER BY 1").arg(t), {});
    for (const char* t : kProtected)
        read(t, QString("SELECT * FROM %1 ORDER BY 1, 2").arg(t), {});
    for (const char* flag : kTreeFlags)
        read(QString("tree:") + flag, "SELECT * FROM t_treecode WHERE F_flag = :f ORDER BY 1",
             {{":f", QString(flag)}});
    return s;
}

// "+n" ticks box n (1-based), "-n" unticks it, "all" and "none" press the buttons.
void TstDataCleanupGui::apply(TfrmDataClean& window, const QStringList& clicks)
{
    for (const QString& click : clicks) {
        if (click == "all")
            window.findChild<QPushButton*>("btnAll")->click();
        else if (click == "none")
            window.findChild<QPushButton*>("btnNone")->click();
        else
            window.boxes().at(click.mid(1).toInt() - 1)->setChecked(click.startsWith('+'));
    }
}

void TstDataCleanupGui::boxes()
{
    TfrmDataClean window;
    QCOMPARE(window.windowTitle(), QString("数据清理"));
    QCOMPARE(window.boxes().size(), 17);
    QStringList captions;
    for (QCheckBox* box : window.boxes()) {
        QVERIFY(!box->isChecked());
        captions << box->text();
    }
    QCOMPARE(captions.first(), QString("合同档案资料"));
    QCOMPARE(captions.at(8), QString("合同发货记录"));
    QCOMPARE(captions.last(), QString("部门设置"));
    apply(window, {"all"});
    for (QCheckBox* box : window.boxes())
        QVERIFY(box->isChecked());
    apply(window, {"none"});
    for (QCheckBox* box : window.boxes())
        QVERIFY(!box->isChecked());
}

void TstDataCleanupGui::contractsTickTheirRecords()
{
    TfrmDataClean window;
    apply(window, {"+1"});
    for (int i = 0; i < 17; ++i)
        QCOMPARE(window.boxes().at(i)->isChecked(), i <= 8);
    // Unticking the contracts leaves the records as they are.
    apply(window, {"-6", "-1"});
    for (int i = 0; i < 17; ++i)
        QCOMPARE(window.boxes().at(i)->isChecked(), i >= 1 && i <= 8 && i != 5);
}

void TstDataCleanupGui::combinations_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QStringList>("emptied");

    QStringList withoutScans = kContractRecords;
    withoutScans.removeAll("t_TPrec");
    QTest::newRow("contracts, scans unticked") << QStringList{"+1", "-6"} << withoutScans;
    QTest::newRow("none, then contracts") << QStringList{"all", "none", "+1"} << kContractRecords;
    QTest::newRow("shipments") << QStringList{"+9"} << QStringList{"t_FHrec", "t_FHdetail"};
    QTest::newRow("contract types keep the contracts' paths")
        << QStringList{"+10"} << QStringList{"tree:type"};
    QTest::newRow("departments keep the pick list")
        << QStringList{"+17"} << QStringList{"tree:dept"};
    QTest::newRow("pick lists keep the department tree")
        << QStringList{"+16"} << QStringList{"t_code"};
    QTest::newRow("projects") << QStringList{"+15"} << QStringList{"t_GCdetail", "GCitem"};
    QTest::newRow("reference records")
        << QStringList{"+11", "+12", "+13", "+14"}
        << QStringList{"tree:clttype", "tree:gctype", "Client", "t_goods"};
    QStringList everything = kContractRecords;
    everything << "tree:type"
               << "tree:clttype"
               << "tree:gctype"
               << "Client"
               << "t_goods"
               << "t_GCdetail"
               << "GCitem"
               << "t_code"
               << "tree:dept";
    QTest::newRow("all") << QStringList{"all"} << everything;
    QTest::newRow("nothing ticked") << QStringList{} << QStringList{};
}

void TstDataCleanupGui::combinations()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, emptied);

    Snapshot expected = snapshot();
    for (const QString& key : emptied) {
        QVERIFY2(!expected[key].isEmpty(), qPrintable(key));
        expected[key].clear();
    }
    TfrmDataClean window;
    apply(window, clicks);
    m_ui->queueAnswer(1);
    window.findChild<QPushButton*>("btnOK")->click();
    QCOMPARE(m_ui->messages().size(), 2);
    QCOMPARE(m_ui->messages().at(0).kind, int(mkQuestion));
    QCOMPARE(m_ui->messages().at(0).text,
             QString("数据清理，将删除所有列表框所选中的所有数据表的数据，\n"
                     "建议您在清理之前，备份当前数据，真的要清除当前数据吗？"));
    QCOMPARE(m_ui->lastText(), QString("数据清理成功！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    const Snapshot after = snapshot();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(window.cleaned(), !clicks.isEmpty());
}

void TstDataCleanupGui::declinedChangesNothing()
{
    const Snapshot before = snapshot();
    TfrmDataClean window;
    apply(window, {"all"});
    m_ui->queueAnswer(2);
    window.findChild<QPushButton*>("btnOK")->click();
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(snapshot(), before);
    QVERIFY(!window.cleaned());
}

void TstDataCleanupGui::failureAtEachStatementChangesNothing()
{
    const Snapshot before = snapshot();
    TfrmDataClean window;
    window.show();
    apply(window, {"all"});
    bool succeeded = false;
    int statements = 0;
    for (int failAt = 1; failAt < 40 && !succeeded; ++failAt) {
        m_ui->clear();
        int seen = 0;
        m_dm->db().setFailureInjector([&](const QString&) { return ++seen == failAt; });
        m_ui->queueAnswer(1);
        succeeded = window.clean();
        m_dm->db().setFailureInjector({});
        if (succeeded) {
            statements = seen;
            break;
        }
        QCOMPARE(m_ui->lastText(), QString("操作失败，请检查连接..."));
        QCOMPARE(m_ui->lastKind(), int(mkError));
        QCOMPARE(snapshot(), before);
        QVERIFY(window.isVisible());
    }
    QVERIFY(succeeded);
    // Begin, the nineteen statements of the groups, commit.
    QCOMPARE(statements, 21);
}

void TstDataCleanupGui::mainWindowReadsTreeAndListAgain()
{
    EstablishSession(*m_dm, "admin");
    TFrmMain main;
    main.ApplySession();
    main.PrepareFirstShow();
    main.show();
    QCOMPARE(main.contractGrid()->model()->rowCount(), 2);
    auto* tree = main.findChild<QTreeWidget*>("tvTree");
    QVERIFY(tree);
    QVERIFY(tree->topLevelItem(0)->childCount() > 0);

    bool stepped = false;
    onModal([&](QWidget* w) {
        auto* window = qobject_cast<TfrmDataClean*>(w);
        QVERIFY(window);
        window->boxes().at(0)->setChecked(true);
        window->boxes().at(9)->setChecked(true);
        m_ui->queueAnswer(1);
        window->findChild<QPushButton*>("btnOK")->click();
        QCOMPARE(m_ui->lastText(), QString("数据清理成功！"));
        stepped = true;
        window->findChild<QPushButton*>("btnClose")->click();
    });
    main.commands()->action(502)->trigger();
    QVERIFY(stepped);
    QCOMPARE(main.contractGrid()->model()->rowCount(), 0);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
}

void TstDataCleanupGui::screenshot()
{
    SCREENSHOTS_ONLY();
    TfrmDataClean window;
    window.show();
    apply(window, {"+1", "-6", "+16"});
    saveScreenshot(&window, "data-cleanup");
}

QTEST_MAIN(TstDataCleanupGui)
#include "tst_datacleanup_gui.moc"
