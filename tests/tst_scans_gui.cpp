#include "browser/ScanPage.h"
#include "common/FieldValueDialog.h"
#include "data/TdmData.h"
#include "platform/ScriptedDialogs.h"
#include "records/ScanStore.h"
#include "records/TfrmImageDisp.h"
#include "support/GuiTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

// The scans page of a contract and the image window it opens.
class TstScansGui : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void thumbnails_data();
    void thumbnails();
    void onlyTheContractsPagesInRecordOrder();
    void gifPlaceholder();
    void damagedRowReportedOthersShow_data();
    void damagedRowReportedOthersShow();
    void add_data();
    void add();
    void addCancelled();
    void addUnreadableFile();
    void rename();
    void renameKeepsNameOnBlankOrSame();
    void deleteAsks_data();
    void deleteAsks();
    void emptyAndNothingSelected_data();
    void emptyAndNothingSelected();
    void failuresReported_data();
    void failuresReported();
    void replaceJpegByBitmap();
    void viewWithoutChangeStoresNothing();
    void replaceKeepsTheSelection();
    void doubleClickActivates();
    void imageWindowZoom();
    void imageWindowReplacesFromFile();
    void imageWindowRefusesDamagedFile();
    void screenshot();

private:
    qint64 addRow(int cltID, const QString& name, const QString& ext, const QByteArray& bytes);
    QList<ScannedPage> rows(int cltID = kContract);
    QImage thumbnailAt(ScanPage& page, int index);

    static constexpr int kContract = 7;
    TempExeDir* m_exe = nullptr;
    ScriptedDialogs* m_ui = nullptr;
    TdmData* m_dm = nullptr;
};

namespace {

QImage solid(const QColor& color, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray formatOfBytes(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).format();
}

bool near(QRgb a, const QColor& b, int tolerance = 12)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

// Runs `step` on the modal dialog once it is open; gives up after a while
// so that a dialog that never comes cannot disturb the next test.
int g_testRun = 0; // a step left over from a finished test never runs

void onModalInThisTest(std::function<void(QWidget*)> step, int tries = 300)
{
    const int run = g_testRun;
    QTimer::singleShot(10, [step, tries, run] {
        if (run != g_testRun)
            return;
        if (QWidget* w = QApplication::activeModalWidget())
            step(w);
        else if (tries > 0)
            onModalInThisTest(step, tries - 1);
    });
}

// Answers the picture-name dialog with `text` (nothing: cancel) and keeps
// the text it proposed.
void answerName(std::optional<QString> text, QString* proposed = nullptr, QString* title = nullptr)
{
    onModalInThisTest([=](QWidget* w) {
        auto* dlg = qobject_cast<FieldValueDialog*>(w);
        if (!dlg) {
            w->close();
            return;
        }
        if (proposed)
            *proposed = dlg->valueEdit()->text();
        if (title)
            *title = dlg->windowTitle();
        if (!text) {
            dlg->reject();
            return;
        }
        dlg->valueEdit()->setText(*text);
        dlg->tryAccept();
    });
}

} // namespace

void TstScansGui::init()
{
    QVERIFY(openDataFixture(m_exe, m_ui, m_dm));
    TfrmImageDisp::setHook({});
}

void TstScansGui::cleanup()
{
    ++g_testRun;
    TfrmImageDisp::setHook({});
    closeDataFixture(m_exe, m_ui, m_dm);
}

qint64 TstScansGui::addRow(int cltID, const QString& name, const QString& ext,
                           const QByteArray& bytes)
{
    return ScanStore(m_dm->db()).insert(cltID, name, ext, bytes);
}

QList<ScannedPage> TstScansGui::rows(int cltID)
{
    QList<ScannedPage> out;
    ScanStore(m_dm->db()).pages(cltID, &out);
    return out;
}

QImage TstScansGui::thumbnailAt(ScanPage& page, int index)
{
    auto* view = page.findChild<QListWidget*>("lvScans");
    const QIcon icon = view->item(index)->icon();
    if (icon.isNull())
        return {};
    return icon.pixmap(QSize(80, 80)).toImage();
}

