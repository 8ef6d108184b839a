#include "codes/TDLGenterCaption.h"
#include "common/DataGrid.h"
#include "common/PickerRegistry.h"
#include "contracts/TDLGcontractCX.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/IniFile.h"
#include "platform/ScriptedDialogs.h"
#include "reference/ReferencePickers.h"
#include "reference/TDlgCltXz.h"
#include "reference/TfrmCltEdit.h"
#include "reference/TfrmCltMan.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

// The counterpart windows: list window, edit window with automatic codes,
// picker and its registration.
class TstClientsGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listOpensOnTheRoot();
    void listSearch_data();
    void listSearch();
    void stoppedRowsRed();
    void modifyOnEmptyList();
    void autoCode_data();
    void autoCode();
    void autoCodeTakenWhenSaving();
    void checks_data();
    void checks();
    void autoUntickedTurnsItOff();
    void settingWrittenOnlyAfterCommit();
    void continuousAddKeepsOrNumbersCode();
    void modifyLoadsAndSaves();
    void typePickedWhole();
    void deleteAsks();
    void picker();
    void pickerAddsUnit();
    void registration();
    void screenshots();

private:
    void addTree();
    void addClient(const QString& code, const QString& name, const QString& type = "\\\\华东",
                   bool stopped = false, const QString& linkMan = QString(),
                   const QString& address = QString());
    QStringList column(DataGrid* grid, const QString& field);
    QStringList storedCodes();
    bool iniAutoCode();

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    DataGrid* m_grid = nullptr;
};

void TstClientsGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    EstablishSession(*m_dm, "admin");
    Session.AutoCode = false;
    addTree();
    m_grid = new DataGrid;
}

void TstClientsGui::cleanup()
{
    delete m_grid;
    m_grid = nullptr;
    setPickTreeNodeHook({});
    PickerRegistry::set(PickerRegistry::CounterpartName, {});
    PickerRegistry::set(PickerRegistry::ProjectCode, {});
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstClientsGui::addTree()
{
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO t_treecode(F_code, F_name, F_likecode, F_flag) VALUES "
        "('001', '华东', '\\\\华东', 'clttype'), ('001001', '上海', '\\\\华东\\上海', 'clttype'), "
        "('002', '华北', '\\\\华北', 'clttype')"));
}

void TstClientsGui::addClient(const QString& code, const QString& name, const QString& type,
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

QStringList TstClientsGui::column(DataGrid* grid, const QString& field)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->text(r, field);
    return out;
}

