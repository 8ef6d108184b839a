#include "codes/TDLGenterCaption.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "reference/TDlgGCitemXZ.h"
#include "reference/TfrmGCitemEdit.h"
#include "reference/TfrmGCitemMan.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

// The project windows: list window with the current project's files, the
// edit window with its pending file list, the picker.
class TstProjectsGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listWithFiles();
    void listSearch_data();
    void listSearch();
    void twoFilesBeforeTheFirstSave();
    void codeChangeMovesFiles();
    void cancelLeavesNoFiles();
    void leavingWithPendingFilesAsks();
    void checks_data();
    void checks();
    void failedSaveKeepsPendingFiles();
    void fileDeleteAsks();
    void datesUntickedStoredAsNoDate();
    void typePickedWhole();
    void deleteProjectAndFiles();
    void deleteFailingOnItsSecondStatement();
    void picker();
    void pickerAddsProject();
    void screenshots();

private:
    qint64 addProject(const QString& code, const QString& name, const QString& type = "\\\\民用",
                      bool stopped = false, const QString& fzr = QString(),
                      const QString& pos = QString());
    void addFile(const QString& code, const QString& caption);
    QStringList column(DataGrid* grid, const QString& field);
    QStringList storedFiles(const QString& code);
    int count(const QString& table);
    QString makeFile(const QString& name);
    SubRecordEdit::CallerList caller(TfrmGCitemMan& list);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstProjectsGui::init()
{
    Clock::setNow(QDateTime(QDate(2026, 4, 1), QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    EstablishSession(*m_dm, "admin");
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) VALUES "
        "('001', '民用', '\\\\民用', 'gctype'), ('002', '工业', '\\\\工业', 'gctype')"));
}

void TstProjectsGui::cleanup()
{
    setPickTreeNodeHook({});
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

qint64 TstProjectsGui::addProject(const QString& code, const QString& name, const QString& type,
                                  bool stopped, const QString& fzr, const QString& pos)
{
    m_dm->ExecSql(
        "INSERT INTO GCitem(F_code, F_name, F_type, F_useFlag, F_FZRemp, F_GCpos, "
        "F_fromDate, F_toDate) VALUES(:c, :n, :t, :u, :f, :p, '2026-01-05', "
        "'1900-08-14')",
        {{":c", code}, {":n", name}, {":t", type}, {":u", stopped}, {":f", fzr}, {":p", pos}});
    return m_dm->QueryInt("SELECT max(F_ID) FROM GCitem");
}

void TstProjectsGui::addFile(const QString& code, const QString& caption)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GCdetail(F_caption, F_filePath, F_GCcode) "
                          "VALUES(:n, :p, :c)",
                          {{":n", caption}, {":p", "/files/" + caption}, {":c", code}}));
}

QStringList TstProjectsGui::column(DataGrid* grid, const QString& field)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->text(r, field);
    return out;
}

QStringList TstProjectsGui::storedFiles(const QString& code)
{
    QSqlQuery q;
    m_dm->OpenQuery("SELECT F_caption FROM t_GCdetail WHERE F_GCcode = :c ORDER BY F_ID", q,
                    {{":c", code}});
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

int TstProjectsGui::count(const QString& table)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1").arg(table));
}

QString TstProjectsGui::makeFile(const QString& name)
{
    const QString path = m_exe->file(name);
    writeFile(path, "x");
    return path;
}

SubRecordEdit::CallerList TstProjectsGui::caller(TfrmGCitemMan& list)
{
    return {list.grid(), [&list](QString*) { return list.requery(); }};
}

