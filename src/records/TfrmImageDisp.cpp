#include "records/TfrmImageDisp.h"

#include "platform/DispFormPos.h"
#include "platform/UserDialogs.h"
#include "records/ScanStore.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr std::array<double, 15> kFactors = {0.05, 0.07, 0.1, 0.15, 0.2, 0.3, 0.5, 0.7,
                                             1.0,  1.5,  2,   3,    5,   7,   10};
} // namespace

TfrmImageDisp::Hook TfrmImageDisp::s_hook;

TfrmImageDisp::TfrmImageDisp(QWidget* parent)
    : QDialog(parent), m_scroll(new QScrollArea(this)), m_picture(new QLabel),
      m_status(new QLabel(this)), m_zoomIn(new QPushButton(QStringLiteral("放大"), this)),
      m_zoomOut(new QPushButton(QStringLiteral("缩小"), this))
{
    setObjectName(QStringLiteral("TfrmImageDisp"));
    m_scroll->setObjectName(QStringLiteral("saImage"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_picture->setObjectName(QStringLiteral("lblImage"));
    m_picture->setScaledContents(true);
    m_scroll->setWidget(m_picture);
    m_status->setObjectName(QStringLiteral("lblStatus"));

    auto* fit = new QPushButton(QStringLiteral("适合窗口"), this);
    fit->setObjectName(QStringLiteral("btnFit"));
    m_zoomIn->setObjectName(QStringLiteral("btnZoomIn"));
    m_zoomOut->setObjectName(QStringLiteral("btnZoomOut"));
    auto* actual = new QPushButton(QStringLiteral("原始尺寸"), this);
    actual->setObjectName(QStringLiteral("btnActualSize"));
    auto* replace = new QPushButton(QStringLiteral("更换图片…"), this);
    replace->setObjectName(QStringLiteral("btnReplace"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("btnClose"));

    connect(fit, &QPushButton::clicked, this, &TfrmImageDisp::fitToWindow);
    connect(m_zoomIn, &QPushButton::clicked, this, &TfrmImageDisp::zoomIn);
    connect(m_zoomOut, &QPushButton::clicked, this, &TfrmImageDisp::zoomOut);
    connect(actual, &QPushButton::clicked, this, &TfrmImageDisp::originalSize);
    connect(replace, &QPushButton::clicked, this, &TfrmImageDisp::replaceFromFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fit);
    buttons->addWidget(m_zoomIn);
    buttons->addWidget(m_zoomOut);
    buttons->addWidget(actual);
    buttons->addStretch();
    buttons->addWidget(replace);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_status);
    resize(800, 600);
}

TfrmImageDisp::Result TfrmImageDisp::open(const QString& name, const QImage& image, QWidget* parent)
{
    if (s_hook)
        return s_hook(name, image);
    TfrmImageDisp window(parent);
    window.setImage(name, image);
    DispFormPos(&window, fpList);
    window.exec();
    // Closing the window in any way keeps what it shows.
    return {window.imageName(), window.image()};
}

void TfrmImageDisp::setHook(Hook hook)
{
    s_hook = std::move(hook);
}

void TfrmImageDisp::setImage(const QString& name, const QImage& image)
{
    m_name = name;
    m_image = image;
    setWindowTitle(name);
    m_picture->setPixmap(QPixmap::fromImage(image));
    showAt(1.0);
}

void TfrmImageDisp::zoomIn()
{
    for (double f : kFactors) {
        if (f > m_factor + 1e-9) {
            showAt(f);
            return;
        }
    }
}

void TfrmImageDisp::zoomOut()
{
    for (auto it = kFactors.rbegin(); it != kFactors.rend(); ++it) {
        if (*it < m_factor - 1e-9) {
            showAt(*it);
            return;
        }
    }
}

void TfrmImageDisp::originalSize()
{
    showAt(1.0);
}

void TfrmImageDisp::fitToWindow()
{
    if (m_image.isNull())
        return;
    const QSize area = m_scroll->maximumViewportSize();
    const double f =
        std::min(double(area.width()) / m_image.width(), double(area.height()) / m_image.height());
    showAt(std::clamp(f, kFactors.front(), kFactors.back()));
}

bool TfrmImageDisp::replaceFromFile()
{
    const QString path =
        UserDialogs::current().openFileName(QStringLiteral("载入图片"), QString(), pictureFilter());
    if (path.isEmpty())
        return false;
    QImageReader reader(path, ScanStore::formatOf(ScanStore::extensionOf(path)));
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        ShowMess(readErrorText(path), mkError);
        return false;
    }
    setImage(path, image);
    return true;
}

QString TfrmImageDisp::pictureFilter()
{
    return QStringLiteral(
        "图片文件 (*.bmp *.jpg *.jpeg);;JPEG 文件 (*.jpg *.jpeg);;位图文件 (*.bmp)");
}

QString TfrmImageDisp::readErrorText(const QString& name)
{
    return QStringLiteral(
               "读取文件：%1时发生错误！\n该文件不是标准格式的文件，或者该文件已经被损坏！")
        .arg(name);
}

void TfrmImageDisp::showAt(double factor)
{
    m_factor = factor;
    const QSize size = m_image.isNull() ? QSize(0, 0)
                                        : QSize(int(std::lround(m_image.width() * factor)),
                                                int(std::lround(m_image.height() * factor)));
    m_picture->resize(size);
    m_zoomIn->setEnabled(factor < kFactors.back() - 1e-9);
    m_zoomOut->setEnabled(factor > kFactors.front() + 1e-9);
    updateStatus();
}

void TfrmImageDisp::updateStatus()
{
    m_status->setText(QStringLiteral("%1    %2x%3    %4%")
                          .arg(m_name)
                          .arg(m_image.width())
                          .arg(m_image.height())
                          .arg(std::lround(m_factor * 100)));
}
