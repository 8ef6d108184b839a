#include "common/RecordModel.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "data/TransactionGuard.h"
#include "platform/ScriptedDialogs.h"
#include "reference/ClientStore.h"
#include "reference/ProjectStore.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

#ifndef HELPER_ALLOCATE
#error "HELPER_ALLOCATE must name the helper program"
#endif

// The statements of counterparts and projects: automatic codes, the list
// and picker queries, project saves with their files, project deletes, and
// the wider project type column.
class TstClients : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nextAutoCode_data();
    void nextAutoCode();
    void autoCodeFollowsLastAdded_data();
    void autoCodeFollowsLastAdded();
    void clientList_data();
    void clientList();
    void clientPicker_data();
    void clientPicker();
    void projectList_data();
    void projectList();
    void projectPickerNeverOffersStopped();
    void projectSaveWritesFilesUnderItsCode();
    void codeChangeMovesFiles();
    void failedProjectSaveKeepsPendingFiles();
    void failedDeleteLeavesProjectAndFiles();
    void oldDatabaseGetsWideProjectType();
    void twoProcessesNeverShareAClientCode();

private:
    void addClient(const QString& code, const QString& name, const QString& type = QString(),
                   bool stopped = false, const QString& linkMan = QString(),
                   const QString& address = QString());
    void addProject(const QString& code, const QString& name, const QString& type = QString(),
                    bool stopped = false, const QString& fzr = QString(),
                    const QString& pos = QString(), const QString& gcType = QString());
    QStringList codes(const SqlBuilder& b, const QString& field = "F_code");
    QStringList storedFiles(const QString& code);
    int count(const QString& sql);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstClients::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
}

void TstClients::cleanup()
{
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstClients::addClient(const QString& code, const QString& name, const QString& type,
                           bool stopped, const QString& linkMan, const QString& address)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Code, F_Name, F_Type, F_useFlag, F_LinkMan, "
                          "F_Address) VALUES(:c, :n, :t, :u, :l, :a)",
                          {{":c", code},
                           {":n", name},
                           {":t", type},
                           {":u", stopped},
                           {":l", linkMan},
                           {":a", address}}));
}

void TstClients::addProject(const QString& code, const QString& name, const QString& type,
                            bool stopped, const QString& fzr, const QString& pos,
                            const QString& gcType)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO GCitem(F_code, F_name, F_type, F_useFlag, F_FZRemp, "
                          "F_GCpos, F_GCtype, F_GCname) VALUES(:c, :n, :t, :u, :f, :p, :g, :n)",
                          {{":c", code},
                           {":n", name},
                           {":t", type},
                           {":u", stopped},
                           {":f", fzr},
                           {":p", pos},
                           {":g", gcType}}));
}

QStringList TstClients::codes(const SqlBuilder& b, const QString& field)
{
    QSqlQuery q;
    if (!m_dm->OpenQuery(b.sql(), q, b.params()))
        return {"<failed>"};
    QStringList out;
    while (q.next())
        out << q.value(field).toString();
    return out;
}

QStringList TstClients::storedFiles(const QString& code)
{
    QSqlQuery q;
    m_dm->OpenQuery("SELECT F_caption FROM t_GCdetail WHERE F_GCcode = :c ORDER BY F_ID", q,
                    {{":c", code}});
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

int TstClients::count(const QString& sql)
{
    return m_dm->QueryInt(sql);
}

void TstClients::nextAutoCode_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("next");
    QTest::newRow("prefix and four digits") << "KH0009"
                                            << "KH0010";
    QTest::newRow("carry") << "KH0099"
                           << "KH0100";
    QTest::newRow("no digits") << "ABC"
                               << "0001";
    QTest::newRow("three digits only") << "K123"
                                       << "0001";
    QTest::newRow("four digits, no prefix") << "0023"
                                            << "0024";
    QTest::newRow("wraps") << "KH9999"
                           << "KH0000";
    QTest::newRow("short") << "12"
                           << "0001";
    QTest::newRow("none") << ""
                          << "0001";
    QTest::newRow("letter in the tail") << "KH00A9"
                                        << "0001";
    QTest::newRow("long prefix") << "2024-KH-0815"
                                 << "2024-KH-0816";
}

void TstClients::nextAutoCode()
{
    QFETCH(QString, last);
    QFETCH(QString, next);
    QCOMPARE(ClientStore::nextAutoCode(last), next);
}

