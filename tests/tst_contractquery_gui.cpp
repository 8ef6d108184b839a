#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/PickerRegistry.h"
#include "contracts/TDLGcontractCX.h"
#include "contracts/TDlgContractXz.h"
#include "data/TdmData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

// The advanced contract search and the contract selection dialog.
class TstContractQueryGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void noCriterionListsEveryContract();
    void criterionFindsItsContracts_data();
    void criterionFindsItsContracts();
    void dateRows_data();
    void dateRows();
    void fragmentsInOrder();
    void ownContractsOnly();
    void dialogQueriesOrCloses();
    void enterMovesToTheNextField();
    void unnamedCustomFieldsHidden_data();
    void unnamedCustomFieldsHidden();
    void pickButtonsShowOnceRegistered();
    void impossibleDateStopsTheQuery();

    void selectionModesFillTheHeader_data();
    void selectionModesFillTheHeader();
    void selectionCancelAndEmptyList();
    void selectionShowsOpenEndAndHidesNoDate();
    void selectionSearchAndCategories();

private:
    void addContract(const QVariantMap& values);
    QStringList codesOf(const SqlBuilder& b);
    // Runs `steps` on the selection dialog once it is showing.
    void onSelectionDialog(std::function<void(TDlgContractXz*)> steps);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstContractQueryGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstContractQueryGui::init()
{
    Clock::setNow(QDateTime(QDate(2024, 5, 20), QTime(9, 0)));
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    auto c = [](const QString& code, const QString& name) {
        return QVariantMap{{"F_code", code}, {"F_name", name}};
    };
    QVariantMap a = c("HT-1", "O'Neil 50%折扣合同");
    a.insert({{"F_empname", "Li"},
              {"F_dept", "销售部"},
              {"F_status", "执行中"},
              {"F_type", "\\工程\\土建"},
              {"F_memo1", "钢材供应"},
              {"F_memo2", "延期"},
              {"F_client1", "甲公司"},
              {"F_client2", "乙公司"},
              {"F_GCname", "一号楼"},
              {"F_ZF1", "自定义A"},
              {"F_date", "2024-05-03"},
              {"F_beginDate", "2024-06-01"},
              {"F_endDate", "3000-08-14"},
              {"F_RQ1", "2024-05-10"},
              {"F_GDflag", 0},
              {"F_totalPrice", 1234.5},
              {"F_priceunit", "人民币"},
              {"F_GCcode", "001"}});
    addContract(a);
    QVariantMap b = c("HT-2", "O'Neil 50X折扣合同");
    b.insert({{"F_empname", "Lu"},
              {"F_dept", "工程部"},
              {"F_status", "已完成"},
              {"F_type", "\\工程"},
              {"F_date", "2024-04-30"},
              {"F_beginDate", "1900-08-14"},
              {"F_endDate", "2024-12-31"},
              {"F_GDflag", 1}});
    addContract(b);
    QVariantMap x = c("XHT-3", "采购合同");
    x.insert({{"F_empname", "Wang"},
              {"F_dept", "销售部"},
              {"F_status", "执行中"},
              {"F_type", "\\采购"},
              {"F_date", "2024-05-20"},
              {"F_client1", "丙公司"},
              {"F_GDflag", 0}});
    addContract(x);
    for (const char* s : {"执行中", "已完成"})
        QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('status', :n)",
                              {{":n", QString::fromUtf8(s)}}));
    for (const char* s : {"Li", "Lu", "Wang"})
        QVERIFY(m_dm->ExecSql("INSERT INTO t_code(F_type, F_name) VALUES('empName', :n)",
                              {{":n", QString::fromUtf8(s)}}));
    EstablishSession(*m_dm, "admin");
}

void TstContractQueryGui::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

void TstContractQueryGui::addContract(const QVariantMap& values)
{
    QVariantMap v = values;
    v.insert("F_cltID", m_dm->QueryInt("SELECT count(*) FROM Contract") + 1);
    QStringList names, params;
    SqlParams bound;
    for (auto it = v.cbegin(); it != v.cend(); ++it) {
        names << it.key();
        params << ":" + it.key();
        bound.append({":" + it.key(), it.value()});
    }
    QVERIFY(m_dm->ExecSql(
        QString("INSERT INTO Contract(%1) VALUES(%2)").arg(names.join(','), params.join(',')),
        bound));
}