QStringList TstClientsGui::storedCodes()
{
    QSqlQuery q;
    m_dm->OpenQuery("SELECT F_Code FROM Client ORDER BY F_ID", q);
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

bool TstClientsGui::iniAutoCode()
{
    return IniFile(m_dm->settings().path()).readBool("sys", "bZDcode", false);
}

void TstClientsGui::listOpensOnTheRoot()
{
    addClient("A01", "东方公司");
    addClient("B01", "北方公司", "\\\\华北");
    TfrmCltMan w;
    QCOMPARE(w.windowTitle(), QString("来往单位资料"));
    QVERIFY(w.tree()->currentItem());
    QCOMPARE(w.tree()->currentItem()->text(0), QString("往来单位类型"));
    QCOMPARE(column(w.grid(), "F_Code"), (QStringList{"A01", "B01"}));
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数：2"));
    QVERIFY(!w.command("tbQuery"));
    // The query enables every paging command; a move disables the end it reached.
    for (const char* name :
         {"tbAdd", "tbModify", "tbDelete", "tbFirst", "tbPrior", "tbNext", "tbLast", "tbExport"})
        QVERIFY2(w.command(name) && w.command(name)->isEnabled(), name);
    QCOMPARE(w.command("tbAdd")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    QCOMPARE(w.command("tbModify")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QCOMPARE(w.command("tbDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(w.searchChoice()->currentIndex(), -1);
    QCOMPARE(w.searchChoice()->count(), 4);
}

void TstClientsGui::listSearch_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("单位编号") << 0 << "A"
                              << "" << false << QStringList{"A01", "A02"};
    QTest::newRow("单位名称") << 1 << "钢"
                              << "" << false << QStringList{"A02", "B01"};
    QTest::newRow("联 系 人") << 2 << "王"
                              << "" << false << QStringList{"A01"};
    QTest::newRow("单位地址") << 3 << "上海"
                              << "" << true << QStringList{"B01", "C01"};
    QTest::newRow("node") << -1 << ""
                          << "\\\\华东" << false << QStringList{"A01", "A02", "Q'1"};
    QTest::newRow("child node") << -1 << ""
                                << "\\\\华东\\上海" << false << QStringList{"A02"};
    QTest::newRow("stopped units") << -1 << ""
                                   << "\\\\华北" << true << QStringList{"B01", "C01"};
    QTest::newRow("quote") << 1 << "'"
                           << "" << false << QStringList{"Q'1"};
    QTest::newRow("percent") << 1 << "%"
                             << "" << false << QStringList{"X%1"};
    QTest::newRow("underscore") << 1 << "_"
                                << "" << false << QStringList{"Y_1"};
}

void TstClientsGui::listSearch()
{
    QFETCH(int, choice);
    QFETCH(QString, text);
    QFETCH(QString, node);
    QFETCH(bool, stopped);
    QFETCH(QStringList, expected);
    addClient("A01", "东方公司", "\\\\华东", false, "王五", "南京");
    addClient("A02", "上海钢铁", "\\\\华东\\上海", false, "赵", "杭州");
    addClient("B01", "北方钢铁", "\\\\华北", false, "李", "上海路");
    addClient("C01", "停用公司", "\\\\华北", true, "王六", "上海");
    addClient("Q'1", "引号'公司", "\\\\华东");
    addClient("X%1", "百分%公司", "\\\\其他");
    addClient("Y_1", "下划_公司", "\\\\其他");
    TfrmCltMan w;
    // Each change reads the list again.
    w.searchText()->setText("not found");
    QCOMPARE(w.grid()->model()->rowCount(), 7 - 1);
    if (choice < 0)
        w.searchChoice()->setCurrentIndex(0);
    w.searchChoice()->setCurrentIndex(choice);
    // A new choice empties the text.
    QVERIFY(w.searchText()->text().isEmpty());
    w.searchText()->setText(text);
    w.includeStopped()->setChecked(stopped);
    QVERIFY(w.selectTypePath(node));
    QCOMPARE(column(w.grid(), "F_Code"), expected);
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数：%1").arg(expected.size()));
}

void TstClientsGui::stoppedRowsRed()
{
    addClient("A01", "在用");
    addClient("A02", "停用", "\\\\华东", true);
    TfrmCltMan w;
    QCOMPARE(column(w.grid(), "F_Code"), QStringList{"A01"});
    w.includeStopped()->setChecked(true);
    QCOMPARE(column(w.grid(), "F_Code"), (QStringList{"A01", "A02"}));
    RecordModel* m = w.grid()->model();
    QCOMPARE(m->data(m->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QVERIFY(!m->data(m->index(0, 0), Qt::ForegroundRole).value<QColor>().isValid() ||
            m->data(m->index(0, 0), Qt::ForegroundRole).value<QColor>() != QColor(Qt::red));
}

void TstClientsGui::modifyOnEmptyList()
{
    TfrmCltMan w;
    w.modifyRecord();
    QCOMPARE(m_ui->lastText(), QString("此表为空，没有记录需要修改！"));
    QCOMPARE(m_ui->lastKind(), 3);
    // Deleting from an empty list asks nothing.
    w.deleteRecord();
    QCOMPARE(m_ui->messages().size(), 1);
}

void TstClientsGui::autoCode_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QString>("expected");
    QTest::newRow("KH0009") << QStringList{"KH0009"} << "KH0010";
    QTest::newRow("ABC") << QStringList{"KH0009", "ABC"} << "0001";
    QTest::newRow("KH0100 then KH0005") << QStringList{"KH0100", "KH0005"} << "KH0006";
}

void TstClientsGui::autoCode()
{
    QFETCH(QStringList, added);
    QFETCH(QString, expected);
    for (const QString& code : added)
        addClient(code, "单位" + code);
    Session.AutoCode = true;
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(), {}}, false);
    w.prepare(SubRecordEdit::AddMode);
    QVERIFY(w.autoCode()->isChecked());
    QCOMPARE(w.codeEdit()->text(), expected);
    // The numbered code leaves the tab order.
    QCOMPARE(w.codeEdit()->focusPolicy(), Qt::ClickFocus);
    w.nameEdit()->setText("新单位");
    w.continuousAdd()->setChecked(false);
    QVERIFY(w.save());
    QCOMPARE(storedCodes().last(), expected);
}

void TstClientsGui::autoCodeTakenWhenSaving()
{
    addClient("KH0009", "甲");
    Session.AutoCode = true;
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(), {}}, false);
    w.prepare(SubRecordEdit::AddMode);
    QCOMPARE(w.codeEdit()->text(), QString("KH0010"));
    // Another workstation adds a unit while this window is open.
    addClient("KH0010", "乙");
    w.nameEdit()->setText("丙");
    w.continuousAdd()->setChecked(false);
    QVERIFY(w.save());
    QCOMPARE(storedCodes(), (QStringList{"KH0009", "KH0010", "KH0011"}));
    // The window shows the code that was saved.
    QCOMPARE(w.codeEdit()->text(), QString("KH0011"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstClientsGui::checks_data()
{
    QTest::addColumn<bool>("sessionAuto");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message"); // empty: saved
    QTest::newRow("empty code") << false << false << "   "
                                << "当前客户编号不能为空！";
    QTest::newRow("empty code before the tail") << true << true << ""
                                                << "当前客户编号不能为空！";
    QTest::newRow("automatic, letters at the end")
        << true << true << "KH00A1"
        << "采用自动编号，客户编号最后四位必须全为数字！";
    QTest::newRow("automatic, short") << true << true << "123"
                                      << "采用自动编号，客户编号最后四位必须全为数字！";
    QTest::newRow("duplicate with automatic numbering") << true << true << " KH0001 "
                                                        << "客户编号重复，请重新输入！";
    QTest::newRow("duplicate, box unticked but numbering on") << true << false << "KH0001"
                                                              << "客户编号重复，请重新输入！";
    QTest::newRow("duplicate without automatic numbering") << false << false << "KH0001"
                                                           << "";
    QTest::newRow("letters without the box") << false << false << "ABC"
                                             << "";
}

void TstClientsGui::checks()
{
    QFETCH(bool, sessionAuto);
    QFETCH(bool, ticked);
    QFETCH(QString, code);
    QFETCH(QString, message);
    addClient("KH0001", "甲");
    Session.AutoCode = sessionAuto;
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(), {}}, false);
    w.prepare(SubRecordEdit::AddMode);
    w.autoCode()->setChecked(ticked);
    w.codeEdit()->setText(code);
    w.nameEdit()->setText("新单位");
    w.continuousAdd()->setChecked(false);
    const int before = storedCodes().size();
    QCOMPARE(w.save(), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(m_ui->messages().isEmpty());
        QCOMPARE(storedCodes().size(), before + 1);
        QCOMPARE(storedCodes().last(), code.trimmed());
    } else {
        QCOMPARE(m_ui->texts(), QStringList{message});
        QCOMPARE(m_ui->lastKind(), 0);
        QCOMPARE(storedCodes().size(), before);
    }
}

void TstClientsGui::autoUntickedTurnsItOff()
{
    Session.AutoCode = true;
    m_dm->settings().writeBool("sys", "bZDcode", true);
    TfrmCltMan list;
    {
        TfrmCltEdit w({list.grid(), {}}, false);
        w.prepare(SubRecordEdit::AddMode);
        w.autoCode()->setChecked(false);
        w.codeEdit()->setText("X1");
        w.continuousAdd()->setChecked(false);
        QVERIFY(w.save());
    }
    QVERIFY(!Session.AutoCode);
    QVERIFY(!iniAutoCode());
    {
        TfrmCltEdit w({list.grid(), {}}, false);
        w.prepare(SubRecordEdit::AddMode);
        QVERIFY(!w.autoCode()->isChecked());
        w.autoCode()->setChecked(true);
        QCOMPARE(w.codeEdit()->text(), QString("0001"));
        w.continuousAdd()->setChecked(false);
        QVERIFY(w.save());
    }
    QVERIFY(Session.AutoCode);
    QVERIFY(iniAutoCode());
    QCOMPARE(storedCodes(), (QStringList{"X1", "0001"}));
}

void TstClientsGui::settingWrittenOnlyAfterCommit()
{
    Session.AutoCode = true;
    m_dm->settings().writeBool("sys", "bZDcode", true);
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(), {}}, false);
    w.prepare(SubRecordEdit::AddMode);
    w.autoCode()->setChecked(false);
    w.codeEdit()->setText("X1");
    w.continuousAdd()->setChecked(false);
    m_dm->db().setFailureInjector([](const QString& sql) { return sql.startsWith("COMMIT"); });
    QVERIFY(!w.save());
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QVERIFY(Session.AutoCode);
    QVERIFY(iniAutoCode());
    QVERIFY(storedCodes().isEmpty());
    // The retry saves once and only then turns numbering off.
    m_dm->db().setFailureInjector({});
    QVERIFY(w.save());
    QCOMPARE(storedCodes(), QStringList{"X1"});
    QVERIFY(!Session.AutoCode);
    QVERIFY(!iniAutoCode());
}

