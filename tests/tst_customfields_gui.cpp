#include "codes/TfrmZDYset.h"
#include "contracts/TfrmContractEdit.h"
#include "data/Formats.h"
#include "data/Session.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTest>

// The custom-field settings: captions and decimals in KeyValue, the
// workstation's switches in the settings file, and the session after both.
class TstCustomFieldsGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsTheSession();
    void save_data();
    void save();
    void rowsAreNeverAddedOrRemoved_data();
    void rowsAreNeverAddedOrRemoved();
    void emptyCaptionInTheContractWindow();
    void untickedAutoNumberLeavesTheCodeEmpty();
    void failureAtEachStatementChangesNothing();
    void screenshot();

private:
    QStringList rows();
    template <typename T> T* child(const char* name);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    TfrmZDYset* m_window = nullptr;
};

void TstCustomFieldsGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = '合同性质' WHERE F_ID = 1"));
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = '面积' WHERE F_ID = 6"));
    // Decimals the boxes cannot show must survive a save.
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = '3' WHERE F_ID = 12"));
    QVERIFY(m_dm->ExecSql("UPDATE KeyValue SET F_Value = '2.5' WHERE F_ID = 13"));
    QVERIFY(m_dm->LoadSessionValues());
    Session.OperName = "admin";
    Session.PrintRows = 7;
    Session.ImeName = "pinyin";
}

void TstCustomFieldsGui::cleanup()
{
    delete m_window;
    m_window = nullptr;
    closeDataFixture(m_exe, m_ui, m_dm);
}

template <typename T> T* TstCustomFieldsGui::child(const char* name)
{
    if (!m_window)
        m_window = new TfrmZDYset;
    T* c = m_window->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QStringList TstCustomFieldsGui::rows()
{
    QStringList values;
    QSqlQuery q;
    if (!m_dm->OpenQuery("SELECT F_ID, F_Value FROM KeyValue ORDER BY F_ID", q))
        return {"unreadable"};
    while (q.next())
        values << q.value(0).toString() + "=" + q.value(1).toString();
    return values;
}

void TstCustomFieldsGui::showsTheSession()
{
    QCOMPARE(child<QLineEdit>("edtKey1")->text(), QString("合同性质"));
    QCOMPARE(child<QLineEdit>("edtKey6")->text(), QString("面积"));
    QCOMPARE(child<QSpinBox>("spnMoney")->value(), 2);
    QCOMPARE(child<QSpinBox>("spnQuantity")->value(), 3);
    QVERIFY(child<QSpinBox>("spnQuantity")->isHidden());
    QVERIFY(child<QSpinBox>("spnPrice")->isHidden());
    QCOMPARE(child<QSpinBox>("spnPrintRows")->value(), 7);
    QCOMPARE(child<QComboBox>("cbbIme")->currentText(), QString("pinyin"));
    QVERIFY(!child<QCheckBox>("chkAutoCode")->isChecked());
}

void TstCustomFieldsGui::save_data()
{
    QTest::addColumn<int>("slot"); // caption box typed into, 0 for none
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("money");
    QTest::addColumn<int>("printRows");
    QTest::addColumn<bool>("autoCode");

    QTest::newRow("empty caption") << 1 << "" << 2 << 7 << false;
    QTest::newRow("money 3") << 0 << "" << 3 << 7 << false;
    QTest::newRow("date caption with a quote") << 11 << "验收'日期" << 0 << 30 << true;
}

void TstCustomFieldsGui::save()
{
    QFETCH(int, slot);
    QFETCH(QString, caption);
    QFETCH(int, money);
    QFETCH(int, printRows);
    QFETCH(bool, autoCode);

    QStringList expected = rows();
    if (slot > 0) {
        child<QLineEdit>(QString("edtKey%1").arg(slot).toLatin1().constData())->setText(caption);
        expected[slot - 1] = QString("%1=%2").arg(slot).arg(caption);
    }
    expected[13] = QString("14=%1").arg(money);
    child<QSpinBox>("spnMoney")->setValue(money);
    child<QSpinBox>("spnPrintRows")->setValue(printRows);
    child<QCheckBox>("chkAutoCode")->setChecked(autoCode);
    child<QCheckBox>("chkAutoContractCode")->setChecked(true);
    child<QComboBox>("cbbIme")->setEditText("rime");
    child<QPushButton>("btnOK")->click();

    QCOMPARE(m_ui->texts(), QStringList{"当前软件设置更改成功！"});
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QCOMPARE(rows(), expected);
    QCOMPARE(m_dm->QueryString("SELECT F_Value FROM KeyValue WHERE F_ID = 14"),
             QString::number(money));
    if (slot > 0)
        QCOMPARE(Session.keyValue(slot), caption);
    QCOMPARE(Session.keyValue(12), QString("3"));
    QCOMPARE(Session.keyValue(13), QString("2.5"));
    QCOMPARE(Session.keyValue(14), QString::number(money));
    QCOMPARE(Session.MoneyFormat, NumberFormat(money, 3));
    QCOMPARE(Session.PrintRows, printRows);
    QCOMPARE(Session.AutoCode, autoCode);
    QVERIFY(Session.AutoContractCode);
    QCOMPARE(Session.ImeName, QString("rime"));
    IniFile& ini = m_dm->settings();
    QCOMPARE(ini.readString("Config", "CurImeName"), QString("rime"));
    QCOMPARE(ini.readBool("sys", "bZDcode", !autoCode), autoCode);
    QCOMPARE(ini.readBool("sys", "bZDHTcode", false), true);
    QCOMPARE(ini.readInteger("sys", "iPrintNum", 0), printRows);
}

void TstCustomFieldsGui::rowsAreNeverAddedOrRemoved_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("14 rows") << 14;
    QTest::newRow("17 rows") << 17;
}

