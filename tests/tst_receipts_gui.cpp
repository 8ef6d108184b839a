#include "browser/DetailStore.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/GridLayoutStore.h"
#include "contracts/TDlgContractXz.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "records/ContractSummary.h"
#include "records/ReceiptStore.h"
#include "records/TfrmShouKuanEdit.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

const QDate kToday(2024, 5, 20);

// The receipts list screen's rows: each receipt beside its contract header.
const char* const kListScreenSql =
    "select c.F_cltID,c.F_code,c.F_name,c.F_type,c.F_date as c_date,c.F_totalprice, "
    "c.F_priceUnit,c.F_beginDate,c.F_endDate,c.F_dept,c.F_status,c.F_empName,c.F_GCcode,"
    "c.F_GCname, sk.F_ID,sk.F_date,sk.F_Oldcode,sk.F_YSprice,sk.F_YSdate,sk.F_SKprice,"
    "sk.F_SKdate, sk.F_KPprice,sk.F_memo1,sk.F_operName FROM t_SKrec as sk Left join "
    "contract as c on sk.F_cltID = c.F_cltID where (1=1) order by sk.F_date";

} // namespace

// Receipt and payment edit windows, and through them the sub-record edit
// window pattern.
class TstReceiptsGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addWithContinuousAddTwice();
    void furnitureByMode();
    void modifyKeepsOperatorAndContract();
    void untickedDatesStoredAsNoDate();
    void noDateBoundary_data();
    void noDateBoundary();
    void navigationDropsChanges();
    void saveFailureKeepsWindowOpen_data();
    void saveFailureKeepsWindowOpen();
    void keys();
    void amountKeepsItsDecimals();
    void summaryLines();
    void listVariantNeedsAContract();
    void listVariantPicksAndMovesContract();
    void navigationAsksBeforeLeaving_data();
    void navigationAsksBeforeLeaving();
    void impossibleDateStopsTheSave_data();
    void impossibleDateStopsTheSave();

private:
    qint64 addReceipt(int cltID, const QString& date, const QString& oper,
                      const QString& ysDate = "1900-08-14", const QString& memo = QString());
    QVariantMap contractValues(int cltID);
    QVariant stored(qint64 id, const QString& field);
    int count(const QString& where = "1=1");
    void openPageList(int cltID);
    void openListScreen();
    void fill(TfrmShouKuanEdit& w, const QString& oldCode, double ys);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    DataGrid* m_grid = nullptr;
};

void TstReceiptsGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstReceiptsGui::init()
{
    Clock::setNow(QDateTime(kToday, QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql(
        "INSERT INTO Contract(F_cltID, F_code, F_name, F_type, F_empname, F_date, F_totalPrice, "
        "F_priceunit, F_beginDate, F_endDate, F_client1, F_client2, F_status, F_dept, F_GCname) "
        "VALUES(1, 'HT-1', '供货合同', '\\工程', 'Li', '2024-01-02', 1500.25, '人民币', "
        "'1900-08-14', '3000-08-14', '甲公司', '乙公司', '执行中', '销售部', '一号楼'),"
        "(2, 'HT-2', '维修合同', '\\维修', 'Lu', '2024-02-03', 80, '美元', '2024-02-05', "
        "'1901-08-13', '丙公司', '丁公司', '已完成', '工程部', '')"));
    EstablishSession(*m_dm, "admin");
    m_grid = new DataGrid;
}

void TstReceiptsGui::cleanup()
{
    delete m_grid;
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

qint64 TstReceiptsGui::addReceipt(int cltID, const QString& date, const QString& oper,
                                  const QString& ysDate, const QString& memo)
{
    m_dm->ExecSql("INSERT INTO t_SKrec(F_cltID, F_date, F_OldCode, F_YSprice, F_YSdate, "
                  "F_SKprice, F_SKdate, F_KPprice, F_memo1, F_operName) VALUES(:c, :d, 'V', 10, "
                  ":ys, 5, '1900-08-14', 3, :m, :o)",
                  {{":c", cltID}, {":d", date}, {":ys", ysDate}, {":m", memo}, {":o", oper}});
    return m_dm->QueryInt("SELECT max(F_ID) FROM t_SKrec");
}

QVariantMap TstReceiptsGui::contractValues(int cltID)
{
    DataGrid contracts;
    contracts.open(m_dm->db(), "SELECT * FROM Contract WHERE F_cltID = :c", {{":c", cltID}});
    return RecordValues(*contracts.model(), 0);
}

QVariant TstReceiptsGui::stored(qint64 id, const QString& field)
{
    QSqlQuery q;
    m_dm->OpenQuery(QString("SELECT %1 FROM t_SKrec WHERE F_ID = :id").arg(field), q,
                    {{":id", id}});
    return q.next() ? q.value(0) : QVariant();
}

int TstReceiptsGui::count(const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM t_SKrec WHERE %1").arg(where));
}

void TstReceiptsGui::openPageList(int cltID)
{
    m_grid->setColumns(GridLayoutStore::builtColumns("detail2"));
    QVERIFY(m_grid->open(m_dm->db(), ReceiptStore::contractListSql(),
                         ReceiptStore::contractListParams(cltID)));
}

void TstReceiptsGui::openListScreen()
{
    QVERIFY(m_grid->open(m_dm->db(), kListScreenSql));
    m_grid->model()->setColumnsFromFields();
    m_grid->setColumns(m_grid->model()->columns());
}

void TstReceiptsGui::fill(TfrmShouKuanEdit& w, const QString& oldCode, double ys)
{
    w.oldCodeEdit()->setText(oldCode);
    w.ysPriceBox()->setValue(ys);
}

void TstReceiptsGui::addWithContinuousAddTwice()
{
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::AddMode);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.continuousAdd()->isChecked());

    w.dateEdit()->setDate(QDate(2024, 5, 1));
    fill(w, "  V-001  ", 100.5);
    w.ysDateEdit()->setDate(QDate(2024, 6, 1));
    w.skPriceBox()->setValue(50);
    w.skDateEdit()->setDate(QDate(2024, 5, 2));
    w.kpPriceBox()->setValue(-7.1234);
    w.memoEdit()->setPlainText("  备注 ");
    saveScreenshot(&w, "TfrmShouKuanEdit-add");
    w.okButton()->click();
    QVERIFY(w.isVisible());
    QCOMPARE(count(), 1);
    // Cleared for the next entry; focus on the date.
    QCOMPARE(w.windowTitle(), QString("合同收(付)款记录 - 新增"));
    QCOMPARE(w.dateEdit()->date(), kToday);
    QCOMPARE(w.oldCodeEdit()->text(), QString());
    QCOMPARE(w.ysPriceBox()->value(), 0.0);
    QVERIFY(!w.ysDateEdit()->isChecked());
    QCOMPARE(w.memoEdit()->toPlainText(), QString());
    QCOMPARE(w.focusWidget(), w.dateEdit());
    // The page's list holds the new row and stands on it.
    QCOMPARE(m_grid->model()->rowCount(), 1);
    const qint64 first = m_grid->currentValue("F_ID").toLongLong();
    QCOMPARE(stored(first, "F_OldCode").toString(), QString("V-001"));
    QCOMPARE(stored(first, "F_memo1").toString(), QString("  备注 "));
    QCOMPARE(stored(first, "F_date").toString(), QString("2024-05-01"));
    QCOMPARE(stored(first, "F_YSprice").toDouble(), 100.5);
    QCOMPARE(stored(first, "F_YSdate").toString(), QString("2024-06-01"));
    QCOMPARE(stored(first, "F_SKdate").toString(), QString("2024-05-02"));
    QCOMPARE(stored(first, "F_KPprice").toDouble(), -7.1234);
    QCOMPARE(stored(first, "F_cltID").toInt(), 1);
    QCOMPARE(stored(first, "F_operName").toString(), QString("admin"));

    fill(w, "V-002", 2);
    w.okButton()->click();
    QVERIFY(w.isVisible());
    QCOMPARE(count(), 2);

    // Without continuous add the third save closes the window.
    w.continuousAdd()->setChecked(false);
    fill(w, "V-003", 3);
    w.okButton()->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(count("F_cltID = 1"), 3);
    QCOMPARE(m_grid->model()->rowCount(), 3);
    QCOMPARE(m_grid->currentValue("F_OldCode").toString(), QString("V-003"));
}

