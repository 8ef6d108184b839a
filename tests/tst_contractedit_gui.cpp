#include "common/AmountBox.h"
#include "common/CheckedDate.h"
#include "common/DataGrid.h"
#include "common/PickerRegistry.h"
#include "common/RecordNavigator.h"
#include "contracts/ContractEditStore.h"
#include "contracts/TfrmContractEdit.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/DemoData.h"
#include "operators/LoginService.h"
#include "platform/Clock.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

// The contract edit window: numbers, checks, dates, locking, goods lines and
// the all-or-nothing save.
class TstContractEditGui : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstContractGetsLinkNumberOne();
    void entryPointReturnsTheSavedRow();
    void copyMakesNewContractWithSameFields();
    void duplicateCode_data();
    void duplicateCode();
    void duplicateNameIsOnlyAQuestion();
    void requiredFields_data();
    void requiredFields();
    void unsetDatesStoredAndShownBlank();
    void approvedContractLocksItsFields();
    void saveFailureWritesNothing();
    void goodsLinesSavedWithContract();
    void cancelLeavesGoodsLinesUnchanged();
    void linkNumberZeroTakesRowNumber();
    void nextContractCode_data();
    void nextContractCode();
    void automaticCodeAndContinuousAdd();
    void textLongerThanColumnCannotBeEntered_data();
    void textLongerThanColumnCannotBeEntered();
    void screenshot();
    void amountsShowTheMoneyFormat();
    void amountRefusesStrayCommas_data();
    void amountRefusesStrayCommas();
    void impossibleDateStopsTheSave_data();
    void impossibleDateStopsTheSave();
    void navigatorAsksBeforeLeaving_data();
    void navigatorAsksBeforeLeaving();
    void goodsNumberCellRefusesLetters_data();
    void goodsNumberCellRefusesLetters();
    void ctrlSWritesTheGoodsCellBeingEdited();
    void pickButtonsShowOnceRegistered();
    void screenshotAmountsOnDemoData();

private:
    std::unique_ptr<TfrmContractEdit> open(int mode, qint64 id = -1);
    template <class T> T* find(TfrmContractEdit* form, const char* name)
    {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("missing control %s", name);
        return w;
    }
    void setText(TfrmContractEdit* form, const char* name, const QString& text);
    qint64 addContract(int link, const QString& code, const QString& name,
                       const QString& approver = QString());
    int count(const QString& table, const QString& where = "1=1");
    QVariant value(const QString& sql);
    void addLine(TfrmContractEdit* form, const QString& code, double amount, double price);
    void activate(QWidget* form);
    QWidget* editCell(TfrmContractEdit* form, int row, const QString& field);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstContractEditGui::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstContractEditGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    EstablishSession(*m_dm, "admin");
    Session.AutoContractCode = false;
    Clock::setNow(QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    m_ui->clear();
}

void TstContractEditGui::cleanup()
{
    for (const QString& name :
         {PickerRegistry::CounterpartName, PickerRegistry::ProjectCode, PickerRegistry::Goods})
        PickerRegistry::set(name, {});
    PickerRegistry::setGoodsLines({});
    m_dm->db().setFailureInjector({});
    closeDataFixture(m_exe, m_ui, m_dm);
    Clock::reset();
}

std::unique_ptr<TfrmContractEdit> TstContractEditGui::open(int mode, qint64 id)
{
    auto form = std::make_unique<TfrmContractEdit>(mode, id);
    form->show();
    return form;
}

void TstContractEditGui::setText(TfrmContractEdit* form, const char* name, const QString& text)
{
    if (auto* e = find<QLineEdit>(form, name))
        e->setText(text);
}

qint64 TstContractEditGui::addContract(int link, const QString& code, const QString& name,
                                       const QString& approver)
{
    const bool ok = m_dm->ExecSql(
        "INSERT INTO Contract(F_cltID, F_code, F_name, F_type, F_date, F_editDate, F_beginDate, "
        "F_endDate, F_totalPrice, F_status, F_client1, F_client2, F_FZR1, F_FZR2, F_SFflag, "
        "F_priceUnit, F_dept, F_empName, F_memo1, F_memo2, F_ZF1, F_SZ1, F_RQ1, F_RQ2, F_RQ3, "
        "F_GCcode, "
        "F_GCname, F_SHemp, F_GDflag, F_GDpath) VALUES(:l, :c, :n, '\\\\工程\\\\土建', "
        "'2024-05-06', '2024-05-01', '2024-06-01', '2025-06-30', 1234.5, '执行中', '甲公司', "
        "'乙公司', '张甲', '李乙', -1, '人民币', '销售部', '王五', '主要内容', '异常', '自定一', "
        "7.25, '2024-07-01', '1900-08-14', '2024-08-01', 'GC01', '一号工程', :a, 1, "
        "'/srv/archive')",
        {{":l", link}, {":c", code}, {":n", name}, {":a", approver}});
    if (!ok)
        qWarning("insert failed");
    return m_dm->QueryInt("SELECT max(F_ID) FROM Contract");
}

int TstContractEditGui::count(const QString& table, const QString& where)
{
    return m_dm->QueryInt(QString("SELECT count(*) FROM %1 WHERE %2").arg(table, where));
}

QVariant TstContractEditGui::value(const QString& sql)
{
    return m_dm->db().scalar(sql);
}