void TstProjectsGui::listWithFiles()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    addFile("GC-1", "a.pdf");
    addFile("GC-2", "b.doc");
    addFile("GC-2", "c.doc");
    TfrmGCitemMan w;
    QCOMPARE(w.windowTitle(), QString("工程项目管理"));
    QCOMPARE(w.tree()->currentItem()->text(0), QString("项目类型"));
    QCOMPARE(column(w.grid(), "F_code"), (QStringList{"GC-1", "GC-2"}));
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数：2"));
    QCOMPARE(column(w.files(), "F_caption"), QStringList{"a.pdf"});
    w.grid()->setCurrentRow(1);
    QCOMPARE(column(w.files(), "F_caption"), (QStringList{"b.doc", "c.doc"}));
    // The unset end date shows empty.
    const RecordModel* m = w.grid()->model();
    QCOMPARE(m->displayText(0, m->columnOfField("F_toDate")), QString());
    QCOMPARE(m->displayText(0, m->columnOfField("F_fromDate")), QString("2026-01-05"));
}

void TstProjectsGui::listSearch_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("单位编号") << 0 << "P1"
                              << "" << false << QStringList{"P1"};
    QTest::newRow("单位名称") << 1 << "大楼"
                              << "" << false << QStringList{"P1", "P3"};
    QTest::newRow("联 系 人: person in charge") << 2 << "张"
                                                << "" << false << QStringList{"P2"};
    QTest::newRow("单位地址: site") << 3 << "浦东"
                                    << "" << true << QStringList{"P1", "P4"};
    QTest::newRow("node") << -1 << ""
                          << "\\\\工业" << false << QStringList{"P3"};
    QTest::newRow("stopped") << -1 << ""
                             << "\\\\民用" << true << QStringList{"P1", "P2", "P4"};
    QTest::newRow("quote") << 3 << "O'"
                           << "" << false << QStringList{"P3"};
    QTest::newRow("percent") << 1 << "%"
                             << "" << false << QStringList{};
}

void TstProjectsGui::listSearch()
{
    QFETCH(int, choice);
    QFETCH(QString, text);
    QFETCH(QString, node);
    QFETCH(bool, stopped);
    QFETCH(QStringList, expected);
    addProject("P1", "办公大楼", "\\\\民用", false, "李四", "浦东新区");
    addProject("P2", "住宅", "\\\\民用", false, "张三", "闵行");
    addProject("P3", "厂房大楼", "\\\\工业", false, "王", "O'Hare 路");
    addProject("P4", "旧楼", "\\\\民用", true, "张", "浦东");
    TfrmGCitemMan w;
    w.searchChoice()->setCurrentIndex(choice);
    w.searchText()->setText(text);
    w.includeStopped()->setChecked(stopped);
    QVERIFY(w.selectTypePath(node));
    QCOMPARE(column(w.grid(), "F_code"), expected);
    QVERIFY(m_ui->messages().isEmpty());
}

