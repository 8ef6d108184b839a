#include "support/GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
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

void onModal(std::function<void(QWidget*)> step, int tries)
{
    QTimer::singleShot(tries == 300 ? 0 : 10, [step, tries] {
        if (QWidget* w = QApplication::activeModalWidget())
            step(w);
        else if (tries > 0)
            onModal(step, tries - 1);
    });
}