void TstContractEditGui::addLine(TfrmContractEdit* form, const QString& code, double amount,
                                 double price)
{
    form->addGoodsLine();
    RecordModel* model = form->goodsGrid()->model();
    const int row = model->rowCount() - 1;
    auto set = [&](const char* field, const QVariant& v) {
        const int column = model->columnOfField(field);
        QVERIFY(column >= 0);
        QVERIFY(model->setData(model->index(row, column), v, Qt::EditRole));
    };
    set("F_GDcode", code);
    set("F_amount", amount);
    set("F_price", price);
}

void TstContractEditGui::firstContractGetsLinkNumberOne()
{
    auto form = open(TfrmContractEdit::ModeAdd);
    QCOMPARE(form->windowTitle(), QStringLiteral("合同档案 - 新增"));
    QCOMPARE(form->linkNumber(), 1);
    QCOMPARE(find<QComboBox>(form.get(), "cbbStatus")->currentText(), QStringLiteral("未执行"));
    QVERIFY(find<QRadioButton>(form.get(), "rbReceipt")->isChecked());
    QVERIFY(!find<QCheckBox>(form.get(), "chkAuto")->isChecked());
    setText(form.get(), "edtCode", "  HT-001 ");
    setText(form.get(), "edtName", "第一份合同");
    QVERIFY(form->save());
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QCOMPARE(count("Contract"), 1);
    QCOMPARE(value("SELECT F_cltID FROM Contract").toInt(), 1);
    QCOMPARE(value("SELECT F_code FROM Contract").toString(), QStringLiteral("HT-001"));
    QCOMPARE(value("SELECT F_SFflag FROM Contract").toInt(), 1);
    QCOMPARE(value("SELECT F_date FROM Contract").toString(), QStringLiteral("2026-03-10"));
    QCOMPARE(form->savedRowId(), qint64(value("SELECT F_ID FROM Contract").toLongLong()));
    QCOMPARE(form->savedLinkNumber(), 1);
    // Saving without "自动" turns automatic numbering off in the settings.
    QCOMPARE(m_dm->settings().readString("sys", "bZDHTcode"), QStringLiteral("0"));
}

void TstContractEditGui::entryPointReturnsTheSavedRow()
{
    addContract(41, "HT-41", "旧合同");
    QTimer::singleShot(0, this, [this] {
        auto* form = qobject_cast<TfrmContractEdit*>(QApplication::activeModalWidget());
        QVERIFY(form);
        setText(form, "edtCode", "HT-NEW");
        setText(form, "edtName", "新合同");
        QTest::mouseClick(find<QPushButton>(form, "btnOK"), Qt::LeftButton);
    });
    qint64 saved = -1;
    QVERIFY(OpenContractEdit(0, -1, nullptr, &saved));
    QCOMPARE(value(QString("SELECT F_code FROM Contract WHERE F_ID = %1").arg(saved)).toString(),
             QStringLiteral("HT-NEW"));
    QCOMPARE(value(QString("SELECT F_cltID FROM Contract WHERE F_ID = %1").arg(saved)).toInt(), 42);
}

void TstContractEditGui::copyMakesNewContractWithSameFields()
{
    const qint64 source = addContract(5, "HT-5", "原合同", "审批人");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(5, 'G1')"));
    auto form = open(TfrmContractEdit::ModeCopy, source);
    QCOMPARE(form->windowTitle(), QStringLiteral("合同档案 - 新增"));
    QCOMPARE(form->goodsGrid()->model()->rowCount(), 0);
    // A copy of an approved contract is not locked.
    QVERIFY(!find<QLineEdit>(form.get(), "edtCode")->isReadOnly());
    m_ui->queueAnswer(2); // same name: keep it
    QVERIFY(form->save());
    QCOMPARE(count("Contract"), 2);
    const qint64 copy = form->savedRowId();
    QVERIFY(copy != source);

    QSqlQuery q(m_dm->db().handle());
    QVERIFY(q.exec(QString("SELECT * FROM Contract WHERE F_ID IN (%1, %2) ORDER BY F_ID")
                       .arg(source)
                       .arg(copy)));
    QVERIFY(q.next());
    const QSqlRecord a = q.record();
    QVERIFY(q.next());
    const QSqlRecord b = q.record();
    const QStringList notWritten = {"F_ID",  "F_cltID", "F_SHemp", "F_OperName",
                                    "F_RQ4", "F_RQ5",   "F_SZ4",   "F_SZ5"};
    for (int i = 0; i < a.count(); ++i) {
        if (notWritten.contains(a.fieldName(i), Qt::CaseInsensitive))
            continue;
        QVERIFY2(a.value(i).toString() == b.value(i).toString(),
                 qPrintable(a.fieldName(i) + ": " + a.value(i).toString() + " / " +
                            b.value(i).toString()));
    }
    QCOMPARE(b.value("F_cltID").toInt(), 6);
    QCOMPARE(b.value("F_SHemp").toString(), QString());
    QCOMPARE(count("t_GDrec", "F_cltID = 6"), 0);
    QCOMPARE(count("t_GDrec", "F_cltID = 5"), 1);
}

void TstContractEditGui::duplicateCode_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("saved");
    QTest::newRow("automatic numbering on") << true << false;
    QTest::newRow("automatic numbering off") << false << true;
}