QStringList TstContractQueryGui::codesOf(const SqlBuilder& b)
{
    QSqlQuery q;
    if (!m_dm->OpenQuery(b.sql(), q, b.params()))
        return {"<failed>"};
    QStringList codes;
    while (q.next())
        codes << q.value("F_code").toString();
    codes.sort();
    return codes;
}

void TstContractQueryGui::noCriterionListsEveryContract()
{
    TDLGcontractCX dlg;
    const SqlBuilder b = dlg.statement();
    QCOMPARE(b.sql(), QString("select * from Contract where (1=1) "));
    QVERIFY(b.params().isEmpty());
    // Archived HT-2 too.
    QCOMPARE(codesOf(b), (QStringList{"HT-1", "HT-2", "XHT-3"}));
    // The pick lists start without a choice.
    QCOMPARE(dlg.findChild<QComboBox*>("cbbEmpName")->currentText(), QString());
    QCOMPARE(dlg.findChild<QComboBox*>("cbbStatus")->currentText(), QString());
}

void TstContractQueryGui::criterionFindsItsContracts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("codes");
    // A quote and a percent sign are plain characters.
    QTest::newRow("name quote percent") << "edtName"
                                        << "'Neil 50%" << QStringList{"HT-1"};
    QTest::newRow("name anywhere") << "edtName"
                                   << "折扣" << QStringList{"HT-1", "HT-2"};
    QTest::newRow("name trimmed") << "edtName"
                                  << "  采购 " << QStringList{"XHT-3"};
    QTest::newRow("code begins") << "edtCode"
                                 << "HT" << QStringList{"HT-1", "HT-2"};
    QTest::newRow("code underscore literal") << "edtCode"
                                             << "HT_" << QStringList{};
    QTest::newRow("type with sub-types") << "edtType"
                                         << "\\工程" << QStringList{"HT-1", "HT-2"};
    QTest::newRow("salesman begins") << "cbbEmpName"
                                     << "L" << QStringList{"HT-1", "HT-2"};
    QTest::newRow("main content") << "memMemo1"
                                  << "钢材" << QStringList{"HT-1"};
    QTest::newRow("anomaly") << "memMemo2"
                             << "延" << QStringList{"HT-1"};
    QTest::newRow("party A") << "edtClient1"
                             << "公司" << QStringList{"HT-1", "XHT-3"};
    QTest::newRow("party B") << "edtClient2"
                             << "乙" << QStringList{"HT-1"};
    QTest::newRow("status") << "cbbStatus"
                            << "执行" << QStringList{"HT-1", "XHT-3"};
    QTest::newRow("department") << "cbbDept"
                                << "工程" << QStringList{"HT-2"};
    QTest::newRow("project") << "edtGCname"
                             << "号楼" << QStringList{"HT-1"};
    QTest::newRow("custom 1") << "edtZF1"
                              << "A" << QStringList{"HT-1"};
    QTest::newRow("archived") << "rbArchived"
                              << "" << QStringList{"HT-2"};
    QTest::newRow("not archived") << "rbNotArchived"
                                  << "" << QStringList{"HT-1", "XHT-3"};
}

void TstContractQueryGui::criterionFindsItsContracts()
{
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QStringList, codes);
    TDLGcontractCX dlg;
    QWidget* w = dlg.findChild<QWidget*>(control);
    QVERIFY2(w, qPrintable(control));
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(value);
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        m->setPlainText(value);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(value);
    else if (auto* r = qobject_cast<QRadioButton*>(w))
        r->setChecked(true);
    const SqlBuilder b = dlg.statement();
    // Typed text is bound, never part of the statement.
    if (value.trimmed().size() > 2)
        QVERIFY(!b.sql().contains(value.trimmed()));
    QCOMPARE(codesOf(b), codes);
}