void TstScansGui::thumbnails_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    // Where the fitted picture must reach and where it must not.
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");

    // 40 x 20 becomes 64 x 32 at (8, 24); 20 x 40 becomes 32 x 64 at (24, 8).
    QTest::newRow("jpg wide") << ".jpg" << QByteArray("JPEG") << QSize(40, 20) << QPoint(10, 40)
                              << QPoint(40, 14);
    QTest::newRow("JPEG tall") << ".JPEG" << QByteArray("JPEG") << QSize(20, 40) << QPoint(40, 10)
                               << QPoint(14, 40);
    QTest::newRow("bmp tall") << ".bmp" << QByteArray("BMP") << QSize(20, 40) << QPoint(40, 10)
                              << QPoint(14, 40);
    // A small picture is enlarged to the box.
    QTest::newRow("bmp small wide")
        << ".Bmp" << QByteArray("BMP") << QSize(4, 2) << QPoint(10, 40) << QPoint(40, 14);
}

void TstScansGui::thumbnails()
{
    QFETCH(QString, ext);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);

    const QColor red(220, 30, 30);
    addRow(kContract, "第一页", ext, encoded(solid(red, size.width(), size.height()), format));
    ScanPage page;
    page.setContract(kContract);
    QCOMPARE(page.count(), 1);
    QVERIFY(m_ui->messages().isEmpty());
    auto* view = page.findChild<QListWidget*>("lvScans");
    QVERIFY(view);
    QCOMPARE(view->viewMode(), QListView::IconMode);
    QCOMPARE(view->gridSize(), QSize(90, 120));
    QCOMPARE(view->item(0)->text(), QStringLiteral("第一页"));

    const QImage thumb = thumbnailAt(page, 0);
    QCOMPARE(thumb.size(), QSize(80, 80));
    QVERIFY(near(thumb.pixel(40, 40), red));
    QVERIFY(near(thumb.pixel(inside), red));
    QVERIFY(!near(thumb.pixel(outside), red, 60));
    // Outside the picture the thumbnail shows the button face.
    QVERIFY(near(thumb.pixel(outside), page.palette().color(QPalette::Button), 2));
    QVERIFY(!near(thumb.pixel(4, 4), red, 60));
}

void TstScansGui::onlyTheContractsPagesInRecordOrder()
{
    const QByteArray bmp = encoded(solid(Qt::green, 10, 10), "BMP");
    addRow(kContract, "甲", ".bmp", bmp);
    addRow(kContract + 1, "别的合同", ".bmp", bmp);
    addRow(kContract, "乙", ".bmp", bmp);
    ScanPage page;
    QCOMPARE(page.contract(), -1);
    page.setContract(kContract);
    QCOMPARE(page.contract(), kContract);
    auto* view = page.findChild<QListWidget*>("lvScans");
    QCOMPARE(page.count(), 2);
    QCOMPARE(view->item(0)->text(), QStringLiteral("甲"));
    QCOMPARE(view->item(1)->text(), QStringLiteral("乙"));
    QCOMPARE(page.currentIndex(), -1);
    page.setContract(-1);
    QCOMPARE(page.count(), 0);
    // No busy cursor is left behind.
    QVERIFY(!QApplication::overrideCursor());
}

void TstScansGui::gifPlaceholder()
{
    addRow(kContract, "动画一", ".gif", QByteArray("GIF89a not really"));
    addRow(kContract, "动画二", ".GIF", encoded(solid(Qt::red, 30, 30), "BMP"));
    ScanPage page;
    page.setContract(kContract);
    QCOMPARE(page.count(), 2);
    QVERIFY2(m_ui->messages().isEmpty(), qPrintable(m_ui->texts().join('|')));
    const QImage a = thumbnailAt(page, 0);
    const QImage b = thumbnailAt(page, 1);
    QVERIFY(!a.isNull());
    QCOMPARE(a, b);
    QVERIFY(!near(a.pixel(40, 40), Qt::red, 60));
}

void TstScansGui::damagedRowReportedOthersShow_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("garbage as bitmap") << ".bmp" << QByteArray("not a picture");
    QTest::newRow("garbage as jpeg") << ".jpg" << QByteArray("\xff\xd8 broken");
    QTest::newRow("jpeg stored as bitmap") << ".bmp" << encoded(solid(Qt::blue, 8, 8), "JPEG");
    QTest::newRow("unknown extension") << ".png" << encoded(solid(Qt::blue, 8, 8), "PNG");
    QTest::newRow("empty") << ".jpeg" << QByteArray();
}