void TstClientsGui::continuousAddKeepsOrNumbersCode()
{
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(),
                   [&](QString* e) {
                       return list.grid()->open(m_dm->db(), "select * from Client order by f_code",
                                                {}, e);
                   }},
                  false);
    w.prepare(SubRecordEdit::AddMode);
    QVERIFY(w.continuousAdd()->isChecked());
    w.codeEdit()->setText("KH0001");
    w.nameEdit()->setText("甲");
    w.edit("edtLinkMan")->setText("王");
    QVERIFY(w.save());
    QVERIFY(w.isVisible() || w.result() == 0);
    // Without numbering the code stays, everything else is emptied.
    QCOMPARE(w.codeEdit()->text(), QString("KH0001"));
    QVERIFY(w.nameEdit()->text().isEmpty());
    QVERIFY(w.edit("edtLinkMan")->text().isEmpty());
    w.autoCode()->setChecked(true);
    QCOMPARE(w.codeEdit()->text(), QString("KH0002"));
    w.nameEdit()->setText("乙");
    QVERIFY(w.save());
    // With numbering the next code is filled in.
    QCOMPARE(w.codeEdit()->text(), QString("KH0003"));
    QCOMPARE(storedCodes(), (QStringList{"KH0001", "KH0002"}));
    QCOMPARE(list.grid()->currentValue("F_Code").toString(), QString("KH0002"));
}