void TstContractQueryGui::dateRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("fromTicked");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<bool>("toTicked");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("codes");
    const QDate may1(2024, 5, 1), may20(2024, 5, 20);
    QTest::newRow("signing this month")
        << 1 << true << true << may1 << true << may20 << QStringList{"HT-1", "XHT-3"};
    QTest::newRow("row unchecked")
        << 1 << false << true << may1 << true << may20 << QStringList{"HT-1", "HT-2", "XHT-3"};
    QTest::newRow("both unticked")
        << 1 << true << false << may1 << false << may20 << QStringList{"HT-1", "HT-2", "XHT-3"};
    QTest::newRow("to only, inclusive")
        << 1 << true << false << may1 << true << QDate(2024, 4, 30) << QStringList{"HT-2"};
    QTest::newRow("begin from") << 2 << true << true << QDate(2024, 5, 15) << false << may20
                                << QStringList{"HT-1"};
    QTest::newRow("custom date 1") << 3 << true << true << QDate(2024, 5, 10) << true
                                   << QDate(2024, 5, 10) << QStringList{"HT-1"};
}

void TstContractQueryGui::dateRows()
{
    QFETCH(int, row);
    QFETCH(bool, checked);
    QFETCH(bool, fromTicked);
    QFETCH(QDate, from);
    QFETCH(bool, toTicked);
    QFETCH(QDate, to);
    QFETCH(QStringList, codes);
    TDLGcontractCX dlg;
    auto* box = dlg.findChild<QCheckBox*>(QString("chkDate%1").arg(row));
    auto* f = dlg.findChild<CheckedDate*>(QString("dtpFrom%1").arg(row));
    auto* t = dlg.findChild<CheckedDate*>(QString("dtpTo%1").arg(row));
    QVERIFY(box && f && t);
    // On display: unchecked rows, month start to today, both ticked.
    QVERIFY(!box->isChecked());
    QVERIFY(!f->isEnabled());
    QCOMPARE(f->date(), QDate(2024, 5, 1));
    QCOMPARE(t->date(), QDate(2024, 5, 20));
    box->setChecked(checked);
    QCOMPARE(f->isEnabled(), checked);
    f->setDate(from);
    f->setChecked(fromTicked);
    t->setDate(to);
    t->setChecked(toTicked);
    QCOMPARE(codesOf(dlg.statement()), codes);
}

void TstContractQueryGui::fragmentsInOrder()
{
    TDLGcontractCX dlg;
    dlg.findChild<QLineEdit*>("edtZF5")->setText("x");
    dlg.findChild<QLineEdit*>("edtName")->setText("y");
    dlg.findChild<QRadioButton*>("rbArchived")->setChecked(true);
    dlg.findChild<QCheckBox*>("chkDate1")->setChecked(true);
    const QString sql = dlg.statement().sql();
    const int name = sql.indexOf("F_name"), zf5 = sql.indexOf("F_ZF5"),
              archive = sql.indexOf("F_GDFlag"), from = sql.indexOf("F_date >="),
              to = sql.indexOf("F_date <=");
    QVERIFY(name > 0 && name < zf5 && zf5 < archive && archive < from && from < to);
    QVERIFY(!sql.contains("order by", Qt::CaseInsensitive));
}

void TstContractQueryGui::ownContractsOnly()
{
    Session.XtFlag = 1;
    Session.OperName = "Li";
    TDLGcontractCX dlg;
    QCOMPARE(codesOf(dlg.statement()), QStringList{"HT-1"});
    Session.XtFlag = 2;
    Session.DeptList = "'销售部'";
    TDLGcontractCX dlg2;
    QCOMPARE(codesOf(dlg2.statement()), (QStringList{"HT-1", "XHT-3"}));
}

void TstContractQueryGui::dialogQueriesOrCloses()
{
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TDLGcontractCX*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->findChild<QLineEdit*>("edtCode")->setText("XHT");
        saveScreenshot(d, "TDLGcontractCX");
        d->findChild<QPushButton*>("btnQuery")->click();
    });
    const std::optional<SqlBuilder> b = ContractQueryDialog();
    QVERIFY(b.has_value());
    QCOMPARE(codesOf(*b), QStringList{"XHT-3"});

    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TDLGcontractCX*>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->findChild<QLineEdit*>("edtCode")->setText("XHT");
        d->findChild<QPushButton*>("btnClose")->click();
    });
    QVERIFY(!ContractQueryDialog().has_value());
}

