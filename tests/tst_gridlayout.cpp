#include "common/GridLayoutStore.h"
#include "data/Database.h"
#include "support/TestSupport.h"

#include <QSqlQuery>
#include <QTest>

#include <algorithm>

// The stored column layouts of the grids, on a real database file.
class TstGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsDeliveredLayoutWhateverTheCase();
    void unknownNameLoadsNothing();
    void loadSkipsRowsWithoutField();
    void storedCodesMapToColumnKinds_data();
    void storedCodesMapToColumnKinds();
    void saveUpdatesRowsStoredInLowerCase();
    void saveInsertsMissingRowsOnce();
    void quotesAndSpecialTextStayIntact();
    void failedSaveChangesNothing();
    void failedLoadSaysWhy();

private:
    int rowCount(const QString& where = QString(), const SqlParams& params = {});
    void addRow(const QString& layout, const QVariant& field, int order,
                const QVariant& footerType = 0, const QVariant& alignment = 0);

    TempExeDir* m_exe = nullptr;
    Database* m_db = nullptr;
};

void TstGridLayout::init()
{
    m_exe = new TempExeDir;
    const QString path = makeContractDatabase(m_exe->file("data"));
    m_db = new Database(QStringLiteral("gridlayout"));
    QString error;
    QVERIFY2(m_db->open(path, &error), qPrintable(error));
}

void TstGridLayout::cleanup()
{
    delete m_db;
    m_db = nullptr;
    delete m_exe;
    m_exe = nullptr;
}

int TstGridLayout::rowCount(const QString& where, const SqlParams& params)
{
    bool ok = false;
    const QVariant n = m_db->scalar("SELECT COUNT(*) FROM cfg_grid" +
                                        (where.isEmpty() ? QString() : " WHERE " + where),
                                    params, &ok);
    if (!ok)
        qFatal("count of cfg_grid failed");
    return n.toInt();
}

void TstGridLayout::addRow(const QString& layout, const QVariant& field, int order,
                           const QVariant& footerType, const QVariant& alignment)
{
    QString error;
    const bool ok = m_db->exec(
        "INSERT INTO cfg_grid(F_name, F_FieldName, F_Caption, F_Width, F_Visible, F_ReadOnly, "
        "F_DisplayFormat, F_FooterValue, F_FooterType, F_Alignment, F_Order) "
        "VALUES(:n, :f, :c, 60, 1, 0, '', '', :ft, :al, :o)",
        {{":n", layout},
         {":f", field},
         {":c", "title " + field.toString()},
         {":ft", footerType},
         {":al", alignment},
         {":o", order}},
        &error);
    if (!ok)
        qFatal("cannot add a cfg_grid row: %s", qPrintable(error));
}

void TstGridLayout::loadsDeliveredLayoutWhateverTheCase()
{
    GridLayoutStore store(*m_db);
    GridColumns lower, upper;
    QVERIFY(store.load("clientmain", &lower));
    QVERIFY(store.load("CLIENTMAIN", &upper));
    QCOMPARE(upper, lower);
    QCOMPARE(lower.size(), rowCount("F_name = 'clientmain'"));
    const GridColumn& code = lower.first();
    QCOMPARE(code.fieldName, QStringLiteral("F_code"));
    QCOMPARE(code.title, QStringLiteral("合同编号"));
    QCOMPARE(code.footerType, int(GridColumn::FooterText));
    QCOMPARE(code.footerValue, QStringLiteral("合计"));
    QCOMPARE(code.alignment, int(GridColumn::AlignLeft));
    QVERIFY(code.readOnly);
    QVERIFY(code.visible);
    const GridColumn& price = lower.at(5);
    QCOMPARE(price.fieldName, QStringLiteral("F_totalPrice"));
    QCOMPARE(price.footerType, int(GridColumn::FooterSum));
    QCOMPARE(price.alignment, int(GridColumn::AlignRight));
    QCOMPARE(price.width, 100);

    // Layout names stored in mixed case are found by any spelling.
    GridColumns receipts;
    QVERIFY(store.load("shoukuanman", &receipts));
    QCOMPARE(receipts.size(), rowCount("F_name = 'ShouKuanMan'"));
    QVERIFY(!receipts.isEmpty());
}