void TstReceiptsGui::furnitureByMode()
{
    addReceipt(1, "2024-05-01", "张三");
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    QCOMPARE(w.objectName(), QString("TfrmShouKuanEdit"));
    w.prepare(SubRecordEdit::ModifyMode);
    w.show();
    QCOMPARE(w.windowTitle(), QString("合同收(付)款记录 - 修改"));
    QVERIFY(!w.continuousAdd()->isVisible());
    for (const char* b : {"btnFirst", "btnPrior", "btnNext", "btnLast"})
        QVERIFY(w.findChild<QPushButton*>(b)->isVisible());
    saveScreenshot(&w, "TfrmShouKuanEdit-modify");
    w.prepare(SubRecordEdit::AddMode);
    QVERIFY(w.continuousAdd()->isVisible());
    QVERIFY(!w.findChild<QPushButton*>("btnNext")->isVisible());
    QCOMPARE(w.operNameEdit()->text(), QString("admin"));
    QVERIFY(w.operNameEdit()->isReadOnly());
    QCOMPARE(w.oldCodeEdit()->maxLength(), 50);

    TfrmShouKuanEdit1 w1({m_grid, {}});
    w1.prepare(SubRecordEdit::AddMode);
    QCOMPARE(w1.objectName(), QString("TfrmShouKuanEdit1"));
    QCOMPARE(w1.windowTitle(), QString("合同收付款项 - 新增"));
    QVERIFY(!w1.continuousAdd()->isChecked());
    QCOMPARE(w1.selectedContract(), -1);
}

void TstReceiptsGui::modifyKeepsOperatorAndContract()
{
    addReceipt(1, "2024-04-01", "张三");
    const qint64 id = addReceipt(1, "2024-04-02", "张三", "2024-04-30", "旧");
    openPageList(1);
    m_grid->setCurrentRow(m_grid->model()->findRow("F_ID", id));
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::ModifyMode);
    w.show();
    QCOMPARE(w.operNameEdit()->text(), QString("张三"));
    QCOMPARE(w.memoEdit()->toPlainText(), QString("旧"));
    QCOMPARE(w.ysDateEdit()->date(), QDate(2024, 4, 30));
    w.memoEdit()->setPlainText("新");
    w.okButton()->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(stored(id, "F_memo1").toString(), QString("新"));
    QCOMPARE(stored(id, "F_operName").toString(), QString("张三"));
    QCOMPARE(stored(id, "F_cltID").toInt(), 1);
    QCOMPARE(count(), 2);
    // Back on the saved row; and the window returned to add mode.
    QCOMPARE(m_grid->currentValue("F_ID").toLongLong(), id);
    QCOMPARE(w.mode(), SubRecordEdit::AddMode);
}

void TstReceiptsGui::untickedDatesStoredAsNoDate()
{
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.continuousAdd()->setChecked(false);
    w.prepare(SubRecordEdit::AddMode);
    w.ysDateEdit()->setDate(QDate(2024, 7, 1));
    w.ysDateEdit()->setChecked(false);
    w.okButton()->click();
    const qint64 id = m_grid->currentValue("F_ID").toLongLong();
    QCOMPARE(stored(id, "F_YSdate").toString(), QString("1900-08-14"));
    QCOMPARE(stored(id, "F_SKdate").toString(), QString("1900-08-14"));
    // Read back: unticked, holding today; the list shows the cell empty.
    TfrmShouKuanEdit again(m_grid, contractValues(1));
    again.prepare(SubRecordEdit::ModifyMode);
    QVERIFY(!again.ysDateEdit()->isChecked());
    QCOMPARE(again.ysDateEdit()->shownDate(), kToday);
    const int col = m_grid->model()->columnOfField("F_YSdate");
    if (col >= 0) {
        m_grid->model()->setDateRule("F_YSdate", RecordModel::BlankBefore1901);
        QCOMPARE(m_grid->model()->displayText(0, col), QString());
    }
}

void TstReceiptsGui::noDateBoundary_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("given");
    QTest::newRow("1901-08-14 is a date") << "1901-08-14" << true;
    QTest::newRow("1901-08-13 is none") << "1901-08-13" << false;
    QTest::newRow("no-date value") << "1900-08-14" << false;
    QTest::newRow("open end") << "3000-08-14" << true;
}

void TstReceiptsGui::noDateBoundary()
{
    QFETCH(QString, stored);
    QFETCH(bool, given);
    addReceipt(1, "2024-05-01", "x", stored);
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(w.ysDateEdit()->isChecked(), given);
    QCOMPARE(w.ysDateEdit()->shownDate(), given ? QDate::fromString(stored, Qt::ISODate) : kToday);
}