void TstClientsGui::modifyLoadsAndSaves()
{
    addClient("A01", "甲", "\\\\华东", false, "王", "南京");
    addClient("A02", "乙", "\\\\华东", true);
    TfrmCltMan list;
    list.includeStopped()->setChecked(true);
    list.grid()->setCurrentRow(1);
    TfrmCltEdit w({list.grid(),
                   [&](QString* e) {
                       return list.grid()->open(m_dm->db(), "select * from Client order by f_code",
                                                {}, e);
                   }},
                  false);
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(w.windowTitle(), QString("往来单位档案 - 修改"));
    QVERIFY(!w.autoCode()->isEnabled());
    QCOMPARE(w.codeEdit()->text(), QString("A02"));
    QVERIFY(w.stoppedBox()->isChecked());
    // Its own code is no duplicate, also with numbering on.
    Session.AutoCode = true;
    w.nameEdit()->setText("  乙改 ");
    w.stoppedBox()->setChecked(false);
    w.edit("edtLinkMan")->setText(" 赵 ");
    QVERIFY(w.save());
    QCOMPARE(m_dm->QueryString("SELECT F_Name FROM Client WHERE F_Code = 'A02'"), QString("乙改"));
    QCOMPARE(m_dm->QueryString("SELECT F_LinkMan FROM Client WHERE F_Code = 'A02'"),
             QString(" 赵 "));
    QCOMPARE(m_dm->QueryInt("SELECT F_useFlag FROM Client WHERE F_Code = 'A02'"), 0);
    // Modifying never changes the numbering setting.
    QVERIFY(Session.AutoCode);
}