void TstCustomFieldsGui::rowsAreNeverAddedOrRemoved()
{
    QFETCH(int, count);
    const int now = m_dm->QueryInt("SELECT count(*) FROM KeyValue");
    if (count < now)
        QVERIFY(m_dm->ExecSql("DELETE FROM KeyValue WHERE F_ID > :n", {{":n", count}}));
    for (int i = now; i < count; ++i)
        QVERIFY(m_dm->ExecSql("INSERT INTO KeyValue(F_Value) VALUES('额外')"));
    QVERIFY(m_dm->LoadSessionValues());
    QStringList expected = rows();
    child<QLineEdit>("edtKey5")->setText("五");
    expected[4] = "5=五";
    child<QPushButton>("btnOK")->click();
    QCOMPARE(m_ui->lastText(), QString("当前软件设置更改成功！"));
    QCOMPARE(rows(), expected);
}

void TstCustomFieldsGui::emptyCaptionInTheContractWindow()
{
    child<QLineEdit>("edtKey1")->setText("");
    child<QPushButton>("btnOK")->click();
    QCOMPARE(m_dm->QueryString("SELECT F_Value FROM KeyValue WHERE F_ID = 1"), QString(""));
    TfrmContractEdit edit(0, -1);
    QCOMPARE(edit.findChild<QLabel*>("lblZF1")->text(), QString("："));
    QCOMPARE(edit.findChild<QLabel*>("lblSZ1")->text(), QString("面积："));
}

void TstCustomFieldsGui::untickedAutoNumberLeavesTheCodeEmpty()
{
    m_dm->settings().writeBool("sys", "bZDHTcode", true);
    Session.AutoContractCode = true;
    {
        TfrmContractEdit before(0, -1);
        QVERIFY(!before.findChild<QLineEdit*>("edtCode")->text().isEmpty());
    }
    QVERIFY(child<QCheckBox>("chkAutoContractCode")->isChecked());
    child<QCheckBox>("chkAutoContractCode")->setChecked(false);
    child<QPushButton>("btnOK")->click();
    QVERIFY(!Session.AutoContractCode);
    TfrmContractEdit edit(0, -1);
    QVERIFY(edit.findChild<QLineEdit*>("edtCode")->text().isEmpty());
}

void TstCustomFieldsGui::failureAtEachStatementChangesNothing()
{
    const QStringList before = rows();
    const SessionData session = Session;
    const QString iniBefore = m_dm->settings().readString("sys", "iPrintNum", "none");
    bool succeeded = false;
    for (int failAt = 1; failAt < 40 && !succeeded; ++failAt) {
        m_ui->clear();
        delete m_window;
        m_window = nullptr;
        child<QLineEdit>("edtKey1")->setText("新名称");
        child<QLineEdit>("edtKey11")->setText("新日期");
        child<QSpinBox>("spnMoney")->setValue(4);
        child<QSpinBox>("spnPrintRows")->setValue(20);
        m_window->show();
        int seen = 0;
        m_dm->db().setFailureInjector([&](const QString&) { return ++seen == failAt; });
        succeeded = m_window->save();
        m_dm->db().setFailureInjector({});
        if (succeeded) {
            QVERIFY2(failAt > 10, "every row is written by a statement of its own");
            QCOMPARE(Session.keyValue(11), QString("新日期"));
            break;
        }
        QCOMPARE(m_ui->texts(), QStringList{"保存失败，请检测数据库连接！"});
        QCOMPARE(rows(), before);
        QCOMPARE(Session.KeyValues, session.KeyValues);
        QCOMPARE(Session.MoneyFormat, session.MoneyFormat);
        QCOMPARE(Session.PrintRows, session.PrintRows);
        QCOMPARE(m_dm->settings().readString("sys", "iPrintNum", "none"), iniBefore);
        QVERIFY(m_window->isVisible());
        QCOMPARE(child<QLineEdit>("edtKey1")->text(), QString("新名称"));
    }
    QVERIFY(succeeded);
}

void TstCustomFieldsGui::screenshot()
{
    SCREENSHOTS_ONLY();
    closeDataFixture(m_exe, m_ui, m_dm);
    m_exe = new TempExeDir;
    makeDemoDatabase(m_exe->file("data"));
    m_ui = new ScriptedDialogs;
    m_dm = new TdmData;
    QVERIFY(m_dm->Connect());
    QVERIFY(m_dm->LoadSessionValues());
    m_window = new TfrmZDYset;
    m_window->show();
    saveScreenshot(m_window, "custom-fields-decimals");
    child<QWidget>("btnPageCaptions")->setProperty("checked", true);
    QMetaObject::invokeMethod(child<QWidget>("btnPageCaptions"), "click");
    saveScreenshot(m_window, "custom-fields-captions");
}

QTEST_MAIN(TstCustomFieldsGui)
#include "tst_customfields_gui.moc"