void TstClients::autoCodeFollowsLastAdded_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QString>("next");
    QTest::newRow("empty table") << QStringList{} << "0001";
    QTest::newRow("KH0009") << QStringList{"KH0009"} << "KH0010";
    QTest::newRow("ABC") << QStringList{"KH0009", "ABC"} << "0001";
    // The most recently added row counts, not the greatest code.
    QTest::newRow("KH0100 then KH0005") << QStringList{"KH0100", "KH0005"} << "KH0006";
}

void TstClients::autoCodeFollowsLastAdded()
{
    QFETCH(QStringList, added);
    QFETCH(QString, next);
    for (const QString& code : added)
        addClient(code, "单位" + code);
    TransactionGuard tx(m_dm->db());
    const AllocatedCode code = ClientStore::allocateAutoCode(m_dm->db());
    QVERIFY2(code, qPrintable(code.error));
    QCOMPARE(code.code, next);
}

void TstClients::clientList_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typePath");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QStringList>("expected");
    const QString all;
    QTest::newRow("root, in use") << -1 << all << all << false
                                  << QStringList{"A01", "A02", "B01", "Q'1", "X%1", "Y_1"};
    QTest::newRow("root, with stopped")
        << -1 << all << all << true << QStringList{"A01", "A02", "B01", "C01", "Q'1", "X%1", "Y_1"};
    QTest::newRow("code prefix") << 0 << "A0" << all << false << QStringList{"A01", "A02"};
    QTest::newRow("code prefix is not anywhere") << 0 << "01" << all << false << QStringList{};
    QTest::newRow("name anywhere") << 1 << "钢铁" << all << false << QStringList{"A02", "B01"};
    QTest::newRow("name, empty text: named units")
        << 1 << "" << all << false << QStringList{"A01", "A02", "B01", "Q'1", "X%1", "Y_1"};
    QTest::newRow("contact") << 2 << "王" << all << false << QStringList{"A01"};
    QTest::newRow("address") << 3 << "上海" << all << true << QStringList{"B01", "C01"};
    QTest::newRow("text trimmed") << 0 << "  B0 " << all << false << QStringList{"B01"};
    QTest::newRow("node and below")
        << -1 << all << "\\\\华东" << false << QStringList{"A01", "A02"};
    QTest::newRow("child node") << -1 << all << "\\\\华东\\上海" << false << QStringList{"A02"};
    QTest::newRow("node, with stopped")
        << -1 << all << "\\\\华北" << true << QStringList{"B01", "C01"};
    QTest::newRow("quote") << 0 << "Q'" << all << false << QStringList{"Q'1"};
    QTest::newRow("percent is literal") << 0 << "X%" << all << false << QStringList{"X%1"};
    QTest::newRow("percent alone") << 1 << "%" << all << false << QStringList{"X%1"};
    QTest::newRow("underscore is literal") << 1 << "_" << all << false << QStringList{"Y_1"};
    QTest::newRow("backslash is literal") << 1 << "\\" << all << false << QStringList{};
}

void TstClients::clientList()
{
    QFETCH(int, choice);
    QFETCH(QString, text);
    QFETCH(QString, typePath);
    QFETCH(bool, stopped);
    QFETCH(QStringList, expected);
    addClient("B01", "北方钢铁", "\\\\华北", false, "李", "上海路 1 号");
    addClient("A01", "东方公司", "\\\\华东", false, "王五", "南京");
    addClient("A02", "上海钢铁", "\\\\华东\\上海", false, "赵", "杭州");
    addClient("C01", "停用公司", "\\\\华北", true, "王六", "上海");
    addClient("Q'1", "引号'公司", "\\\\其他");
    addClient("X%1", "百分%公司", "\\\\其他");
    addClient("Y_1", "下划_公司", "\\\\其他");
    // A unit without a name.
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Code, F_Type) VALUES('Z01', '\\\\其他')"));
    ReferenceListCriteria c;
    c.choice = choice;
    c.text = text;
    c.typePath = typePath;
    c.includeStopped = stopped;
    if (choice == -1 && typePath.isEmpty())
        expected << "Z01";
    expected.sort();
    QCOMPARE(codes(ClientStore::listQuery(m_dm->db().dialect(), c)), expected);
}