void TstScansGui::damagedRowReportedOthersShow()
{
    QFETCH(QString, ext);
    QFETCH(QByteArray, bytes);
    addRow(kContract, "好的一", ".jpg", encoded(solid(Qt::red, 10, 10), "JPEG"));
    addRow(kContract, "坏的", ext, bytes);
    addRow(kContract, "好的二", ".bmp", encoded(solid(Qt::blue, 10, 10), "BMP"));
    ScanPage page;
    page.setContract(kContract);
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("读取文件：坏的%1时发生错误！\n"
                                              "该文件不是标准格式的文件，或者该文件已经被损坏！")
                                   .arg(ext));
    QCOMPARE(page.count(), 3);
    QVERIFY(!thumbnailAt(page, 0).isNull());
    QVERIFY(thumbnailAt(page, 1).isNull());
    QVERIFY(near(thumbnailAt(page, 2).pixel(40, 40), Qt::blue));
    QVERIFY(!QApplication::overrideCursor());
}

void TstScansGui::add_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("fileFormat");
    QTest::addColumn<QString>("storedExt");
    QTest::addColumn<QByteArray>("storedFormat");
    QTest::newRow("jpg") << "合同 封面.v2.jpg" << QByteArray("JPEG") << ".jpg"
                         << QByteArray("jpeg");
    QTest::newRow("JPEG upper") << "合同 封面.v2.JPEG" << QByteArray("JPEG") << ".JPEG"
                                << QByteArray("jpeg");
    QTest::newRow("bmp") << "合同 封面.v2.bmp" << QByteArray("BMP") << ".bmp" << QByteArray("bmp");
    // The extension decides the stored format, not the file's content.
    QTest::newRow("png named bmp")
        << "合同 封面.v2.bmp" << QByteArray("PNG") << ".bmp" << QByteArray("bmp");
}

void TstScansGui::add()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, fileFormat);
    QFETCH(QString, storedExt);
    QFETCH(QByteArray, storedFormat);

    const QString path = m_exe->file(fileName);
    QVERIFY(solid(QColor(20, 160, 40), 30, 20).save(path, fileFormat));
    addRow(kContract, "已有", ".bmp", encoded(solid(Qt::red, 5, 5), "BMP"));
    ScanPage page;
    page.setContract(kContract);

    m_ui->queueFile(path);
    QString proposed, title;
    answerName(QStringLiteral("第二页"), &proposed, &title);
    page.addScan();

    QCOMPARE(m_ui->dialogs().size(), 1);
    QCOMPARE(m_ui->dialogs().first().type, QStringLiteral("open"));
    QVERIFY(m_ui->dialogs().first().filter.contains("*.bmp *.jpg *.jpeg"));
    QCOMPARE(proposed, QStringLiteral("合同 封面"));
    QCOMPARE(title, QStringLiteral("提示 "));
    QVERIFY(m_ui->messages().isEmpty());

    const QList<ScannedPage> stored = rows();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1].cltID, kContract);
    QCOMPARE(stored[1].fileName, QStringLiteral("第二页"));
    QCOMPARE(stored[1].fileExt, storedExt);
    QCOMPARE(formatOfBytes(stored[1].image), storedFormat);
    QCOMPARE(page.count(), 2);
    QCOMPARE(page.findChild<QListWidget*>("lvScans")->item(1)->text(), QStringLiteral("第二页"));
    QVERIFY(near(thumbnailAt(page, 1).pixel(40, 40), QColor(20, 160, 40)));
}