void TstContractQueryGui::enterMovesToTheNextField()
{
    TDLGcontractCX dlg;
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    auto* name = dlg.findChild<QLineEdit*>("edtName");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.focusWidget(), dlg.findChild<QLineEdit*>("edtCode"));
    // Inside a multi-line box Enter is a new line.
    auto* memo = dlg.findChild<QPlainTextEdit*>("memMemo1");
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(dlg.focusWidget(), memo);
    QCOMPARE(memo->toPlainText(), QString("\n"));
    // Ctrl+S queries.
    QTest::keyClick(name, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
}

void TstContractQueryGui::unnamedCustomFieldsHidden_data()
{
    QTest::addColumn<QStringList>("captions"); // slots 1..5, then 9..11
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("none named") << QStringList(8) << QStringList{"chkDate1", "chkDate2"};
    QTest::newRow("some named") << QStringList{"项目经理", "", "  ",       "",
                                               "合同份数", "", "验收日期", ""}
                                << QStringList{"chkDate1", "chkDate2", "lblZF1", "lblZF5",
                                               "chkDate4"};
    QTest::newRow("all named") << QStringList{"一", "二", "三", "四", "五", "六", "七", "八"}
                               << QStringList{"chkDate1", "chkDate2", "chkDate3", "chkDate4",
                                              "chkDate5", "lblZF1",   "lblZF2",   "lblZF3",
                                              "lblZF4",   "lblZF5"};
}

void TstContractQueryGui::unnamedCustomFieldsHidden()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, shown);
    const int captionSlots[] = {1, 2, 3, 4, 5, 9, 10, 11};
    for (int i = 0; i < 8; ++i)
        Session.KeyValues[captionSlots[i]] = captions[i];
    TDLGcontractCX dlg;
    dlg.show();
    QStringList visible;
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        static const QRegularExpression custom("^(lblZF|chkDate)[1-5]$");
        if (custom.match(name).hasMatch() && w->isVisible())
            visible << name;
    }
    visible.sort();
    shown.sort();
    QCOMPARE(visible, shown);
    // Every field shown is shown whole: its box and dates too.
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(dlg.findChild<QLineEdit*>(QString("edtZF%1").arg(i))->isVisible(),
                 shown.contains(QString("lblZF%1").arg(i)));
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(dlg.findChild<CheckedDate*>(QString("dtpTo%1").arg(i))->isVisible(),
                 shown.contains(QString("chkDate%1").arg(i)));
    // No caption without a name is left standing.
    for (QLabel* l : dlg.findChildren<QLabel*>())
        QVERIFY2(!l->isVisible() || l->text() != "：", qPrintable(l->objectName()));
    for (QCheckBox* c : dlg.findChildren<QCheckBox*>())
        QVERIFY2(!c->isVisible() || !c->text().startsWith("："), qPrintable(c->text()));
    saveScreenshot(&dlg, "TDLGcontractCX-" + QString(QTest::currentDataTag()).replace(' ', '-'));
}

