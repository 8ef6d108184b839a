#include "browser/MainCommands.h"
#include "browser/TFrmMain.h"
#include "common/AmountBox.h"
#include "common/DataGrid.h"
#include "common/GridLayouts.h"
#include "common/GridLayoutStore.h"
#include "common/PickerRegistry.h"
#include "contracts/TfrmContractEdit.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "reference/TDlgGoodXz.h"
#include "reference/TfrmGoodEdit.h"
#include "reference/TfrmGoodSet.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

template <class T> T* child(QWidget* w, const char* name)
{
    return w->findChild<T*>(QLatin1String(name));
}

void click(QWidget* w, const char* name)
{
    QPushButton* b = child<QPushButton>(w, name);
    QVERIFY2(b, name);
    b->click();
}

QStringList gridCodes(DataGrid* grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->value(r, "F_code").toString();
    return out;
}

} // namespace

// The goods windows: catalogue list, edit window, picker, and the contract
// edit window's goods page with the registered picker.
class TstGoodsGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editModes_data();
    void editModes();
    void addShowsTheSavedCode_data();
    void addShowsTheSavedCode();
    void checksInOrder_data();
    void checksInOrder();
    void continuousAddKeepsTheType();
    void copyAddStartsEmpty();
    void modifyFollowsTheList();
    void failedSaveKeepsTheWindow();
    void emptyList();
    void deleteKeepsTheLinesThatUseTheGoods_data();
    void deleteKeepsTheLinesThatUseTheGoods();
    void criteriaRequery_data();
    void criteriaRequery();
    void escAsksFirst_data();
    void escAsksFirst();
    void printAndDesignNotYet();
    void pickerTargetsAndDropOut_data();
    void pickerTargetsAndDropOut();
    void newCallStartsFresh();
    void twoPickersAtOnceStayApart();
    void pickGoodsCodeIgnoresTheExclusions();
    void pickerEmptyList();
    void pickerNewGoodsStandsOnIt();
    void pickerAppliesItsLayout();
    void contractEditAddsLinesThroughThePicker();
    void mainWindowOpensTheCatalogue();
    void screenshots();

private:
    void addGoods(const QString& code, const QString& name, const QString& type = "建材",
                  double price = 10, const QString& memo = QString());
    void addSample();
    int count(const QString& table, const QString& where = "1=1");
    QVariant value(const QString& sql, const SqlParams& params = {});
    void fill(TfrmGoodEdit& edit, const QString& name, double price, const QString& type = {});

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstGoodsGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstGoodsGui::init()
{
    Clock::setNow(QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    EstablishSession(*m_dm, "admin");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('gdtype', '建材'), "
                          "('gdtype', '电气'), ('unit', '吨'), ('unit', '米')"));
    m_ui->clear();
}

void TstGoodsGui::cleanup()
{
    PickerRegistry::set(PickerRegistry::Goods, {});
    PickerRegistry::setGoodsLines({});
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

void TstGoodsGui::addGoods(const QString& code, const QString& name, const QString& type,
                           double price, const QString& memo)
{
    QVERIFY(m_dm->ExecSql("INSERT INTO t_goods(F_code, F_name, F_type, F_spec, F_unit, F_price, "
                          "F_memo1, F_Flag) VALUES(:c, :n, :t, 'S-' || :c, '吨', :p, :m, 0)",
                          {{":c", code}, {":n", name}, {":t", type}, {":p", price}, {":m", memo}}));
}

void TstGoodsGui::addSample()
{
    addGoods("000001", "水泥", "建材", 450);
    addGoods("000002", "钢筋", "建材", 4200);
    addGoods("000003", "电缆", "电气", 12.5, "常用物资");
    addGoods("000004", "O'Neil 50%_A", "电气", 3);
}

int TstGoodsGui::count(const QString& table, const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
}

QVariant TstGoodsGui::value(const QString& sql, const SqlParams& params)
{
    return m_dm->db().scalar(sql, params);
}

void TstGoodsGui::fill(TfrmGoodEdit& edit, const QString& name, double price, const QString& type)
{
    child<QLineEdit>(&edit, "edtName")->setText(name);
    child<AmountBox>(&edit, "edtPrice")->setValue(price);
    if (!type.isNull())
        child<QComboBox>(&edit, "cbbType")->setCurrentText(type);
}

void TstGoodsGui::editModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("continuous");
    QTest::addColumn<bool>("navigator");
    QTest::newRow("add") << 1 << "货品资料 - 新增" << true << false;
    QTest::newRow("modify") << 2 << "货品资料 - 修改" << false << true;
    QTest::newRow("copy-add") << 3 << "货品资料 - 复制新增" << false << false;
}

