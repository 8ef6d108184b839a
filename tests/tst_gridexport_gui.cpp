#include "common/DataGrid.h"
#include "common/GridExport.h"
#include "common/GridPrint.h"
#include "data/Database.h"
#include "platform/Clock.h"
#include "platform/DesktopOpener.h"
#include "platform/QtUserDialogs.h"
#include "platform/ScriptedDialogs.h"
#include "support/ExportSamples.h"
#include "support/TestSupport.h"
#include "support/XlsxReadBack.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

// A page that keeps the text drawn on it, with where it was drawn.
class TextEngine : public QPaintEngine
{
public:
    struct Item
    {
        QPointF at;
        QString text;
    };
    TextEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        items.append({p, item.text()});
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawLines(const QLineF*, int) override {}
    void drawRects(const QRectF*, int) override {}
    Type type() const override { return QPaintEngine::User; }

    QList<Item> items;
};

class TextPage : public QPaintDevice
{
public:
    // A4 less 12 mm margins at 300 dpi.
    TextPage() = default;
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QList<TextEngine::Item>& items() const { return m_engine.items; }
    // Everything drawn, in drawing order; pieces of one line join up.
    QString text() const
    {
        QString all;
        for (const auto& i : m_engine.items)
            all += i.text;
        return all;
    }
    // Where a text starts; -1 when it was not drawn as one piece.
    double yOf(const QString& piece) const
    {
        for (const auto& i : m_engine.items) {
            if (i.text.contains(piece))
                return i.at.y();
        }
        return -1;
    }
    static constexpr int kDpi = 300;
    static constexpr int kWidth = 2197;
    static constexpr int kHeight = 3224;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return kWidth;
        case PdmHeight:
            return kHeight;
        case PdmWidthMM:
            return kWidth * 254 / (kDpi * 10);
        case PdmHeightMM:
            return kHeight * 254 / (kDpi * 10);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return kDpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable TextEngine m_engine;
};

// Pictures of the first two pages in the folder named by CONTRACT_SCREENSHOTS,
// when it is set, to look at the print.
void savePagePictures(const RecordModel& model, const GridColumns& columns,
                      const GridPrintOptions& options, const QString& name)
{
    const QString folder = qEnvironmentVariable("CONTRACT_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QImage probe(1240, 1754, QImage::Format_RGB32); // A4 at 150 dpi
    probe.setDotsPerMeterX(5906);
    probe.setDotsPerMeterY(5906);
    const GridPrintLayout layout(model, columns, options, &probe);
    for (int p = 0; p < qMin(2, layout.pageCount()); ++p) {
        QImage page = probe;
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            layout.paintPage(painter, p);
        }
        page.save(QDir(folder).filePath(QString("%1_p%2.png").arg(name).arg(p + 1)));
    }
}