void TstContractEditGui::duplicateCode()
{
    QFETCH(bool, automatic);
    QFETCH(bool, saved);
    addContract(1, "HT-DUP", "甲");
    Session.AutoContractCode = automatic;
    auto form = open(TfrmContractEdit::ModeAdd);
    setText(form.get(), "edtCode", "ht-dup");
    setText(form.get(), "edtName", "乙");
    QCOMPARE(form->save(), saved);
    QCOMPARE(count("Contract"), saved ? 2 : 1);
    if (!saved) {
        QCOMPARE(m_ui->lastText(), QStringLiteral("合同编号重复，请重新输入！"));
        QCOMPARE(m_ui->lastKind(), int(mkInfo));
        QVERIFY(form->isVisible());
    }
}

void TstContractEditGui::duplicateNameIsOnlyAQuestion()
{
    const qint64 id = addContract(1, "HT-1", "同名合同");
    // Modifying the contract itself does not count as a duplicate.
    {
        auto form = open(TfrmContractEdit::ModeModify, id);
        QVERIFY(form->save());
        QVERIFY(m_ui->messages().isEmpty());
    }
    auto form = open(TfrmContractEdit::ModeAdd);
    setText(form.get(), "edtCode", "HT-2");
    setText(form.get(), "edtName", "同名合同");
    m_ui->queueAnswer(1); // re-enter
    QVERIFY(!form->save());
    QCOMPARE(m_ui->lastText(), QStringLiteral("合同名称“同名合同”重复，重新输入吗？"));
    QCOMPARE(count("Contract"), 1);
    m_ui->queueAnswer(2);
    QVERIFY(form->save());
    QCOMPARE(count("Contract"), 2);
}

void TstContractEditGui::requiredFields_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QString>("message");
    QTest::newRow("blank code") << "   "
                                << "名称" << false << "当前合同编号不能为空！";
    QTest::newRow("blank name") << "HT-1"
                                << " " << false << "当前合同名称不能为空！";
    QTest::newRow("automatic code without digits")
        << "HT-12X4"
        << "名称" << true << "采用自动编号，合同编号最后四位必须全为数字！";
}

void TstContractEditGui::requiredFields()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(bool, automatic);
    QFETCH(QString, message);
    auto form = open(TfrmContractEdit::ModeAdd);
    find<QCheckBox>(form.get(), "chkAuto")->setChecked(automatic);
    setText(form.get(), "edtCode", code);
    setText(form.get(), "edtName", name);
    QVERIFY(!form->save());
    QCOMPARE(m_ui->lastText(), message);
    QCOMPARE(count("Contract"), 0);
}

void TstContractEditGui::unsetDatesStoredAndShownBlank()
{
    Session.KeyValues[9] = "验收日期";
    qint64 id = -1;
    {
        auto form = open(TfrmContractEdit::ModeAdd);
        setText(form.get(), "edtCode", "HT-D");
        setText(form.get(), "edtName", "日期");
        QVERIFY(!find<CheckedDate>(form.get(), "dtpEndDate")->isChecked());
        QVERIFY(form->save());
        id = form->savedRowId();
    }
    QCOMPARE(value("SELECT F_endDate FROM Contract").toString(), QStringLiteral("3000-08-14"));
    QCOMPARE(value("SELECT F_beginDate FROM Contract").toString(), QStringLiteral("1900-08-14"));
    QCOMPARE(value("SELECT F_RQ1 FROM Contract").toString(), QStringLiteral("1900-08-14"));

    auto form = open(TfrmContractEdit::ModeModify, id);
    QCOMPARE(form->windowTitle(), QStringLiteral("合同档案 - 修改"));
    for (const char* name : {"dtpBeginDate", "dtpEndDate", "dtpRQ1"}) {
        auto* d = find<CheckedDate>(form.get(), name);
        QVERIFY(!d->isChecked());
        QVERIFY2(d->dateEdit()->text().trimmed().isEmpty(), name);
        QVERIFY(!d->date().isValid());
    }
    // Ticked, the end date is stored as chosen.
    auto* end = find<CheckedDate>(form.get(), "dtpEndDate");
    end->setChecked(true);
    QCOMPARE(end->date(), QDate(2026, 3, 10));
    end->dateEdit()->setDate(QDate(2027, 1, 31));
    QVERIFY(form->save());
    QCOMPARE(value("SELECT F_endDate FROM Contract").toString(), QStringLiteral("2027-01-31"));
}