void TstGoodsGui::editModes()
{
    QFETCH(int, mode);
    QFETCH(QString, caption);
    QFETCH(bool, continuous);
    QFETCH(bool, navigator);
    addSample();
    TfrmGoodSet list;
    list.requery();
    list.grid()->setCurrentRow(1);
    TfrmGoodEdit edit({list.grid(), [&] { return list.requery(); }});
    edit.prepare(TfrmGoodEdit::Mode(mode));
    QCOMPARE(edit.windowTitle(), caption);
    QCOMPARE(!child<QCheckBox>(&edit, "chkContinue")->isHidden(), continuous);
    QCOMPARE(!child<QWidget>(&edit, "navRecord")->isHidden(), navigator);
    QVERIFY(child<QLineEdit>(&edit, "edtCode")->isReadOnly());
    // Pick lists from the code lists.
    QCOMPARE(child<QComboBox>(&edit, "cbbUnit")->findText("米") >= 0, true);
    QCOMPARE(child<QComboBox>(&edit, "cbbType")->findText("电气") >= 0, true);
    const QString code = child<QLineEdit>(&edit, "edtCode")->text();
    const QString name = child<QLineEdit>(&edit, "edtName")->text();
    const QString type = child<QComboBox>(&edit, "cbbType")->currentText();
    if (mode == 2) {
        QCOMPARE(code, QString("000002"));
        QCOMPARE(name, QString("钢筋"));
        QCOMPARE(child<AmountBox>(&edit, "edtPrice")->value(), 4200.0);
    } else {
        QCOMPARE(code, QString("000005"));
        QVERIFY(name.isEmpty());
        QCOMPARE(child<AmountBox>(&edit, "edtPrice")->value(), 0.0);
        // Add keeps the type of the list's current goods; copy-add copies nothing.
        QCOMPARE(type, mode == 1 ? QString("建材") : QString());
    }
}

void TstGoodsGui::addShowsTheSavedCode_data()
{
    QTest::addColumn<QString>("takenMeanwhile");
    QTest::addColumn<QString>("saved");
    QTest::newRow("000123 -> 000124") << ""
                                      << "000124";
    QTest::newRow("000124 taken by another workstation") << "000124"
                                                         << "000125";
}

void TstGoodsGui::addShowsTheSavedCode()
{
    QFETCH(QString, takenMeanwhile);
    QFETCH(QString, saved);
    addGoods("000123", "水泥");
    TfrmGoodSet list;
    list.requery();
    TfrmGoodEdit edit({list.grid(), [&] { return list.requery(); }});
    edit.prepare(TfrmGoodEdit::AddMode);
    QCOMPARE(child<QLineEdit>(&edit, "edtCode")->text(), QString("000124"));
    if (!takenMeanwhile.isEmpty()) {
        Database other(QStringLiteral("other-workstation"));
        QVERIFY(other.open(m_dm->databasePath()));
        QVERIFY(other.exec("INSERT INTO t_goods(F_code, F_name, F_price) VALUES(:c, '别处', 1)",
                           {{":c", takenMeanwhile}}));
    }
    fill(edit, "钢筋", 4200);
    QVERIFY(edit.save());
    QCOMPARE(edit.result(), int(QDialog::Accepted));
    QVERIFY(m_ui->texts().isEmpty()); // renumbered silently
    QCOMPARE(child<QLineEdit>(&edit, "edtCode")->text(), saved);
    QCOMPARE(value("SELECT F_name FROM t_goods WHERE F_code = :c", {{":c", saved}}).toString(),
             QString("钢筋"));
    // The list was re-read and stands on the saved goods.
    QCOMPARE(list.grid()->currentValue("F_code").toString(), saved);
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：%1").arg(count("t_goods")));
}

