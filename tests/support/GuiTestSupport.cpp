#include "support/GuiTestSupport.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

void saveScreenshot(QWidget* widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("CONTRACT_SCREENSHOTS");
    if (folder.isEmpty() || !widget)
        return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
