#include "common/AmountBox.h"
#include "common/CheckedDate.h"
#include "common/EnterActsAsTab.h"
#include "common/InputState.h"
#include "common/RecordNavigator.h"
#include "platform/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

// The shared entry controls of common/: what they take, refuse and show.
class TstEditControlsGui : public QObject
{
    Q_OBJECT

private slots:
    void amountTexts_data();
    void amountTexts();
    void amountCheck_data();
    void amountCheck();
    void impossibleDateStaysInvalid_data();
    void impossibleDateStaysInvalid();
    void datesAreValidSaysWhich();
    void navigatorTargets_data();
    void navigatorTargets();
    void mayLeaveByAnswer_data();
    void mayLeaveByAnswer();
    void inputStateSeesTypedValues();
    void ctrlSFinishesTheTypedAmount();
};

namespace {

// A window with the control under test and a second field to leave it for.
struct Form
{
    QDialog dialog;
    QLineEdit* other;
    explicit Form(QWidget* field)
    {
        auto* layout = new QVBoxLayout(&dialog);
        field->setParent(&dialog);
        layout->addWidget(field);
        other = new QLineEdit(&dialog);
        layout->addWidget(other);
        dialog.show();
        dialog.activateWindow();
    }
};

} // namespace

void TstEditControlsGui::amountTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value"); // after leaving the box
    QTest::addColumn<QString>("shown");
    // The box holds 7 before the operator types.
    QTest::newRow("grouped") << "1,234,567.25" << 1234567.25 << "1,234,567.25";
    QTest::newRow("plain") << "1234567.25" << 1234567.25 << "1,234,567.25";
    QTest::newRow("whole number") << "8716000" << 8716000.0 << "8,716,000.00";
    QTest::newRow("four decimals") << "1.2345" << 1.2345 << "1.2345";
    QTest::newRow("fifth decimal refused") << "1.23456" << 1.2345 << "1.2345";
    QTest::newRow("negative") << "-1,000.5" << -1000.5 << "-1,000.50";
    QTest::newRow("comma between single digits") << "1,2,3" << 7.0 << "7.00";
    QTest::newRow("group of two") << "12,34" << 7.0 << "7.00";
    QTest::newRow("exponent") << "1e5" << 15.0 << "15.00";
    QTest::newRow("letters") << "abc" << 7.0 << "7.00";
    QTest::newRow("letters and a stray comma") << "1e5x,2.123456" << 7.0 << "7.00";
}

void TstEditControlsGui::amountTexts()
{
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, shown);
    auto* box = new AmountBox;
    box->setDisplayFormat(",0.00##");
    box->setValue(7);
    QCOMPARE(box->text(), QString("7.00"));
    Form form(box);
    QVERIFY(QTest::qWaitForWindowActive(&form.dialog));
    box->setFocus();
    box->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(box, typed);
    form.other->setFocus();
    QCOMPARE(box->value(), value);
    QCOMPARE(box->text(), shown);
}

void TstEditControlsGui::amountCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    const int ok = QValidator::Acceptable, maybe = QValidator::Intermediate,
              no = QValidator::Invalid;
    QTest::newRow("grouped") << "1,234,567.25" << ok;
    QTest::newRow("plain") << "1234567.25" << ok;
    QTest::newRow("no whole part") << ".5" << ok;
    QTest::newRow("empty") << "" << maybe;
    QTest::newRow("minus only") << "-" << maybe;
    QTest::newRow("typing a group") << "1,23" << maybe;
    QTest::newRow("single digits") << "1,2,3" << maybe;
    QTest::newRow("comma after the point") << "1.2,3" << no;
    QTest::newRow("five decimals") << "1.23456" << no;
    QTest::newRow("exponent") << "1e5" << no;
    QTest::newRow("two points") << "1.2.3" << no;
}

void TstEditControlsGui::amountCheck()
{
    QFETCH(QString, text);
    QFETCH(int, state);
    QCOMPARE(int(AmountBox::check(text)), state);
}

void TstEditControlsGui::impossibleDateStaysInvalid_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QDate>("date");
    QTest::newRow("30 February") << "20250230"
                                 << "2025-02-30" << false << QDate(2025, 3, 10);
    QTest::newRow("31 April") << "20250431"
                              << "2025-04-31" << false << QDate(2025, 3, 10);
    QTest::newRow("29 February of a leap year") << "20240229"
                                                << "2024-02-29" << true << QDate(2024, 2, 29);
}

void TstEditControlsGui::impossibleDateStaysInvalid()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, valid);
    QFETCH(QDate, date);
    auto* box = new DateBox;
    box->setDate(QDate(2025, 3, 10));
    Form form(box);
    QVERIFY(QTest::qWaitForWindowActive(&form.dialog));
    box->setFocus();
    box->setSelectedSection(QDateTimeEdit::YearSection);
    QTest::keyClicks(box, typed);
    form.other->setFocus();
    // Leaving the box keeps what was typed.
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->isValidInput(), valid);
    if (valid)
        QCOMPARE(box->date(), date);
    // Coming back does not put another date in its place.
    QTest::keyClick(form.other, Qt::Key_Backtab, Qt::ShiftModifier);
    box->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->text(), shown);
    // A date set by the window replaces the typed text.
    box->setDate(QDate(2025, 3, 11));
    QVERIFY(box->isValidInput());
    QCOMPARE(box->text(), QString("2025-03-11"));
}