void TstGoodsGui::checksInOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("price 0") << "水泥" << 0.0 << "预售单价必须大于0！"
                             << "edtPrice";
    QTest::newRow("price -1") << "水泥" << -1.0 << "预售单价必须大于0！"
                              << "edtPrice";
    QTest::newRow("blank name before the price") << "  " << 0.0 << "名称不能为空！"
                                                 << "edtName";
    QTest::newRow("blank name") << "" << 5.0 << "名称不能为空！"
                                << "edtName";
}

void TstGoodsGui::checksInOrder()
{
    QFETCH(QString, name);
    QFETCH(double, price);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TfrmGoodEdit edit({});
    edit.prepare(TfrmGoodEdit::AddMode);
    edit.show();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    fill(edit, name, price);
    QVERIFY(!edit.save());
    QCOMPARE(m_ui->texts(), QStringList{message});
    QCOMPARE(m_ui->lastKind(), 0);
    QCOMPARE(count("t_goods"), 0);
    QVERIFY(edit.isVisible());
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName() == focus ||
                 QApplication::focusWidget()->parentWidget()->objectName() == focus,
             true);
}

void TstGoodsGui::continuousAddKeepsTheType()
{
    addSample();
    TfrmGoodSet list;
    list.requery();
    list.grid()->setCurrentRow(2); // 电气
    TfrmGoodEdit edit({list.grid(), [&] { return list.requery(); }});
    edit.prepare(TfrmGoodEdit::AddMode);
    child<QCheckBox>(&edit, "chkContinue")->setChecked(true);
    QCOMPARE(child<QComboBox>(&edit, "cbbType")->currentText(), QString("电气"));
    fill(edit, "开关", 30);
    QVERIFY(edit.save());
    QVERIFY(edit.result() != QDialog::Accepted);
    // Fresh fields, the next code, the type kept.
    QCOMPARE(child<QLineEdit>(&edit, "edtName")->text(), QString());
    QCOMPARE(child<QLineEdit>(&edit, "edtCode")->text(), QString("000006"));
    QCOMPARE(child<QComboBox>(&edit, "cbbType")->currentText(), QString("电气"));
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：5"));
    fill(edit, "插座", 12);
    QVERIFY(edit.save());
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：6"));
    QCOMPARE(
        value("SELECT group_concat(F_code || F_type, ',') FROM t_goods WHERE F_ID > 4").toString(),
        QString("000005电气,000006电气"));
}

void TstGoodsGui::copyAddStartsEmpty()
{
    addSample();
    TfrmGoodSet list;
    list.requery();
    list.grid()->setCurrentRow(1);
    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmGoodEdit*>(w);
        QVERIFY(edit);
        QCOMPARE(edit->windowTitle(), QString("货品资料 - 复制新增"));
        QCOMPARE(child<QLineEdit>(w, "edtName")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "edtSpec")->text(), QString());
        QCOMPARE(child<QComboBox>(w, "cbbType")->currentText(), QString());
        QCOMPARE(child<QComboBox>(w, "cbbUnit")->currentText(), QString());
        QCOMPARE(child<QPlainTextEdit>(w, "memMemo")->toPlainText(), QString());
        QCOMPARE(child<QLineEdit>(w, "edtCode")->text(), QString("000005"));
        fill(*edit, "灯具", 80);
        click(w, "btnOK");
    });
    list.copyGoods();
    QCOMPARE(value("SELECT F_code FROM t_goods WHERE F_name = '灯具'").toString(),
             QString("000005"));
    // The list shows it from its next query on.
    QCOMPARE(list.grid()->model()->rowCount(), 4);
    list.requery();
    QCOMPARE(list.grid()->model()->rowCount(), 5);
}

