#include "platform/Clock.h"
#include "platform/PasswordHash.h"
#include "platform/ScriptedDialogs.h"

#include <QTest>

class TstPlatform : public QObject
{
    Q_OBJECT

private slots:
    void scriptedDialogsQueueAndRecord();
    void scriptedDialogsInstallAndRestore();
    void consoleDefaultAnswersNo();
    void clockCanBeFixed();
    void passwords_data();
    void passwords();
    void storedFormHidesThePassword();
    void foreignStoredFormsAreRefused_data();
    void foreignStoredFormsAreRefused();
};

void TstPlatform::scriptedDialogsQueueAndRecord()
{
    ScriptedDialogs ui;
    ui.queueAnswer(1);
    ui.queueAnswer(2);
    QCOMPARE(ShowMess("删除吗？", mkQuestion), 1);
    QCOMPARE(ShowMess("已保存", mkInfo), 1); // does not use a queued answer
    QCOMPARE(ShowMess("再删除吗？", mkQuestion), 2);
    QCOMPARE(ShowMess("还删除吗？", mkQuestion), 2); // nothing queued: negative
    QCOMPARE(ui.unansweredQuestions(), 1);
    ShowMess("失败", mkError);
    QCOMPARE(ui.texts(), (QStringList{"删除吗？", "已保存", "再删除吗？", "还删除吗？", "失败"}));
    QCOMPARE(ui.lastKind(), int(mkError));
    QCOMPARE(ui.messages().at(1).kind, int(mkInfo));

    ui.queueFile("/tmp/a.xlsx");
    ui.queueFile(QString()); // cancel
    ui.queueFiles({"/tmp/1.jpg", "/tmp/2.jpg"});
    auto& d = UserDialogs::current();
    QCOMPARE(d.saveFileName("导出", "/home", "Excel (*.xlsx)"), QStringLiteral("/tmp/a.xlsx"));
    QCOMPARE(d.openFileName("打开", "/", "*"), QString());
    QCOMPARE(d.openFileNames("图片", "/", "*.jpg"), (QStringList{"/tmp/1.jpg", "/tmp/2.jpg"}));
    QCOMPARE(d.existingDirectory("目录", "/"), QString()); // nothing queued: cancel
    QCOMPARE(ui.dialogs().size(), 4);
    QCOMPARE(ui.dialogs().at(0).type, QStringLiteral("save"));
    QCOMPARE(ui.dialogs().at(0).title, QStringLiteral("导出"));
    QCOMPARE(ui.dialogs().at(3).type, QStringLiteral("folder"));
}

void TstPlatform::scriptedDialogsInstallAndRestore()
{
    UserDialogs* before = &UserDialogs::current();
    {
        ScriptedDialogs outer;
        {
            ScriptedDialogs inner;
            ShowMess("inner", mkInfo);
            QCOMPARE(inner.texts(), QStringList{"inner"});
        }
        ShowMess("outer", mkInfo);
        QCOMPARE(outer.texts(), QStringList{"outer"});
    }
    QCOMPARE(&UserDialogs::current(), before);
}

void TstPlatform::consoleDefaultAnswersNo()
{
    ConsoleDialogs console;
    QCOMPARE(console.showMess("继续吗？", mkQuestion), 2);
    QCOMPARE(console.openFileName("t", "/", "*"), QString());
}

void TstPlatform::clockCanBeFixed()
{
    const QDateTime monday(QDate(2026, 12, 7), QTime(9, 30));
    Clock::setNow(monday);
    QCOMPARE(Clock::today(), QDate(2026, 12, 7));
    QCOMPARE(Clock::today().dayOfWeek(), 1);
    QCOMPARE(Clock::now(), monday);
    Clock::reset();
    QVERIFY(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())) < 5);
}

void TstPlatform::passwords_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("right") << "s3cret"
                           << "s3cret" << true;
    QTest::newRow("wrong") << "s3cret"
                           << "s3cre" << false;
    QTest::newRow("letter case counts") << "Secret"
                                        << "secret" << false;
    QTest::newRow("empty password") << ""
                                    << "" << true;
    QTest::newRow("empty stored, typed something") << ""
                                                   << "x" << false;
    QTest::newRow("chinese") << "合同管理"
                             << "合同管理" << true;
    QTest::newRow("blanks are kept") << " pw "
                                     << "pw" << false;
    QTest::newRow("quote") << "a'b\"c"
                           << "a'b\"c" << true;
}

void TstPlatform::passwords()
{
    QFETCH(QString, password);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const QString stored = SavePass(password);
    QVERIFY(!stored.isEmpty());
    QCOMPARE(CheckPass(typed, stored), accepted);
}

void TstPlatform::storedFormHidesThePassword()
{
    const QString a = SavePass("hunter2pass");
    const QString b = SavePass("hunter2pass");
    QVERIFY(a.startsWith("$argon2id$"));
    QVERIFY2(a.contains("m=65536,t=2"), qPrintable(a)); // the cost the program uses
    QVERIFY(!a.contains("hunter2pass"));
    QVERIFY(!a.contains(QString::fromLatin1(QByteArray("hunter2pass").toBase64())));
    QVERIFY(a != b); // salted
    QVERIFY(CheckPass("hunter2pass", a) && CheckPass("hunter2pass", b));
}

void TstPlatform::foreignStoredFormsAreRefused_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty") << "";
    QTest::newRow("plain text") << "secret";
    QTest::newRow("truncated hash") << "$argon2id$v=19$m=65536,t=2,p=1$abc";
    QTest::newRow("too long") << QString("$argon2id$") + QString(300, 'a');
}

void TstPlatform::foreignStoredFormsAreRefused()
{
    QFETCH(QString, stored);
    QVERIFY(!CheckPass(stored, stored));
    QVERIFY(!CheckPass("", stored));
}

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