int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    if (!pdf.startsWith("%PDF-"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

// The grid's export to a workbook and its print.
class TstGridExportGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exportWritesTheChosenFileAndOpensIt();
    void exportTellsThePathWhenNoProgramOpensIt();
    void exportWithoutShowOpensNothing();
    void exportCancelledDoesNothing();
    void nameWithoutSuffixAsksAboutTheRealFile_data();
    void nameWithoutSuffixAsksAboutTheRealFile();
    void saveDialogAddsTheSuffixItself_data();
    void saveDialogAddsTheSuffixItself();
    void exportFailureIsAnError();
    void footerText_data();
    void footerText();
    void pageTexts_data();
    void pageTexts();
    void blankHeaderLeavesTheHeaderEmpty();
    void titlesOnEveryPageAndTheSumOnTheLast();
    void rowsGrowOnlyInMode0();
    void printsToPdfInBothModes_data();
    void printsToPdfInBothModes();
    void printGridPassesItsChoices();
    void printGridShowsThePreview();

private:
    QTemporaryDir* m_dir = nullptr;
    Database* m_db = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    DataGrid* m_grid = nullptr;
    QList<QUrl> m_opened;
    bool m_openAnswer = true;
    void addLongNotes(int rows);
};

void TstGridExportGui::init()
{
    m_dir = new QTemporaryDir;
    m_db = new Database("gridexport-gui");
    QVERIFY(createExportSample(*m_db, m_dir->filePath("sample.db")));
    m_ui = new ScriptedDialogs;
    m_grid = new DataGrid;
    m_grid->resize(900, 400);
    m_grid->model()->setRecords(exportSampleRecords(*m_db));
    m_grid->setColumns(exportSampleColumns());
    m_grid->model()->setDateRule("F_endDate",
                                 RecordModel::BlankBefore1901 | RecordModel::BlankAfter2999);
    m_opened.clear();
    m_openAnswer = true;
    setDesktopOpener([this](const QUrl& url) {
        m_opened << url;
        return m_openAnswer;
    });
    Clock::setNow(QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
}

void TstGridExportGui::cleanup()
{
    setDesktopOpener({});
    setPrintPreviewRunner({});
    Clock::reset();
    delete m_grid;
    delete m_ui;
    delete m_db;
    delete m_dir;
}

void TstGridExportGui::addLongNotes(int rows)
{
    QVERIFY(addManyRows(*m_db, rows));
    QVERIFY(m_db->exec(
        "UPDATE t_sample SET F_note = :n WHERE F_code LIKE 'L%'",
        {{":n", QString("这是一段很长的备注，用来检查打印时行高是否随文字增加。").repeated(6)}}));
    m_grid->model()->setRecords(exportSampleRecords(*m_db));
}

// ---- Export

void TstGridExportGui::exportWritesTheChosenFileAndOpensIt()
{
    // The operator moved "合同名称" to the front.
    QHeaderView* h = m_grid->view()->horizontalHeader();
    h->moveSection(h->visualIndex(2), 0);
    const QString chosen = m_dir->filePath("合同清单"); // typed without the suffix
    m_ui->queueFile(chosen);
    QVERIFY(ExportGridToExcel(m_grid, "合同管理资料", true));

    QCOMPARE(m_ui->dialogs().size(), 1);
    const ScriptedDialogs::Dialog d = m_ui->dialogs().first();
    QCOMPARE(d.type, QStringLiteral("save"));
    QCOMPARE(d.title, QStringLiteral("导出到 Excel"));
    QCOMPARE(d.filter, QStringLiteral("Excel 工作簿 (*.xlsx)"));
    QCOMPARE(QFileInfo(d.dir).fileName(), QStringLiteral("合同管理资料.xlsx"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        QCOMPARE(QFileInfo(d.dir).absolutePath(), QDir(documents).absolutePath());

    const QString written = chosen + ".xlsx";
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(written)});
    QVERIFY(m_ui->messages().isEmpty());

    XlsxReadBack book;
    QString error;
    QVERIFY2(book.read(written, &error), qPrintable(error));
    QCOMPARE(book.sheetNames(), QStringList{"合同管理资料"});
    QCOMPARE(book.cell(0, 0).text, QStringLiteral("合同名称"));
    QCOMPARE(book.cell(0, 1).text, QStringLiteral("合同编号"));
    QCOMPARE(book.cellsInColumn(2), 0); // the hidden column moved to third place
    QCOMPARE(book.cell(1, 0).text, QStringLiteral("办公楼土建工程合同"));
    QCOMPARE(book.cell(1, 5).number, 1234567.875);
    QCOMPARE(book.cell(1, 5).numFormat, QStringLiteral("#,##0.00##"));
}

void TstGridExportGui::exportTellsThePathWhenNoProgramOpensIt()
{
    m_openAnswer = false;
    const QString chosen = m_dir->filePath("out.xlsx");
    m_ui->queueFile(chosen);
    QVERIFY(ExportGridToExcel(m_grid, "收付款项", true));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QCOMPARE(m_ui->lastText(), QStringLiteral("已导出到 ") + QDir::toNativeSeparators(chosen));
    QVERIFY(QFile::exists(chosen));
}

void TstGridExportGui::nameWithoutSuffixAsksAboutTheRealFile_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replace") << 1 << true;
    QTest::newRow("keep") << 2 << false;
}

// The dialog was asked about "清单"; what would be replaced is "清单.xlsx".
void TstGridExportGui::nameWithoutSuffixAsksAboutTheRealFile()
{
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    const QString existing = m_dir->filePath("清单.xlsx");
    writeFile(existing, "an earlier workbook");
    m_ui->queueFile(m_dir->filePath("清单"));
    m_ui->queueAnswer(answer);
    QCOMPARE(ExportGridToExcel(m_grid, "合同管理资料", true), replaced);
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->messages().first().kind, int(mkQuestion));
    QCOMPARE(
        m_ui->messages().first().text,
        QStringLiteral("文件“%1”已经存在，要替换它吗？").arg(QDir::toNativeSeparators(existing)));
    QFile f(existing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll() == "an earlier workbook", !replaced);
    QCOMPARE(m_opened.size(), replaced ? 1 : 0);
    // A new name is not asked about.
    m_ui->clear();
    m_ui->queueFile(m_dir->filePath("新清单"));
    QVERIFY(ExportGridToExcel(m_grid, "合同管理资料", false));
    QVERIFY(m_ui->messages().isEmpty());
    QVERIFY(QFile::exists(m_dir->filePath("新清单.xlsx")));
}

