#include "browser/ScanPage.h"

#include "common/FieldValueDialog.h"
#include "data/Schema.h"
#include "data/TdmData.h"
#include "platform/Messages.h"
#include "platform/UserDialogs.h"
#include "records/TfrmImageDisp.h"

#include <QAction>
#include <QApplication>
#include <qdrawutil.h>
#include <QFileInfo>
#include <QImageReader>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kThumb = 80;
constexpr int kBox = 64;
constexpr int kInset = 8;

const QString kNamePrompt = QStringLiteral("请输入图片的名称：");

class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

ScanPage::ScanPage(QWidget* parent) : QWidget(parent), m_view(new QListWidget(this))
{
    setObjectName(QStringLiteral("ScanPage"));
    m_view->setObjectName(QStringLiteral("lvScans"));
    m_view->setViewMode(QListView::IconMode);
    m_view->setIconSize(QSize(kThumb, kThumb));
    m_view->setGridSize(QSize(90, 120));
    m_view->setResizeMode(QListView::Adjust);
    m_view->setMovement(QListView::Static);
    m_view->setWordWrap(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_view, &QListWidget::itemDoubleClicked, this, [this] { emit activated(); });

    const struct
    {
        const char* name;
        const char* text;
        void (ScanPage::*run)();
    } commands[] = {
        {"actScanAdd", "新增", &ScanPage::addScan},
        {"actScanModify", "修改", &ScanPage::viewOrReplace},
        {"actScanRename", "更名", &ScanPage::renameScan},
        {"actScanDelete", "删除", &ScanPage::deleteScan},
    };
    for (const auto& c : commands) {
        auto* action = new QAction(QString::fromUtf8(c.text), m_view);
        action->setObjectName(QString::fromLatin1(c.name));
        connect(action, &QAction::triggered, this, c.run);
        m_view->addAction(action);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void ScanPage::setContract(int cltID)
{
    m_cltID = cltID;
    reload();
}

void ScanPage::reload()
{
    m_pages.clear();
    if (m_cltID >= 0 && dmData()) {
        QString error;
        if (!ScanStore(dmData()->db()).pages(m_cltID, &m_pages, &error)) {
            ShowFailure(Messages::operationFailed(), error);
        }
    }
    buildThumbnails();
}

int ScanPage::count() const
{
    return m_view->count();
}

int ScanPage::currentIndex() const
{
    const QList<QListWidgetItem*> selected = m_view->selectedItems();
    return selected.isEmpty() ? -1 : m_view->row(selected.first());
}

void ScanPage::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_view->count()) {
        m_view->clearSelection();
        m_view->setCurrentItem(nullptr);
        return;
    }
    m_view->setCurrentRow(index);
    m_view->item(index)->setSelected(true);
}

ScannedPage* ScanPage::selectedPage()
{
    const int i = currentIndex();
    return i < 0 || i >= m_pages.size() ? nullptr : &m_pages[i];
}

void ScanPage::buildThumbnails()
{
    m_view->clear();
    if (m_pages.isEmpty())
        return;
    QStringList failures;
    {
        BusyCursor busy;
        for (const ScannedPage& page : m_pages) {
            const char* format = ScanStore::formatOf(page.fileExt);
            QImage picture = format && qstrcmp(format, "GIF") == 0
                                 ? gifPlaceholder()
                                 : ScanStore::decode(page.image, page.fileExt);
            // A damaged page keeps its caption, so that it can still be
            // replaced or deleted.
            auto* item = new QListWidgetItem(page.fileName, m_view);
            if (picture.isNull())
                failures << TfrmImageDisp::readErrorText(page.fullName());
            else
                item->setIcon(thumbnail(picture));
        }
    }
    for (const QString& text : failures)
        ShowMess(text, mkError);
}

