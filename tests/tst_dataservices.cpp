#include "data/CodeAllocation.h"
#include "data/Formats.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/SqlBuilder.h"
#include "data/TdmData.h"
#include "data/TransactionGuard.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

// The shared services of the data module, on a real database file.
class TstDataServices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void codeSeries_data();
    void codeSeries();
    void treeCodes_data();
    void treeCodes();
    void treeCodeSeriesUsedUp();
    void shipmentCodes_data();
    void shipmentCodes();
    void contractLinkNumbers();
    void codeTreeAndPaths();
    void brokenTreeStillLoads();
    void numberFormat_data();
    void numberFormat();
    void periodCaption_data();
    void periodCaption();
    void pickListValues();
    void hasRight();
    void specialTextThroughEveryService();
    void failuresAreReported();
    void deleteById();
    void writeLog();
    void sessionValues_data();
    void sessionValues();
    void deptLists_data();
    void deptLists();
    void sqlBuilder();
    void backupOncePerDay();
    void backupFolderQuestions();

private:
    TempExeDir* m_exeDir = nullptr;
    TdmData* m_dm = nullptr;
    ScriptedDialogs* m_ui = nullptr;
};

void TstDataServices::init()
{
    QVERIFY(openDataFixture(m_exeDir, m_ui, m_dm));
    Clock::setNow(QDateTime(QDate(2026, 12, 11), QTime(14, 5, 6)));
}

void TstDataServices::cleanup()
{
    closeDataFixture(m_exeDir, m_ui, m_dm);
    Clock::reset();
}

void TstDataServices::codeSeries_data()
{
    QTest::addColumn<QString>("kind"); // dated or plain
    QTest::addColumn<QString>("largest");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected"); // "!" + part of the error for a failure

    QTest::newRow("first shipment of a day") << "dated"
                                             << "" << 3 << "FH-20261211-001";
    QTest::newRow("tail 009") << "dated"
                              << "FH-20261211-009" << 3 << "FH-20261211-010";
    QTest::newRow("tail 099") << "dated"
                              << "FH-20261211-099" << 3 << "FH-20261211-100";
    QTest::newRow("tail 998") << "dated"
                              << "FH-20261211-998" << 3 << "FH-20261211-999";
    QTest::newRow("tail 999 is the last") << "dated"
                                          << "FH-20261211-999" << 3 << "!用完";
    QTest::newRow("tail not a number") << "dated"
                                       << "FH-20261211-0x9" << 3 << "!不是";
    QTest::newRow("empty goods table") << "plain"
                                       << "" << 6 << "000001";
    QTest::newRow("000999") << "plain"
                            << "000999" << 6 << "001000";
    QTest::newRow("with a head") << "plain"
                                 << "G000123" << 6 << "G000124";
    QTest::newRow("999999 is the last") << "plain"
                                        << "999999" << 6 << "!用完";
    QTest::newRow("too short") << "plain"
                               << "12" << 6 << "!太短";
    QTest::newRow("letters") << "plain"
                             << "ABCDEF" << 6 << "!不是";
}

void TstDataServices::codeSeries()
{
    QFETCH(QString, kind);
    QFETCH(QString, largest);
    QFETCH(int, width);
    QFETCH(QString, expected);
    const AllocatedCode got = kind == "dated"
                                  ? CodeAllocation::nextDated(largest, "FH-", "20261211", width)
                                  : CodeAllocation::nextPlain(largest, width);
    if (expected.startsWith('!')) {
        QVERIFY(!got);
        QVERIFY2(got.error.contains(expected.mid(1)), qPrintable(got.error));
        QVERIFY(got.code.isEmpty());
    } else {
        QVERIFY2(got, qPrintable(got.error));
        QCOMPARE(got.code, expected);
    }

    // The same through the data module, on the goods table.
    if (kind == "plain" && width == 6) {
        if (!largest.isEmpty())
            QVERIFY(m_dm->ExecSql("INSERT INTO t_goods(F_code, F_name) VALUES(:c, 'x')",
                                  {{":c", largest}}));
        const AllocatedCode viaDb = m_dm->NextCode("SELECT max(F_code) FROM t_goods", {}, 6);
        QCOMPARE(viaDb.code, got.code);
        QCOMPARE(bool(viaDb), bool(got));
    }
}

void TstDataServices::treeCodes_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");

    QTest::newRow("child of 001 past a deeper descendant") << "001" << 2 << "001003";
    QTest::newRow("sibling of 002") << "002" << 1 << "006";
    QTest::newRow("child of a leaf") << "005" << 2 << "005001";
    QTest::newRow("child of the root") << "" << 2 << "006";
    QTest::newRow("sibling on level 2") << "001001" << 1 << "001003";
    QTest::newRow("sibling on level 3") << "001002001" << 1 << "001002002";
    QTest::newRow("child on level 3") << "001002" << 2 << "001002002";
}

