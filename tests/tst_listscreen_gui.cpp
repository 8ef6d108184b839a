#include "common/DataGrid.h"
#include "common/GridColumn.h"
#include "common/ListScreen.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QToolBar>

namespace {

// A screen over the code list whose statement the test sets.
class CodeScreen : public ListScreen
{
public:
    explicit CodeScreen(bool outputsAfterFirstQuery)
        : ListScreen(options(outputsAfterFirstQuery), nullptr)
    {
        grid()->setColumns({textColumn("F_name", "名称", 100)});
    }
    QString sql = QStringLiteral("SELECT F_name FROM t_code WHERE F_type = 'unit' ORDER BY F_ID");
    int queries = 0;

protected:
    bool query(QString* error) override
    {
        ++queries;
        return grid()->open(dmData()->db(), sql, {}, error);
    }

private:
    static Options options(bool outputsAfterFirstQuery)
    {
        Options o;
        o.className = QStringLiteral("TestScreen");
        o.caption = QStringLiteral("测试列表");
        o.outputsAfterFirstQuery = outputsAfterFirstQuery;
        return o;
    }
};

QString enabledPaging(ListScreen& s)
{
    QString state;
    for (const char* name : {"tbFirst", "tbPrior", "tbNext", "tbLast"})
        state += s.command(QLatin1String(name))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return state;
}

} // namespace

// The frame every list screen shares: commands enabled by the first query,
// paging that disables the end it reached, the count, failures reported.
class TstListScreenGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void outputsWaitForTheFirstQuery();
    void pagingDisablesTheEndReached_data();
    void pagingDisablesTheEndReached();
    void failedQueryIsReported();
    void leadingCommandsComeFirst();

private:
    void addUnits(int count);
    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

void TstListScreenGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    QVERIFY(m_dm->ExecSql(QStringLiteral("DELETE FROM t_code WHERE F_type = 'unit'")));
}

void TstListScreenGui::cleanup()
{
    closeDataFixture(m_exe, m_ui, m_dm);
}

void TstListScreenGui::addUnits(int count)
{
    for (int i = 0; i < count; ++i)
        QVERIFY(
            m_dm->ExecSql(QStringLiteral("INSERT INTO t_code(F_type, F_name) VALUES('unit', :n)"),
                          {{QStringLiteral(":n"), QStringLiteral("单位%1").arg(i)}}));
}

void TstListScreenGui::outputsWaitForTheFirstQuery()
{
    addUnits(3);
    CodeScreen statistics(true);
    for (const char* name : {"tbFirst", "tbLast", "tbPrint", "tbDesign", "tbExport"})
        QVERIFY2(!statistics.command(QLatin1String(name))->isEnabled(), name);
    QVERIFY(statistics.command(QStringLiteral("tbQuery"))->isEnabled());
    QVERIFY(statistics.requery());
    for (const char* name : {"tbLast", "tbPrint", "tbDesign", "tbExport"})
        QVERIFY2(statistics.command(QLatin1String(name))->isEnabled(), name);
    QCOMPARE(statistics.statusPanel(2)->text(), QStringLiteral("记录数/3"));
    QCOMPARE(statistics.statusPanel(3)->text(), QStringLiteral("璞朔软件  "));

    CodeScreen list(false);
    QVERIFY(list.command(QStringLiteral("tbExport"))->isEnabled());
}

void TstListScreenGui::pagingDisablesTheEndReached_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("moves"); // F first, P prior, N next, L last
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("enabled"); // first, prior, next, last

    QTest::newRow("first") << 3 << "LF" << 0 << "0011";
    QTest::newRow("last") << 3 << "L" << 2 << "1100";
    QTest::newRow("next into the middle") << 3 << "FN" << 1 << "1111";
    QTest::newRow("next to the end") << 3 << "FNN" << 2 << "1100";
    QTest::newRow("prior to the start") << 3 << "LPP" << 0 << "0011";
    QTest::newRow("one row") << 1 << "L" << 0 << "0000";
    // Nothing to move to; the move still leaves the other pair enabled.
    QTest::newRow("empty") << 0 << "N" << -1 << "1100";
}

void TstListScreenGui::pagingDisablesTheEndReached()
{
    QFETCH(int, rows);
    QFETCH(QString, moves);
    QFETCH(int, row);
    QFETCH(QString, enabled);
    addUnits(rows);
    CodeScreen screen(true);
    QVERIFY(screen.requery());
    for (const QChar m : moves) {
        const char* name = m == QLatin1Char('F')   ? "tbFirst"
                           : m == QLatin1Char('P') ? "tbPrior"
                           : m == QLatin1Char('N') ? "tbNext"
                                                   : "tbLast";
        // A command moves only while it is enabled, as its key does.
        if (screen.command(QLatin1String(name))->isEnabled())
            screen.command(QLatin1String(name))->trigger();
    }
    QCOMPARE(screen.grid()->currentRow(), row);
    QCOMPARE(enabledPaging(screen), enabled);
}

void TstListScreenGui::failedQueryIsReported()
{
    CodeScreen screen(true);
    screen.sql = QStringLiteral("SELECT F_name FROM no_such_table");
    QVERIFY(!screen.requery());
    QCOMPARE(m_ui->messages().size(), 1);
    QVERIFY(m_ui->lastDetails().contains(QStringLiteral("no_such_table")));
    // Nothing to page or print after a query that did not run.
    QVERIFY(!screen.command(QStringLiteral("tbExport"))->isEnabled());
}

void TstListScreenGui::leadingCommandsComeFirst()
{
    struct Screen : CodeScreen
    {
        Screen() : CodeScreen(false)
        {
            addLeadingAction(QStringLiteral("tbAdd"), QStringLiteral("新增"),
                             QKeySequence(Qt::CTRL | Qt::Key_A));
        }
    } screen;
    const QList<QAction*> actions = screen.toolBar()->actions();
    QCOMPARE(actions.value(0)->objectName(), QStringLiteral("tbAdd"));
    QCOMPARE(actions.value(1)->objectName(), QStringLiteral("tbQuery"));
}

QTEST_MAIN(TstListScreenGui)
#include "tst_listscreen_gui.moc"