void TstClientsGui::typePickedWhole()
{
    const QString longPath = "\\\\" + QString(300, QChar(u'类'));
    int asked = 0;
    setPickTreeNodeHook([&](int mode, const QString&) {
        ++asked;
        return mode == 4 ? longPath : QString("wrong mode");
    });
    TfrmCltMan list;
    TfrmCltEdit w({list.grid(), {}}, false);
    w.prepare(SubRecordEdit::AddMode);
    w.findChild<QAbstractButton*>("btnType")->click();
    QCOMPARE(asked, 1);
    QCOMPARE(w.typeEdit()->text(), longPath);
    // Typed text stops at its column.
    QCOMPARE(w.edit("edtLinkMan")->maxLength(), 50);
}

void TstClientsGui::deleteAsks()
{
    addClient("A01", "甲");
    addClient("A02", "乙");
    TfrmCltMan w;
    w.grid()->setCurrentRow(1);
    m_ui->queueAnswer(2);
    w.deleteRecord();
    QCOMPARE(m_ui->lastText(), QString("真的要删除当前客户乙吗？"));
    QCOMPARE(storedCodes().size(), 2);
    m_ui->queueAnswer(1);
    w.deleteRecord();
    QCOMPARE(storedCodes(), QStringList{"A01"});
    QCOMPARE(column(w.grid(), "F_Code"), QStringList{"A01"});
    QCOMPARE(w.statusPanel(2)->text(), QString("记录数：1"));
}

void TstClientsGui::picker()
{
    addClient("A01", "东方公司", "\\\\华东", false, "", "南京路");
    addClient("A02", "上海钢铁", "\\\\华东\\上海");
    addClient("B01", "停用钢铁", "\\\\华北", true);
    {
        TDlgCltXz d;
        QCOMPARE(d.windowTitle(), QString("往来单位选择"));
        QCOMPARE(d.tree()->currentItem()->text(0), QString("客户类型"));
        QCOMPARE(column(d.grid(), "F_Code"), (QStringList{"A01", "A02"}));
        d.nameEdit()->setText("钢");
        QCOMPARE(column(d.grid(), "F_Code"), QStringList{"A02"});
        d.nameEdit()->clear();
        d.addressEdit()->setText("南京");
        QCOMPARE(column(d.grid(), "F_Code"), QStringList{"A01"});
        d.addressEdit()->clear();
        d.codeEdit()->setText("B");
        QCOMPARE(column(d.grid(), "F_Code"), QStringList{});
    }
    onModal([](QWidget* w) {
        auto* d = qobject_cast<TDlgCltXz*>(w);
        QVERIFY(d);
        d->grid()->setCurrentRow(1);
        d->findChild<QPushButton*>("btnOK")->click();
    });
    QCOMPARE(PickCounterpartName("旧名"), QString("上海钢铁"));
    onModal([](QWidget* w) { w->findChild<QPushButton*>("btnCancel")->click(); });
    QCOMPARE(PickCounterpartName("旧名"), QString("旧名"));
    // OK on an empty list gives the caller's text back.
    onModal([](QWidget* w) {
        w->findChild<QLineEdit*>("edtName")->setText("没有");
        w->findChild<QPushButton*>("btnOK")->click();
    });
    QCOMPARE(PickCounterpartName("旧名"), QString("旧名"));
}