QIcon ScanPage::thumbnail(const QImage& picture) const
{
    QPixmap pixmap(kThumb, kThumb);
    pixmap.fill(palette().color(QPalette::Button));
    QPainter painter(&pixmap);
    qDrawShadePanel(&painter, pixmap.rect(), palette(), false, 2);
    QSize size(kBox, kBox);
    if (picture.width() >= picture.height())
        size.setHeight(int(qint64(picture.height()) * kBox / picture.width()));
    else
        size.setWidth(int(qint64(picture.width()) * kBox / picture.height()));
    size = size.expandedTo(QSize(1, 1));
    const QRect target(kInset + (kBox - size.width()) / 2, kInset + (kBox - size.height()) / 2,
                       size.width(), size.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.end();
    QIcon icon;
    // Both modes: a selected thumbnail must not be tinted over the picture.
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

QImage ScanPage::gifPlaceholder()
{
    QImage image(kBox, kBox, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf0, 0xe0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    // A little landscape: sun and two hills.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xb0, 0x20));
    p.drawEllipse(QPoint(46, 16), 7, 7);
    p.setBrush(QColor(0x40, 0x90, 0x50));
    p.drawPolygon(QPolygon({QPoint(4, 52), QPoint(22, 26), QPoint(40, 52)}));
    p.setBrush(QColor(0x30, 0x70, 0x40));
    p.drawPolygon(QPolygon({QPoint(26, 52), QPoint(42, 32), QPoint(60, 52)}));
    p.setPen(QColor(0x20, 0x20, 0x80));
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 52, kBox, 12), Qt::AlignCenter, QStringLiteral("GIF"));
    return image;
}

QByteArray ScanPage::readPictureFile(const QString& path)
{
    const QString ext = ScanStore::extensionOf(path);
    QImageReader reader(path, ScanStore::formatOf(ext));
    reader.setDecideFormatFromContent(true);
    return ScanStore::encode(reader.read(), ext);
}

void ScanPage::addScan()
{
    if (m_cltID < 0 || !dmData())
        return;
    const QString path = UserDialogs::current().openFileName(QStringLiteral("选择图片"), QString(),
                                                             TfrmImageDisp::pictureFilter());
    if (path.isEmpty())
        return;
    const QByteArray bytes = readPictureFile(path);
    if (bytes.isEmpty()) {
        ShowMess(TfrmImageDisp::readErrorText(path), mkError);
        return;
    }
    const std::optional<QString> name =
        FieldValueDialog::askPictureName(kNamePrompt, ScanStore::baseNameOf(path), this);
    if (!name)
        return;
    QString error;
    if (ScanStore(dmData()->db())
            .insert(m_cltID, *name, ScanStore::extensionOf(path), bytes, &error) == 0) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    reload();
}

void ScanPage::viewOrReplace()
{
    if (count() == 0) {
        ShowMess(QStringLiteral("此表为空，没有合同图片需要修改！"), mkError);
        return;
    }
    const int index = currentIndex();
    ScannedPage* page = selectedPage();
    if (!page) {
        ShowMess(QStringLiteral("没有图片选择，请选择需要修改的合同图片！"), mkInfo);
        return;
    }
    const QString given = page->fullName();
    const QImage picture = ScanStore::decode(page->image, page->fileExt);
    const TfrmImageDisp::Result result = TfrmImageDisp::open(given, picture, this);
    const QString returned = QFileInfo(result.name).fileName();
    // A picture replaced by a file of the same name still has to be stored.
    if (returned.isEmpty() || (returned == given && result.image == picture))
        return;

    const QString fileName = ScanStore::baseNameOf(returned);
    const int limit = Schema::maxLength(QStringLiteral("t_TPrec"), QStringLiteral("F_FileName"));
    if (limit > 0 && fileName.size() > limit) {
        ShowMess(QStringLiteral("图片名称不能超过%1个字符！").arg(limit), mkInfo);
        return;
    }
    const QString ext = ScanStore::extensionOf(returned);
    QByteArray bytes = ScanStore::encode(result.image, ext);
    if (bytes.isEmpty())
        bytes = page->image;
    QString error;
    if (!dmData() || !ScanStore(dmData()->db()).replace(page->id, fileName, ext, bytes, &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    reload();
    setCurrentIndex(index);
}

void ScanPage::renameScan()
{
    if (count() == 0) {
        ShowMess(QStringLiteral("此表为空，没有合同图片名称需要修改！"), mkError);
        return;
    }
    ScannedPage* page = selectedPage();
    if (!page) {
        ShowMess(QStringLiteral("没有图片选择，请选择需要更名的合同图片！"), mkInfo);
        return;
    }
    const std::optional<QString> answer =
        FieldValueDialog::askPictureName(kNamePrompt, page->fileName, this);
    if (!answer)
        return;
    const QString name = answer->trimmed();
    if (name.isEmpty() || name == page->fileName)
        return;
    QString error;
    if (!dmData() || !ScanStore(dmData()->db()).rename(page->id, name, &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    page->fileName = name;
    m_view->item(currentIndex())->setText(name);
}

void ScanPage::deleteScan()
{
    if (count() == 0) {
        ShowMess(QStringLiteral("此表为空，没有图片信息记录需要删除！"), mkError);
        return;
    }
    ScannedPage* page = selectedPage();
    if (!page) {
        ShowMess(QStringLiteral("没有图片选择，请选择需要删除的配件图片！"), mkInfo);
        return;
    }
    if (ShowMess(QStringLiteral("真的要删除当前图片 “%1”吗？").arg(page->fileName), mkQuestion) ==
        2)
        return;
    QString error;
    if (!dmData() || !ScanStore(dmData()->db()).remove(page->id, &error)) {
        ShowFailure(Messages::operationFailed(), error);
        return;
    }
    reload();
}