void TstDataServices::treeCodes()
{
    QFETCH(QString, selected);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    for (const char* code : {"001", "001001", "001002", "001002001", "002", "003", "004", "005"})
        QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                              "VALUES(:c, :c, '', 'type')",
                              {{":c", QString::fromLatin1(code)}}));
    // Another tree's codes do not count.
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_flag) VALUES('009', 'x', "
                          "'dept'), ('001009', 'y', 'dept')"));
    const AllocatedCode got = m_dm->NextTreeCode(selected, "type", mode);
    QVERIFY2(got, qPrintable(got.error));
    QCOMPARE(got.code, expected);
    // An empty tree starts at 001.
    QCOMPARE(m_dm->NextTreeCode("", "gctype", 2).code, QStringLiteral("001"));
}

void TstDataServices::treeCodeSeriesUsedUp()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_flag) VALUES('001', 'a', "
                          "'type'), ('001999', 'b', 'type')"));
    const AllocatedCode got = m_dm->NextTreeCode("001", "type", 2);
    QVERIFY(!got);
    QVERIFY(got.error.contains("用完"));
}

void TstDataServices::shipmentCodes_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{} << "FH-20261211-001";
    QTest::newRow("only other days")
        << QStringList{"FH-20261210-050", "FH-20261212-003"} << "FH-20261211-001";
    QTest::newRow("009 today") << QStringList{"FH-20261211-003", "FH-20261211-009",
                                              "FH-20261210-050"}
                               << "FH-20261211-010";
}

void TstDataServices::shipmentCodes()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString& code : existing)
        QVERIFY(
            m_dm->ExecSql("INSERT INTO t_FHrec(F_cltID, F_code) VALUES(1, :c)", {{":c", code}}));
    const AllocatedCode got = m_dm->NextShipmentCode();
    QVERIFY2(got, qPrintable(got.error));
    QCOMPARE(got.code, expected);
}

void TstDataServices::contractLinkNumbers()
{
    QCOMPARE(m_dm->NextContractLinkNumber(), 1);
    QCOMPARE(m_dm->QueryInt("SELECT max(F_cltID) FROM Contract"), 0);
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID) VALUES(41), (7)"));
    QCOMPARE(m_dm->NextContractLinkNumber(), 42);
}

void TstDataServices::codeTreeAndPaths()
{
    struct Row
    {
        const char* code;
        const char* name;
    };
    for (const Row& r : {Row{"001", "土建"}, Row{"001001", "房建"}, Row{"001001001", "住宅"},
                         Row{"001002", "道路"}, Row{"002", "采购"}, Row{"002001", "设备"}})
        QVERIFY(
            m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) "
                          "VALUES(:c, :n, '', 'type')",
                          {{":c", QString::fromUtf8(r.code)}, {":n", QString::fromUtf8(r.name)}}));
    const CodeTree tree = m_dm->LoadCodeTree("合同类型", "type");
    QCOMPARE(tree.size(), 7);
    QCOMPARE(tree.node(0).name, QStringLiteral("合同类型"));
    QCOMPARE(tree.node(0).code, QStringLiteral("000"));
    QCOMPARE(tree.node(0).likeCode, QStringLiteral("\\\\"));
    QCOMPARE(tree.node(0).children.size(), 2);
    const int house = tree.find("001001001");
    QCOMPARE(tree.node(house).level, 9);
    QCOMPARE(tree.node(tree.node(house).parent).code, QStringLiteral("001001"));
    QCOMPARE(tree.path(house, 1), QStringLiteral("\\\\土建\\房建\\住宅"));
    QCOMPARE(tree.path(house, 2), QStringLiteral("\\\\土建\\房建"));
    QCOMPARE(tree.path(tree.find("001"), 1), QStringLiteral("\\\\土建"));
    QCOMPARE(tree.node(tree.find("002001")).parent, tree.find("002"));
    QCOMPARE(tree.node(tree.find("001002")).parent, tree.find("001"));
}

void TstDataServices::brokenTreeStillLoads()
{
    // 003001 has no parent row; 004 follows a deep node.
    QVERIFY(m_dm->ExecSql("INSERT INTO t_treecode(F_code, F_name, F_flag) VALUES('001', 'a', "
                          "'type'), ('001001001', 'deep', 'type'), ('003001', 'orphan', 'type'), "
                          "('004', 'd', 'type')"));
    const CodeTree tree = m_dm->LoadCodeTree("root", "type");
    QCOMPARE(tree.size(), 5);
    QCOMPARE(tree.node(tree.find("001001001")).parent, tree.find("001"));
    QCOMPARE(tree.node(tree.find("003001")).parent, 0);
    QCOMPARE(tree.node(tree.find("004")).parent, 0);
}

