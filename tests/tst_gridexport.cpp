#include "common/RecordModel.h"
#include "common/XlsxExport.h"
#include "data/Database.h"
#include "support/ExportSamples.h"
#include "support/XlsxReadBack.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Writing a grid's rows into a workbook, read back with orcus.
class TstGridExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sheetNames_data();
    void sheetNames();
    void numberFormats_data();
    void numberFormats();
    void modelColumnsFollowTheGridOrder();
    void cellsFormatsAndSheetName();
    void hiddenSecondColumnLeavesColumnBEmpty();
    void gridOrderAndSortedRows();
    void emptyListWritesTheTitlesOnly();
    void sheetNameFromAnAwkwardTitle();
    void unwritablePathFails();
    void replacesAnExistingFileWhole();
    void hundredThousandRows();

private:
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
    RecordModel* m_model = nullptr;
    QString write(const GridColumns& columns, const QString& title = "合同管理资料");
    XlsxReadBack readBack(const QString& path);
};

void TstGridExport::init()
{
    m_dir = new QTemporaryDir;
    m_db = new Database("gridexport");
    QVERIFY(createExportSample(*m_db, m_dir->filePath("sample.db")));
    m_model = new RecordModel;
    m_model->setRecords(exportSampleRecords(*m_db));
    m_model->setColumns(exportSampleColumns());
    m_model->setDateRule("F_endDate", RecordModel::BlankBefore1901 | RecordModel::BlankAfter2999);
}

void TstGridExport::cleanup()
{
    delete m_model;
    delete m_db;
    delete m_dir;
}

QString TstGridExport::write(const GridColumns& columns, const QString& title)
{
    const QString path = m_dir->filePath("out.xlsx");
    QString error;
    if (!WriteGridToXlsx(path, title, *m_model, columns, &error))
        qWarning() << error;
    return path;
}

XlsxReadBack TstGridExport::readBack(const QString& path)
{
    XlsxReadBack book;
    QString error;
    if (!book.read(path, &error))
        qWarning() << "orcus:" << error;
    return book;
}

void TstGridExport::sheetNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sheet");
    const QString long40 = QString(40, QChar(0x5408)); // 合 x 40
    QTest::newRow("plain Chinese") << "合同管理资料"
                                   << "合同管理资料";
    QTest::newRow("empty") << ""
                           << "Sheet1";
    QTest::newRow("blank") << "   "
                           << "Sheet1";
    QTest::newRow("forbidden characters") << "a/b\\c:d*e?f[g]h"
                                          << "a_b_c_d_e_f_g_h";
    QTest::newRow("apostrophes at the ends") << "'收付款项'"
                                             << "收付款项";
    QTest::newRow("only apostrophes") << "'''"
                                      << "Sheet1";
    QTest::newRow("apostrophe inside") << "it's 合同"
                                       << "it's 合同";
    QTest::newRow("31 characters kept") << QString(31, 'x') << QString(31, 'x');
    QTest::newRow("cut to 31") << long40 << long40.left(31);
    QTest::newRow("cut leaves an apostrophe at the end")
        << QString(30, 'x') + "'yyy" << QString(30, 'x');
    QTest::newRow("cut does not split a surrogate pair")
        << QString(30, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80") << QString(30, 'a');
    QTest::newRow("line break") << "第一行\n第二行"
                                << "第一行_第二行";
    QTest::newRow("reserved History") << "History"
                                      << "History_";
    QTest::newRow("reserved history, any case") << "hISTORY"
                                                << "hISTORY_";
    QTest::newRow("History with more") << "History 2024"
                                       << "History 2024";
}

void TstGridExport::sheetNames()
{
    QFETCH(QString, title);
    QFETCH(QString, sheet);
    const QString name = SheetNameForTitle(title);
    QCOMPARE(name, sheet);
    QVERIFY(name.size() <= 31);
}