void TstClients::clientPicker_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("typePath");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("everything in use") << ""
                                       << ""
                                       << ""
                                       << "" << QStringList{"A01", "A02", "B01"};
    QTest::newRow("code") << "A"
                          << ""
                          << ""
                          << "" << QStringList{"A01", "A02"};
    QTest::newRow("name") << ""
                          << "钢"
                          << ""
                          << "" << QStringList{"A02", "B01"};
    QTest::newRow("address") << ""
                             << ""
                             << "上海"
                             << "" << QStringList{"B01"};
    QTest::newRow("node") << ""
                          << ""
                          << ""
                          << "\\\\华东" << QStringList{"A01", "A02"};
    QTest::newRow("stopped never, also by name") << ""
                                                 << "停用"
                                                 << ""
                                                 << "" << QStringList{};
    QTest::newRow("percent literal") << ""
                                     << "%"
                                     << ""
                                     << "" << QStringList{};
}

void TstClients::clientPicker()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, typePath);
    QFETCH(QStringList, expected);
    addClient("B01", "北方钢铁", "\\\\华北", false, "李", "上海路 1 号");
    addClient("A01", "东方公司", "\\\\华东", false, "王五", "南京");
    addClient("A02", "上海钢铁", "\\\\华东\\上海", false, "赵", "杭州");
    addClient("C01", "停用公司", "\\\\华北", true, "王六", "上海");
    ClientStore::PickCriteria c{code, name, address, typePath};
    QCOMPARE(codes(ClientStore::pickQuery(m_dm->db().dialect(), c)), expected);
}

void TstClients::projectList_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typePath");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("root") << -1 << ""
                          << "" << false << QStringList{"P1", "P2", "P3"};
    QTest::newRow("root with stopped") << -1 << ""
                                       << "" << true << QStringList{"P1", "P2", "P3", "P4"};
    QTest::newRow("code") << 0 << "P1"
                          << "" << false << QStringList{"P1"};
    QTest::newRow("name") << 1 << "大楼"
                          << "" << false << QStringList{"P1", "P3"};
    // Projects have no contact or address: person in charge and site.
    QTest::newRow("contact: person in charge") << 2 << "张"
                                               << "" << false << QStringList{"P2"};
    QTest::newRow("address: site") << 3 << "浦东"
                                   << "" << true << QStringList{"P1", "P4"};
    QTest::newRow("node") << -1 << ""
                          << "\\\\民用" << false << QStringList{"P1", "P2"};
    QTest::newRow("quote in the site") << 3 << "O'"
                                       << "" << false << QStringList{"P3"};
    QTest::newRow("underscore literal") << 2 << "_"
                                        << "" << false << QStringList{};
}

void TstClients::projectList()
{
    QFETCH(int, choice);
    QFETCH(QString, text);
    QFETCH(QString, typePath);
    QFETCH(bool, stopped);
    QFETCH(QStringList, expected);
    addProject("P1", "办公大楼", "\\\\民用\\办公", false, "李四", "浦东新区");
    addProject("P2", "住宅", "\\\\民用", false, "张三", "闵行");
    addProject("P3", "厂房大楼", "\\\\工业", false, "王", "O'Hare 路");
    addProject("P4", "旧楼", "\\\\民用", true, "张", "浦东");
    ReferenceListCriteria c;
    c.choice = choice;
    c.text = text;
    c.typePath = typePath;
    c.includeStopped = stopped;
    QCOMPARE(codes(ProjectStore::listQuery(m_dm->db().dialect(), c)), expected);
}

void TstClients::projectPickerNeverOffersStopped()
{
    addProject("P1", "办公大楼", "\\\\民用", false, "李四", "浦东", "房建");
    addProject("P2", "住宅", "\\\\民用", false, "张三", "闵行", "市政");
    addProject("P4", "旧大楼", "\\\\民用", true, "张", "浦东", "房建");
    const SqlDialect& d = m_dm->db().dialect();
    QCOMPARE(codes(ProjectStore::pickQuery(d, {})), (QStringList{"P1", "P2"}));
    QCOMPARE(codes(ProjectStore::pickQuery(d, {"房", "", "", ""})), QStringList{"P1"});
    QCOMPARE(codes(ProjectStore::pickQuery(d, {"", "大楼", "", ""})), QStringList{"P1"});
    QCOMPARE(codes(ProjectStore::pickQuery(d, {"", "", "住", ""})), QStringList{"P2"});
    QCOMPARE(codes(ProjectStore::pickQuery(d, {"", "", "", "\\\\工业"})), QStringList{});
}