void TstScansGui::addCancelled()
{
    const QString path = m_exe->file("page.bmp");
    QVERIFY(solid(Qt::red, 10, 10).save(path, "BMP"));
    ScanPage page;
    page.setContract(kContract);

    // The file dialog cancelled: no name is asked for.
    m_ui->queueFile(QString());
    page.addScan();
    QCOMPARE(m_ui->dialogs().size(), 1);
    QVERIFY(rows().isEmpty());

    // The name dialog cancelled.
    m_ui->queueFile(path);
    bool asked = false;
    onModalInThisTest([&asked](QWidget* w) {
        asked = qobject_cast<FieldValueDialog*>(w) != nullptr;
        qobject_cast<QDialog*>(w)->reject();
    });
    page.addScan();
    QVERIFY(asked);
    QVERIFY(rows().isEmpty());
    QCOMPARE(page.count(), 0);

    // Without a contract nothing is added.
    ScanPage none;
    none.addScan();
    QCOMPARE(m_ui->dialogs().size(), 2);
}

void TstScansGui::addUnreadableFile()
{
    const QString path = m_exe->file("broken.jpg");
    writeFile(path, "no picture here");
    ScanPage page;
    page.setContract(kContract);
    m_ui->queueFile(path);
    page.addScan();
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QVERIFY(m_ui->lastText().startsWith(QStringLiteral("读取文件：") + path));
    QVERIFY(rows().isEmpty());
}

void TstScansGui::rename()
{
    const QByteArray bmp = encoded(solid(Qt::red, 5, 5), "BMP");
    addRow(kContract, "甲", ".bmp", bmp);
    addRow(kContract, "乙", ".bmp", bmp);
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(1);
    QString proposed;
    answerName(QStringLiteral("  乙'改%  "), &proposed);
    page.renameScan();
    QCOMPARE(proposed, QStringLiteral("乙"));
    QVERIFY(m_ui->messages().isEmpty());
    QCOMPARE(rows()[1].fileName, QStringLiteral("乙'改%"));
    QCOMPARE(rows()[0].fileName, QStringLiteral("甲"));
    QCOMPARE(page.findChild<QListWidget*>("lvScans")->item(1)->text(), QStringLiteral("乙'改%"));
    QCOMPARE(page.currentIndex(), 1);
}

void TstScansGui::renameKeepsNameOnBlankOrSame()
{
    addRow(kContract, "甲", ".bmp", encoded(solid(Qt::red, 5, 5), "BMP"));
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(0);
    answerName(std::nullopt);
    page.renameScan();
    answerName(QStringLiteral("甲 "));
    page.renameScan();
    QCOMPARE(rows()[0].fileName, QStringLiteral("甲"));
    QVERIFY(m_ui->messages().isEmpty());
}

void TstScansGui::deleteAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << 1 << true;
    QTest::newRow("no") << 2 << false;
}

void TstScansGui::deleteAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    const QByteArray bmp = encoded(solid(Qt::red, 5, 5), "BMP");
    addRow(kContract, "甲", ".bmp", bmp);
    addRow(kContract, "乙", ".bmp", bmp);
    addRow(kContract + 1, "别的", ".bmp", bmp);
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(0);
    m_ui->queueAnswer(answer);
    page.deleteScan();
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastKind(), int(mkQuestion));
    QCOMPARE(m_ui->lastText(), QStringLiteral("真的要删除当前图片 “甲”吗？"));
    QCOMPARE(rows().size(), deleted ? 1 : 2);
    QCOMPARE(page.count(), deleted ? 1 : 2);
    QCOMPARE(rows().last().fileName, QStringLiteral("乙"));
    QCOMPARE(rows(kContract + 1).size(), 1);
}

void TstScansGui::emptyAndNothingSelected_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("emptyText");
    QTest::addColumn<QString>("unselectedText");
    QTest::newRow("modify") << 0 << "此表为空，没有合同图片需要修改！"
                            << "没有图片选择，请选择需要修改的合同图片！";
    QTest::newRow("rename") << 1 << "此表为空，没有合同图片名称需要修改！"
                            << "没有图片选择，请选择需要更名的合同图片！";
    QTest::newRow("delete") << 2 << "此表为空，没有图片信息记录需要删除！"
                            << "没有图片选择，请选择需要删除的配件图片！";
}