void TstEditControlsGui::datesAreValidSaysWhich()
{
    ScriptedDialogs ui;
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* unticked = new CheckedDate(&window);
    auto* ticked = new CheckedDate(&window);
    layout->addWidget(unticked);
    layout->addWidget(ticked);
    ticked->setDate(QDate(2025, 2, 10));
    window.show();
    QVERIFY(DatesAreValid(&window));
    ticked->dateEdit()->findChild<QLineEdit*>()->setText("2025-02-30");
    QVERIFY(!ticked->dateEdit()->isValidInput());
    QVERIFY(!DatesAreValid(&window));
    QCOMPARE(ui.lastText(), QString("“2025-02-30”不是有效的日期，请重新输入！"));
    QCOMPARE(ui.lastKind(), int(mkInfo));
    // An unticked date is not in use.
    ticked->setChecked(false);
    QVERIFY(DatesAreValid(&window));
}

void TstEditControlsGui::navigatorTargets_data()
{
    QTest::addColumn<int>("move");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("target");
    QTest::newRow("first") << int(RecordNavigator::First) << 2 << 5 << 0;
    QTest::newRow("already first") << int(RecordNavigator::First) << 0 << 5 << -1;
    QTest::newRow("prior") << int(RecordNavigator::Prior) << 2 << 5 << 1;
    QTest::newRow("prior at the top") << int(RecordNavigator::Prior) << 0 << 5 << -1;
    QTest::newRow("next") << int(RecordNavigator::Next) << 2 << 5 << 3;
    QTest::newRow("next at the end") << int(RecordNavigator::Next) << 4 << 5 << -1;
    QTest::newRow("last") << int(RecordNavigator::Last) << 2 << 5 << 4;
    QTest::newRow("empty list") << int(RecordNavigator::Next) << -1 << 0 << -1;
}

void TstEditControlsGui::navigatorTargets()
{
    QFETCH(int, move);
    QFETCH(int, current);
    QFETCH(int, count);
    QFETCH(int, target);
    QCOMPARE(RecordNavigator::targetRow(RecordNavigator::Move(move), current, count), target);
}

void TstEditControlsGui::mayLeaveByAnswer_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer"); // 0: none queued
    QTest::addColumn<bool>("saveWorks");
    QTest::addColumn<bool>("leaves");
    QTest::addColumn<int>("saves");
    QTest::newRow("unchanged: no question") << false << 0 << true << true << 0;
    QTest::newRow("yes saves") << true << 1 << true << true << 1;
    QTest::newRow("yes, save fails: stays") << true << 1 << false << false << 1;
    QTest::newRow("no lets go") << true << 2 << true << true << 0;
    QTest::newRow("cancel stays") << true << 3 << true << false << 0;
    QTest::newRow("unanswered stays") << true << 0 << true << false << 0;
}

void TstEditControlsGui::mayLeaveByAnswer()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saveWorks);
    QFETCH(bool, leaves);
    QFETCH(int, saves);
    ScriptedDialogs ui;
    if (answer)
        ui.queueAnswer(answer);
    int saved = 0;
    QCOMPARE(RecordNavigator::mayLeave(changed,
                                       [&] {
                                           ++saved;
                                           return saveWorks;
                                       }),
             leaves);
    QCOMPARE(saved, saves);
    QCOMPARE(ui.texts(), changed ? QStringList{"是否保存对当前记录的修改？"} : QStringList{});
    if (changed)
        QCOMPARE(ui.lastKind(), int(mkQuestionCancel));
}

void TstEditControlsGui::inputStateSeesTypedValues()
{
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* text = new QLineEdit(&window);
    auto* amount = new AmountBox(&window);
    auto* date = new CheckedDate(&window);
    auto* memo = new QPlainTextEdit(&window);
    auto* skipped = new QCheckBox(&window);
    for (QWidget* w : std::initializer_list<QWidget*>{text, amount, date, memo, skipped})
        layout->addWidget(w);
    const QVariantList before = InputState(&window, {skipped});
    skipped->setChecked(true);
    QCOMPARE(InputState(&window, {skipped}), before);
    // Passing through the amount box changes its text, not its value.
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(amount, &in);
    QCOMPARE(InputState(&window, {skipped}), before);
    amount->setValue(2);
    QVERIFY(InputState(&window, {skipped}) != before);
    amount->setValue(0);
    date->setChecked(true);
    QVERIFY(InputState(&window, {skipped}) != before);
    date->setChecked(false);
    memo->setPlainText("x");
    QVERIFY(InputState(&window, {skipped}) != before);
    memo->clear();
    QCOMPARE(InputState(&window, {skipped}), before);
}

void TstEditControlsGui::ctrlSFinishesTheTypedAmount()
{
    auto* box = new AmountBox;
    box->setValue(7);
    Form form(box);
    auto* ok = new QPushButton("确定", &form.dialog);
    double saved = -1;
    connect(ok, &QPushButton::clicked, [&] { saved = box->value(); });
    new EnterActsAsTab(&form.dialog, ok);
    QVERIFY(QTest::qWaitForWindowActive(&form.dialog));
    box->setFocus();
    box->findChild<QLineEdit*>()->selectAll();
    // Half a number: "确定" by the keyboard sees the box's old value, not 1.
    QTest::keyClicks(box, "1,2");
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(saved, 7.0);
    QCOMPARE(form.dialog.focusWidget(), box);
    // Enter moves on; a disabled "确定" is not pressed.
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(form.dialog.focusWidget(), form.other);
    ok->setEnabled(false);
    saved = -1;
    QTest::keyClick(form.other, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(saved, -1.0);
}

QTEST_MAIN(TstEditControlsGui)
#include "tst_editcontrols_gui.moc"
