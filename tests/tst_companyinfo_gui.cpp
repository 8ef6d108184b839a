#include "data/Session.h"
#include "data/TdmData.h"
#include "maintenance/CompanyInfo.h"
#include "maintenance/TfrmCompanyInfo.h"
#include "platform/DesktopOpener.h"
#include "platform/ScriptedDialogs.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// The company information window and its two tests of addresses.
class TstCompanyInfoGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mailAddressTest_data();
    void mailAddressTest();
    void homePageAddress_data();
    void homePageAddress();
    void saveStoresTrimmedFieldsAndTheSessionName();
    void clearThenSaveStoresEmptyTexts();
    void reloadDropsWhatWasTyped();
    void quoteIsStoredAsTyped();
    void failedSaveSaysSoAndChangesNothing();
    void doubleClicksOpenAddresses();
    void aboutLinksOpen();
    void screenshot();

private:
    QString stored(const char* column);
    TfrmCompanyInfo* window();
    void type(const char* field, const QString& text);

    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
    TfrmCompanyInfo* m_window = nullptr;
    QList<QUrl> m_opened;
};

void TstCompanyInfoGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    m_opened.clear();
    setDesktopOpener([this](const QUrl& url) {
        m_opened << url;
        return true;
    });
}

void TstCompanyInfoGui::cleanup()
{
    delete m_window;
    m_window = nullptr;
    setDesktopOpener({});
    closeDataFixture(m_exe, m_ui, m_dm);
}

QString TstCompanyInfoGui::stored(const char* column)
{
    return m_dm->QueryString(QStringLiteral("SELECT %1 FROM SysInfo").arg(QLatin1String(column)));
}

TfrmCompanyInfo* TstCompanyInfoGui::window()
{
    if (!m_window)
        m_window = new TfrmCompanyInfo;
    return m_window;
}

void TstCompanyInfoGui::type(const char* field, const QString& text)
{
    auto* edit = window()->findChild<QLineEdit*>(QLatin1String(field));
    QVERIFY2(edit, field);
    edit->setText(text);
}

void TstCompanyInfoGui::mailAddressTest_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("one letter, dot, three") << "info@a.com" << true;
    QTest::newRow("two, dot, two") << "info@ab.cn" << false;
    QTest::newRow("two dots in a row") << "in..fo@abc.com" << false;
    QTest::newRow("begins with @") << "@abcd.com" << false;
    QTest::newRow("three after @") << "info@a.c" << false;
    QTest::newRow("no dot after @") << "info@abcdef" << false;
    QTest::newRow("no @") << "info.abc.com" << false;
    QTest::newRow("Chinese") << "张@abc.com" << false;
    QTest::newRow("blank inside") << "in fo@abc.com" << false;
    QTest::newRow("second @ allowed") << "a@b@cd.com" << true;
    QTest::newRow("dashes and underscores") << "sales_1-a@pu-shuo.com" << true;
}

void TstCompanyInfoGui::mailAddressTest()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QCOMPARE(IsMailAddress(address), accepted);
}

void TstCompanyInfoGui::homePageAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opened");
    QTest::newRow("no scheme") << " www.example.cn "
                               << "http://www.example.cn";
    QTest::newRow("http") << "http://www.example.cn/a"
                          << "http://www.example.cn/a";
    QTest::newRow("https") << "https://example.cn"
                           << "https://example.cn";
    QTest::newRow("blank") << "   "
                           << "";
}

void TstCompanyInfoGui::homePageAddress()
{
    QFETCH(QString, typed);
    QFETCH(QString, opened);
    QCOMPARE(HomePageUrl(typed).toString(), opened);
}

void TstCompanyInfoGui::saveStoresTrimmedFieldsAndTheSessionName()
{
    type("edtCode", QStringLiteral("  璞朔建设有限公司 "));
    type("edtEmail", QStringLiteral(" info@pushuo.cn "));
    window()->findChild<QPlainTextEdit*>("memMem")->setPlainText(
        QStringLiteral("第一行\n第二行\n"));
    window()->findChild<QPushButton*>("btnSave")->click();
    QCOMPARE(m_ui->lastText(), QStringLiteral("当前更改成功！"));
    QCOMPARE(stored("F_Code"), QStringLiteral("璞朔建设有限公司"));
    QCOMPARE(stored("F_Email"), QStringLiteral("info@pushuo.cn"));
    QCOMPARE(stored("F_Mem"), QStringLiteral("第一行\n第二行"));
    QCOMPARE(Session.SysCode, QStringLiteral("璞朔建设有限公司"));
}