void TstProjectsGui::twoFilesBeforeTheFirstSave()
{
    // A row left under the placeholder by an old program is never attached.
    addFile("newCode", "stale.txt");
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::AddMode);
    QCOMPARE(w.windowTitle(), QString("工程项目资料 - 新增"));
    QCOMPARE(w.files()->model()->rowCount(), 0);
    w.codeEdit()->setText("  GC-7 ");
    w.edit("edtName")->setText("七号楼");
    for (const char* name : {"a.pdf", "b.doc"}) {
        m_ui->queueFile(makeFile(name));
        w.findChild<QPushButton*>("btnFileAdd")->click();
    }
    QCOMPARE(column(w.files(), "F_caption"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(column(w.files(), "F_GCcode"), (QStringList{"newCode", "newCode"}));
    QCOMPARE(count("t_GCdetail"), 1);
    w.continuousAdd()->setChecked(false);
    QVERIFY(w.save());
    QCOMPARE(storedFiles("GC-7"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(m_dm->QueryString("SELECT F_filePath FROM t_GCdetail WHERE F_caption = 'a.pdf'"),
             m_exe->file("a.pdf"));
    QCOMPARE(storedFiles("newCode"), QStringList{"stale.txt"});
    QCOMPARE(list.grid()->currentValue("F_code").toString(), QString("GC-7"));
    QCOMPARE(column(list.files(), "F_caption"), (QStringList{"a.pdf", "b.doc"}));
}

void TstProjectsGui::codeChangeMovesFiles()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    addFile("GC-1", "a");
    addFile("GC-1", "b");
    addFile("GC-2", "other");
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(column(w.files(), "F_caption"), (QStringList{"a", "b"}));
    w.codeEdit()->setText("GC-9");
    m_ui->queueFile(makeFile("c.txt"));
    w.addFile();
    QVERIFY(w.save());
    QCOMPARE(storedFiles("GC-9"), (QStringList{"a", "b", "c.txt"}));
    QCOMPARE(storedFiles("GC-1"), QStringList{});
    QCOMPARE(storedFiles("GC-2"), QStringList{"other"});
}

// A file added but not saved is a change of the project: moving on asks
// first, and "取消" keeps the project and its pending file.
void TstProjectsGui::leavingWithPendingFilesAsks()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    TfrmGCitemMan list;
    list.grid()->setCurrentRow(0);
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::ModifyMode);
    QVERIFY(!w.isChanged());
    m_ui->queueFile(makeFile("a.pdf"));
    w.addFile();
    QVERIFY(w.isChanged());
    m_ui->queueAnswer(3);
    w.moveTo(RecordNavigator::Next);
    QCOMPARE(m_ui->lastText(), RecordNavigator::leaveQuestion());
    QCOMPARE(w.codeEdit()->text(), QString("GC-1"));
    QCOMPARE(column(w.files(), "F_caption"), QStringList{"a.pdf"});
    QCOMPARE(storedFiles("GC-1"), QStringList{});
}

void TstProjectsGui::cancelLeavesNoFiles()
{
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::AddMode);
    w.codeEdit()->setText("GC-1");
    m_ui->queueFile(makeFile("a.pdf"));
    w.addFile();
    m_ui->queueFile(QString()); // the file dialog cancelled adds nothing
    w.addFile();
    QCOMPARE(w.files()->model()->rowCount(), 1);
    w.cancelButton()->click();
    QCOMPARE(count("t_GCdetail"), 0);
    QCOMPARE(count("GCitem"), 0);
}

void TstProjectsGui::checks_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "  " << false << "当前工程项目编号不能为空！";
    QTest::newRow("trimmed duplicate") << " GC-1  " << false << "项目编号重复，请重新输入！";
    QTest::newRow("duplicate of another, modify") << "GC-1" << true << "项目编号重复，请重新输入！";
    QTest::newRow("new code") << "GC-3" << false << "";
}

void TstProjectsGui::checks()
{
    QFETCH(QString, code);
    QFETCH(bool, modify);
    QFETCH(QString, message);
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    TfrmGCitemMan list;
    list.grid()->setCurrentRow(1);
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(modify ? SubRecordEdit::ModifyMode : SubRecordEdit::AddMode);
    w.codeEdit()->setText(code);
    w.continuousAdd()->setChecked(false);
    QCOMPARE(w.save(), message.isEmpty());
    if (message.isEmpty()) {
        QCOMPARE(count("GCitem"), 3);
    } else {
        QCOMPARE(m_ui->texts(), QStringList{message});
        QCOMPARE(m_ui->lastKind(), 0);
        QCOMPARE(count("GCitem"), 2);
    }
}

