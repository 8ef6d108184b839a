#pragma once

#include <QString>

#include <functional>

class QWidget;

// Saves a picture of the widget as <name>.png in the folder named by the
// environment variable CONTRACT_SCREENSHOTS, when it is set; does nothing
// otherwise. Run a GUI test under Xvfb with QT_QPA_PLATFORM=xcb and the
// variable set to look at what the windows show.
void saveScreenshot(QWidget* widget, const QString& name);

// Runs `step` on the modal dialog as soon as one is shown (the caller then
// opens it). Gives up after about three seconds without one.
void onModal(std::function<void(QWidget*)> step, int tries = 300);