void TstGoodsGui::modifyFollowsTheList()
{
    addSample();
    TfrmGoodSet list;
    list.requery();
    list.grid()->setCurrentRow(0);
    TfrmGoodEdit edit({list.grid(), [&] { return list.requery(); }});
    edit.prepare(TfrmGoodEdit::ModifyMode);
    QCOMPARE(child<QLineEdit>(&edit, "edtName")->text(), QString("水泥"));
    edit.moveTo(RecordNavigator::Next);
    QCOMPARE(child<QLineEdit>(&edit, "edtName")->text(), QString("钢筋"));
    edit.moveTo(RecordNavigator::Last);
    QCOMPARE(child<QLineEdit>(&edit, "edtCode")->text(), QString("000004"));
    child<QLineEdit>(&edit, "edtSpec")->setText("新规格");
    child<AmountBox>(&edit, "edtPrice")->setValue(3.5);
    QVERIFY(edit.save());
    QCOMPARE(edit.result(), int(QDialog::Accepted));
    QCOMPARE(
        value("SELECT F_spec || '/' || F_price FROM t_goods WHERE F_code = '000004'").toString(),
        QString("新规格/3.5"));
    QCOMPARE(count("t_goods"), 4);
    QCOMPARE(list.grid()->currentValue("F_code").toString(), QString("000004"));
}

void TstGoodsGui::failedSaveKeepsTheWindow()
{
    TfrmGoodEdit edit({});
    edit.prepare(TfrmGoodEdit::AddMode);
    fill(edit, "水泥", 450);
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.startsWith("insert into t_goods"); });
    QVERIFY(!edit.save());
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), 3);
    QVERIFY(edit.result() != QDialog::Accepted);
    QCOMPARE(child<QLineEdit>(&edit, "edtName")->text(), QString("水泥"));
    QCOMPARE(count("t_goods"), 0);
    m_dm->db().setFailureInjector({});
    QVERIFY(edit.save());
    QCOMPARE(count("t_goods"), 1);
}

void TstGoodsGui::emptyList()
{
    TfrmGoodSet list;
    list.requery();
    list.modifyGoods();
    QCOMPARE(m_ui->texts(), QStringList{"此表为空，没有记录需要修改！"});
    QCOMPARE(m_ui->lastKind(), 3);
    m_ui->clear();
    list.deleteGoods();
    QVERIFY(m_ui->texts().isEmpty());
    QCOMPARE(m_ui->unansweredQuestions(), 0);
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：0"));
}

void TstGoodsGui::deleteKeepsTheLinesThatUseTheGoods_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << 1 << true;
    QTest::newRow("no") << 2 << false;
}

void TstGoodsGui::deleteKeepsTheLinesThatUseTheGoods()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    addSample();
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode, F_GDname, F_price) "
                          "VALUES(1, '000002', '钢筋', 4100)"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_FHdetail(F_code, F_GDcode, F_GDname, F_price) "
                          "VALUES('FH-1', '000002', '钢筋', 4150)"));
    TfrmGoodSet list;
    list.requery();
    list.grid()->setCurrentRow(1);
    m_ui->queueAnswer(answer);
    list.deleteGoods();
    QCOMPARE(m_ui->texts(), QStringList{"真的要删除当前货品资料 \"钢筋\" 的记录？"});
    QCOMPARE(count("t_goods", "F_code = '000002'"), deleted ? 0 : 1);
    QCOMPARE(list.grid()->model()->rowCount(), deleted ? 3 : 4);
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：%1").arg(deleted ? 3 : 4));
    QCOMPARE(value("SELECT F_GDname || F_price FROM t_GDrec").toString(), QString("钢筋4100.0"));
    QCOMPARE(value("SELECT F_GDname || F_price FROM t_FHdetail").toString(), QString("钢筋4150.0"));
}