void TstGridExportGui::saveDialogAddsTheSuffixItself_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("workbook") << "Excel 工作簿 (*.xlsx)"
                              << "xlsx";
    QTest::newRow("pdf") << "PDF 文件 (*.pdf)"
                         << "pdf";
    QTest::newRow("two filters") << "合同数据库 (*.db);;所有文件 (*)"
                                 << "";
    QTest::newRow("any file") << "所有文件 (*)"
                              << "";
}

// The desktop's save dialog itself adds the suffix to a typed name, before
// it asks about replacing a file; built here without being shown.
void TstGridExportGui::saveDialogAddsTheSuffixItself()
{
    QFETCH(QString, filter);
    QFETCH(QString, suffix);
    const std::unique_ptr<QFileDialog> dialog =
        QtUserDialogs::makeSaveDialog("导出到 Excel", m_dir->filePath("合同管理资料.xlsx"), filter);
    QCOMPARE(dialog->defaultSuffix(), suffix);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("导出到 Excel"));
    QVERIFY(!dialog->isVisible());
}

void TstGridExportGui::exportWithoutShowOpensNothing()
{
    const QString chosen = m_dir->filePath("quiet.XLSX");
    m_ui->queueFile(chosen);
    QVERIFY(ExportGridToExcel(m_grid, "收付款项", false));
    QVERIFY(QFile::exists(chosen)); // the suffix in another case is kept
    QVERIFY(m_opened.isEmpty());
    QVERIFY(m_ui->messages().isEmpty());
}

void TstGridExportGui::exportCancelledDoesNothing()
{
    m_ui->queueFile(QString());
    QVERIFY(!ExportGridToExcel(m_grid, "合同管理资料", true));
    QCOMPARE(m_ui->dialogs().size(), 1);
    QVERIFY(m_ui->messages().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList({"*.xlsx"}), QStringList{});
}

void TstGridExportGui::exportFailureIsAnError()
{
    m_ui->queueFile(m_dir->filePath("no/such/folder/out.xlsx"));
    QVERIFY(!ExportGridToExcel(m_grid, "合同管理资料", true));
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY2(m_ui->lastText().startsWith("导出到 Excel 失败"), qPrintable(m_ui->lastText()));
    QVERIFY(m_ui->lastText().contains("out.xlsx"));
    QVERIFY(m_opened.isEmpty());
}

// ---- Print

void TstGridExportGui::footerText_data()
{
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("printed");
    QTest::newRow("date") << "date"
                          << "打印日期：2024年03月05日";
    QTest::newRow("date with blanks") << " date "
                                      << "打印日期：2024年03月05日";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blank") << "   "
                           << "";
    QTest::newRow("other text") << "制表人：张三"
                                << "制表人：张三";
}

void TstGridExportGui::footerText()
{
    QFETCH(QString, footer);
    QFETCH(QString, printed);
    QCOMPARE(GridPrintFooterText(footer), printed);
}