void TstClients::projectSaveWritesFilesUnderItsCode()
{
    // Rows left under the placeholder by an old program belong to no one.
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GCdetail(F_caption, F_GCcode) VALUES('旧.doc', "
                          "'newCode')"));
    RecordModel files;
    QVERIFY(files.open(m_dm->db(), ProjectStore::noFilesSql()));
    files.setEditable(true);
    for (const QString name : {"a.pdf", "b.doc"}) {
        const int row = files.appendRecord();
        files.setValue(row, "F_GCcode", "newCode");
        files.setValue(row, "F_caption", name);
        files.setValue(row, "F_filePath", "/tmp/" + name);
    }
    Project p;
    p.code = "  GC-1 ";
    p.name = "一号楼";
    {
        TransactionGuard tx(m_dm->db());
        QString error;
        QVERIFY2(ProjectStore::save(m_dm->db(), &p, &files, &error), qPrintable(error));
        QVERIFY(tx.commit());
    }
    QVERIFY(p.id > 0);
    QCOMPARE(storedFiles("GC-1"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(storedFiles("newCode"), QStringList{"旧.doc"});
    QCOMPARE(m_dm->QueryString("SELECT F_fromDate FROM GCitem"), QString("1900-08-14"));
}

void TstClients::codeChangeMovesFiles()
{
    addProject("GC-1", "一号楼");
    const qint64 id = m_dm->QueryInt("SELECT F_ID FROM GCitem");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GCdetail(F_caption, F_GCcode) VALUES('a', 'GC-1'), "
                          "('b', 'GC-1'), ('other', 'GC-2')"));
    RecordModel files;
    QVERIFY(files.open(m_dm->db(), ProjectStore::filesSql(), ProjectStore::filesParams("GC-1")));
    files.setEditable(true);
    const int row = files.appendRecord();
    files.setValue(row, "F_caption", "c");
    files.removeRows(0, 1); // "a"
    Project p;
    p.id = id;
    p.code = "GC-9";
    {
        TransactionGuard tx(m_dm->db());
        QString error;
        QVERIFY2(ProjectStore::save(m_dm->db(), &p, &files, &error), qPrintable(error));
        QVERIFY(tx.commit());
    }
    QCOMPARE(storedFiles("GC-9"), (QStringList{"b", "c"}));
    QCOMPARE(storedFiles("GC-1"), QStringList{});
    QCOMPARE(storedFiles("GC-2"), QStringList{"other"});
}

