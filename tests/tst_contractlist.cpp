#include "browser/ContractListQuery.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <QTest>

// The contract list's statement from every filter, and the login checks,
// on a small fixture of contracts and operators.
class TstContractList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filters_data();
    void filters();
    void categoryNames_data();
    void categoryNames();
    void login_data();
    void login();
    void fourthWrongPasswordEndsTheAttempt_data();
    void fourthWrongPasswordEndsTheAttempt();
    void sessionValues();
    void heldRights();

private:
    QStringList codes(const ContractFilter& f, const SessionData& s);
    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstContractList::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    // code, name, client1, FZR1, type, SFflag, archived, status, salesperson, dept, project, memo1
    struct C
    {
        const char *code, *name, *client1, *fzr1, *type;
        int sf, archived;
        const char *status, *emp, *dept, *project, *memo;
    };
    const C rows[] = {
        {"HT-01", "办公楼施工合同", "甲公司", "张三", "\\\\工程\\A", 1, 0, "执行中", "张三",
         "工程部", "大厦", "土建"},
        {"HT-02", "设备采购合同", "乙公司", "李四", "\\\\工程\\AB", -1, 0, "已完成", "李四",
         "采购部", "大厦", "设备"},
        {"HT-03", "O'Brien 100% 合同", "丙公司", "", "\\\\工程\\A\\子类", 1, 1, "执行中", "张三",
         "工程部", "", "c:\\temp"},
        {"HT-04", "软件开发合同", "丁公司", "王五", "\\\\服务", -1, 0, "执行中", "王五", "O'Neil部",
         "园区", ""},
        {"HT-05", "备件合同", "", "", "\\\\服务", 1, 0, "", "张三", "工程部", "", ""},
    };
    int link = 0;
    for (const C& c : rows) {
        QVERIFY(m_dm->ExecSql(
            "INSERT INTO Contract(F_cltID, F_code, F_name, F_client1, F_FZR1, F_type, F_SFflag, "
            "F_GDflag, F_status, F_empname, F_dept, F_GCname, F_memo1, F_date) VALUES(:l, :c, :n, "
            ":c1, :f1, :t, :sf, :g, :s, :e, :d, :p, :m, :date)",
            {{":l", ++link},
             {":c", QString::fromUtf8(c.code)},
             {":n", QString::fromUtf8(c.name)},
             {":c1", *c.client1 ? QVariant(QString::fromUtf8(c.client1)) : QVariant()},
             {":f1", QString::fromUtf8(c.fzr1)},
             {":t", QString::fromUtf8(c.type)},
             {":sf", c.sf},
             {":g", c.archived},
             {":s", QString::fromUtf8(c.status)},
             {":e", QString::fromUtf8(c.emp)},
             {":d", QString::fromUtf8(c.dept)},
             {":p", QString::fromUtf8(c.project)},
             {":m", *c.memo ? QVariant(QString::fromUtf8(c.memo)) : QVariant()},
             {":date", QString("2024-0%1-01").arg(6 - link)}}));
    }
}

void TstContractList::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
}

QStringList TstContractList::codes(const ContractFilter& f, const SessionData& s)
{
    const SqlBuilder b = ContractList::statement(m_dm->db().dialect(), f, s);
    QSqlQuery q;
    if (!m_dm->OpenQuery(b.sql(), q, b.params()))
        return {"<failed>"};
    QStringList out;
    while (q.next())
        out << q.value("F_code").toString();
    out.sort();
    return out;
}