void TstProjectsGui::failedSaveKeepsPendingFiles()
{
    QVERIFY(m_dm->ExecSql("CREATE TRIGGER fail_project BEFORE INSERT ON GCitem "
                          "BEGIN SELECT RAISE(ABORT, 'injected'); END"));
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::AddMode);
    w.codeEdit()->setText("GC-1");
    for (const char* name : {"a.pdf", "b.doc"}) {
        m_ui->queueFile(makeFile(name));
        w.addFile();
    }
    w.continuousAdd()->setChecked(false);
    QVERIFY(!w.save());
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), 3);
    QCOMPARE(count("t_GCdetail"), 0);
    QCOMPARE(count("GCitem"), 0);
    QCOMPARE(column(w.files(), "F_caption"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(w.codeEdit()->text(), QString("GC-1"));
    QVERIFY(m_dm->ExecSql("DROP TRIGGER fail_project"));
    QVERIFY(w.save());
    QCOMPARE(storedFiles("GC-1"), (QStringList{"a.pdf", "b.doc"}));
    QCOMPARE(count("t_GCdetail"), 2);
    QCOMPARE(count("GCitem"), 1);
}

void TstProjectsGui::fileDeleteAsks()
{
    addProject("GC-1", "一号楼");
    addFile("GC-1", "a");
    addFile("GC-1", "b");
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::ModifyMode);
    w.files()->setCurrentRow(0);
    m_ui->queueAnswer(2);
    w.deleteFile();
    QCOMPARE(m_ui->lastText(), QString("真的要删除文件名为 \"a\" 的文件资料吗？"));
    QCOMPARE(w.files()->model()->rowCount(), 2);
    m_ui->queueAnswer(1);
    w.deleteFile();
    QCOMPARE(column(w.files(), "F_caption"), QStringList{"b"});
    // Nothing is written before the save.
    QCOMPARE(storedFiles("GC-1"), (QStringList{"a", "b"}));
    QVERIFY(w.save());
    QCOMPARE(storedFiles("GC-1"), QStringList{"b"});
}

void TstProjectsGui::datesUntickedStoredAsNoDate()
{
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::AddMode);
    QVERIFY(!w.fromDateEdit()->isChecked());
    QCOMPARE(w.fromDateEdit()->shownDate(), QDate(2026, 4, 1));
    w.codeEdit()->setText("GC-1");
    w.toDateEdit()->setDate(QDate(2026, 12, 31));
    w.continuousAdd()->setChecked(false);
    QVERIFY(w.save());
    QCOMPARE(m_dm->QueryString("SELECT F_fromDate FROM GCitem"), QString("1900-08-14"));
    QCOMPARE(m_dm->QueryString("SELECT F_toDate FROM GCitem"), QString("2026-12-31"));
    const RecordModel* m = list.grid()->model();
    QCOMPARE(m->displayText(0, m->columnOfField("F_fromDate")), QString());
}

void TstProjectsGui::typePickedWhole()
{
    // Longer than the 50 characters the column once held.
    const QString longPath = "\\\\" + QString(80, QChar(u'类'));
    setPickTreeNodeHook(
        [&](int mode, const QString&) { return mode == 6 ? longPath : QString("wrong mode"); });
    TfrmGCitemMan list;
    TfrmGCitemEdit w(caller(list), false);
    w.prepare(SubRecordEdit::AddMode);
    w.findChild<QAbstractButton*>("btnType")->click();
    QCOMPARE(w.edit("edtType")->text(), longPath);
    QVERIFY(w.edit("edtType")->isReadOnly());
    w.codeEdit()->setText("GC-1");
    w.continuousAdd()->setChecked(false);
    QVERIFY(w.save());
    QCOMPARE(m_dm->QueryString("SELECT F_type FROM GCitem"), longPath);
    // Typed text stops at its column.
    QCOMPARE(w.codeEdit()->maxLength(), 50);
}

void TstProjectsGui::deleteProjectAndFiles()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "二号楼");
    addFile("GC-1", "a");
    addFile("GC-2", "b");
    TfrmGCitemMan w;
    m_ui->queueAnswer(2);
    w.deleteRecord();
    QCOMPARE(m_ui->lastText(), QString("真的要删除当前项目名称为 一号楼 的项目资料吗？"));
    QCOMPARE(count("GCitem"), 2);
    m_ui->queueAnswer(1);
    w.deleteRecord();
    QCOMPARE(column(w.grid(), "F_code"), QStringList{"GC-2"});
    QCOMPARE(storedFiles("GC-1"), QStringList{});
    QCOMPARE(column(w.files(), "F_caption"), QStringList{"b"});
}