void TstContractEditGui::approvedContractLocksItsFields()
{
    Session.KeyValues[1] = "备用一";
    const qint64 id = addContract(3, "HT-A", "已审合同", "审批人");
    auto form = open(TfrmContractEdit::ModeModify, id);
    for (const char* name :
         {"edtCode", "edtName", "edtType", "edtClient1", "edtClient2", "edtFZR1", "edtFZR2"})
        QVERIFY2(find<QLineEdit>(form.get(), name)->isReadOnly(), name);
    QVERIFY(find<QDoubleSpinBox>(form.get(), "edtTotalPrice")->isReadOnly());
    QVERIFY(find<QPlainTextEdit>(form.get(), "memMemo1")->isReadOnly());
    QVERIFY(find<QDateEdit>(form.get(), "dtpDate")->isReadOnly());
    QVERIFY(find<CheckedDate>(form.get(), "dtpBeginDate")->isReadOnly());
    for (const char* name : {"cbbEmpName", "cbbDept", "cbbPriceUnit"})
        QVERIFY2(!find<QComboBox>(form.get(), name)->isEnabled(), name);
    QVERIFY(!find<QRadioButton>(form.get(), "rbReceipt")->isEnabled());
    // What stays open: status, file, archive, custom fields, goods lines.
    QVERIFY(find<QComboBox>(form.get(), "cbbStatus")->isEnabled());
    QVERIFY(!find<QLineEdit>(form.get(), "edtFilePath")->isReadOnly());
    QVERIFY(!find<QLineEdit>(form.get(), "edtZF1")->isReadOnly());
    QVERIFY(find<QCheckBox>(form.get(), "chkGDflag")->isEnabled());
    QVERIFY(form->goodsGrid()->model()->isEditable());

    find<QComboBox>(form.get(), "cbbStatus")->setEditText("已完成");
    setText(form.get(), "edtZF1", "新值");
    m_ui->queueFile("/srv/new-archive");
    QTest::mouseClick(find<QWidget>(form.get(), "btnGDpath"), Qt::LeftButton);
    addLine(form.get(), "G9", 2, 3);
    QVERIFY(form->save());
    QCOMPARE(value("SELECT F_status FROM Contract").toString(), QStringLiteral("已完成"));
    QCOMPARE(value("SELECT F_ZF1 FROM Contract").toString(), QStringLiteral("新值"));
    QCOMPARE(value("SELECT F_GDpath FROM Contract").toString(), QStringLiteral("/srv/new-archive"));
    QCOMPARE(value("SELECT F_code FROM Contract").toString(), QStringLiteral("HT-A"));
    QCOMPARE(value("SELECT F_SHemp FROM Contract").toString(), QStringLiteral("审批人"));
    QCOMPARE(count("t_GDrec", "F_cltID = 3 AND F_GDcode = 'G9'"), 1);

    // Without approval nothing is locked.
    QVERIFY(m_dm->ExecSql("UPDATE Contract SET F_SHemp = ''"));
    auto open2 = open(TfrmContractEdit::ModeModify, id);
    QVERIFY(!find<QLineEdit>(open2.get(), "edtCode")->isReadOnly());
    QVERIFY(find<QComboBox>(open2.get(), "cbbDept")->isEnabled());
}

void TstContractEditGui::saveFailureWritesNothing()
{
    m_dm->db().setFailureInjector([](const QString& sql) {
        return sql.startsWith("INSERT INTO t_GDrec", Qt::CaseInsensitive);
    });
    auto form = open(TfrmContractEdit::ModeAdd);
    setText(form.get(), "edtCode", "HT-F");
    setText(form.get(), "edtName", "失败的合同");
    addLine(form.get(), "G1", 1, 10);
    QVERIFY(!form->save());
    QCOMPARE(m_ui->lastText(), QStringLiteral("保存失败，请检测数据库连接！"));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(count("Contract"), 0);
    QCOMPARE(count("t_GDrec"), 0);
    QVERIFY(form->isVisible());
    QVERIFY(form->result() != QDialog::Accepted);
    QCOMPARE(find<QLineEdit>(form.get(), "edtName")->text(), QStringLiteral("失败的合同"));
    QCOMPARE(form->goodsGrid()->model()->rowCount(), 1);

    // Once the database answers again the same values save completely.
    m_dm->db().setFailureInjector({});
    QVERIFY(form->save());
    QCOMPARE(count("Contract"), 1);
    QCOMPARE(count("t_GDrec", "F_cltID = 1 AND F_GDcode = 'G1'"), 1);
}

void TstContractEditGui::goodsLinesSavedWithContract()
{
    auto form = open(TfrmContractEdit::ModeAdd);
    setText(form.get(), "edtCode", "HT-G");
    setText(form.get(), "edtName", "货品合同");
    addLine(form.get(), "G1", 3, 2.5);
    addLine(form.get(), "G2", 4, 1.25);
    form->addGoodsLine(); // left blank: dropped
    QCOMPARE(form->goodsGrid()
                 ->footerText(form->goodsGrid()->model()->columnOfField("F_totalprice"))
                 .remove(','),
             QStringLiteral("12.50"));
    QVERIFY(form->save());
    QSqlQuery q(m_dm->db().handle());
    QVERIFY(q.exec("SELECT F_cltID, F_GDcode, F_amount, F_price, F_totalprice FROM t_GDrec "
                   "ORDER BY F_ID"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 1);
    QCOMPARE(q.value(1).toString(), QStringLiteral("G1"));
    QCOMPARE(q.value(4).toDouble(), 7.5);
    QVERIFY(q.next());
    QCOMPARE(q.value(4).toDouble(), 5.0);
    QVERIFY(!q.next());

    // Modify: change a quantity and delete a line.
    auto edit = open(TfrmContractEdit::ModeModify, form->savedRowId());
    RecordModel* model = edit->goodsGrid()->model();
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(model->setData(model->index(0, model->columnOfField("F_amount")), 10, Qt::EditRole));
    edit->goodsGrid()->setCurrentRow(1);
    edit->deleteGoodsLine();
    QVERIFY(edit->save());
    QCOMPARE(count("t_GDrec"), 1);
    QCOMPARE(value("SELECT F_totalprice FROM t_GDrec").toDouble(), 25.0);
}

void TstContractEditGui::cancelLeavesGoodsLinesUnchanged()
{
    const qint64 id = addContract(8, "HT-8", "取消");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(8, 'G1')"));
    auto form = open(TfrmContractEdit::ModeModify, id);
    addLine(form.get(), "G2", 1, 1);
    form->goodsGrid()->setCurrentRow(0);
    form->deleteGoodsLine();
    QTest::mouseClick(find<QPushButton>(form.get(), "btnCancel"), Qt::LeftButton);
    QCOMPARE(form->result(), int(QDialog::Rejected));
    QCOMPARE(value("SELECT group_concat(F_GDcode) FROM t_GDrec").toString(), QStringLiteral("G1"));
}

void TstContractEditGui::linkNumberZeroTakesRowNumber()
{
    addContract(9, "HT-9", "别的");
    const qint64 id = addContract(0, "HT-0", "无关联号");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode) VALUES(0, 'G0')"));
    auto form = open(TfrmContractEdit::ModeModify, id);
    QVERIFY(form->save());
    QCOMPARE(value(QString("SELECT F_cltID FROM Contract WHERE F_ID = %1").arg(id)).toLongLong(),
             id);
    QCOMPARE(value("SELECT F_cltID FROM t_GDrec").toLongLong(), id);
}