void TstContractList::filters_data()
{
    QTest::addColumn<ContractFilter>("filter");
    QTest::addColumn<int>("xtFlag");
    QTest::addColumn<QString>("deptList");
    QTest::addColumn<QString>("oper");
    QTest::addColumn<QStringList>("expected");

    auto f = [](auto setup) {
        ContractFilter filter;
        setup(filter);
        return filter;
    };
    const QStringList unarchived{"HT-01", "HT-02", "HT-04", "HT-05"};
    QTest::newRow("no filter hides archived") << ContractFilter{} << 0 << ""
                                              << "" << unarchived;
    QTest::newRow("archived included")
        << f([](auto& x) { x.includeArchived = true; }) << 0 << ""
        << "" << QStringList{"HT-01", "HT-02", "HT-03", "HT-04", "HT-05"};
    QTest::newRow("code") << f([](auto& x) {
        x.searchField = 0;
        x.searchValue = " 04 ";
    }) << 0 << ""
                          << "" << QStringList{"HT-04"};
    QTest::newRow("name") << f([](auto& x) {
        x.searchField = 1;
        x.searchValue = "采购";
    }) << 0 << ""
                          << "" << QStringList{"HT-02"};
    QTest::newRow("party A") << f([](auto& x) {
        x.searchField = 2;
        x.searchValue = "丁";
    }) << 0 << ""
                             << "" << QStringList{"HT-04"};
    QTest::newRow("party A empty value drops contracts without one")
        << f([](auto& x) { x.searchField = 2; }) << 0 << ""
        << "" << QStringList{"HT-01", "HT-02", "HT-04"};
    QTest::newRow("person A") << f([](auto& x) {
        x.searchField = 3;
        x.searchValue = "王";
    }) << 0 << ""
                              << "" << QStringList{"HT-04"};
    QTest::newRow("main content") << f([](auto& x) {
        x.searchField = 6;
        x.searchValue = "土";
    }) << 0 << ""
                                  << "" << QStringList{"HT-01"};
    QTest::newRow("quote and percent") << f([](auto& x) {
        x.searchField = 1;
        x.searchValue = "O'Brien 100%";
        x.includeArchived = true;
    }) << 0 << ""
                                       << "" << QStringList{"HT-03"};
    QTest::newRow("percent alone matches itself") << f([](auto& x) {
        x.searchField = 1;
        x.searchValue = "%";
        x.includeArchived = true;
    }) << 0 << ""
                                                  << "" << QStringList{"HT-03"};
    QTest::newRow("backslash") << f([](auto& x) {
        x.searchField = 6;
        x.searchValue = "c:\\";
        x.includeArchived = true;
    }) << 0 << ""
                               << "" << QStringList{"HT-03"};
    QTest::newRow("type with sub-types and the sibling it starts")
        << f([](auto& x) {
               x.typePath = "\\\\工程\\A";
               x.includeArchived = true;
           })
        << 0 << ""
        << "" << QStringList{"HT-01", "HT-02", "HT-03"};
    QTest::newRow("type AB only") << f([](auto& x) { x.typePath = "\\\\工程\\AB"; }) << 0 << ""
                                  << "" << QStringList{"HT-02"};
    QTest::newRow("receipts") << f([](auto& x) { x.direction = 1; }) << 0 << ""
                              << "" << QStringList{"HT-01", "HT-05"};
    QTest::newRow("payments") << f([](auto& x) { x.direction = 2; }) << 0 << ""
                              << "" << QStringList{"HT-02", "HT-04"};
    QTest::newRow("status") << f([](auto& x) {
        x.categoryKind = 0;
        x.categoryName = "执行中";
    }) << 0 << ""
                            << "" << QStringList{"HT-01", "HT-04"};
    QTest::newRow("salesperson") << f([](auto& x) {
        x.categoryKind = 1;
        x.categoryName = "张三";
    }) << 0 << ""
                                 << "" << QStringList{"HT-01", "HT-05"};
    QTest::newRow("department with a quote") << f([](auto& x) {
        x.categoryKind = 2;
        x.categoryName = "O'Neil部";
    }) << 0 << ""
                                             << "" << QStringList{"HT-04"};
    QTest::newRow("project") << f([](auto& x) {
        x.categoryKind = 3;
        x.categoryName = "大厦";
    }) << 0 << ""
                             << "" << QStringList{"HT-01", "HT-02"};
    QTest::newRow("filters together") << f([](auto& x) {
        x.typePath = "\\\\工程";
        x.categoryKind = 1;
        x.categoryName = "李四";
    }) << 0 << ""
                                      << "" << QStringList{"HT-02"};
    QTest::newRow("own contracts") << ContractFilter{} << 1 << ""
                                   << "张三" << QStringList{"HT-01", "HT-05"};
    QTest::newRow("listed departments") << ContractFilter{} << 2 << "'采购部','O''Neil部'"
                                        << "x" << QStringList{"HT-02", "HT-04"};
    QTest::newRow("no department listed: nothing, no error") << ContractFilter{} << 2 << ""
                                                             << "x" << QStringList{};
}