void TstCompanyInfoGui::clearThenSaveStoresEmptyTexts()
{
    QVERIFY(m_dm->ExecSql(QStringLiteral("UPDATE SysInfo SET F_Code = '璞朔', F_Name = '北京', "
                                         "F_Mem = '简介'")));
    window()->findChild<QPushButton*>("btnClear")->click();
    window()->findChild<QPushButton*>("btnSave")->click();
    for (const char* column : {"F_Code", "F_Name", "F_Manager", "F_Phone", "F_HandPhone",
                               "F_Homepage", "F_Email", "F_Enroler", "F_Mem"})
        QVERIFY2(stored(column).isEmpty(), column);
    QVERIFY(Session.SysCode.isEmpty());
}

void TstCompanyInfoGui::reloadDropsWhatWasTyped()
{
    QVERIFY(m_dm->ExecSql(QStringLiteral("UPDATE SysInfo SET F_Code = '璞朔'")));
    const QString company = stored("F_Code");
    type("edtCode", QStringLiteral("别的公司"));
    window()->findChild<QPushButton*>("btnReload")->click();
    QCOMPARE(window()->findChild<QLineEdit*>("edtCode")->text(), company);
}

void TstCompanyInfoGui::quoteIsStoredAsTyped()
{
    type("edtName", QStringLiteral("O'Brien 路 5%_号"));
    window()->findChild<QPushButton*>("btnSave")->click();
    QCOMPARE(stored("F_Name"), QStringLiteral("O'Brien 路 5%_号"));
}

void TstCompanyInfoGui::failedSaveSaysSoAndChangesNothing()
{
    const QString company = stored("F_Code");
    Session.SysCode = company;
    m_dm->db().setFailureInjector(
        [](const QString& sql) { return sql.contains(QLatin1String("UPDATE SysInfo")); });
    type("edtCode", QStringLiteral("新公司"));
    window()->findChild<QPushButton*>("btnSave")->click();
    m_dm->db().setFailureInjector({});
    QVERIFY(!m_ui->texts().contains(QStringLiteral("当前更改成功！")));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(stored("F_Code"), company);
    QCOMPARE(Session.SysCode, company);
    // The typed text stays for another try.
    QCOMPARE(window()->findChild<QLineEdit*>("edtCode")->text(), QStringLiteral("新公司"));
}

void TstCompanyInfoGui::doubleClicksOpenAddresses()
{
    type("edtHomepage", QStringLiteral("www.example.cn"));
    type("edtEmail", QStringLiteral("info@ab.cn")); // fails the address test
    QTest::mouseDClick(window()->findChild<QLineEdit*>("edtHomepage"), Qt::LeftButton);
    QTest::mouseDClick(window()->findChild<QLineEdit*>("edtEmail"), Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{QUrl("http://www.example.cn")});
    type("edtEmail", QStringLiteral("info@abc.com"));
    QTest::mouseDClick(window()->findChild<QLineEdit*>("edtEmail"), Qt::LeftButton);
    QCOMPARE(m_opened.last(), QUrl("mailto:info@abc.com?subject"));
    QVERIFY(m_ui->messages().isEmpty()); // a failed address test says nothing
}

void TstCompanyInfoGui::aboutLinksOpen()
{
    TfrmAbout about;
    auto* web = about.findChild<QLabel*>("lblWeb");
    QVERIFY(web);
    emit web->linkActivated(TfrmAbout::webAddress());
    QCOMPARE(m_opened.value(0), QUrl(TfrmAbout::webAddress()));
}

void TstCompanyInfoGui::screenshot()
{
    SCREENSHOTS_ONLY();
    window()->show();
    saveScreenshot(window(), QStringLiteral("company-info"));
    TfrmAbout about;
    about.show();
    saveScreenshot(&about, QStringLiteral("about"));
}

QTEST_MAIN(TstCompanyInfoGui)
#include "tst_companyinfo_gui.moc"