void TstContractQueryGui::pickButtonsShowOnceRegistered()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO GCitem(F_code, F_name) VALUES('001', '一号楼')"));
    TDLGcontractCX dlg;
    dlg.show();
    for (const char* name : {"btnClient1", "btnClient2", "btnGCname"})
        QVERIFY2(!dlg.findChild<QToolButton*>(name)->isVisible(), name);
    QStringList asked;
    PickerRegistry::set(PickerRegistry::CounterpartName, [&](const QString& current, QWidget*) {
        asked << "counterpart:" + current;
        return QStringList{"乙公司"};
    });
    PickerRegistry::set(PickerRegistry::ProjectCode, [&](const QString& current, QWidget*) {
        asked << "project:" + current;
        return QStringList{"001"};
    });
    for (const char* name : {"btnClient1", "btnClient2", "btnGCname"})
        QVERIFY2(dlg.findChild<QToolButton*>(name)->isVisible(), name);
    dlg.findChild<QLineEdit*>("edtClient2")->setText("乙");
    QTest::mouseClick(dlg.findChild<QToolButton*>("btnClient2"), Qt::LeftButton);
    QTest::mouseClick(dlg.findChild<QToolButton*>("btnGCname"), Qt::LeftButton);
    PickerRegistry::set(PickerRegistry::CounterpartName, {});
    PickerRegistry::set(PickerRegistry::ProjectCode, {});
    QCOMPARE(asked, (QStringList{"counterpart:乙", "project:"}));
    QCOMPARE(dlg.findChild<QLineEdit*>("edtClient2")->text(), QString("乙公司"));
    QCOMPARE(dlg.findChild<QLineEdit*>("edtGCname")->text(), QString("一号楼"));
    QCOMPARE(codesOf(dlg.statement()), QStringList{"HT-1"});
    QVERIFY(!dlg.findChild<QToolButton*>("btnClient1")->isVisible());
}

void TstContractQueryGui::impossibleDateStopsTheQuery()
{
    TDLGcontractCX dlg;
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.findChild<QCheckBox*>("chkDate1")->setChecked(true);
    QDateEdit* to = dlg.findChild<CheckedDate*>("dtpTo1")->dateEdit();
    to->setFocus();
    to->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(to, "20240230");
    dlg.findChild<QLineEdit*>("edtName")->setFocus();
    dlg.findChild<QPushButton*>("btnQuery")->click();
    QCOMPARE(m_ui->lastText(), QString("“2024-02-30”不是有效的日期，请重新输入！"));
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.result() != QDialog::Accepted);
}

// ---- Selection dialog

void TstContractQueryGui::onSelectionDialog(std::function<void(TDlgContractXz*)> steps)
{
    QTimer::singleShot(0, [steps] {
        auto* d = qobject_cast<TDlgContractXz*>(QApplication::activeModalWidget());
        QVERIFY(d);
        steps(d);
    });
}

void TstContractQueryGui::selectionModesFillTheHeader_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("wholeHeader");
    QTest::addColumn<bool>("idAndCode");
    QTest::newRow("shipment query") << 0 << false << false;
    QTest::newRow("receipts") << 1 << true << true;
    QTest::newRow("execution") << 2 << true << true;
    QTest::newRow("changes") << 3 << true << true;
    QTest::newRow("attachments") << 4 << true << true;
    QTest::newRow("shipments") << 5 << false << true;
    QTest::newRow("goods") << 6 << true << true;
}

void TstContractQueryGui::selectionModesFillTheHeader()
{
    QFETCH(int, mode);
    QFETCH(bool, wholeHeader);
    QFETCH(bool, idAndCode);
    ContractHeader h;
    h.cltID = 77;
    h.code = "old";
    h.status = "old";
    onSelectionDialog([](TDlgContractXz* d) {
        d->codeEdit()->setText("HT-1");
        QCOMPARE(d->grid()->model()->rowCount(), 1);
        d->findChild<QPushButton*>("btnOK")->click();
    });
    const int id = SelectContract(77, mode, &h);
    QCOMPARE(id, 1);
    QCOMPARE(h.name, QString("O'Neil 50%折扣合同"));
    QCOMPARE(h.cltID, idAndCode ? 1 : 77);
    QCOMPARE(h.code, idAndCode ? QString("HT-1") : QString("old"));
    QCOMPARE(h.status, wholeHeader ? QString("执行中") : QString("old"));
    if (wholeHeader) {
        QCOMPARE(h.type, QString("\\工程\\土建"));
        QCOMPARE(h.signDate, QString("2024-05-03"));
        QCOMPARE(h.gcName, QString("一号楼"));
        QCOMPARE(h.totalPrice, 1234.5);
        QCOMPARE(h.priceUnit, QString("人民币"));
        QCOMPARE(h.beginDate, QString("2024-06-01"));
        QCOMPARE(h.dept, QString("销售部"));
        QCOMPARE(h.empName, QString("Li"));
    }
}