void TstGridExport::numberFormats_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("excel");
    QTest::newRow("none") << ""
                          << "@";
    QTest::newRow("blank") << "  "
                           << "@";
    QTest::newRow(",0.00") << ",0.00"
                           << "#,##0.00";
    QTest::newRow(",0.00##") << ",0.00##"
                             << "#,##0.00##";
    QTest::newRow(",0.0000") << ",0.0000"
                             << "#,##0.0000";
    QTest::newRow("0.##") << "0.##"
                          << "0.##";
    QTest::newRow("0.00") << "0.00"
                          << "0.00";
    QTest::newRow("0") << "0"
                       << "0";
    QTest::newRow("no decimals, style 1") << "0."
                                          << "0";
    QTest::newRow("no decimals, style 2") << ",0."
                                          << "#,##0";
    QTest::newRow("already Excel's") << "#,##0.00"
                                     << "#,##0.00";
    QTest::newRow("comma after the digits") << "0.00,"
                                            << "#,##0.00";
    QTest::newRow("two zeros before the point") << ",00.0"
                                                << "#,#00.0";
    QTest::newRow("sections") << ",0.00;-,0.00;0"
                              << "#,##0.00;-#,##0.00;0";
    QTest::newRow("single-quoted text") << "0.00'元'"
                                        << "0.00\"元\"";
    QTest::newRow("comma inside quotes") << "\"a,b\"0.0"
                                         << "\"a,b\"0.0";
    QTest::newRow("text before the digits") << "'¥',0.00"
                                            << "\"¥\"#,##0.00";
}

void TstGridExport::numberFormats()
{
    QFETCH(QString, display);
    QFETCH(QString, excel);
    QCOMPARE(ExcelNumberFormat(display), excel);
}

void TstGridExport::modelColumnsFollowTheGridOrder()
{
    GridColumns columns = exportSampleColumns();
    columns.move(2, 0);
    columns << textColumn("F_nothing", "无此字段");
    const QList<int> mapped = ModelColumnsOf(*m_model, columns);
    // The repeated field maps to its second model column, not the first.
    QCOMPARE(mapped, (QList<int>{2, 0, 1, 3, 4, 5, 6, 7, 8, 9, 10, -1}));
}