void TstGridExportGui::pageTexts_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("mode 0") << 0;
    QTest::newRow("mode 1") << 1;
}

void TstGridExportGui::pageTexts()
{
    QFETCH(int, mode);
    GridPrintOptions o;
    o.title = "合同档案统计";
    o.mode = mode;
    o.header = "统计日期：自 2024年01月01日 至 记帐最后一天";
    o.footer = GridPrintFooterText("date");
    TextPage page;
    const GridPrintLayout layout(*m_grid->model(), m_grid->columns(), o, &page);
    QCOMPARE(layout.pageCount(), 1);
    {
        QPainter p(&page);
        layout.paintPage(p, 0);
    }
    const QString text = page.text();
    for (const QString& expected :
         {o.title, o.header, QString("打印日期：2024年03月05日"), QString("第 1 页 共 1 页"),
          QString("合同编号"), QString("合同名称"), QString("合同金额"), QString("HT-001"),
          QString("乙方“供货”合同"), QString("1,234,567.875"), QString("2025-01-31")})
        QVERIFY2(text.contains(expected), qPrintable(expected + " in " + text));
    QVERIFY(!text.contains("隐藏列"));
    QVERIFY(!text.contains("x1"));
    // The date column leaves the no-date value blank; the note column shows
    // its text as the grid does.
    QCOMPARE(text.count("1900-08-14"), 1);
    QVERIFY(!text.contains("3000-08-14"));

    // Header above the title, the title above the column titles, the
    // footer below everything.
    const double header = page.yOf("统计日期");
    const double title = page.yOf(o.title);
    const double footer = page.yOf("打印日期");
    QVERIFY(header >= 0 && title > header);
    QVERIFY(footer > page.yOf("HT-003"));
    QVERIFY(footer > TextPage::kHeight * 0.9);
}

void TstGridExportGui::blankHeaderLeavesTheHeaderEmpty()
{
    GridPrintOptions o;
    o.title = "代码设置";
    o.mode = 1;
    o.header = QString();
    o.footer = GridPrintFooterText("");
    TextPage page;
    const GridPrintLayout layout(*m_grid->model(), m_grid->columns(), o, &page);
    {
        QPainter p(&page);
        layout.paintPage(p, 0);
    }
    const double title = page.yOf(o.title);
    QVERIFY(title > 0);
    for (const auto& item : page.items())
        QVERIFY2(item.at.y() >= title, qPrintable(item.text));
    // Only the page number remains at the foot of the page.
    QStringList foot;
    for (const auto& item : page.items()) {
        if (item.at.y() > TextPage::kHeight * 0.9)
            foot << item.text;
    }
    QCOMPARE(foot.join(QString()), QStringLiteral("第 1 页 共 1 页"));
}

void TstGridExportGui::titlesOnEveryPageAndTheSumOnTheLast()
{
    QVERIFY(addManyRows(*m_db, 300));
    m_grid->model()->setRecords(exportSampleRecords(*m_db));
    GridPrintOptions o;
    o.title = "合同管理资料";
    o.mode = 1;
    o.footer = "date";
    TextPage probe;
    const GridPrintLayout layout(*m_grid->model(), m_grid->columns(), o, &probe);
    QVERIFY(layout.pageCount() >= 3);
    int printed = 0;
    for (int p = 0; p < layout.pageCount(); ++p) {
        QCOMPARE(layout.firstRow(p), printed);
        printed = layout.endRow(p);
        TextPage page;
        {
            QPainter painter(&page);
            layout.paintPage(painter, p);
        }
        const QString text = page.text();
        QVERIFY(text.contains("合同编号"));
        QCOMPARE(text.contains(o.title), p == 0);
        QVERIFY(text.contains(QString("第 %1 页 共 %2 页").arg(p + 1).arg(layout.pageCount())));
        // The footer text is printed as given: "date" only stands for the
        // date where PrintGrid expands it.
        QVERIFY(text.contains("date"));
        const QString sum = m_grid->model()->footerText(5);
        QVERIFY(!sum.isEmpty());
        QCOMPARE(text.contains(sum), p == layout.pageCount() - 1);
    }
    QCOMPARE(printed, m_grid->model()->rowCount());
}