void TstGoodsGui::criteriaRequery_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("type") << "电气"
                          << "" << QStringList{"000003", "000004"};
    QTest::newRow("memo") << ""
                          << "常用" << QStringList{"000003"};
    QTest::newRow("quote") << ""
                           << "O'N" << QStringList{"000004"};
    QTest::newRow("percent") << ""
                             << "50%" << QStringList{"000004"};
    QTest::newRow("underscore") << ""
                                << "%_" << QStringList{"000004"};
    QTest::newRow("underscore alone matches only itself") << ""
                                                          << "_" << QStringList{"000004"};
    QTest::newRow("type and text") << "建材"
                                   << "钢" << QStringList{"000002"};
}

void TstGoodsGui::criteriaRequery()
{
    QFETCH(QString, type);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    addSample();
    TfrmGoodSet list;
    list.show();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    QCOMPARE(gridCodes(list.grid()).size(), 4);
    // Every change of either criterion re-reads the list.
    list.typeFilter()->setCurrentText(type);
    list.searchText()->setText(search);
    QCOMPARE(gridCodes(list.grid()), expected);
    QCOMPARE(list.statusPanel(2)->text(), QString("记录数：%1").arg(expected.size()));
    addGoods("000009", "钢O'N 50%_ 常用", type.isEmpty() ? "电气" : type);
    QTest::keyClick(&list, Qt::Key_F8);
    QCOMPARE(gridCodes(list.grid()), expected + QStringList{"000009"});
    list.searchText()->clear();
    list.typeFilter()->setCurrentText(QString());
    QCOMPARE(gridCodes(list.grid()).size(), 5);
}

void TstGoodsGui::escAsksFirst_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("list, yes") << "list" << 1 << true;
    QTest::newRow("list, no") << "list" << 2 << false;
    QTest::newRow("edit, yes") << "edit" << 1 << true;
    QTest::newRow("edit, no") << "edit" << 2 << false;
}

void TstGoodsGui::escAsksFirst()
{
    QFETCH(QString, window);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    std::unique_ptr<QDialog> w;
    if (window == "list") {
        w = std::make_unique<TfrmGoodSet>();
    } else {
        auto* edit = new TfrmGoodEdit({});
        edit->prepare(TfrmGoodEdit::ModifyMode);
        w.reset(edit);
    }
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    const QString caption = w->windowTitle();
    m_ui->clear();
    m_ui->queueAnswer(answer);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    QCOMPARE(m_ui->texts(), QStringList{"真的要退 \"" + caption + "\" 操作界面吗？"});
    QCOMPARE(w->isVisible(), !closes);
}

void TstGoodsGui::printAndDesignNotYet()
{
    addSample();
    TfrmGoodSet list;
    list.show();
    m_ui->clear();
    list.command("tbPrint")->trigger();
    list.command("tbDesign")->trigger();
    QCOMPARE(m_ui->texts(), (QStringList{"此功能尚未提供", "此功能尚未提供"}));
    for (const char* name : {"tbAdd", "tbModify", "tbDelete", "tbCopy", "tbFind", "tbExport"})
        QVERIFY2(list.command(name) && list.command(name)->isEnabled(), name);
    QCOMPARE(list.command("tbAdd")->text(), QString("添加(F2)"));
    QCOMPARE(list.command("tbFind")->shortcut(), QKeySequence(Qt::Key_F8));
}