void TstContractList::filters()
{
    QFETCH(ContractFilter, filter);
    QFETCH(int, xtFlag);
    QFETCH(QString, deptList);
    QFETCH(QString, oper);
    QFETCH(QStringList, expected);
    SessionData s;
    s.XtFlag = xtFlag;
    s.DeptList = deptList;
    s.OperName = oper;
    QCOMPARE(codes(filter, s), expected);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstContractList::categoryNames_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("xtFlag");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("departments, all") << 2 << 0 << QStringList{"工程部", "采购部", "O'Neil部"};
    QTest::newRow("departments, listed") << 2 << 2 << QStringList{"采购部", "O'Neil部"};
    QTest::newRow("projects") << 3 << 0 << QStringList{"园区", "大厦"};
}

void TstContractList::categoryNames()
{
    QFETCH(int, kind);
    QFETCH(int, xtFlag);
    QFETCH(QStringList, names);
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES ('dept', '工程部'), "
                          "('dept', '采购部'), ('dept', 'O''Neil部'), ('dept', '')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO GCitem(F_code, F_name) VALUES ('1', '大厦'), ('2', '园区'), "
                          "('3', '大厦')"));
    SessionData s;
    s.XtFlag = xtFlag;
    s.DeptList = "'采购部','O''Neil部'";
    QStringList got;
    QVERIFY(ContractList::categoryNames(m_dm->db(), kind, s, &got));
    if (kind == 3)
        got.sort();
    QCOMPARE(got, names);
}

void TstContractList::login_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("message");
    using O = LoginService::Outcome;
    QTest::newRow("administrator, empty password") << "admin"
                                                   << "" << int(O::LoggedIn) << "";
    QTest::newRow("administrator in capitals") << " ADMIN "
                                               << "" << int(O::LoggedIn) << "";
    QTest::newRow("operator") << "张三"
                              << "pw 1" << int(O::LoggedIn) << "";
    QTest::newRow("name with a quote") << "O'Neil"
                                       << "x" << int(O::LoggedIn) << "";
    QTest::newRow("no name") << "  "
                             << "" << int(O::FocusName) << "请选择用户！";
    QTest::newRow("unknown") << "nobody"
                             << "" << int(O::FocusName) << "此操作员并不存在，请重新选择操作员！";
    QTest::newRow("wrong password") << "张三"
                                    << "pw 2" << int(O::Stay) << "用户名或密码不正确，请重新输入！";
    QTest::newRow("blanks count") << "张三"
                                  << "pw 1 " << int(O::Stay) << "用户名或密码不正确，请重新输入！";
    QTest::newRow("disabled") << "停用者"
                              << "pw" << int(O::Stay) << "此操作员已被禁用，不能登录！";
}