void TstDataServices::numberFormat_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");
    QTest::newRow("style 1, 2") << 2 << 1 << "0.##";
    QTest::newRow("style 2, 2") << 2 << 2 << ",0.00";
    QTest::newRow("style 3, 4") << 4 << 3 << ",0.00##";
    QTest::newRow("style 3, 1") << 1 << 3 << ",0.0";
    QTest::newRow("style 3, 0") << 0 << 3 << ",0.";
    QTest::newRow("other style") << 2 << 4 << "";
}

void TstDataServices::numberFormat()
{
    QFETCH(int, decimals);
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(NumberFormat(decimals, style), expected);
}

void TstDataServices::periodCaption_data()
{
    QTest::addColumn<bool>("fromChecked");
    QTest::addColumn<bool>("toChecked");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both unticked") << false << false << "合同"
                                   << "合同日期：自 启用系统 至 记帐最后一天";
    QTest::newRow("from only, blank prefix") << true << false << "  "
                                             << "统计日期：自 2024年01月01日 至 记帐最后一天";
    QTest::newRow("both") << true << true << "收款"
                          << "收款日期：自 2024年01月01日 至 2024年12月31日";
}

void TstDataServices::periodCaption()
{
    QFETCH(bool, fromChecked);
    QFETCH(bool, toChecked);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QCOMPARE(PeriodCaption(QDate(2024, 1, 1), fromChecked, QDate(2024, 12, 31), toChecked, prefix),
             expected);
}