void TstGridExportGui::rowsGrowOnlyInMode0()
{
    addLongNotes(120);
    GridPrintOptions o;
    o.title = "合同管理资料";
    TextPage probe;
    o.mode = 0;
    const GridPrintLayout grown(*m_grid->model(), m_grid->columns(), o, &probe);
    o.mode = 1;
    const GridPrintLayout single(*m_grid->model(), m_grid->columns(), o, &probe);
    QVERIFY2(grown.pageCount() > single.pageCount(),
             qPrintable(QString("%1 vs %2").arg(grown.pageCount()).arg(single.pageCount())));

    // Mode 1 cuts the long note short; mode 0 shows all of it on several lines.
    const QString note = m_grid->model()->text(5, "F_note");
    for (const GridPrintLayout* layout : {&grown, &single}) {
        TextPage page;
        {
            QPainter p(&page);
            layout->paintPage(p, 0);
        }
        const QString text = page.text();
        QVERIFY(layout->endRow(0) > 5);
        if (layout == &grown) {
            QVERIFY(text.contains(note));
        } else {
            QVERIFY(!text.contains(note));
            QVERIFY(text.contains(note.left(6)));
            QVERIFY(text.contains(QChar(0x2026))); // …
        }
    }
}

void TstGridExportGui::printsToPdfInBothModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("mode 0") << 0;
    QTest::newRow("mode 1") << 1;
}

void TstGridExportGui::printsToPdfInBothModes()
{
    QFETCH(int, mode);
    addLongNotes(80);
    const QString path = m_dir->filePath(QString("grid%1.pdf").arg(mode));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    GridPrintOptions o;
    o.title = "合同管理资料";
    o.mode = mode;
    o.header = "统计日期：自 启用系统 至 记帐最后一天";
    o.footer = GridPrintFooterText("date");
    const int pages = renderGridToPrinter(m_grid, &printer, o);
    QVERIFY(pages >= 2);
    savePagePictures(*m_grid->model(), m_grid->columns(), o, QString("gridprint_mode%1").arg(mode));
    QVERIFY(QFileInfo(path).size() > 2000);
    QCOMPARE(pdfPages(path), pages);
}

void TstGridExportGui::printGridPassesItsChoices()
{
    addLongNotes(80);
    QList<int> pages;
    QList<QPrinter::ColorMode> colours;
    QStringList names;
    int run = 0;
    setPrintPreviewRunner([&](QPrinter* printer, const std::function<void(QPrinter*)>& paint) {
        colours << printer->colorMode();
        names << printer->docName();
        const QString path = m_dir->filePath(QString("preview%1.pdf").arg(run++));
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        paint(printer);
        pages << pdfPages(path);
    });
    PrintGrid(m_grid, "日常统计", 0, "date", "统计日期：自 启用系统 至 记帐最后一天");
    PrintGrid(m_grid, "代码设置", 1, "date", "");
    // Any other mode keeps the last choice (1).
    PrintGrid(m_grid, "代码设置", 7, "", "");
    QCOMPARE(pages.size(), 3);
    QVERIFY2(pages.at(0) > pages.at(1), qPrintable(QString("%1 %2").arg(pages[0]).arg(pages[1])));
    QCOMPARE(pages.at(2), pages.at(1));
    QCOMPARE(colours,
             (QList<QPrinter::ColorMode>{QPrinter::Color, QPrinter::Color, QPrinter::Color}));
    QCOMPARE(names, (QStringList{"日常统计", "代码设置", "代码设置"}));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstGridExportGui::printGridShowsThePreview()
{
    // The real preview dialog, closed as soon as it shows.
    bool seen = false;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            seen = true;
            d->reject();
        }
    });
    closer.start();
    QTimer::singleShot(20000, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    PrintGrid(m_grid, "合同管理资料", 1, "date", "");
    closer.stop();
    QVERIFY(seen);
}

QTEST_MAIN(TstGridExportGui)
#include "tst_gridexport_gui.moc"