void TstContractEditGui::nextContractCode_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("next");
    QTest::newRow("serial") << "HT2023-0007"
                            << "HT2023-0008";
    QTest::newRow("wraps") << "A-9999"
                           << "A-0000";
    QTest::newRow("short") << "12"
                           << "0001";
    QTest::newRow("letter in tail") << "AB-12X4"
                                    << "0001";
    QTest::newRow("none") << ""
                          << "0001";
    QTest::newRow("digits only") << "0042"
                                 << "0043";
}

void TstContractEditGui::nextContractCode()
{
    QFETCH(QString, last);
    QFETCH(QString, next);
    QCOMPARE(ContractEditStore::contractCodeAfter(last), next);
}

void TstContractEditGui::automaticCodeAndContinuousAdd()
{
    addContract(1, "HT-0041", "第一");
    Session.AutoContractCode = true;
    auto form = open(TfrmContractEdit::ModeAdd);
    auto* code = find<QLineEdit>(form.get(), "edtCode");
    QCOMPARE(code->text(), QStringLiteral("HT-0042"));
    QCOMPARE(code->focusPolicy(), Qt::ClickFocus);
    find<QCheckBox>(form.get(), "chkAuto")->setChecked(true);
    find<QCheckBox>(form.get(), "chkContinue")->setChecked(true);
    setText(form.get(), "edtName", "第二");
    // Another workstation takes the proposed code meanwhile: the code is
    // allocated again when saving.
    addContract(2, "HT-0042", "别处");
    QVERIFY(form->save());
    QVERIFY(form->isVisible());
    QCOMPARE(value("SELECT F_code FROM Contract WHERE F_name = '第二'").toString(),
             QStringLiteral("HT-0043"));
    QCOMPARE(value("SELECT F_cltID FROM Contract WHERE F_name = '第二'").toInt(), 3);
    QVERIFY(Session.AutoContractCode);
    QCOMPARE(m_dm->settings().readString("sys", "bZDHTcode"), QStringLiteral("1"));
    // Ready for the next one.
    QCOMPARE(code->text(), QStringLiteral("HT-0044"));
    QCOMPARE(find<QLineEdit>(form.get(), "edtName")->text(), QString());
    QCOMPARE(form->linkNumber(), 4);
    setText(form.get(), "edtName", "第三");
    QVERIFY(form->save());
    QCOMPARE(value("SELECT F_code FROM Contract WHERE F_name = '第三'").toString(),
             QStringLiteral("HT-0044"));
}

void TstContractEditGui::textLongerThanColumnCannotBeEntered_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("limit");
    QTest::newRow("code") << "edtCode" << 50;
    QTest::newRow("name") << "edtName" << 255;
    QTest::newRow("contact") << "edtFZR1" << 50;
    QTest::newRow("status") << "cbbStatus" << 50;
    QTest::newRow("custom text") << "edtZF1" << 50;
    QTest::newRow("goods code") << "F_GDcode" << 50;
}

void TstContractEditGui::textLongerThanColumnCannotBeEntered()
{
    QFETCH(QString, control);
    QFETCH(int, limit);
    Session.KeyValues[1] = "备用一";
    auto form = open(TfrmContractEdit::ModeAdd);
    QLineEdit* edit = nullptr;
    if (control.startsWith("F_")) {
        form->addGoodsLine();
        QTableView* view = form->goodsGrid()->view();
        const QModelIndex index =
            view->model()->index(0, form->goodsGrid()->model()->columnOfField(control));
        view->edit(index);
        edit = qobject_cast<QLineEdit*>(view->indexWidget(index));
    } else if (auto* combo = form->findChild<QComboBox*>(control)) {
        edit = combo->lineEdit();
    } else {
        edit = form->findChild<QLineEdit*>(control);
    }
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClicks(edit, QString(limit + 5, QLatin1Char('x')));
    QCOMPARE(edit->text().size(), limit);
}