void TstGoodsGui::pickerTargetsAndDropOut_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<int>("lines");
    QTest::newRow("shipment edit: the contract's goods")
        << 1 << QStringList{"000002", "000003"} << 2;
    QTest::newRow("contract goods")
        << 2 << QStringList{"000001", "000002", "000003", "000004"} << 2;
    QTest::newRow("shipment management")
        << 3 << QStringList{"000001", "000002", "000003", "000004"} << 2;
    QTest::newRow("no target") << 0 << QStringList{"000001", "000002", "000003", "000004"} << 0;
}

void TstGoodsGui::pickerTargetsAndDropOut()
{
    QFETCH(int, mode);
    QFETCH(QStringList, offered);
    QFETCH(int, lines);
    addSample();
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(5, '000002'), "
                          "(5, '000003'), (6, '000004')"));
    QList<GoodsLineValues> added;
    GoodsLineTarget target;
    target.mode = mode;
    target.contractId = 5;
    target.addLine = [&](const GoodsLineValues& v) { added << v; };
    TDlgGoodXz picker;
    picker.startAddLines(target);
    QCOMPARE(gridCodes(picker.grid()), offered);
    picker.grid()->setCurrentRow(0);
    picker.confirm();
    picker.confirm(); // the next goods took the place of the first
    QVERIFY(picker.result() != QDialog::Accepted);
    QCOMPARE(added.size(), lines);
    if (lines == 0) {
        QCOMPARE(gridCodes(picker.grid()), offered);
        return;
    }
    QCOMPARE(added.at(0).code, offered.at(0));
    QCOMPARE(added.at(1).code, offered.at(1));
    QCOMPARE(gridCodes(picker.grid()), offered.mid(2));
    // The line values of the goods.
    const GoodsLineValues& first = added.at(0);
    QCOMPARE(
        first.name,
        value("SELECT F_name FROM t_goods WHERE F_code = :c", {{":c", first.code}}).toString());
    QCOMPARE(first.spec, "S-" + first.code);
    QCOMPARE(first.unit, QString("吨"));
    QCOMPARE(
        first.price,
        value("SELECT F_price FROM t_goods WHERE F_code = :c", {{":c", first.code}}).toDouble());
    // A query keeps the added goods out.
    picker.searchText()->setText(first.name);
    picker.query();
    QCOMPARE(gridCodes(picker.grid()), QStringList{});
    QCOMPARE(count("tempCode"), 0);
}

void TstGoodsGui::newCallStartsFresh()
{
    addSample();
    RegisterGoodsPickers();
    QStringList added;
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.addLine = [&](const GoodsLineValues& v) { added << v.code; };
    QStringList offered;
    auto pickFirstAndClose = [&](QWidget* w) {
        auto* picker = qobject_cast<TDlgGoodXz*>(w);
        QVERIFY(picker);
        offered = gridCodes(picker->grid());
        picker->grid()->setCurrentRow(0);
        click(w, "btnOK");
        QVERIFY(w->isVisible()); // stays open for the next pick
        click(w, "btnClose");
    };
    onModal(pickFirstAndClose);
    PickerRegistry::addGoodsLines(target, nullptr);
    QCOMPARE(offered.size(), 4);
    onModal(pickFirstAndClose);
    PickerRegistry::addGoodsLines(target, nullptr);
    // The second call offers the goods the first one added.
    QCOMPARE(offered.size(), 4);
    QCOMPARE(added, (QStringList{"000001", "000001"}));
}

void TstGoodsGui::twoPickersAtOnceStayApart()
{
    addSample();
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ShipmentManagementLines;
    target.addLine = [](const GoodsLineValues&) {};
    TDlgGoodXz one, two;
    one.startAddLines(target);
    two.startAddLines(target);
    one.grid()->setCurrentRow(0);
    one.confirm();
    two.grid()->setCurrentRow(3);
    two.confirm();
    one.query();
    two.query();
    QCOMPARE(gridCodes(one.grid()), (QStringList{"000002", "000003", "000004"}));
    QCOMPARE(gridCodes(two.grid()), (QStringList{"000001", "000002", "000003"}));
    QCOMPARE(one.added(), QStringList{"000001"});
    QCOMPARE(two.added(), QStringList{"000004"});
}