void TstContractQueryGui::selectionCancelAndEmptyList()
{
    ContractHeader h;
    h.cltID = 5;
    h.name = "unchanged";
    onSelectionDialog([](TDlgContractXz* d) { d->findChild<QPushButton*>("btnClose")->click(); });
    QCOMPARE(SelectContract(5, 1, &h), 5);
    QCOMPARE(h.name, QString("unchanged"));

    onSelectionDialog([](TDlgContractXz* d) {
        d->nameEdit()->setText("no such contract");
        QCOMPARE(d->grid()->model()->rowCount(), 0);
        d->findChild<QPushButton*>("btnOK")->click();
    });
    QCOMPARE(SelectContract(5, 1, &h), 0);
    QCOMPARE(h.name, QString("unchanged"));
    QCOMPARE(h.cltID, 5);
}

void TstContractQueryGui::selectionShowsOpenEndAndHidesNoDate()
{
    ContractHeader h;
    onSelectionDialog([](TDlgContractXz* d) {
        d->codeEdit()->setText("HT-1");
        d->findChild<QPushButton*>("btnOK")->click();
    });
    SelectContract(-1, 1, &h);
    QCOMPARE(h.endDate, QString("3000-08-14"));
    onSelectionDialog([](TDlgContractXz* d) {
        d->codeEdit()->setText("HT-2");
        d->findChild<QPushButton*>("btnOK")->click();
    });
    SelectContract(-1, 1, &h);
    QCOMPARE(h.beginDate, QString());
    QCOMPARE(h.endDate, QString("2024-12-31"));
}

void TstContractQueryGui::selectionSearchAndCategories()
{
    // An operator who sees only his own contracts still picks from all.
    Session.XtFlag = 1;
    Session.OperName = "Wang";
    TDlgContractXz d;
    d.fillCategories(0);
    d.show();
    saveScreenshot(&d, "TDlgContractXz");
    QCOMPARE(d.grid()->model()->rowCount(), 3);
    QCOMPARE(d.grid()->model()->text(0, "F_code"), QString("HT-1"));
    // Each keystroke narrows the list; a quote and percent are plain text.
    d.nameEdit()->setText("O'");
    QCOMPARE(d.grid()->model()->rowCount(), 2);
    d.nameEdit()->setText("O'Neil 50%");
    QCOMPARE(d.grid()->model()->rowCount(), 1);
    d.nameEdit()->clear();
    // Code searches anywhere in the code here.
    d.codeEdit()->setText("HT-3");
    QCOMPARE(d.grid()->model()->rowCount(), 1);
    d.codeEdit()->clear();
    d.memoEdit()->setText("钢材");
    QCOMPARE(d.grid()->model()->rowCount(), 1);
    d.memoEdit()->clear();

    QTableWidget* list = d.categoryList();
    auto rowOf = [list](const QString& name) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, 1)->text() == name)
                return r;
        return -1;
    };
    QCOMPARE(list->rowCount(), 1 + m_dm->QueryInt("SELECT count(DISTINCT F_name) FROM t_code WHERE "
                                                  "F_type = 'status' AND F_name <> ''"));
    QCOMPARE(list->item(0, 1)->text(), QString("全部"));
    int r = rowOf("已完成");
    QVERIFY(r > 0);
    list->setCurrentCell(r, 1);
    emit list->cellClicked(r, 1);
    QCOMPARE(d.grid()->model()->rowCount(), 1);
    QCOMPARE(d.grid()->model()->text(0, "F_code"), QString("HT-2"));
    list->setCurrentCell(0, 1);
    emit list->cellClicked(0, 1);
    QCOMPARE(d.grid()->model()->rowCount(), 3);

    d.fillCategories(1);
    r = rowOf("Li");
    QVERIFY(r > 0);
    list->setCurrentCell(r, 1);
    emit list->cellClicked(r, 1);
    QCOMPARE(d.grid()->model()->rowCount(), 1);
    QCOMPARE(d.currentHeader().code, QString("HT-1"));
}

QTEST_MAIN(TstContractQueryGui)
#include "tst_contractquery_gui.moc"