void TstContractEditGui::screenshot()
{
    SCREENSHOTS_ONLY();
    Session.KeyValues[1] = "项目经理";
    Session.KeyValues[2] = "合同份数";
    Session.KeyValues[6] = "保证金";
    Session.KeyValues[9] = "验收日期";
    const qint64 id = addContract(12, "HT2026-0012", "办公楼土建施工合同");
    QVERIFY(m_dm->ExecSql("INSERT INTO t_GDrec(F_cltID, F_GDcode, F_GDname, F_unit, F_amount, "
                          "F_price, F_totalprice) VALUES(12, 'G001', '水泥', '吨', 20, 450, 9000), "
                          "(12, 'G002', '钢筋', '吨', 5, 4200, 21000)"));
    auto form = open(TfrmContractEdit::ModeModify, id);
    form->findChild<QTabWidget*>("pgcPages")->setCurrentIndex(2);
    QTest::qWait(50);
    saveScreenshot(form.get(), "contract_edit");
    QVERIFY(m_dm->ExecSql("UPDATE Contract SET F_SHemp = '审批人'"));
    auto approved = open(TfrmContractEdit::ModeModify, id);
    QTest::qWait(50);
    saveScreenshot(approved.get(), "contract_edit_approved");
    auto added = open(TfrmContractEdit::ModeAdd);
    QTest::qWait(50);
    saveScreenshot(added.get(), "contract_edit_add");
}

void TstContractEditGui::activate(QWidget* form)
{
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
}

// Opens the cell's editor with its text selected, as typing over it does.
QWidget* TstContractEditGui::editCell(TfrmContractEdit* form, int row, const QString& field)
{
    QTableView* view = form->goodsGrid()->view();
    const QModelIndex index =
        view->model()->index(row, form->goodsGrid()->model()->columnOfField(field));
    view->setCurrentIndex(index);
    view->edit(index);
    QWidget* editor = view->indexWidget(index);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor))
        spin->selectAll();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->selectAll();
    return editor;
}

void TstContractEditGui::amountsShowTheMoneyFormat()
{
    Session.KeyValues[6] = "保证金";
    Session.MoneyFormat = ",0.00";
    const qint64 id = addContract(1, "HT-1", "大额合同");
    QVERIFY(m_dm->ExecSql("UPDATE Contract SET F_totalPrice = 8716000, F_SZ1 = 1.2345"));
    auto form = open(TfrmContractEdit::ModeModify, id);
    QCOMPARE(find<QDoubleSpinBox>(form.get(), "edtTotalPrice")->text(), QString("8,716,000.00"));
    // The custom money field shows the decimals it holds, up to four.
    QCOMPARE(find<QDoubleSpinBox>(form.get(), "edtSZ1")->text(), QString("1.2345"));
    QVERIFY(form->save());
    QCOMPARE(value("SELECT F_totalPrice FROM Contract").toDouble(), 8716000.0);
    QCOMPARE(value("SELECT F_SZ1 FROM Contract").toDouble(), 1.2345);
}

void TstContractEditGui::amountRefusesStrayCommas_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::newRow("grouped") << "1,234,567.25" << 1234567.25;
    QTest::newRow("plain") << "1234567.25" << 1234567.25;
    QTest::newRow("letters and a stray comma") << "1e5x,2.123456" << 1234.5;
    QTest::newRow("comma between single digits") << "1,2,3" << 1234.5;
    QTest::newRow("group of two") << "12,34" << 1234.5;
}

void TstContractEditGui::amountRefusesStrayCommas()
{
    QFETCH(QString, typed);
    QFETCH(double, stored);
    const qint64 id = addContract(1, "HT-1", "金额"); // 1234.5
    auto form = open(TfrmContractEdit::ModeModify, id);
    activate(form.get());
    auto* box = find<QDoubleSpinBox>(form.get(), "edtTotalPrice");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, typed);
    // "确定" by the mouse: the button takes the focus.
    auto* ok = find<QPushButton>(form.get(), "btnOK");
    ok->setFocus();
    ok->click();
    QCOMPARE(value("SELECT F_totalPrice FROM Contract").toDouble(), stored);
}

void TstContractEditGui::impossibleDateStopsTheSave_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("signing date") << "dtpDate";
    QTest::newRow("entry date") << "dtpEditDate";
    QTest::newRow("begin date, ticked") << "dtpBeginDate";
}

void TstContractEditGui::impossibleDateStopsTheSave()
{
    QFETCH(QString, control);
    auto form = open(TfrmContractEdit::ModeAdd);
    activate(form.get());
    setText(form.get(), "edtCode", "HT-D");
    setText(form.get(), "edtName", "日期");
    QDateEdit* box = nullptr;
    if (auto* optional = form->findChild<CheckedDate*>(control)) {
        optional->setChecked(true);
        box = optional->dateEdit();
    } else {
        box = form->findChild<QDateEdit*>(control);
    }
    QVERIFY(box);
    box->setFocus();
    box->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(box, "20250230");
    find<QLineEdit>(form.get(), "edtName")->setFocus();
    QCOMPARE(box->text(), QString("2025-02-30"));
    QVERIFY(!form->save());
    QCOMPARE(m_ui->lastText(), QString("“2025-02-30”不是有效的日期，请重新输入！"));
    QCOMPARE(count("Contract"), 0);
    QCOMPARE(form->focusWidget(), box);
    QVERIFY(form->isVisible());
    // Mended, the contract saves with the date typed.
    box->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(box, "20250228");
    QVERIFY(form->save());
    const QString column = control == "dtpDate"       ? "F_date"
                           : control == "dtpEditDate" ? "F_editDate"
                                                      : "F_beginDate";
    QCOMPARE(value("SELECT " + column + " FROM Contract").toString(), QString("2025-02-28"));
}