void TstContractList::login()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(int, outcome);
    QFETCH(QString, message);
    struct Op
    {
        const char* name;
        const char* password;
        int disabled;
    };
    for (const Op& op : {Op{"张三", "pw 1", 0}, Op{"O'Neil", "x", 0}, Op{"停用者", "pw", 1}})
        QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord, F_Flag, F_xtFlag, "
                              "F_SHflag, F_dept) VALUES(:n, :p, :f, 1, 0, '')",
                              {{":n", QString::fromUtf8(op.name)},
                               {":p", SavePass(QString::fromUtf8(op.password))},
                               {":f", op.disabled}}));
    LoginService login(*m_dm, LoginService::StartUp);
    QCOMPARE(int(login.tryLogin(name, password)), outcome);
    QCOMPARE(m_ui->lastText(), message);
    if (outcome == int(LoginService::Outcome::LoggedIn)) {
        QCOMPARE(Session.OperName, name.trimmed());
        QCOMPARE(m_dm->settings().readString("Config", "CurOperName"), name.trimmed());
        QCOMPARE(login.presetName(), name.trimmed());
        QCOMPARE(Session.CanApprove, Session.isAdmin());
        QCOMPARE(Session.XtFlag, Session.isAdmin() ? 0 : 1);
    } else {
        QVERIFY(Session.OperName.isEmpty());
    }
    QCOMPARE(m_dm->QueryInt("SELECT count(*) FROM LogRec"), 0);
}

void TstContractList::fourthWrongPasswordEndsTheAttempt_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("message");
    QTest::newRow("start-up") << int(LoginService::StartUp) << "登录失败！"
                              << "非法操作员!";
    QTest::newRow("re-login") << int(LoginService::ReLogin) << "更换操作员失败！"
                              << "更换操作员失败!";
}

void TstContractList::fourthWrongPasswordEndsTheAttempt()
{
    QFETCH(int, mode);
    QFETCH(QString, log);
    QFETCH(QString, message);
    Session.OperName = mode == LoginService::ReLogin ? "前任" : "";
    LoginService login(*m_dm, LoginService::Mode(mode));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(login.tryLogin("admin", "wrong"), LoginService::Outcome::Stay);
        QCOMPARE(m_ui->lastText(), QStringLiteral("用户名或密码不正确，请重新输入！"));
    }
    // An unknown name in between does not count.
    QCOMPARE(login.tryLogin("nobody", "x"), LoginService::Outcome::FocusName);
    QCOMPARE(login.tryLogin("admin", "wrong"), LoginService::Outcome::Failed);
    QCOMPARE(m_ui->lastText(), message);
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_dm->QueryString("SELECT F_OperType FROM LogRec"), log);
    QCOMPARE(m_dm->QueryString("SELECT F_EmpName FROM LogRec"), Session.OperName);
}

void TstContractList::sessionValues()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO OperList(F_Name, F_PassWord, F_xtFlag, F_SHflag, F_dept) "
                          "VALUES('李四', :p, 2, 1, '''采购部''')",
                          {{":p", SavePass("")}}));
    QVERIFY(m_dm->ExecSql("UPDATE SysInfo SET F_Code = '璞朔'"));
    LoginService login(*m_dm, LoginService::StartUp);
    QCOMPARE(login.tryLogin("李四", ""), LoginService::Outcome::LoggedIn);
    QCOMPARE(Session.XtFlag, 2);
    QVERIFY(Session.CanApprove);
    QCOMPARE(Session.departments(), QStringList{"采购部"});
    QCOMPARE(Session.SysCode, QStringLiteral("璞朔"));
    QCOMPARE(Session.MoneyFormat, QStringLiteral(",0.00"));
    QCOMPARE(login.operatorNames(), (QStringList{"admin", "李四"}));
}

void TstContractList::heldRights()
{
    QVERIFY(
        m_dm->ExecSql("INSERT INTO OperLimit(F_OperName, F_lmtName) VALUES('张三', '合同货品'), "
                      "('张三', '导出'), ('李四', '新增')"));
    Session.OperName = "张三";
    QCOMPARE(HeldRights(*m_dm), (QSet<int>{215, 301}));
    Session.OperName = "Admin";
    QCOMPARE(HeldRights(*m_dm).size(), 56);
    Session.OperName = "nobody";
    QVERIFY(HeldRights(*m_dm).isEmpty());
}

QTEST_GUILESS_MAIN(TstContractList)
#include "tst_contractlist.moc"