void TstReceiptsGui::navigationDropsChanges()
{
    addReceipt(1, "2024-05-01", "a", "1900-08-14", "一");
    addReceipt(1, "2024-05-02", "b", "1900-08-14", "二");
    addReceipt(1, "2024-05-03", "c", "1900-08-14", "三");
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(w.memoEdit()->toPlainText(), QString("一"));
    w.memoEdit()->setPlainText("changed");
    m_ui->queueAnswer(2); // do not save
    w.findChild<QPushButton*>("btnNext")->click();
    QCOMPARE(m_ui->texts(), QStringList{"是否保存对当前记录的修改？"});
    QCOMPARE(w.memoEdit()->toPlainText(), QString("二"));
    QCOMPARE(w.operNameEdit()->text(), QString("b"));
    w.findChild<QPushButton*>("btnLast")->click();
    QCOMPARE(w.memoEdit()->toPlainText(), QString("三"));
    w.findChild<QPushButton*>("btnNext")->click();
    QCOMPARE(w.memoEdit()->toPlainText(), QString("三"));
    w.findChild<QPushButton*>("btnFirst")->click();
    QCOMPARE(w.memoEdit()->toPlainText(), QString("一"));
    QCOMPARE(w.mode(), SubRecordEdit::ModifyMode);
    QCOMPARE(m_dm->QueryString("SELECT count(*) FROM t_SKrec WHERE F_memo1 = 'changed'"),
             QString("0"));
}

void TstReceiptsGui::saveFailureKeepsWindowOpen_data()
{
    QTest::addColumn<QString>("failing"); // the statement that fails
    QTest::addColumn<int>("mode");
    QTest::newRow("insert") << "Insert into t_SKrec" << int(SubRecordEdit::AddMode);
    QTest::newRow("update") << "Update t_SKrec" << int(SubRecordEdit::ModifyMode);
    QTest::newRow("list refresh") << "reopen" << int(SubRecordEdit::AddMode);
}