void TstGridExport::cellsFormatsAndSheetName()
{
    const XlsxReadBack book = readBack(write(exportSampleColumns()));
    QCOMPARE(book.sheetNames(), QStringList{"合同管理资料"});
    QCOMPARE(book.rowCount(), 4);
    QCOMPARE(book.columnCount(), 11);

    // Row 1: the titles of the visible columns at their grid positions.
    const QStringList titles{"合同编号", "",       "合同名称", "签订日期", "截止日期", "合同金额",
                             "数量",     "已审批", "备注",     "数值文本", "金额原值"};
    for (int c = 0; c < titles.size(); ++c) {
        QCOMPARE(book.has(0, c), !titles.at(c).isEmpty());
        if (!titles.at(c).isEmpty())
            QCOMPARE(book.cell(0, c).text, titles.at(c));
    }

    // First contract: text in the text format, numbers in their formats.
    XlsxCell c = book.cell(1, 0);
    QCOMPARE(c.type, XlsxCell::String);
    QCOMPARE(c.text, QStringLiteral("HT-001"));
    QCOMPARE(c.numFormat, QStringLiteral("@"));
    // A short list keeps its text in the shared table, which orcus reads.
    QVERIFY(!c.inlineText);
    QCOMPARE(book.cell(1, 2).text, QStringLiteral("办公楼土建工程合同"));
    QCOMPARE(book.cell(1, 3).text, QStringLiteral("2024-03-05"));
    QCOMPARE(book.cell(1, 3).numFormat, QStringLiteral("@"));
    // The open-end date follows the column's display: blank here.
    QVERIFY(!book.has(1, 4));
    c = book.cell(1, 5);
    QCOMPARE(c.type, XlsxCell::Number);
    QCOMPARE(c.number, 1234567.875);
    QCOMPARE(c.numFormat, QStringLiteral("#,##0.00##"));
    c = book.cell(1, 6);
    QCOMPARE(c.type, XlsxCell::Number);
    QCOMPARE(c.number, 12.0);
    QCOMPARE(c.numFormat, QStringLiteral("0.##"));
    QCOMPARE(book.cell(1, 7).text, QStringLiteral("是"));
    QCOMPARE(book.cell(1, 7).numFormat, QStringLiteral("@"));
    QCOMPARE(book.cell(1, 8).text, QStringLiteral("普通备注"));
    // Text that reads as a number goes in as a number under a format.
    c = book.cell(1, 9);
    QCOMPARE(c.type, XlsxCell::Number);
    QCOMPARE(c.number, 12.5);
    QCOMPARE(c.numFormat, QStringLiteral("0.00"));
    // The same field without a format: its text as the grid shows it.
    c = book.cell(1, 10);
    QCOMPARE(c.type, XlsxCell::String);
    QCOMPARE(c.text, QStringLiteral("1234567.875"));
    QCOMPARE(c.text, m_model->displayText(0, 10));
    QCOMPARE(c.numFormat, QStringLiteral("@"));

    // Second contract: no-date values empty, a negative amount, "否".
    QCOMPARE(book.cell(2, 2).text, QStringLiteral("乙方“供货”合同"));
    QVERIFY(!book.has(2, 3));
    QCOMPARE(book.cell(2, 4).text, QStringLiteral("2025-01-31"));
    QCOMPARE(book.cell(2, 5).number, -0.5);
    QCOMPARE(book.cell(2, 6).number, 0.0);
    QCOMPARE(book.cell(2, 7).text, QStringLiteral("否"));
    // A plain text column holding the no-date value (with blanks) is emptied too.
    QVERIFY(!book.has(2, 8));
    c = book.cell(2, 9);
    QCOMPARE(c.type, XlsxCell::String);
    QCOMPARE(c.text, QStringLiteral("abc"));
    QCOMPARE(c.numFormat, QStringLiteral("0.00"));

    // Third contract: nulls leave every cell but the code empty.
    QCOMPARE(book.cell(3, 0).text, QStringLiteral("HT-003"));
    for (int col = 1; col < 11; ++col)
        QVERIFY2(!book.has(3, col), qPrintable(QString::number(col)));
}

void TstGridExport::hiddenSecondColumnLeavesColumnBEmpty()
{
    const XlsxReadBack book = readBack(write(exportSampleColumns()));
    QCOMPARE(book.rowCount(), 4);
    QCOMPARE(book.cellsInColumn(1), 0);
    QVERIFY(book.cellsInColumn(0) == 4 && book.cellsInColumn(2) == 3);

    // Shown again, the same column is written.
    GridColumns columns = exportSampleColumns();
    columns[1].visible = true;
    const XlsxReadBack shown = readBack(write(columns));
    QCOMPARE(shown.cellsInColumn(1), 4);
    QCOMPARE(shown.cell(0, 1).text, QStringLiteral("隐藏列"));
    QCOMPARE(shown.cell(2, 1).text, QStringLiteral("x2"));
}

void TstGridExport::gridOrderAndSortedRows()
{
    // The operator moved "签订日期" to the front and sorted by code, descending.
    GridColumns columns = exportSampleColumns();
    columns.move(3, 0);
    QVERIFY(m_model->sortByText("F_code DESC"));
    const XlsxReadBack book = readBack(write(columns));
    QCOMPARE(book.cell(0, 0).text, QStringLiteral("签订日期"));
    QCOMPARE(book.cell(0, 1).text, QStringLiteral("合同编号"));
    QCOMPARE(book.cellsInColumn(2), 0); // the hidden column, now second-but-one
    QCOMPARE(book.cell(1, 1).text, QStringLiteral("HT-003"));
    QCOMPARE(book.cell(2, 1).text, QStringLiteral("HT-002"));
    QCOMPARE(book.cell(3, 1).text, QStringLiteral("HT-001"));
    QCOMPARE(book.cell(3, 0).text, QStringLiteral("2024-03-05"));
    QVERIFY(!book.has(2, 0));
}

