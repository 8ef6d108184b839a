#pragma once

#include <QString>
#include <QTest>

#include <functional>

class QWidget;

// Saves a picture of the widget as <name>.png in the folder named by the
// environment variable CONTRACT_SCREENSHOTS, when it is set; does nothing
// otherwise. Run a GUI test under Xvfb with QT_QPA_PLATFORM=xcb and the
// variable set to look at what the windows show.
void saveScreenshot(QWidget* widget, const QString& name);

// Opens a test that only takes pictures: it is skipped unless pictures were
// asked for (CONTRACT_SCREENSHOTS).
#define SCREENSHOTS_ONLY()                                                                         \
    do {                                                                                           \
        if (qEnvironmentVariableIsEmpty("CONTRACT_SCREENSHOTS"))                                   \
            QSKIP("pictures only when CONTRACT_SCREENSHOTS is set");                               \
    } while (false)

// As saveScreenshot, with a title bar drawn above the window that shows the
// title the window system holds for it (read back with xprop on the xcb
// platform: what a window manager's title bar would show).
void saveScreenshotWithTitle(QWidget* window, const QString& name);

// Runs `step` on the modal dialog as soon as one is shown (the caller then
// opens it). Gives up after about three seconds without one. When the test
// has failed by the end of the step (a failed check inside it), every modal
// window still open is closed, so that the test goes on to report the
// failure instead of waiting on the dialog.
void onModal(std::function<void(QWidget*)> step, int tries = 300);

// Closes the modal windows that are open, innermost first.
void closeModalWindows();