void TstGoodsGui::pickGoodsCodeIgnoresTheExclusions()
{
    addSample();
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.addLine = [](const GoodsLineValues&) {};
    TDlgGoodXz picker;
    picker.startAddLines(target);
    picker.confirm();
    picker.confirm();
    QCOMPARE(picker.grid()->model()->rowCount(), 2);
    picker.startPick("X");
    QCOMPARE(gridCodes(picker.grid()).size(), 4);
    picker.query();
    QCOMPARE(gridCodes(picker.grid()).size(), 4);

    // Through the registry: the chosen code, nothing when closed without one.
    RegisterGoodsPickers();
    QVERIFY(PickerRegistry::has(PickerRegistry::Goods));
    QVERIFY(PickerRegistry::hasGoodsLines());
    onModal([](QWidget* w) {
        auto* p = qobject_cast<TDlgGoodXz*>(w);
        QVERIFY(p);
        QCOMPARE(p->grid()->model()->rowCount(), 4);
        p->grid()->setCurrentRow(2);
        click(w, "btnOK");
    });
    QCOMPARE(PickerRegistry::pickOne(PickerRegistry::Goods, "手写", nullptr), QString("000003"));
    onModal([](QWidget* w) { click(w, "btnClose"); });
    QCOMPARE(PickerRegistry::pickOne(PickerRegistry::Goods, "手写", nullptr), QString());
    onModal([](QWidget* w) { click(w, "btnClose"); });
    QCOMPARE(PickGoodsCode("手写"), QString("手写"));
}

void TstGoodsGui::pickerEmptyList()
{
    int lines = 0;
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.addLine = [&](const GoodsLineValues&) { ++lines; };
    TDlgGoodXz picker;
    picker.startAddLines(target);
    QCOMPARE(picker.grid()->model()->rowCount(), 0);
    picker.confirm();
    QCOMPARE(lines, 0);
    QVERIFY(picker.added().isEmpty());
    QVERIFY(m_ui->texts().isEmpty());
    // The single pick gives back the caller's text.
    picker.startPick("G-7");
    picker.confirm();
    QCOMPARE(picker.pickedCode(), QString("G-7"));
    QVERIFY(!picker.chosen());
}

void TstGoodsGui::pickerNewGoodsStandsOnIt()
{
    addSample();
    addGoods("000010", "最后", "建材");
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.addLine = [](const GoodsLineValues&) {};
    TDlgGoodXz picker;
    picker.startAddLines(target);
    picker.typeFilter()->setCurrentText("电气");
    picker.query();
    picker.grid()->setCurrentRow(0);
    onModal([&](QWidget* w) {
        auto* edit = qobject_cast<TfrmGoodEdit*>(w);
        QVERIFY(edit);
        QCOMPARE(edit->windowTitle(), QString("货品资料 - 复制新增"));
        fill(*edit, "断路器", 66, "电气");
        click(w, "btnOK");
    });
    click(&picker, "btnNewGoods");
    QCOMPARE(picker.grid()->currentValue("F_name").toString(), QString("断路器"));
    QCOMPARE(picker.grid()->currentValue("F_code").toString(), QString("000011"));
    QCOMPARE(gridCodes(picker.grid()), (QStringList{"000003", "000004", "000011"}));
}

void TstGoodsGui::pickerAppliesItsLayout()
{
    DataGrid saved;
    saved.setColumns(GridLayoutStore::builtColumns("dlggoodxz"));
    const int memo = saved.model()->columnOfField("F_memo1");
    QVERIFY(memo >= 0);
    saved.view()->setColumnHidden(memo, true);
    QVERIFY(SaveGridLayout(&saved, "dlggoodxz"));
    TDlgGoodXz picker;
    const int column = picker.grid()->model()->columnOfField("F_memo1");
    QVERIFY(column >= 0);
    QVERIFY(!picker.grid()->model()->gridColumn(column).visible);
}

