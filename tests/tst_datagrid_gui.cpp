#include "common/DataGrid.h"
#include "common/GoodsGrid.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QHeaderView>
#include <QImage>

#include <climits>
#include <QSignalSpy>
#include <QTest>

// The grid widget: title sorting, footer, colours, current row, line editing.
class TstDataGridGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleClickSorts();
    void memoTitleShowsMarkOnly();
    void sortMarkPointsTheWayOfTheOrder_data();
    void sortMarkPointsTheWayOfTheOrder();
    void currentRowFollowsAndSurvivesReopen();
    void hiddenColumnsAndWidths();
    void footerAndColours();
    void goodsGridEditing();

private:
    void fill(DataGrid& grid);
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
};

void TstDataGridGui::init()
{
    m_dir = new QTemporaryDir;
    makeContractDatabase(m_dir->path());
    m_db = new Database;
    QVERIFY(m_db->open(m_dir->filePath("Contract.db")));
    struct C
    {
        int link;
        const char* code;
        const char* date;
        double amount;
        const char* approver;
        int archived;
        const char* memo;
    };
    for (const C& c : {C{1, "HT-3", "2024-01-01", 300, "", 0, "b"},
                       C{2, "HT-1", "2024-02-01", 100, "admin", 1, "c"},
                       C{3, "HT-2", "2024-03-01", 200, "", 1, "a"}})
        QVERIFY(m_db->exec("INSERT INTO Contract(F_cltID, F_code, F_date, F_totalPrice, F_SHemp, "
                           "F_GDflag, F_memo1) VALUES(:l, :c, :d, :a, :s, :g, :m)",
                           {{":l", c.link},
                            {":c", QString::fromLatin1(c.code)},
                            {":d", QString::fromLatin1(c.date)},
                            {":a", c.amount},
                            {":s", QString::fromLatin1(c.approver)},
                            {":g", c.archived},
                            {":m", QString::fromLatin1(c.memo)}}));
}

void TstDataGridGui::cleanup()
{
    delete m_db;
    delete m_dir;
}

void TstDataGridGui::fill(DataGrid& grid)
{
    GridColumn total = sumColumn("F_totalPrice", "合同金额", 100, ",0.00");
    GridColumn code = textColumn("F_code", "合同编号", 90);
    code.footerType = GridColumn::FooterText;
    code.footerValue = "合计";
    grid.setColumns({code, textColumn("F_date", "签订日期", 90), total,
                     textColumn("F_memo1", "合同主要内容", 150),
                     textColumn("F_SHemp", "审批", 60)});
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract ORDER BY F_date"));
}

static QStringList codes(const DataGrid& grid)
{
    QStringList out;
    for (int r = 0; r < grid.model()->rowCount(); ++r)
        out << grid.model()->text(r, "F_code");
    return out;
}

void TstDataGridGui::titleClickSorts()
{
    DataGrid grid;
    fill(grid);
    QHeaderView* titles = grid.view()->horizontalHeader();
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const auto clickTitle = [&](int column) {
        QTest::mouseClick(
            titles->viewport(), Qt::LeftButton, {},
            QPoint(titles->sectionViewportPosition(column) + 10, titles->height() / 2));
    };
    clickTitle(0);
    QCOMPARE(codes(grid), (QStringList{"HT-1", "HT-2", "HT-3"}));
    QCOMPARE(grid.sortColumn(), 0);
    QCOMPARE(grid.sortOrder(), Qt::AscendingOrder);
    QVERIFY(titles->isSortIndicatorShown());
    clickTitle(0);
    QCOMPARE(codes(grid), (QStringList{"HT-3", "HT-2", "HT-1"}));
    QCOMPARE(grid.sortOrder(), Qt::DescendingOrder);
    clickTitle(2); // another column starts ascending
    QCOMPARE(codes(grid), (QStringList{"HT-1", "HT-2", "HT-3"}));
    // Opening the list again returns to the query's order and drops the mark.
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract ORDER BY F_date"));
    QCOMPARE(codes(grid), (QStringList{"HT-3", "HT-1", "HT-2"}));
    QCOMPARE(grid.sortColumn(), -1);
}