void TstDataServices::pickListValues()
{
    QVERIFY(m_dm->ExecSql("DELETE FROM t_code"));
    for (const char* v : {"A", "", "  B", "   "})
        QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('x', :v)",
                              {{":v", QString::fromLatin1(v)}}));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type) VALUES('x')")); // a null value
    QCOMPARE(m_dm->PickListValues("SELECT F_name FROM t_code WHERE F_type = :t ORDER BY F_ID",
                                  {{":t", "X"}}),
             (QStringList{"A", "  B"}));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::hasRight()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord) VALUES('张三', ''), "
                          "('O''Neil', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES('张三', "
                          "'合同货品'), ('O''Neil', '导出'), ('其他人', '新增')"));
    struct Case
    {
        const char* oper;
        const char* code;
        bool held;
    };
    for (const Case& c : {Case{"张三", "215", true}, Case{"张三", "214", false},
                          Case{"张三", "201", false}, Case{"O'Neil", "301", true},
                          Case{"O'Neil", "215", false}, Case{"nobody", "215", false}}) {
        Session.OperName = QString::fromUtf8(c.oper);
        QVERIFY2(m_dm->HasRight(QString::fromLatin1(c.code)) == c.held,
                 qPrintable(QString("%1 %2").arg(Session.OperName, c.code)));
    }
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::specialTextThroughEveryService()
{
    const QString text = QStringLiteral("O'Brien 100% c:\\合同\\_x");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', :v)", {{":v", text}}));
    QCOMPARE(m_dm->QueryString("SELECT F_name FROM t_code WHERE F_name = :v", {{":v", text}}),
             text);
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM t_code WHERE F_name = :v", {{":v", text}}), 1);
    QSqlQuery q;
    QVERIFY(m_dm->OpenQuery("SELECT F_ID FROM t_code WHERE F_name = :v", q, {{":v", text}}));
    QVERIFY(q.next());
    QVERIFY(m_dm->PickListValues("SELECT F_name FROM t_code WHERE F_type = 'dept'").contains(text));

    // A like search finds it and nothing else: % and _ match themselves.
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('dept', 'O''Brien 1000 "
                          "c:\\合同\\ax')"));
    SqlBuilder b("SELECT count(*) FROM t_code WHERE 1 = 1 ");
    b.add("AND F_name LIKE %1 ESCAPE '\\' ",
          "%" + SqlDialect::escapeLike("100% c:\\合同\\_") + "%");
    QCOMPARE(m_dm->QueryInt(b.sql(), b.params()), 1);

    // Session values with the same characters.
    Session.OperName = text;
    m_dm->WriteLog(text);
    QCOMPARE(
        m_dm->QueryString("SELECT F_OperType FROM LogRec WHERE F_EmpName = :v", {{":v", text}}),
        text);
    Session.XtFlag = 2;
    Session.DeptList = formatDeptList({text, "B"});
    SqlBuilder depts("SELECT count(*) FROM t_code WHERE F_type = 'dept' ");
    depts.addList("AND F_name IN (%1)", Session.departments());
    QCOMPARE(m_dm->QueryInt(depts.sql(), depts.params()), 1);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::failuresAreReported()
{
    struct Case
    {
        const char* what;
        std::function<void()> call;
        const char* message;
    };
    QSqlQuery q;
    const QList<Case> cases{
        {"ExecSql", [&] { QVERIFY(!m_dm->ExecSql("INSERT INTO NoSuchTable VALUES(1)")); },
         "操作失败，请检查数据连接... "},
        {"QueryString",
         [&] { QCOMPARE(m_dm->QueryString("SELECT nope FROM Contract"), QString()); },
         "操作失败，请检查数据连接... "},
        {"QueryInt", [&] { QCOMPARE(m_dm->QueryInt("SELECT F_x FROM nowhere"), 0); },
         "操作失败，请检查数据连接... "},
        {"OpenQuery", [&] { QVERIFY(!m_dm->OpenQuery("SELEC 1", q)); },
         "打开操作失败，请检查数据连接... "},
        {"PickListValues", [&] { QVERIFY(m_dm->PickListValues("SELECT x FROM y").isEmpty()); },
         "操作失败，请检查数据连接... "},
        {"DeleteById", [&] { QVERIFY(!m_dm->DeleteById("Contract; DROP TABLE t_code", 1)); },
         "删除操作失败，请检查数据连接... "},
    };
    for (const Case& c : cases) {
        m_ui->clear();
        c.call();
        QCOMPARE(m_ui->messages().size(), 1);
        QCOMPARE(m_ui->lastKind(), int(mkError));
        QVERIFY2(m_ui->lastText() == QString::fromUtf8(c.message), c.what);
    }
    QVERIFY(m_dm->db().tableExists("t_code"));

    // Allocation and tree loading leave the report to their caller.
    m_ui->clear();
    QVERIFY(!m_dm->NextCode("SELECT max(F_code) FROM nowhere", {}, 6));
    QVERIFY(!m_dm->NextDatedCode("SELECT max(x) FROM nowhere", {}, "FH-", 3));
    QString error;
    QCOMPARE(m_dm->LoadCodeTree("r", "type", &error).size(), 1);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::deleteById()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_SKrec(F_cltID) VALUES(1), (2), (3)"));
    const int id = m_dm->QueryInt("SELECT F_ID FROM t_SKrec WHERE F_cltID = 2");
    QVERIFY(m_dm->DeleteById("t_skrec", id));
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM t_SKrec"), 2);
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM t_SKrec WHERE F_cltID = 2"), 0);
    QVERIFY(m_dm->DeleteById("t_SKrec", 999999)); // nothing to delete is no failure
}

void TstDataServices::writeLog()
{
    Session.OperName = "张三";
    m_dm->WriteLog("登录失败！");
    QSqlQuery q;
    QVERIFY(m_dm->OpenQuery("SELECT F_EmpName, F_OperType, F_OperDate, F_OperTime FROM LogRec", q));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("张三"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("登录失败！"));
    QCOMPARE(q.value(2).toString(), QStringLiteral("2026-12-11"));
    QCOMPARE(q.value(3).toString(), QStringLiteral("14:05:06"));
    q.finish();
    // A failure is swallowed.
    QVERIFY(m_dm->ExecSql("DROP TABLE LogRec"));
    m_ui->clear();
    m_dm->WriteLog("x");
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::sessionValues_data()
{
    QTest::addColumn<QString>("slot14");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("warned");
    QTest::newRow("2") << "2"
                       << ",0.00" << false;
    QTest::newRow("4") << "4"
                       << ",0.00##" << false;
    QTest::newRow("0") << "0"
                       << ",0." << false;
    QTest::newRow("not a number") << "两位"
                                  << ",0.00" << true;
    QTest::newRow("empty") << ""
                           << ",0.00" << true;
    QTest::newRow("negative") << "-1"
                              << ",0.00" << true;
}

void TstDataServices::sessionValues()
{
    QFETCH(QString, slot14);
    QFETCH(QString, format);
    QFETCH(bool, warned);
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = :v WHERE F_ID = 14", {{":v", slot14}}));
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = '合同份数' WHERE F_ID = 1"));
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_Code = '璞朔公司'"));
    m_dm->settings().writeBool("sys", "bZDHTcode", true);
    QVERIFY(m_dm->LoadSessionValues());
    QCOMPARE(Session.MoneyFormat, format);
    QCOMPARE(Session.keyValue(1), QStringLiteral("合同份数"));
    QCOMPARE(Session.keyValue(14), slot14);
    QCOMPARE(Session.keyValue(15), QString());
    QCOMPARE(Session.SysCode, QStringLiteral("璞朔公司"));
    QVERIFY(Session.AutoContractCode);
    QVERIFY(!Session.AutoCode);
    QCOMPARE(m_ui->messages().size(), warned ? 1 : 0);
    if (warned)
        QCOMPARE(m_ui->lastKind(), int(mkWarning));
}

void TstDataServices::deptLists_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two") << "'A','B'" << QStringList{"A", "B"};
    QTest::newRow("blanks around") << " 'A' , 'B' " << QStringList{"A", "B"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("quote doubled") << "'O''Neil','工程部'" << QStringList{"O'Neil", "工程部"};
    QTest::newRow("comma inside") << "'A,B','C'" << QStringList{"A,B", "C"};
    QTest::newRow("unquoted") << "A, B" << QStringList{"A", "B"};
}

void TstDataServices::deptLists()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, names);
    QCOMPARE(parseDeptList(stored), names);
    QCOMPARE(parseDeptList(formatDeptList(names)), names);
}