void TstGridLayout::unknownNameLoadsNothing()
{
    GridLayoutStore store(*m_db);
    GridColumns columns{textColumn("F_x", "stale")};
    QString error;
    QVERIFY(store.load("nosuchgrid", &columns, &error));
    QVERIFY(columns.isEmpty());
    QVERIFY(error.isEmpty());
}

void TstGridLayout::loadSkipsRowsWithoutField()
{
    addRow("probe", "F_b", 2);
    addRow("probe", "", 0);
    addRow("probe", QVariant(), 1);
    addRow("probe", "   ", 3);
    addRow("probe", "F_a", 1);
    addRow("otherprobe", "F_c", 0);
    GridColumns columns;
    QVERIFY(GridLayoutStore(*m_db).load("Probe", &columns));
    QCOMPARE(columns.size(), 2);
    // In stored order, not in the order the rows were written.
    QCOMPARE(columns.at(0).fieldName, QStringLiteral("F_a"));
    QCOMPARE(columns.at(1).fieldName, QStringLiteral("F_b"));
    QCOMPARE(columns.at(0).title, QStringLiteral("title F_a"));
    QCOMPARE(columns.at(0).width, 60);
    QVERIFY(!columns.at(0).readOnly);
}

void TstGridLayout::storedCodesMapToColumnKinds_data()
{
    QTest::addColumn<QVariant>("footerType");
    QTest::addColumn<QVariant>("alignment");
    QTest::addColumn<int>("footer");
    QTest::addColumn<int>("align");

    QTest::newRow("no footer, left")
        << QVariant(0) << QVariant(0) << int(GridColumn::NoFooter) << int(GridColumn::AlignLeft);
    QTest::newRow("text footer, centred")
        << QVariant(1) << QVariant(1) << int(GridColumn::FooterText)
        << int(GridColumn::AlignCenter);
    QTest::newRow("sum footer, right")
        << QVariant(2) << QVariant(2) << int(GridColumn::FooterSum) << int(GridColumn::AlignRight);
    QTest::newRow("unknown codes")
        << QVariant(7) << QVariant(3) << int(GridColumn::NoFooter) << int(GridColumn::AlignDefault);
    QTest::newRow("negative codes") << QVariant(-1) << QVariant(-1) << int(GridColumn::NoFooter)
                                    << int(GridColumn::AlignDefault);
    QTest::newRow("nothing stored")
        << QVariant() << QVariant() << int(GridColumn::NoFooter) << int(GridColumn::AlignDefault);
}

void TstGridLayout::storedCodesMapToColumnKinds()
{
    QFETCH(QVariant, footerType);
    QFETCH(QVariant, alignment);
    QFETCH(int, footer);
    QFETCH(int, align);
    addRow("probe", "F_a", 0, footerType, alignment);
    GridColumns columns;
    QVERIFY(GridLayoutStore(*m_db).load("probe", &columns));
    QCOMPARE(columns.size(), 1);
    QCOMPARE(columns.first().footerType, footer);
    QCOMPARE(columns.first().alignment, align);
    // What was read is written back as the same kinds.
    QVERIFY(GridLayoutStore(*m_db).save("probe", columns));
    GridColumns again;
    QVERIFY(GridLayoutStore(*m_db).load("probe", &again));
    QCOMPARE(again, columns);
}

void TstGridLayout::saveUpdatesRowsStoredInLowerCase()
{
    GridLayoutStore store(*m_db);
    GridColumns columns;
    QVERIFY(store.load("clientmain", &columns));
    const int before = rowCount();
    // Reverse the order, hide and widen the first, retitle the last.
    std::reverse(columns.begin(), columns.end());
    columns.first().visible = false;
    columns.first().width = 33;
    columns.last().title = QStringLiteral("编号");
    columns.last().alignment = GridColumn::AlignCenter;
    QVERIFY(store.save("CLIENTMAIN", columns));
    QCOMPARE(rowCount(), before);
    QCOMPARE(rowCount("F_name = 'CLIENTMAIN' COLLATE BINARY"), 0);

    GridColumns loaded;
    QVERIFY(store.load("clientmain", &loaded));
    QCOMPARE(loaded, columns);
    QCOMPARE(m_db->scalar("SELECT F_Order FROM cfg_grid WHERE F_name = 'clientmain' "
                          "AND F_FieldName = 'F_code'")
                 .toInt(),
             int(columns.size()) - 1);
}

