#include "common/GridExport.h"

#include "common/DataGrid.h"
#include "common/XlsxExport.h"
#include "platform/DesktopOpener.h"
#include "platform/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {

// A title may hold characters that no file name can.
QString fileNameFor(const QString& title)
{
    QString name = title.trimmed();
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') ||
            c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('|') ||
            c.unicode() < 0x20)
            c = QLatin1Char('_');
    }
    if (name.isEmpty())
        name = QStringLiteral("导出");
    return name + QStringLiteral(".xlsx");
}

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool ExportGridToExcel(DataGrid* grid, const QString& title, bool show)
{
    if (!grid)
        return false;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    QString path = UserDialogs::current().saveFileName(QStringLiteral("导出到 Excel"),
                                                       QDir(documents).filePath(fileNameFor(title)),
                                                       QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) != 0) {
        path += QStringLiteral(".xlsx");
        // The dialog asked about replacing the name without the suffix, if
        // about any: ask about the file that will really be replaced.
        if (QFileInfo::exists(path) && ShowMess(QStringLiteral("文件“%1”已经存在，要替换它吗？")
                                                    .arg(QDir::toNativeSeparators(path)),
                                                mkQuestion) != 1)
            return false;
    }

    QString error;
    bool written;
    {
        WaitCursor wait;
        written = WriteGridToXlsx(path, title, *grid->model(), grid->columns(), &error);
    }
    if (!written) {
        ShowMess(QStringLiteral("导出到 Excel 失败！\n%1").arg(error), mkError);
        return false;
    }
    if (!show)
        return true;
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = OpenWithDesktop(url);
    if (!opened)
        ShowMess(QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)), mkInfo);
    return true;
}