void TstContractEditGui::navigatorAsksBeforeLeaving_data()
{
    QTest::addColumn<QString>("change"); // "", "name", "blank name", "goods"
    QTest::addColumn<int>("answer");     // 0: no question expected
    QTest::addColumn<bool>("moves");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchanged: moves") << "" << 0 << true << false;
    QTest::newRow("yes: saves, moves") << "name" << 1 << true << true;
    QTest::newRow("yes, save refused: stays") << "blank name" << 1 << false << false;
    QTest::newRow("no: drops, moves") << "name" << 2 << true << false;
    QTest::newRow("cancel: stays") << "name" << 3 << false << false;
    QTest::newRow("goods line, yes: saves, moves") << "goods" << 1 << true << true;
    QTest::newRow("goods line, no: drops, moves") << "goods" << 2 << true << false;
    QTest::newRow("goods line, cancel: stays") << "goods" << 3 << false << false;
}

void TstContractEditGui::navigatorAsksBeforeLeaving()
{
    QFETCH(QString, change);
    QFETCH(int, answer);
    QFETCH(bool, moves);
    QFETCH(bool, saved);
    const QList<qint64> ids = {addContract(1, "HT-1", "第一"), addContract(2, "HT-2", "第二")};
    int at = 0;
    auto navigator = [&](int step) -> qint64 {
        const int target = RecordNavigator::targetRow(RecordNavigator::Move(step), at, ids.size());
        if (target < 0)
            return -1;
        at = target;
        return ids[at];
    };
    auto form = open(TfrmContractEdit::ModeModify, ids[0]);
    form->setNavigator(navigator);
    QVERIFY(find<QWidget>(form.get(), "btnNext")->isVisible());
    if (change == "name")
        setText(form.get(), "edtName", "改过的名称");
    else if (change == "blank name")
        setText(form.get(), "edtName", " ");
    else if (change == "goods")
        addLine(form.get(), "G1", 2, 3);
    if (answer)
        m_ui->queueAnswer(answer);
    QTest::mouseClick(find<QPushButton>(form.get(), "btnNext"), Qt::LeftButton);

    QCOMPARE(m_ui->texts().value(0), answer ? QString("是否保存对当前记录的修改？") : QString());
    QCOMPARE(m_ui->pendingAnswers(), 0);
    QCOMPARE(form->currentRowId(), moves ? ids[1] : ids[0]);
    QCOMPARE(find<QLineEdit>(form.get(), "edtName")->text(),
             moves                    ? QString("第二")
             : change == "name"       ? QString("改过的名称")
             : change == "blank name" ? QString(" ")
                                      : QString("第一"));
    QCOMPARE(value("SELECT F_name FROM Contract WHERE F_cltID = 1").toString(),
             saved && change == "name" ? QString("改过的名称") : QString("第一"));
    QCOMPARE(count("t_GDrec", "F_cltID = 1"), saved && change == "goods" ? 1 : 0);
    if (change == "goods" && !moves)
        QCOMPARE(form->goodsGrid()->model()->rowCount(), 1);
    if (moves)
        QVERIFY(!form->isChanged());
}

void TstContractEditGui::goodsNumberCellRefusesLetters_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("quantity") << "F_amount";
    QTest::newRow("unit price") << "F_price";
}

void TstContractEditGui::goodsNumberCellRefusesLetters()
{
    QFETCH(QString, field);
    auto form = open(TfrmContractEdit::ModeAdd);
    setText(form.get(), "edtCode", "HT-G");
    setText(form.get(), "edtName", "货品");
    form->addGoodsLine();
    RecordModel* model = form->goodsGrid()->model();
    model->setValue(0, "F_GDcode", "G1");
    if (field == "F_amount")
        model->setValue(0, "F_price", 2.5);
    else
        model->setValue(0, "F_amount", 4);
    // Typed into the new line's empty cell, then typed over with letters.
    QWidget* editor = editCell(form.get(), 0, field);
    QVERIFY(editor);
    QTest::keyClicks(editor, "5");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(model->value(0, field).toDouble(), 5.0);
    editor = editCell(form.get(), 0, field);
    QTest::keyClicks(editor, "abc");
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor closes (queued) with the cell as it was.
    QTRY_VERIFY(!form->goodsGrid()->view()->indexWidget(form->goodsGrid()->view()->currentIndex()));
    QCOMPARE(model->value(0, field).toDouble(), 5.0);
    QVERIFY(form->save());
    QCOMPARE(value("SELECT " + field + " FROM t_GDrec").toDouble(), 5.0);
    QCOMPARE(value("SELECT F_totalprice FROM t_GDrec").toDouble(),
             field == "F_amount" ? 12.5 : 20.0);
}

void TstContractEditGui::ctrlSWritesTheGoodsCellBeingEdited()
{
    auto form = open(TfrmContractEdit::ModeAdd);
    activate(form.get());
    setText(form.get(), "edtCode", "HT-K");
    setText(form.get(), "edtName", "键盘保存");
    form->addGoodsLine();
    QWidget* editor = editCell(form.get(), 0, "F_GDcode");
    QVERIFY(editor);
    QTest::keyClicks(editor, "G7");
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(count("Contract"), 1);
    QCOMPARE(value("SELECT F_GDcode FROM t_GDrec").toString(), QString("G7"));
}