void TstGridLayout::saveInsertsMissingRowsOnce()
{
    GridLayoutStore store(*m_db);
    GridColumn amount = sumColumn("F_amount", "数量", 70, ",0.00");
    amount.readOnly = false;
    GridColumn hidden = textColumn("F_memo", "备注", 150);
    hidden.visible = false;
    const GridColumns columns{textColumn("F_code", "编号", 90), amount, hidden,
                              textColumn("", "no field", 20)};
    const int before = rowCount();
    QVERIFY(store.save("NewGrid", columns));
    // A column without a field is not stored: loading would skip it anyway.
    QCOMPARE(rowCount(), before + 3);
    QCOMPARE(rowCount("F_name = 'newgrid' COLLATE BINARY"), 3);

    GridColumns loaded;
    QVERIFY(store.load("newgrid", &loaded));
    QCOMPARE(loaded, columns.mid(0, 3));

    // Saving again updates the inserted rows; a new column is added, a
    // column the grid no longer has keeps its row.
    GridColumns changed{amount, textColumn("F_date", "日期", 80)};
    changed.first().width = 120;
    QVERIFY(store.save("NEWGRID", changed));
    QCOMPARE(rowCount(), before + 4);
    QVERIFY(store.load("newgrid", &loaded));
    QCOMPARE(loaded.size(), 4);
    QVERIFY(loaded.contains(changed.at(0)));
    QVERIFY(loaded.contains(changed.at(1)));
    QVERIFY(loaded.contains(columns.at(0)));
    QVERIFY(loaded.contains(hidden));
}

void TstGridLayout::quotesAndSpecialTextStayIntact()
{
    GridLayoutStore store(*m_db);
    GridColumn c = sumColumn("F_price", "O'Neil \"单价\" 100%_\\", 90, "#,##0.00'元'");
    c.footerType = GridColumn::FooterText;
    c.footerValue = QStringLiteral("合计'); DROP TABLE cfg_grid; --");
    const GridColumns columns{c, textColumn("F_it's", "it's", 40)};
    QVERIFY(store.save("quote'grid", columns));
    GridColumns loaded;
    QVERIFY(store.load("QUOTE'GRID", &loaded));
    QCOMPARE(loaded, columns);
    // An update of the same rows keeps the text intact as well.
    QVERIFY(store.save("Quote'Grid", loaded));
    QCOMPARE(rowCount("F_name = :n", {{":n", "quote'grid"}}), 2);
    QVERIFY(store.load("quote'grid", &loaded));
    QCOMPARE(loaded, columns);
}

void TstGridLayout::failedSaveChangesNothing()
{
    GridLayoutStore store(*m_db);
    GridColumns columns;
    QVERIFY(store.load("clientmain", &columns));
    const GridColumns stored = columns;
    for (GridColumn& c : columns)
        c.width += 1;
    // The new column's insert fails after every update has run.
    columns << textColumn("F_extra", "extra");
    const int before = rowCount();
    m_db->setFailureInjector([](const QString& sql) { return sql.startsWith("INSERT"); });
    QString error;
    QVERIFY(!store.save("clientmain", columns, &error));
    QVERIFY(!error.isEmpty());
    m_db->setFailureInjector({});
    QCOMPARE(rowCount(), before);
    GridColumns loaded;
    QVERIFY(store.load("clientmain", &loaded));
    QCOMPARE(loaded, stored);
    QCOMPARE(m_db->transactionDepth(), 0);
}

void TstGridLayout::failedLoadSaysWhy()
{
    m_db->setFailureInjector([](const QString& sql) { return sql.contains("cfg_grid"); });
    GridColumns columns{textColumn("F_x", "stale")};
    QString error;
    QVERIFY(!GridLayoutStore(*m_db).load("clientmain", &columns, &error));
    QVERIFY(columns.isEmpty());
    QVERIFY(!error.isEmpty());
    m_db->setFailureInjector({});

    m_db->close();
    error.clear();
    QVERIFY(!GridLayoutStore(*m_db).load("clientmain", &columns, &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!GridLayoutStore(*m_db).save("clientmain", {textColumn("F_x", "x")}, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TstGridLayout)
#include "tst_gridlayout.moc"