void TstClientsGui::pickerAddsUnit()
{
    addClient("A01", "东方公司");
    TDlgCltXz d;
    bool continuousShown = true, navigationShown = true;
    QString code;
    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmCltEdit*>(w);
        QVERIFY(edit);
        continuousShown = edit->continuousAdd()->isVisible();
        navigationShown = edit->navigator()->isVisible();
        code = edit->codeEdit()->text();
        QVERIFY(edit->nameEdit()->text().isEmpty());
        edit->codeEdit()->setText("N01");
        edit->nameEdit()->setText("新单位");
        edit->okButton()->click();
    });
    d.addUnit();
    QVERIFY(!continuousShown);
    QVERIFY(!navigationShown);
    QVERIFY(code.isEmpty());
    QCOMPARE(storedCodes(), (QStringList{"A01", "N01"}));
    QCOMPARE(column(d.grid(), "F_Code"), (QStringList{"A01", "N01"}));
    QCOMPARE(d.chosenName(), QString("新单位"));
    QVERIFY(!QApplication::activeModalWidget());
}

void TstClientsGui::registration()
{
    addClient("A01", "东方公司");
    QVERIFY(!PickerRegistry::has(PickerRegistry::CounterpartName));
    QVERIFY(!PickerRegistry::has(PickerRegistry::ProjectCode));
    RegisterCounterpartPickers();
    QVERIFY(PickerRegistry::has(PickerRegistry::CounterpartName));
    QVERIFY(PickerRegistry::has(PickerRegistry::ProjectCode));
    onModal([](QWidget* w) {
        QCOMPARE(w->objectName(), QString("TDlgCltXz"));
        w->findChild<QPushButton*>("btnOK")->click();
    });
    QCOMPARE(PickerRegistry::pickOne(PickerRegistry::CounterpartName, "x", nullptr),
             QString("东方公司"));
    onModal([](QWidget* w) { w->findChild<QPushButton*>("btnCancel")->click(); });
    QVERIFY(PickerRegistry::pick(PickerRegistry::CounterpartName, "x", nullptr).isEmpty());

    // The contract query dialog shows its pick buttons and fills the box.
    TDLGcontractCX query;
    query.show();
    for (const char* name : {"btnClient1", "btnClient2", "btnGCname"})
        QVERIFY2(query.findChild<QToolButton*>(name)->isVisible(), name);
    onModal([](QWidget* w) {
        QCOMPARE(w->objectName(), QString("TDlgCltXz"));
        w->findChild<QPushButton*>("btnOK")->click();
    });
    QTest::mouseClick(query.findChild<QToolButton*>("btnClient1"), Qt::LeftButton);
    QCOMPARE(query.findChild<QLineEdit*>("edtClient1")->text(), QString("东方公司"));
}

void TstClientsGui::screenshots()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    EstablishSession(*m_dm, "admin");
    TfrmCltMan list;
    list.includeStopped()->setChecked(true);
    list.show();
    QTest::qWait(50);
    saveScreenshot(&list, "TfrmCltMan");
    {
        list.grid()->setCurrentRow(2);
        TfrmCltEdit w({list.grid(), {}}, false, &list);
        w.prepare(SubRecordEdit::ModifyMode);
        w.show();
        QTest::qWait(50);
        saveScreenshot(&w, "TfrmCltEdit");
    }
    {
        Session.AutoCode = true;
        TfrmCltEdit w({list.grid(), {}}, false, &list);
        w.prepare(SubRecordEdit::AddMode);
        w.show();
        QTest::qWait(50);
        saveScreenshot(&w, "TfrmCltEdit_add");
    }
    TDlgCltXz picker;
    picker.show();
    QTest::qWait(50);
    saveScreenshot(&picker, "TDlgCltXz");
}

QTEST_MAIN(TstClientsGui)
#include "tst_clients_gui.moc"