void TstDataGridGui::memoTitleShowsMarkOnly()
{
    DataGrid grid;
    fill(grid);
    emit grid.view()->horizontalHeader()->sectionClicked(3);
    QCOMPARE(grid.sortColumn(), 3);
    QCOMPARE(codes(grid), (QStringList{"HT-3", "HT-1", "HT-2"}));
}

void TstDataGridGui::sortMarkPointsTheWayOfTheOrder_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("up");
    QTest::newRow("ascending") << 1 << true;
    QTest::newRow("descending") << 2 << false;
}

// The mark is found as what the title shows more with it than without it;
// an arrow pointing up is wider at its foot than at its tip.
void TstDataGridGui::sortMarkPointsTheWayOfTheOrder()
{
    QFETCH(int, clicks);
    QFETCH(bool, up);
    DataGrid grid;
    grid.setColumns({textColumn("F_code", "", 160)});
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract"));
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QHeaderView* titles = grid.view()->horizontalHeader();
    for (int i = 0; i < clicks; ++i)
        emit titles->sectionClicked(0);
    QCOMPARE(grid.sortOrder(), up ? Qt::AscendingOrder : Qt::DescendingOrder);
    const QRect section(titles->sectionViewportPosition(0), 0, titles->sectionSize(0),
                        titles->height());
    const QImage marked = titles->viewport()->grab(section).toImage();
    titles->setSortIndicatorShown(false);
    const QImage plain = titles->viewport()->grab(section).toImage();
    titles->setSortIndicatorShown(true);
    QCOMPARE(marked.size(), plain.size());
    int top = -1, bottom = -1;
    QList<int> left(marked.height(), INT_MAX), right(marked.height(), -1);
    for (int y = 0; y < marked.height(); ++y) {
        for (int x = 0; x < marked.width(); ++x) {
            if (marked.pixel(x, y) == plain.pixel(x, y))
                continue;
            left[y] = qMin(left[y], x);
            right[y] = qMax(right[y], x);
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    QVERIFY2(top >= 0 && bottom > top, "no mark drawn");
    const int topWidth = right[top] - left[top];
    const int bottomWidth = right[bottom] - left[bottom];
    if (up)
        QVERIFY2(bottomWidth > topWidth,
                 qPrintable(QString("%1 %2").arg(topWidth).arg(bottomWidth)));
    else
        QVERIFY2(topWidth > bottomWidth,
                 qPrintable(QString("%1 %2").arg(topWidth).arg(bottomWidth)));
}

void TstDataGridGui::currentRowFollowsAndSurvivesReopen()
{
    DataGrid grid;
    QSignalSpy moved(&grid, &DataGrid::currentRowChanged);
    fill(grid);
    QCOMPARE(grid.currentRow(), 0);
    QVERIFY(moved.count() >= 1);
    grid.setCurrentRow(2);
    QCOMPARE(moved.last().at(0).toInt(), 2);
    QCOMPARE(grid.currentValue("F_code").toString(), QStringLiteral("HT-2"));
    // Re-opened in another order, the grid stays on the same contract.
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract ORDER BY F_code"));
    QCOMPARE(grid.currentValue("F_code").toString(), QStringLiteral("HT-2"));
    QCOMPARE(grid.currentRow(), 1);
    // An empty result leaves no current row.
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract WHERE 1 = 0"));
    QCOMPARE(grid.currentRow(), -1);
    QCOMPARE(moved.last().at(0).toInt(), -1);
    // Multi-select.
    QVERIFY(grid.open(*m_db, "SELECT * FROM Contract ORDER BY F_code"));
    grid.view()->selectRow(0);
    grid.view()->selectionModel()->select(grid.model()->index(2, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(grid.selectedRows(), (QList<int>{0, 2}));
}

void TstDataGridGui::hiddenColumnsAndWidths()
{
    DataGrid grid;
    fill(grid);
    GridColumns columns = grid.model()->columns();
    columns[1].visible = false;
    columns[2].width = 140;
    grid.setColumns(columns);
    QVERIFY(grid.view()->isColumnHidden(1));
    QCOMPARE(grid.view()->columnWidth(2), 140);
    // Moved on screen: columns() reports the screen order.
    grid.view()->horizontalHeader()->moveSection(0, 3);
    const GridColumns arranged = grid.columns();
    QCOMPARE(arranged.at(3).fieldName, QStringLiteral("F_code"));
    QVERIFY(!arranged.at(0).visible);
    QCOMPARE(arranged.at(1).width, 140);
}

void TstDataGridGui::footerAndColours()
{
    DataGrid grid;
    fill(grid);
    grid.model()->setRowStyler([](const RecordModel& m, int row) {
        if (!m.text(row, "F_SHemp").isEmpty())
            return RecordModel::RowStyle{Qt::blue, QColor(255, 255, 220)};
        if (m.value(row, "F_GDflag").toInt() != 0)
            return RecordModel::RowStyle{Qt::red, QColor(Qt::lightGray)};
        return RecordModel::RowStyle{};
    });
    QCOMPARE(grid.footerText(0), QStringLiteral("合计"));
    QCOMPARE(grid.footerText(2), QStringLiteral("600.00"));
    QCOMPARE(grid.footerText(1), QString());
    RecordModel* m = grid.model();
    QCOMPARE(m->data(m->index(0, 0), Qt::ForegroundRole), QVariant());
    QCOMPARE(m->data(m->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    QCOMPARE(m->data(m->index(2, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    grid.resize(600, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    saveScreenshot(&grid, "datagrid-small");
}

void TstDataGridGui::goodsGridEditing()
{
    QVERIFY(m_db->exec("INSERT INTO t_GDrec(F_cltID, F_GDcode, F_GDname, F_amount, F_price, "
                       "F_totalprice) VALUES(1, '000001', '水泥', 2, 300, 600)"));
    DataGrid grid;
    grid.setColumns({textColumn("F_GDcode", "货品编号"), textColumn("F_GDname", "货品名称"),
                     textColumn("F_spec", "规格"), textColumn("F_amount", "数量"),
                     textColumn("F_price", "单价"), sumColumn("F_totalprice", "金额")});
    QVERIFY(grid.open(*m_db, "SELECT * FROM t_GDrec WHERE F_cltID = 1"));
    PrepareGoodsGrid(&grid);
    RecordModel* m = grid.model();
    QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(!(m->flags(m->index(0, 1)) & Qt::ItemIsEditable));
    QVERIFY(!(m->flags(m->index(0, 2)) & Qt::ItemIsEditable));
    QVERIFY(m->setData(m->index(0, 4), 250.0));
    QCOMPARE(m->value(0, "F_totalprice").toDouble(), 500.0);
    QCOMPARE(grid.footerText(5), QStringLiteral("500"));

    // The button of the goods-name cell.
    QSignalSpy pressed(&grid, &DataGrid::cellButtonClicked);
    grid.resize(700, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const QRect cell = grid.view()->visualRect(m->index(0, 1));
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {},
                      QPoint(cell.right() - 4, cell.center().y()));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.first().at(0).toInt(), 0);
    QCOMPARE(pressed.first().at(1).toInt(), 1);
    // Nothing written until the caller's batch write.
    QCOMPARE(m_db->scalar("SELECT F_totalprice FROM t_GDrec").toDouble(), 600.0);
}

QTEST_MAIN(TstDataGridGui)
#include "tst_datagrid_gui.moc"