void TstScansGui::emptyAndNothingSelected()
{
    QFETCH(int, command);
    QFETCH(QString, emptyText);
    QFETCH(QString, unselectedText);
    bool windowOpened = false;
    TfrmImageDisp::setHook([&](const QString& name, const QImage& image) {
        windowOpened = true;
        return TfrmImageDisp::Result{name, image};
    });
    const std::function<void(ScanPage&)> run[] = {
        [](ScanPage& p) { p.viewOrReplace(); },
        [](ScanPage& p) { p.renameScan(); },
        [](ScanPage& p) { p.deleteScan(); },
    };

    ScanPage page;
    page.setContract(kContract);
    run[command](page);
    QCOMPARE(m_ui->messages().size(), 1);
    QCOMPARE(m_ui->lastText(), emptyText);
    QCOMPARE(m_ui->lastKind(), int(mkError));

    addRow(kContract, "甲", ".bmp", encoded(solid(Qt::red, 5, 5), "BMP"));
    page.reload();
    QCOMPARE(page.currentIndex(), -1);
    run[command](page);
    QCOMPARE(m_ui->messages().size(), 2);
    QCOMPARE(m_ui->lastText(), unselectedText);
    QCOMPARE(m_ui->lastKind(), int(mkInfo));
    QVERIFY(!windowOpened);
    QCOMPARE(rows().size(), 1);
    QCOMPARE(rows()[0].fileName, QStringLiteral("甲"));
}

// Every page command that writes tells the operator when the write failed,
// and the page keeps what is stored.
void TstScansGui::failuresReported_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("statement");
    QTest::newRow("add") << 0 << "INSERT INTO t_TPrec";
    QTest::newRow("replace") << 1 << "UPDATE t_TPrec";
    QTest::newRow("rename") << 2 << "UPDATE t_TPrec";
    QTest::newRow("delete") << 3 << "DELETE FROM t_TPrec";
}

void TstScansGui::failuresReported()
{
    QFETCH(int, command);
    QFETCH(QString, statement);
    const QByteArray bmp = encoded(solid(Qt::red, 5, 5), "BMP");
    addRow(kContract, "甲", ".bmp", bmp);
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(0);
    m_dm->db().setFailureInjector(
        [statement](const QString& sql) { return sql.startsWith(statement); });
    switch (command) {
    case 0: {
        const QString path = m_exe->file("新页.bmp");
        QVERIFY(solid(Qt::green, 8, 8).save(path, "BMP"));
        m_ui->queueFile(path);
        answerName(QStringLiteral("新页"));
        page.addScan();
        break;
    }
    case 1:
        TfrmImageDisp::setHook([](const QString&, const QImage&) {
            return TfrmImageDisp::Result{QStringLiteral("乙.bmp"), solid(Qt::blue, 6, 6)};
        });
        page.viewOrReplace();
        break;
    case 2:
        answerName(QStringLiteral("乙"));
        page.renameScan();
        break;
    case 3:
        m_ui->queueAnswer(1);
        page.deleteScan();
        break;
    }
    m_dm->db().setFailureInjector({});
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("操作失败，请检查数据连接... "));
    const QList<ScannedPage> stored = rows();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].fileName, QStringLiteral("甲"));
    QCOMPARE(stored[0].image, bmp);
    QCOMPARE(page.count(), 1);
    QCOMPARE(page.findChild<QListWidget*>("lvScans")->item(0)->text(), QStringLiteral("甲"));
}

void TstScansGui::replaceJpegByBitmap()
{
    const QColor red(220, 30, 30);
    addRow(kContract, "封面", ".jpg", encoded(solid(red, 20, 10), "JPEG"));
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(0);
    QString givenName;
    QImage givenImage;
    TfrmImageDisp::setHook([&](const QString& name, const QImage& image) {
        givenName = name;
        givenImage = image;
        return TfrmImageDisp::Result{QStringLiteral("/somewhere/扫描.新.bmp"),
                                     solid(Qt::blue, 12, 6)};
    });
    page.viewOrReplace();
    QCOMPARE(givenName, QStringLiteral("封面.jpg"));
    QCOMPARE(givenImage.size(), QSize(20, 10));
    QVERIFY(near(givenImage.pixel(10, 5), red));
    QVERIFY(m_ui->messages().isEmpty());

    const QList<ScannedPage> stored = rows();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].fileName, QStringLiteral("扫描"));
    QCOMPARE(stored[0].fileExt, QStringLiteral(".bmp"));
    QVERIFY(stored[0].image.startsWith("BM"));
    QCOMPARE(formatOfBytes(stored[0].image), QByteArray("bmp"));
    QCOMPARE(page.findChild<QListWidget*>("lvScans")->item(0)->text(), QStringLiteral("扫描"));
    QVERIFY(near(thumbnailAt(page, 0).pixel(40, 40), Qt::blue, 2));
}

