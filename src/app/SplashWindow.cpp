#include "app/SplashWindow.h"

#include "app/StartUp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(560, 320);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setStyleSheet(QStringLiteral("color: #f0f4ff; font-size: 14px;"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 0, 28, 22);
    layout->addStretch();
    layout->addWidget(m_status);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void SplashWindow::setStatus(const QString& text)
{
    m_status->setText(text);
    if (isVisible()) {
        repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QString SplashWindow::status() const
{
    return m_status->text();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, width(), height());
    bg.setColorAt(0, QColor(0x1d, 0x3f, 0x72));
    bg.setColorAt(1, QColor(0x0d, 0x1b, 0x33));
    p.fillRect(rect(), bg);

    // A stack of sheets: the contract files the program keeps.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(255, 255, 255, 60 + i * 50));
        p.drawRoundedRect(QRectF(width() - 170 + i * 14, 40 + i * 14, 110, 140), 6, 6);
    }
    p.setPen(QPen(QColor(0x1d, 0x3f, 0x72), 3));
    for (int line = 0; line < 5; ++line) {
        const qreal y = 90 + line * 18;
        p.drawLine(QPointF(width() - 128, y), QPointF(width() - 62, y));
    }

    p.setPen(Qt::white);
    QFont title = font();
    title.setPixelSize(26);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(28, 150, width() - 56, 40), Qt::AlignLeft | Qt::AlignVCenter,
               StartUp::applicationTitle());
    QFont sub = font();
    sub.setPixelSize(14);
    p.setFont(sub);
    p.setPen(QColor(0xc8, 0xd6, 0xf0));
    p.drawText(QRect(30, 192, width() - 56, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("合同 · 收付款 · 发货 · 提醒 · 统计"));
    p.setPen(QColor(255, 255, 255, 90));
    p.drawLine(28, height() - 52, width() - 28, height() - 52);
}