void TstDataServices::sqlBuilder()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_code, F_dept) VALUES(1, 'a', '甲'), "
                          "(2, 'b', '乙'), (3, 'c', '丙')"));
    SqlBuilder b("SELECT count(*) FROM Contract WHERE 1 = 1 ");
    b.add("AND F_cltID >= %1 ", 2).addList("AND F_dept IN (%1) ", {"乙", "丙", "丁"});
    QCOMPARE(b.params().size(), 4);
    QCOMPARE(m_dm->QueryInt(b.sql(), b.params()), 2);
    // An empty list selects nothing, without an error.
    SqlBuilder none("SELECT count(*) FROM Contract WHERE 1 = 1 ");
    none.addList("AND F_dept IN (%1)", {});
    QCOMPARE(m_dm->QueryInt(none.sql(), none.params()), 0);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::backupOncePerDay()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_name) VALUES(1, '备份前')"));
    const QString folder = m_exeDir->file("bak");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_BakPath = :p", {{":p", "  " + folder + " "}}));
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Written);
    const QString file = folder + "/dp20261211.back";
    QVERIFY(QFileInfo::exists(file));
    {
        Database copy("copy");
        QVERIFY(copy.open(file));
        QCOMPARE(copy.scalar("SELECT F_name FROM Contract").toString(), QStringLiteral("备份前"));
        QVERIFY(Schema::verify(copy).isEmpty());
    }
    const QDateTime written = QFileInfo(file).lastModified();
    // A second backup on the same day leaves the first file as it is.
    QVERIFY(m_dm->ExecSql("INSERT INTO Contract(F_cltID, F_name) VALUES(2, '备份后')"));
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::AlreadyToday);
    QCOMPARE(QFileInfo(file).lastModified(), written);
    // The next day writes a new one.
    Clock::setNow(QDateTime(QDate(2026, 12, 12), QTime(9, 0)));
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Written);
    QVERIFY(QFileInfo::exists(folder + "/dp20261212.back"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstDataServices::backupFolderQuestions()
{
    const QString folder = m_exeDir->file("new/bak");
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_BakPath = :p", {{":p", folder}}));
    m_ui->queueAnswer(2);
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Declined);
    QCOMPARE(m_ui->lastText(), "当前目录" + folder + " 不存在，是否创建！");
    QVERIFY(!QFileInfo::exists(folder));

    m_ui->queueAnswer(1);
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Written);
    QVERIFY(QFileInfo::exists(folder + "/dp20261211.back"));

    // A folder that cannot be made: below an ordinary file.
    writeFile(m_exeDir->file("plainfile"), "x");
    const QString bad = m_exeDir->file("plainfile/bak");
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_BakPath = :p", {{":p", bad}}));
    m_ui->clear();
    m_ui->queueAnswer(1);
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Failed);
    QCOMPARE(m_ui->lastText(), "目录" + bad + " 创建失败,请检测路径是否合法!");
    QCOMPARE(m_ui->lastKind(), int(mkError));

    // No folder set: "backup" beside the database.
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_BakPath = ''"));
    m_ui->clear();
    m_ui->queueAnswer(1);
    QCOMPARE(m_dm->BackupDatabase(), TdmData::BackupResult::Written);
    QVERIFY(QFileInfo::exists(m_exeDir->file("data/backup/dp20261211.back")));
}

QTEST_GUILESS_MAIN(TstDataServices)
#include "tst_dataservices.moc"