void TstContractEditGui::pickButtonsShowOnceRegistered()
{
    QVERIFY(m_dm->ExecSql("INSERT INTO Client(F_Name, F_LinkMan) VALUES('丙公司', '王经理')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO GCitem(F_code, F_name) VALUES('GC02', '二号工程')"));
    QVERIFY(m_dm->ExecSql("INSERT INTO t_goods(F_code, F_name, F_type, F_spec, F_unit, F_price) "
                          "VALUES('G001', '水泥', '建材', 'P.O42.5', '吨', 450), "
                          "('G002', '钢筋', '建材', 'HRB400', '吨', 4200)"));
    auto form = open(TfrmContractEdit::ModeAdd);
    for (const char* name : {"btnClient1", "btnClient2", "btnGC"})
        QVERIFY2(!find<QToolButton>(form.get(), name)->isVisible(), name);

    QStringList asked;
    PickerRegistry::set(PickerRegistry::CounterpartName, [&](const QString& current, QWidget*) {
        asked << "counterpart:" + current;
        return QStringList{"丙公司"};
    });
    PickerRegistry::set(PickerRegistry::ProjectCode, [&](const QString& current, QWidget*) {
        asked << "project:" + current;
        return QStringList{"GC02"};
    });
    QList<int> goodsTargets;
    PickerRegistry::setGoodsLines([&](const GoodsLineTarget& target, QWidget*) {
        goodsTargets << target.mode;
        // Two picks while the picker stays open.
        target.addLine({"G001", "水泥", "建材", "P.O42.5", "吨", 450});
        target.addLine({"G002", "钢筋", "建材", "HRB400", "吨", 4200});
    });
    for (const char* name : {"btnClient1", "btnClient2", "btnGC"})
        QVERIFY2(find<QToolButton>(form.get(), name)->isVisible(), name);
    // Chosen by the picker, the project name is not typed.
    QVERIFY(find<QLineEdit>(form.get(), "edtGCname")->isReadOnly());

    setText(form.get(), "edtCode", "HT-P");
    setText(form.get(), "edtName", "选择");
    setText(form.get(), "edtClient2", "乙");
    QTest::mouseClick(find<QToolButton>(form.get(), "btnClient2"), Qt::LeftButton);
    QCOMPARE(find<QLineEdit>(form.get(), "edtClient2")->text(), QString("丙公司"));
    QCOMPARE(find<QLineEdit>(form.get(), "edtFZR2")->text(), QString("王经理"));
    QTest::mouseClick(find<QToolButton>(form.get(), "btnGC"), Qt::LeftButton);
    QCOMPARE(find<QLineEdit>(form.get(), "edtGCname")->text(), QString("二号工程"));
    // The goods page's buttons read as the other pages' commands do.
    QCOMPARE(find<QPushButton>(form.get(), "btnAddLine")->text(), QString("新增行"));
    QCOMPARE(find<QPushButton>(form.get(), "btnDeleteLine")->text(), QString("删除"));
    // "新增行" appends an empty line without asking the picker.
    QTest::mouseClick(find<QPushButton>(form.get(), "btnAddLine"), Qt::LeftButton);
    QCOMPARE(form->goodsGrid()->model()->rowCount(), 1);
    QVERIFY(goodsTargets.isEmpty());
    // The goods-name cell's button runs the lines picker on the contract's goods.
    RecordModel* lines = form->goodsGrid()->model();
    emit form->goodsGrid()->cellButtonClicked(0, lines->columnOfField("F_GDname"));
    QCOMPARE(goodsTargets, QList<int>{GoodsLineTarget::ContractGoodsLines});
    QCOMPARE(lines->rowCount(), 3);
    QCOMPARE(lines->value(2, "F_amount").toDouble(), 1.0);
    QCOMPARE(lines->value(2, "F_totalprice").toDouble(), 4200.0);
    QCOMPARE(asked, (QStringList{"counterpart:乙", "project:"}));
    QVERIFY(form->save());
    QCOMPARE(value("SELECT F_client2 || '/' || F_FZR2 || '/' || F_GCcode || '/' || F_GCname "
                   "FROM Contract")
                 .toString(),
             QString("丙公司/王经理/GC02/二号工程"));
    QCOMPARE(value("SELECT group_concat(F_GDcode || ':' || F_GDname || ':' || F_unit || ':' || "
                   "F_price, ',') FROM t_GDrec WHERE F_cltID = 1")
                 .toString(),
             QString("G001:水泥:吨:450.0,G002:钢筋:吨:4200.0"));

    // Taken away again, the buttons hide.
    PickerRegistry::set(PickerRegistry::CounterpartName, {});
    QVERIFY(!find<QToolButton>(form.get(), "btnClient1")->isVisible());
}

void TstContractEditGui::screenshotAmountsOnDemoData()
{
    SCREENSHOTS_ONLY();
    QTemporaryDir demo;
    makeDemoDatabase(demo.path());
    m_dm->settings().writeString("config", "ds", demo.path() + "/");
    delete m_dm;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    EstablishSession(*m_dm, "admin");
    const qint64 id = m_dm->QueryInt("SELECT F_ID FROM Contract WHERE F_cltID IN (SELECT F_cltID "
                                     "FROM t_GDrec) ORDER BY F_totalPrice DESC LIMIT 1");
    auto form = open(TfrmContractEdit::ModeModify, id);
    form->setNavigator([](int) { return qint64(-1); });
    form->findChild<QTabWidget*>("pgcPages")->setCurrentIndex(2);
    QTest::qWait(50);
    saveScreenshot(form.get(), "contract_edit_amounts");
}

QTEST_MAIN(TstContractEditGui)
#include "tst_contractedit_gui.moc"