void TstReceiptsGui::saveFailureKeepsWindowOpen()
{
    QFETCH(QString, failing);
    QFETCH(int, mode);
    const qint64 id = addReceipt(1, "2024-05-01", "a", "1900-08-14", "原");
    openPageList(1);
    bool injected = false;
    // The list's own refresh fails once.
    auto reopen = [&](QString* e) {
        if (failing == "reopen" && !injected) {
            injected = true;
            return false;
        }
        return m_grid->open(m_dm->db(), ReceiptStore::contractListSql(),
                            ReceiptStore::contractListParams(1), e);
    };
    TfrmShouKuanEdit w(m_grid, contractValues(1), nullptr, reopen);
    w.prepare(SubRecordEdit::Mode(mode));
    w.show();
    w.oldCodeEdit()->setText("V-9");
    w.memoEdit()->setPlainText("新");
    m_dm->db().setFailureInjector([&](const QString& sql) {
        if (sql.startsWith(failing, Qt::CaseInsensitive) && !injected) {
            injected = true;
            return true;
        }
        return false;
    });
    w.okButton()->click();
    m_dm->db().setFailureInjector({});
    QVERIFY(injected);
    QCOMPARE(m_ui->lastText(), QString("保存失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(w.isVisible());
    QCOMPARE(w.mode(), SubRecordEdit::Mode(mode));
    QCOMPARE(w.oldCodeEdit()->text(), QString("V-9"));
    QCOMPARE(w.memoEdit()->toPlainText(), QString("新"));
    // Nothing reached the database, and the list shows what is stored.
    QCOMPARE(count(), 1);
    QCOMPARE(stored(id, "F_memo1").toString(), QString("原"));
    QCOMPARE(m_grid->model()->rowCount(), 1);
    // A second try goes through.
    w.okButton()->click();
    QCOMPARE(count(), mode == SubRecordEdit::AddMode ? 2 : 1);
}

void TstReceiptsGui::keys()
{
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::AddMode);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.dateEdit()->setFocus();
    QTest::keyClick(w.dateEdit(), Qt::Key_Return);
    QCOMPARE(w.focusWidget(), w.oldCodeEdit());
    QTest::keyClick(w.oldCodeEdit(), Qt::Key_Enter);
    QCOMPARE(w.focusWidget(), w.ysPriceBox());
    w.memoEdit()->setFocus();
    QTest::keyClick(w.memoEdit(), Qt::Key_Return);
    QCOMPARE(w.focusWidget(), w.memoEdit());
    QTest::keyClick(w.memoEdit(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(count(), 1);
    QVERIFY(w.isVisible());
    // Ctrl+S does nothing while "确定" is disabled.
    w.okButton()->setEnabled(false);
    QTest::keyClick(w.oldCodeEdit(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(count(), 1);
    QTest::keyClick(w.oldCodeEdit(), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Rejected));
}

void TstReceiptsGui::amountKeepsItsDecimals()
{
    openPageList(1);
    TfrmShouKuanEdit1 w({m_grid, {}});
    w.prepare(SubRecordEdit::AddMode);
    AmountBox* box = w.kpPriceBox();
    box->setValue(-1234.5678);
    QCOMPARE(box->text(), QString("-1,234.5678"));
    box->setValue(2.5);
    QCOMPARE(box->text(), QString("2.50"));
    box->setValue(-7.1234);
    // Passing through the box does not round it to what it shows.
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box, &in);
    QCOMPARE(box->text(), QString("-7.1234"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
    QCOMPARE(box->value(), -7.1234);
    // Typed with thousands separators.
    QApplication::sendEvent(box, &in);
    box->findChild<QLineEdit*>()->setText("1,000.25");
    QApplication::sendEvent(box, &out);
    QCOMPARE(box->value(), 1000.25);
    QCOMPARE(box->text(), QString("1,000.25"));
}

void TstReceiptsGui::summaryLines()
{
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::AddMode);
    QVERIFY(w.summaryBox()->isReadOnly());
    const QStringList lines = w.summaryBox()->toPlainText().split('\n');
    QCOMPARE(lines, (QStringList{"  合同编号:HT-1", "  合同名称:供货合同", "  合同类型:\\工程",
                                 "  业 务 员:Li", "  签订日期:2024-01-02", "  合同金额:1500.25",
                                 "  币种:人民币", "  截止日期:3000-08-14", "  甲方单位:甲公司",
                                 "  乙方单位:乙公司", "  合同状态:执行中"}));
    const QString second = ContractSummaryText(contractValues(2));
    QVERIFY(second.contains("  开始日期:2024-02-05"));
    QVERIFY(!second.contains("截止日期"));
}

void TstReceiptsGui::listVariantNeedsAContract()
{
    openListScreen();
    TfrmShouKuanEdit1 w(
        {m_grid, [this](QString* e) { return m_grid->open(m_dm->db(), kListScreenSql, {}, e); }});
    w.prepare(SubRecordEdit::AddMode);
    w.show();
    w.oldCodeEdit()->setText("X");
    w.okButton()->click();
    QCOMPARE(m_ui->lastText(), QString("合同名称不能为空！"));
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QCOMPARE(count(), 0);
    QVERIFY(w.isVisible());
}

void TstReceiptsGui::listVariantPicksAndMovesContract()
{
    const qint64 id = addReceipt(1, "2024-05-01", "张三");
    openListScreen();
    auto reopen = [this](QString* e) { return m_grid->open(m_dm->db(), kListScreenSql, {}, e); };

    // Add: the contract is picked in the selection dialog.
    {
        TfrmShouKuanEdit1 w({m_grid, reopen});
        w.prepare(SubRecordEdit::AddMode);
        w.show();
        QTimer::singleShot(0, [] {
            auto* d = qobject_cast<TDlgContractXz*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->codeEdit()->setText("HT-2");
            d->findChild<QPushButton*>("btnOK")->click();
        });
        w.findChild<QAbstractButton*>("btnSelectContract")->click();
        QCOMPARE(w.selectedContract(), 2);
        QCOMPARE(w.headerEdit("edtHTcode")->text(), QString("HT-2"));
        QCOMPARE(w.headerEdit("edtHTname")->text(), QString("维修合同"));
        QCOMPARE(w.headerEdit("edtBeginDate")->text(), QString("2024-02-05"));
        QCOMPARE(w.headerEdit("edtEndDate")->text(), QString()); // 1901-08-13
        QCOMPARE(w.headerEdit("edtEmpName")->text(), QString("Lu"));
        w.skPriceBox()->setValue(1234.5);
        QCOMPARE(w.skPriceBox()->text(), QString("1,234.50"));
        saveScreenshot(&w, "TfrmShouKuanEdit1-add");
        w.okButton()->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(count("F_cltID = 2"), 1);
        QCOMPARE(m_grid->currentValue("F_code").toString(), QString("HT-2"));
    }
    // Modify: the header comes from the row; picking another contract moves it.
    m_grid->setCurrentRow(m_grid->model()->findRow("F_ID", id));
    TfrmShouKuanEdit1 w({m_grid, reopen});
    w.prepare(SubRecordEdit::ModifyMode);
    QCOMPARE(w.selectedContract(), 1);
    QCOMPARE(w.headerEdit("edtHTcode")->text(), QString("HT-1"));
    QCOMPARE(w.headerEdit("edtBeginDate")->text(), QString());
    QCOMPARE(w.headerEdit("edtEndDate")->text(), QString("3000-08-14"));
    QCOMPARE(w.operNameEdit()->text(), QString("张三"));
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TDlgContractXz*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->codeEdit()->setText("HT-2");
        d->findChild<QPushButton*>("btnOK")->click();
    });
    w.pickContract();
    w.okButton()->click();
    QCOMPARE(stored(id, "F_cltID").toInt(), 2);
    QCOMPARE(stored(id, "F_operName").toString(), QString("张三"));
    QCOMPARE(m_grid->currentValue("F_ID").toLongLong(), id);
}

void TstReceiptsGui::navigationAsksBeforeLeaving_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failing");  // the save's UPDATE fails
    QTest::addColumn<QString>("shown"); // the note after the move
    QTest::addColumn<QString>("kept");  // the first row's stored note
    QTest::newRow("yes: saves, moves") << 1 << false << "二"
                                       << "改";
    QTest::newRow("yes, save fails: stays") << 1 << true << "改"
                                            << "一";
    QTest::newRow("no: drops, moves") << 2 << false << "二"
                                      << "一";
    QTest::newRow("cancel: stays") << 3 << false << "改"
                                   << "一";
}

void TstReceiptsGui::navigationAsksBeforeLeaving()
{
    QFETCH(int, answer);
    QFETCH(bool, failing);
    QFETCH(QString, shown);
    QFETCH(QString, kept);
    const qint64 first = addReceipt(1, "2024-05-01", "a", "1900-08-14", "一");
    addReceipt(1, "2024-05-02", "b", "1900-08-14", "二");
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::ModifyMode);
    w.show();
    w.memoEdit()->setPlainText("改");
    w.ysPriceBox()->setValue(99);
    m_ui->queueAnswer(answer);
    if (failing)
        m_dm->db().setFailureInjector([](const QString& sql) {
            return sql.startsWith("Update t_SKrec", Qt::CaseInsensitive);
        });
    w.findChild<QPushButton*>("btnNext")->click();
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->texts().value(0), QString("是否保存对当前记录的修改？"));
    QCOMPARE(m_ui->lastKind(), failing ? int(mkError) : int(mkQuestionCancel));
    QCOMPARE(w.memoEdit()->toPlainText(), shown);
    QCOMPARE(stored(first, "F_memo1").toString(), kept);
    QCOMPARE(stored(first, "F_YSprice").toDouble(), kept == "改" ? 99.0 : 10.0);
    QCOMPARE(w.mode(), SubRecordEdit::ModifyMode);
    QVERIFY(w.isVisible());
    // The list stands on the row the window shows.
    QCOMPARE(m_grid->currentValue("F_memo1").toString(), shown == "二" ? shown : kept);
    QCOMPARE(w.isChanged(), shown == "改");
}

void TstReceiptsGui::impossibleDateStopsTheSave_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("date") << "dtpDate";
    QTest::newRow("due date, ticked") << "dtpYSdate";
}

void TstReceiptsGui::impossibleDateStopsTheSave()
{
    QFETCH(QString, control);
    openPageList(1);
    TfrmShouKuanEdit w(m_grid, contractValues(1));
    w.prepare(SubRecordEdit::AddMode);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QDateEdit* box =
        control == "dtpDate" ? static_cast<QDateEdit*>(w.dateEdit()) : w.ysDateEdit()->dateEdit();
    if (control != "dtpDate")
        w.ysDateEdit()->setChecked(true);
    box->setFocus();
    box->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(box, "20240431");
    w.oldCodeEdit()->setFocus();
    w.okButton()->click();
    QCOMPARE(m_ui->lastText(), QString("“2024-04-31”不是有效的日期，请重新输入！"));
    QCOMPARE(count(), 0);
    QVERIFY(w.isVisible());
}

QTEST_MAIN(TstReceiptsGui)
#include "tst_receipts_gui.moc"
