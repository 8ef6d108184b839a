#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
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

void saveScreenshotWithTitle(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("CONTRACT_SCREENSHOTS");
    if (folder.isEmpty() || !window)
        return;
    QScreen* screen = window->screen();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !screen ||
        !window->isVisible()) {
        saveScreenshot(window, name);
        return;
    }
    // The window manager frames the window after it is mapped.
    if (!QTest::qWaitForWindowExposed(window))
        qWarning("saveScreenshotWithTitle: %s was not shown", qPrintable(name));
    QTest::qWait(300);
    const QRect area = window->frameGeometry().adjusted(-4, -4, 4, 4) & screen->geometry();
    QDir().mkpath(folder);
    screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(QDir(folder).filePath(name + QStringLiteral(".png")));
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