void TstProjectsGui::deleteFailingOnItsSecondStatement()
{
    addProject("GC-1", "一号楼");
    addFile("GC-1", "a");
    TfrmGCitemMan w;
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.startsWith("delete from t_GCdetail"); });
    m_ui->queueAnswer(1);
    w.deleteRecord();
    QCOMPARE(m_ui->lastText(), QString("操作失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), 3);
    QCOMPARE(count("GCitem"), 1);
    QCOMPARE(storedFiles("GC-1"), QStringList{"a"});
    QCOMPARE(column(w.grid(), "F_code"), QStringList{"GC-1"});
    m_dm->db().setFailureInjector({});
    m_ui->queueAnswer(1);
    w.deleteRecord();
    QCOMPARE(count("GCitem"), 0);
    QCOMPARE(count("t_GCdetail"), 0);
    QCOMPARE(w.grid()->model()->rowCount(), 0);
    QCOMPARE(w.files()->model()->rowCount(), 0);
}

void TstProjectsGui::picker()
{
    addProject("GC-1", "一号楼");
    addProject("GC-2", "厂房", "\\\\工业");
    addProject("GC-3", "停用楼", "\\\\民用", true);
    {
        TDlgGCitemXZ d;
        QCOMPARE(d.windowTitle(), QString("工程项目选择"));
        QCOMPARE(d.tree()->currentItem()->text(0), QString("项目类型"));
        QCOMPARE(column(d.grid(), "F_code"), (QStringList{"GC-1", "GC-2"}));
        d.nameEdit()->setText("楼");
        QCOMPARE(column(d.grid(), "F_code"), QStringList{"GC-1"});
    }
    onModal([](QWidget* w) {
        auto* d = qobject_cast<TDlgGCitemXZ*>(w);
        QVERIFY(d);
        d->grid()->setCurrentRow(1);
        emit d->grid()->rowDoubleClicked(1);
    });
    QCOMPARE(PickProjectCode("old"), QString("GC-2"));
    onModal([](QWidget* w) { w->findChild<QPushButton*>("btnCancel")->click(); });
    QCOMPARE(PickProjectCode("old"), QString("old"));
}

void TstProjectsGui::pickerAddsProject()
{
    addProject("GC-1", "一号楼");
    addProject("GC-5", "五号楼");
    TDlgGCitemXZ d;
    bool continuousShown = true;
    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmGCitemEdit*>(w);
        QVERIFY(edit);
        continuousShown = edit->continuousAdd()->isVisible();
        edit->codeEdit()->setText("GC-3");
        edit->okButton()->click();
    });
    d.addProject();
    QVERIFY(!continuousShown);
    QCOMPARE(column(d.grid(), "F_code"), (QStringList{"GC-1", "GC-3", "GC-5"}));
    QCOMPARE(d.chosenCode(), QString("GC-3"));
    QVERIFY(!QApplication::activeModalWidget());
}

void TstProjectsGui::screenshots()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    EstablishSession(*m_dm, "admin");
    const QString code = m_dm->QueryString("SELECT F_code FROM GCitem ORDER BY F_code LIMIT 1");
    addFile(code, "施工图纸.pdf");
    addFile(code, "预算书.xlsx");
    TfrmGCitemMan list;
    list.includeStopped()->setChecked(true);
    list.show();
    QTest::qWait(50);
    saveScreenshot(&list, "TfrmGCitemMan");
    {
        TfrmGCitemEdit w(caller(list), false, &list);
        w.prepare(SubRecordEdit::ModifyMode);
        w.show();
        QTest::qWait(50);
        saveScreenshot(&w, "TfrmGCitemEdit");
    }
    TDlgGCitemXZ picker;
    picker.show();
    QTest::qWait(50);
    saveScreenshot(&picker, "TDlgGCitemXZ");
}

QTEST_MAIN(TstProjectsGui)
#include "tst_projects_gui.moc"