void TstGridExport::emptyListWritesTheTitlesOnly()
{
    m_model->setRecords(RecordSet{});
    const XlsxReadBack book = readBack(write(exportSampleColumns()));
    QCOMPARE(book.rowCount(), 1);
    QCOMPARE(book.cell(0, 0).text, QStringLiteral("合同编号"));
    QCOMPARE(book.cell(0, 10).text, QStringLiteral("金额原值"));
}

void TstGridExport::sheetNameFromAnAwkwardTitle()
{
    const XlsxReadBack book = readBack(write(exportSampleColumns(), "收付/款项[2024]?"));
    QCOMPARE(book.sheetNames(), QStringList{"收付_款项_2024__"});
    QCOMPARE(book.cell(1, 0).text, QStringLiteral("HT-001"));
}

void TstGridExport::unwritablePathFails()
{
    const QString path = m_dir->filePath("missing/folder/out.xlsx");
    QString error;
    QVERIFY(!WriteGridToXlsx(path, "合同", *m_model, exportSampleColumns(), &error));
    QVERIFY2(error.contains("out.xlsx"), qPrintable(error));
    QVERIFY(!QFile::exists(path));
}

void TstGridExport::replacesAnExistingFileWhole()
{
    const QString path = m_dir->filePath("out.xlsx");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(200000, 'x'));
    }
    const XlsxReadBack book = readBack(write(exportSampleColumns()));
    QCOMPARE(book.cell(1, 0).text, QStringLiteral("HT-001"));
    // The workbook was built under a name of its own and renamed into place:
    // nothing else is left in the folder.
    const QStringList files = QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    QVERIFY(files.contains("out.xlsx"));
    QVERIFY2(files.filter("out.xlsx").size() == 1, qPrintable(files.join(' ')));
}

void TstGridExport::hundredThousandRows()
{
    QVERIFY(m_db->exec("DELETE FROM t_sample"));
    QVERIFY(addManyRows(*m_db, 100000));
    m_model->setRecords(exportSampleRecords(*m_db));
    QCOMPARE(m_model->rowCount(), 100000);

    QElapsedTimer timer;
    timer.start();
    const QString path = write(exportSampleColumns());
    const qint64 ms = timer.elapsed();
    qInfo("100,000 rows written in %lld ms", ms);
    QVERIFY2(ms < 20000, qPrintable(QString::number(ms)));

    const XlsxReadBack book = readBack(path);
    QCOMPARE(book.rowCount(), 100001);
    QCOMPARE(book.cell(100000, 0).text, QStringLiteral("L100000"));
    // A long list is streamed: its text is stored in the cells.
    QVERIFY(book.cell(100000, 0).inlineText);
    QCOMPARE(book.cell(0, 2).text, QStringLiteral("合同名称"));
    QCOMPARE(book.cell(77, 2).text, QStringLiteral("批量合同77"));
    QCOMPARE(book.cell(77, 0).numFormat, QStringLiteral("@"));
    QCOMPARE(book.cell(100000, 5).number, 125000.0);
    QCOMPARE(book.cell(100000, 5).numFormat, QStringLiteral("#,##0.00##"));
    QCOMPARE(book.cell(50000, 7).text, QStringLiteral("否"));
    QCOMPARE(book.cellsInColumn(1), 0);
    // The open-end dates are blank in this column's display.
    QCOMPARE(book.cellsInColumn(4), 1);
}

QTEST_GUILESS_MAIN(TstGridExport)
#include "tst_gridexport.moc"