void TstScansGui::viewWithoutChangeStoresNothing()
{
    const QByteArray jpeg = encoded(solid(Qt::red, 20, 10), "JPEG");
    addRow(kContract, "封面", ".jpg", jpeg);
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(0);
    int opened = 0;
    TfrmImageDisp::setHook([&](const QString& name, const QImage& image) {
        ++opened;
        return TfrmImageDisp::Result{name, image};
    });
    page.viewOrReplace();
    QCOMPARE(opened, 1);
    QCOMPARE(rows()[0].image, jpeg);
    QCOMPARE(rows()[0].fileExt, QStringLiteral(".jpg"));

    // The same name with another picture (a file of the same name) is stored.
    TfrmImageDisp::setHook([&](const QString&, const QImage&) {
        return TfrmImageDisp::Result{QStringLiteral("/tmp/封面.jpg"), solid(Qt::green, 20, 10)};
    });
    page.viewOrReplace();
    QVERIFY(rows()[0].image != jpeg);
    QCOMPARE(formatOfBytes(rows()[0].image), QByteArray("jpeg"));
    QVERIFY(near(ScanStore::decode(rows()[0].image, ".jpg").pixel(10, 5), Qt::green));
}

void TstScansGui::replaceKeepsTheSelection()
{
    const QByteArray bmp = encoded(solid(Qt::red, 5, 5), "BMP");
    addRow(kContract, "甲", ".bmp", bmp);
    addRow(kContract, "乙", ".bmp", bmp);
    addRow(kContract, "丙", ".bmp", bmp);
    ScanPage page;
    page.setContract(kContract);
    page.setCurrentIndex(1);
    TfrmImageDisp::setHook([](const QString&, const QImage&) {
        return TfrmImageDisp::Result{QStringLiteral("新乙.jpeg"), solid(Qt::blue, 5, 5)};
    });
    page.viewOrReplace();
    QCOMPARE(page.currentIndex(), 1);
    QCOMPARE(rows()[1].fileName, QStringLiteral("新乙"));
    QCOMPARE(rows()[1].fileExt, QStringLiteral(".jpeg"));
    QCOMPARE(formatOfBytes(rows()[1].image), QByteArray("jpeg"));
    QCOMPARE(rows()[0].fileName, QStringLiteral("甲"));
    QCOMPARE(rows()[2].fileName, QStringLiteral("丙"));
}