void TstClients::failedProjectSaveKeepsPendingFiles()
{
    // The project's row fails after its files were written.
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER fail_project BEFORE INSERT ON GCitem "
                          "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
    RecordModel files;
    QVERIFY(files.open(m_dm->db(), ProjectStore::noFilesSql()));
    files.setEditable(true);
    for (const QString name : {"a.pdf", "b.doc"})
        files.setValue(files.appendRecord(), "F_caption", name);
    Project p;
    p.code = "GC-1";
    QString error;
    {
        TransactionGuard tx(m_dm->db());
        QVERIFY(!ProjectStore::save(m_dm->db(), &p, &files, &error));
    }
    QVERIFY(error.contains("injected"));
    QCOMPARE(count("SELECT count(*) FROM t_GCdetail"), 0);
    QCOMPARE(count("SELECT count(*) FROM GCitem"), 0);
    QVERIFY(files.hasPendingChanges());
    QCOMPARE(files.rowCount(), 2);

    QVERIFY(m_dm->ExecSql("DROP TRIGGER fail_project"));
    p.id = 0;
    {
        TransactionGuard tx(m_dm->db());
        QVERIFY2(ProjectStore::save(m_dm->db(), &p, &files, &error), qPrintable(error));
        QVERIFY(tx.commit());
    }
    QCOMPARE(storedFiles("GC-1"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(count("SELECT count(*) FROM GCitem"), 1);
}

void TstClients::failedDeleteLeavesProjectAndFiles()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GCdetail(F_caption, F_GCcode) VALUES('a', 'GC-1'), "
                          "('b', 'GC-2')"));
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.startsWith("delete from t_GCdetail"); });
    QString error;
    QVERIFY(!ProjectStore::remove(m_dm->db(), "GC-1", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(count("SELECT count(*) FROM GCitem WHERE F_code = 'GC-1'"), 1);
    QCOMPARE(storedFiles("GC-1"), QStringList{"a"});
    m_dm->db().setFailureInjector({});
    QVERIFY2(ProjectStore::remove(m_dm->db(), "GC-1", &error), qPrintable(error));
    QCOMPARE(count("SELECT count(*) FROM GCitem"), 1);
    QCOMPARE(storedFiles("GC-1"), QStringList{});
    QCOMPARE(storedFiles("GC-2"), QStringList{"b"});
}

void TstClients::oldDatabaseGetsWideProjectType()
{
    // A database of the first version: the project type held 50 characters.
    const QString path = m_dm->databasePath();
    addProject("GC-1", "一号楼", "\\\\民用");
    addProject("GC-2", "二号楼");
    QVERIFY(m_dm->ExecSql("DELETE FROM GCitem WHERE F_code = 'GC-2'"));
    m_dm->db().close();
    {
        Database old("old-version");
        QVERIFY(old.open(path));
        const Schema::Table* t = Schema::findTable("GCitem");
        QStringList declarations, names;
        for (const Schema::Column& c : t->columns) {
            Schema::Column narrow = c;
            if (c.name == "F_type")
                narrow.width = 50;
            declarations << Schema::columnDeclaration(narrow);
            names << c.name;
        }
        const QString list = names.join(',');
        QVERIFY(old.exec("CREATE TABLE narrow (" + declarations.join(',') + ")"));
        QVERIFY(old.exec("INSERT INTO narrow(" + list + ") SELECT " + list + " FROM GCitem"));
        QVERIFY(old.exec("DROP TABLE GCitem"));
        QVERIFY(old.exec("ALTER TABLE narrow RENAME TO GCitem"));
        QVERIFY(old.exec("UPDATE sqlite_sequence SET seq = 2 WHERE name = 'GCitem'"));
        QVERIFY(old.exec("CREATE INDEX idx_GCitem_F_code ON GCitem(F_code)"));
        QVERIFY(old.exec("PRAGMA user_version = 1"));
        QVERIFY(old.scalar("SELECT type FROM pragma_table_info('GCitem') WHERE name = 'F_type'")
                    .toString()
                    .contains("(50)"));
    }
    Database db("upgraded");
    QString error;
    QVERIFY2(db.open(path, &error), qPrintable(error));
    QVERIFY2(Schema::upgrade(db, &error), qPrintable(error));
    QCOMPARE(Schema::version(db), Schema::kCurrentVersion);
    QVERIFY(db.scalar("SELECT type FROM pragma_table_info('GCitem') WHERE name = 'F_type'")
                .toString()
                .contains("(255)"));
    QVERIFY(Schema::verify(db).isEmpty());
    QCOMPARE(db.scalar("SELECT F_type FROM GCitem WHERE F_code = 'GC-1'").toString(),
             QString("\\\\民用"));
    QCOMPARE(
        db.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'idx_GCitem_F_code'").toInt(),
        1);
    // Numbering goes on after the deleted row's number.
    QVERIFY(db.exec("INSERT INTO GCitem(F_code) VALUES('GC-3')"));
    QCOMPARE(db.scalar("SELECT F_ID FROM GCitem WHERE F_code = 'GC-3'").toInt(), 3);
    QCOMPARE(Schema::maxLength("GCitem", "F_type"), 255);
}

void TstClients::twoProcessesNeverShareAClientCode()
{
    QTemporaryDir dir;
    const QString file = makeContractDatabase(dir.path());
    const int rounds = 200;
    QProcess a, b;
    for (QProcess* p : {&a, &b})
        p->start(QStringLiteral(HELPER_ALLOCATE), {file, QString::number(rounds), "clients"});
    for (QProcess* p : {&a, &b}) {
        QVERIFY(p->waitForFinished(120000));
        QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
    }
    QStringList lines =
        QString::fromUtf8(a.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    lines += QString::fromUtf8(b.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 * rounds);
    QCOMPARE(QSet<QString>(lines.begin(), lines.end()).size(), 2 * rounds);
    Database db("allocation-check");
    QVERIFY(db.open(file));
    QCOMPARE(db.scalar("SELECT count(DISTINCT F_Code) FROM Client").toInt(), 2 * rounds);
    QCOMPARE(db.scalar("SELECT max(F_Code) FROM Client").toString(),
             QString("%1").arg(2 * rounds, 4, 10, QChar('0')));
}

QTEST_GUILESS_MAIN(TstClients)
#include "tst_clients.moc"