void TstGoodsGui::contractEditAddsLinesThroughThePicker()
{
    addSample();
    RegisterGoodsPickers();
    TfrmContractEdit form(TfrmContractEdit::ModeAdd, -1);
    form.show();
    RecordModel* lines = form.goodsGrid()->model();
    QPushButton* addLine = child<QPushButton>(&form, "btnAddLine");
    QCOMPARE(addLine->text(), QString("新增行"));
    addLine->click();
    QCOMPARE(lines->rowCount(), 1);
    QCOMPARE(lines->value(0, "F_GDcode").toString(), QString());
    onModal([](QWidget* w) {
        auto* picker = qobject_cast<TDlgGoodXz*>(w);
        QVERIFY(picker);
        picker->grid()->setCurrentRow(1);
        click(w, "btnOK");
        click(w, "btnOK");
        click(w, "btnClose");
    });
    emit form.goodsGrid()->cellButtonClicked(0, lines->columnOfField("F_GDname"));
    QCOMPARE(lines->rowCount(), 3);
    QCOMPARE(lines->value(1, "F_GDcode").toString(), QString("000002"));
    QCOMPARE(lines->value(2, "F_GDcode").toString(), QString("000003"));
    QCOMPARE(lines->value(2, "F_GDname").toString(), QString("电缆"));
    QCOMPARE(lines->value(2, "F_amount").toDouble(), 1.0);
    QCOMPARE(lines->value(2, "F_price").toDouble(), 12.5);
    QCOMPARE(lines->value(2, "F_totalPrice").toDouble(), 12.5);
    // Every line belongs to the contract being entered.
    QCOMPARE(lines->value(2, "F_cltID"), lines->value(0, "F_cltID"));
    QCOMPARE(count("t_GDrec"), 0); // written with the contract only
}

void TstGoodsGui::mainWindowOpensTheCatalogue()
{
    addSample();
    PickerRegistry::set(PickerRegistry::Goods, {});
    TFrmMain main;
    main.ApplySession();
    main.PrepareFirstShow();
    // The main window makes the goods pickers known.
    QVERIFY(PickerRegistry::has(PickerRegistry::Goods));
    QVERIFY(PickerRegistry::hasGoodsLines());
    QString shown;
    int rows = -1;
    onModal([&](QWidget* w) {
        shown = w->objectName();
        if (auto* list = qobject_cast<TfrmGoodSet*>(w))
            rows = list->grid()->model()->rowCount();
        m_ui->queueAnswer(1);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    QAction* command = main.commands()->action(210);
    QVERIFY(command);
    command->trigger();
    QCOMPARE(shown, QString("TfrmGoodSet"));
    QCOMPARE(rows, 4);
    QVERIFY(!m_ui->texts().contains("此功能尚未提供"));
}

void TstGoodsGui::screenshots()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    EstablishSession(*m_dm, "admin");

    TfrmGoodSet list;
    list.show();
    list.grid()->setCurrentRow(3);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    saveScreenshot(&list, "TfrmGoodSet");
    list.searchText()->setText("钢");
    saveScreenshot(&list, "TfrmGoodSet-search");
    for (int mode : {1, 2, 3}) {
        TfrmGoodEdit edit({list.grid(), [&] { return list.requery(); }});
        edit.prepare(TfrmGoodEdit::Mode(mode));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        saveScreenshot(&edit, QString("TfrmGoodEdit-mode%1").arg(mode));
    }
    GoodsLineTarget target;
    target.mode = GoodsLineTarget::ContractGoodsLines;
    target.addLine = [](const GoodsLineValues&) {};
    TDlgGoodXz picker;
    picker.startAddLines(target);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    saveScreenshot(&picker, "TDlgGoodXz");
}

QTEST_MAIN(TstGoodsGui)
#include "tst_goods_gui.moc"