void TstScansGui::doubleClickActivates()
{
    addRow(kContract, "甲", ".bmp", encoded(solid(Qt::red, 5, 5), "BMP"));
    ScanPage page;
    page.resize(400, 300);
    page.setContract(kContract);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QSignalSpy spy(&page, &ScanPage::activated);
    auto* view = page.findChild<QListWidget*>("lvScans");
    const QPoint centre = view->visualItemRect(view->item(0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(page.currentIndex(), 0);
}

void TstScansGui::imageWindowZoom()
{
    TfrmImageDisp window;
    window.setImage("页.bmp", solid(Qt::red, 200, 100));
    QCOMPARE(window.windowTitle(), QStringLiteral("页.bmp"));
    QCOMPARE(window.zoomFactor(), 1.0);
    auto* picture = window.findChild<QLabel*>("lblImage");
    QCOMPARE(picture->size(), QSize(200, 100));
    auto* in = window.findChild<QPushButton*>("btnZoomIn");
    auto* out = window.findChild<QPushButton*>("btnZoomOut");

    const double upward[] = {1.5, 2, 3, 5, 7, 10};
    for (double f : upward) {
        QVERIFY(in->isEnabled());
        in->click();
        QCOMPARE(window.zoomFactor(), f);
    }
    QVERIFY(!in->isEnabled());
    QCOMPARE(picture->size(), QSize(2000, 1000));
    window.findChild<QPushButton*>("btnActualSize")->click();
    QCOMPARE(window.zoomFactor(), 1.0);
    for (int i = 0; i < 8; ++i)
        out->click();
    QCOMPARE(window.zoomFactor(), 0.05);
    QVERIFY(!out->isEnabled());
    QVERIFY(in->isEnabled());
    QCOMPARE(picture->size(), QSize(10, 5));

    window.resize(600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton*>("btnFit")->click();
    QVERIFY(window.zoomFactor() > 1.0 && window.zoomFactor() < 4.0);
    // Zooming from a fitted size goes to the next step.
    const double fitted = window.zoomFactor();
    in->click();
    QVERIFY(window.zoomFactor() > fitted);
    QVERIFY(window.findChild<QLabel*>("lblStatus")->text().contains("200x100"));
}

void TstScansGui::imageWindowReplacesFromFile()
{
    const QString path = m_exe->file("替换.bmp");
    QVERIFY(solid(Qt::blue, 30, 40).save(path, "BMP"));
    m_ui->queueFile(path);
    QString title, titleAfter, objectName;
    onModalInThisTest([&](QWidget* w) {
        title = w->windowTitle();
        objectName = w->objectName();
        w->findChild<QPushButton*>("btnReplace")->click();
        titleAfter = w->windowTitle();
        w->findChild<QPushButton*>("btnClose")->click();
    });
    const TfrmImageDisp::Result result = TfrmImageDisp::open("页.jpg", solid(Qt::red, 10, 10));
    QCOMPARE(objectName, QStringLiteral("TfrmImageDisp"));
    QCOMPARE(title, QStringLiteral("页.jpg"));
    QCOMPARE(titleAfter, path);
    QCOMPARE(result.name, path);
    QCOMPARE(result.image.size(), QSize(30, 40));
    QVERIFY(near(result.image.pixel(5, 5), Qt::blue, 2));
    QCOMPARE(m_ui->dialogs().size(), 1);
    QVERIFY(m_ui->dialogs().first().filter.contains("*.bmp *.jpg *.jpeg"));

    // Closing without replacing hands back what was given.
    onModalInThisTest([](QWidget* w) { w->close(); });
    const TfrmImageDisp::Result same = TfrmImageDisp::open("页.jpg", solid(Qt::red, 10, 10));
    QCOMPARE(same.name, QStringLiteral("页.jpg"));
    QCOMPARE(same.image.size(), QSize(10, 10));
}

void TstScansGui::imageWindowRefusesDamagedFile()
{
    const QString path = m_exe->file("坏.jpg");
    writeFile(path, "not a jpeg");
    TfrmImageDisp window;
    window.setImage("页.bmp", solid(Qt::red, 10, 10));
    m_ui->queueFile(path);
    QVERIFY(!window.replaceFromFile());
    QCOMPARE(m_ui->lastKind(), int(mkError));
    QCOMPARE(m_ui->lastText(), QStringLiteral("读取文件：%1时发生错误！\n"
                                              "该文件不是标准格式的文件，或者该文件已经被损坏！")
                                   .arg(path));
    QCOMPARE(window.imageName(), QStringLiteral("页.bmp"));
    QCOMPARE(window.image().size(), QSize(10, 10));
    // Cancelling the file dialog changes nothing.
    m_ui->queueFile(QString());
    QVERIFY(!window.replaceFromFile());
    QCOMPARE(window.imageName(), QStringLiteral("页.bmp"));
}

void TstScansGui::screenshot()
{
    SCREENSHOTS_ONLY();
    const QColor colours[] = {QColor(200, 40, 40), QColor(40, 120, 200), QColor(60, 170, 80)};
    addRow(kContract, "合同封面", ".jpg", encoded(solid(colours[0], 120, 80), "JPEG"));
    addRow(kContract, "第二页", ".bmp", encoded(solid(colours[1], 60, 90), "BMP"));
    addRow(kContract, "签字页", ".gif", QByteArray("GIF89a"));
    addRow(kContract, "附图", ".jpeg", encoded(solid(colours[2], 90, 90), "JPEG"));
    ScanPage page;
    page.resize(420, 160);
    page.setContract(kContract);
    page.setCurrentIndex(1);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCOMPARE(page.count(), 4);
    saveScreenshot(&page, "scans");
}

QTEST_MAIN(TstScansGui)
#include "tst_scans_gui.moc"
