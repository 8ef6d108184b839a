#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QTest>

// The helpers GUI tests share.
class TstGuiSupportGui : public QObject
{
    Q_OBJECT

private slots:
    void stepRunsOnTheModalDialog();
    void failedStepDoesNotLeaveTheTestWaiting_data();
    void failedStepDoesNotLeaveTheTestWaiting();
    void closeModalWindowsClosesNestedOnes();

    // Run only as the child of the test above: a check fails inside a step.
    void childFailsInsideAStep();
};

namespace {

const char kChild[] = "CONTRACT_GUISUPPORT_CHILD";

} // namespace

void TstGuiSupportGui::stepRunsOnTheModalDialog()
{
    QDialog dialog;
    dialog.setObjectName("dlgStep");
    QString seen;
    onModal([&seen](QWidget* w) {
        seen = w->objectName();
        qobject_cast<QDialog*>(w)->accept();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(seen, QStringLiteral("dlgStep"));
}

void TstGuiSupportGui::failedStepDoesNotLeaveTheTestWaiting_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("dialog") << "dialog";
    QTest::newRow("message box") << "box";
    QTest::newRow("dialog that refuses to close") << "stubborn";
}

// A failed check inside a step used to leave the dialog open, and the test
// waited on it until CTest killed it. The child run must end by itself,
// reporting the failure.
void TstGuiSupportGui::failedStepDoesNotLeaveTheTestWaiting()
{
    QFETCH(QString, window);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChild), window);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"childFailsInsideAStep"});
    QVERIFY(child.waitForStarted());
    const bool ended = child.waitForFinished(60000);
    if (!ended) {
        child.kill();
        child.waitForFinished();
    }
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    QVERIFY2(ended, "the child still waits on its dialog");
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 1);
    QVERIFY2(out.contains("FAIL!  : TstGuiSupportGui::childFailsInsideAStep()"), qPrintable(out));
    QVERIFY2(out.contains("the step's check"), qPrintable(out));
    QVERIFY2(out.contains("after exec"), qPrintable(out));
}

void TstGuiSupportGui::closeModalWindowsClosesNestedOnes()
{
    QDialog outer;
    outer.setObjectName("outer");
    int innerResult = -1;
    onModal([&innerResult](QWidget* w) {
        QCOMPARE(w->objectName(), QStringLiteral("outer"));
        QDialog inner(w);
        inner.setObjectName("inner");
        onModal([](QWidget* in) {
            QCOMPARE(in->objectName(), QStringLiteral("inner"));
            closeModalWindows();
        });
        innerResult = inner.exec();
    });
    QCOMPARE(outer.exec(), int(QDialog::Rejected));
    QCOMPARE(innerResult, int(QDialog::Rejected));
    QVERIFY(!QApplication::activeModalWidget());
}

namespace {

// Ignores every way to close it but done().
class StubbornDialog : public QDialog
{
public:
    void reject() override {}
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

} // namespace

void TstGuiSupportGui::childFailsInsideAStep()
{
    const QString window = qEnvironmentVariable(kChild);
    if (window.isEmpty())
        QSKIP("run by failedStepDoesNotLeaveTheTestWaiting only");
    onModal([](QWidget*) { QVERIFY2(false, "the step's check"); });
    if (window == "box") {
        QMessageBox box(QMessageBox::Information, "提示", "text");
        box.exec();
    } else if (window == "stubborn") {
        StubbornDialog dialog;
        dialog.exec();
    } else {
        QDialog dialog;
        dialog.exec();
    }
    qInfo("after exec");
}

QTEST_MAIN(TstGuiSupportGui)
#include "tst_guisupport_gui.moc"
