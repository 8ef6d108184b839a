#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>

void saveScreenshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("CONTRACT_SCREENSHOTS");
    if (folder.isEmpty() || !widget)
        return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

namespace {

// The title the window system holds for the window (what a title bar
// shows), read back from the X server; empty when it cannot be read.
QString windowSystemTitle(QWidget* window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(5000))
        return QString();
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype first = out.indexOf(QLatin1Char('"'));
    if (first < 0 || !out.endsWith(QLatin1Char('"')))
        return QString();
    return out.mid(first + 1, out.size() - first - 2)
        .replace(QStringLiteral("\\\""), QStringLiteral("\""));
}

} // namespace

void saveScreenshotWithTitle(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("CONTRACT_SCREENSHOTS");
    if (folder.isEmpty() || !window)
        return;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->isVisible()) {
        saveScreenshot(window, name);
        return;
    }
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("saveScreenshotWithTitle: %s was not shown", qPrintable(name));
    QCoreApplication::processEvents();
    // Xvfb has no window manager to draw a title bar: draw one with the
    // title the X server holds for the window.
    const QString title = windowSystemTitle(window);
    const QPixmap body = window->grab();
    const int bar = 30;
    QPixmap picture(qMax(body.width(), 200), body.height() + bar);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.fillRect(QRect(0, 0, picture.width(), bar), QColor(0x2b, 0x57, 0x9a));
    p.setPen(Qt::white);
    QFont font = window->font();
    font.setPixelSize(15);
    p.setFont(font);
    const QRect text(8, 0, picture.width() - 16, bar);
    p.drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter,
        p.fontMetrics().elidedText(title.isEmpty() ? QStringLiteral("(no title read)") : title,
                                   Qt::ElideRight, text.width()));
    p.drawPixmap(0, bar, body);
    p.end();
    QDir().mkpath(folder);
    picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void closeModalWindows()
{
    // A window that refuses to close is hidden: bounded, so that it cannot loop.
    for (int i = 0; i < 20; ++i) {
        QPointer<QWidget> w = QApplication::activeModalWidget();
        if (!w)
            return;
        if (auto* dialog = qobject_cast<QDialog*>(w.data()))
            dialog->done(QDialog::Rejected);
        else
            w->close();
        if (w && w == QApplication::activeModalWidget())
            w->hide();
    }
}

void onModal(std::function<void(QWidget*)> step, int tries)
{
    QTimer::singleShot(tries == 300 ? 0 : 10, [step, tries] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            step(w);
            // A failed QVERIFY only left the step; the dialog would wait forever.
            if (QTest::currentTestFailed())
                closeModalWindows();
        } else if (tries > 0) {
            onModal(step, tries - 1);
        }
    });
}
