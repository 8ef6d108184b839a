#include "common/XlsxExport.h"

#include "common/RecordModel.h"
#include "data/FilePublish.h"
#include "data/StoredDate.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <xlsxwriter.h>

#include <cmath>

namespace {

const QString kNoDate = StoredDate::noDateText();
constexpr int kMaxSheetName = 31;
constexpr qsizetype kMaxCellText = 32767;
constexpr qint64 kStreamAboveCells = 200000;

void trimApostrophes(QString& s)
{
    while (s.startsWith(QLatin1Char('\'')))
        s.remove(0, 1);
    while (s.endsWith(QLatin1Char('\'')))
        s.chop(1);
}

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// One section of a "positive;negative;zero" format.
QString excelSection(const QString& section)
{
    // A comma anywhere outside quotes asks for thousands separators here,
    // whereas to Excel a comma after the digits divides by a thousand: drop
    // them all and put one back inside the integer digits.
    bool thousands = false;
    QString s;
    QChar quote;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
                s += QLatin1Char('"');
            } else {
                s += c;
            }
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            s += QLatin1Char('"');
        } else if (c == QLatin1Char(',')) {
            thousands = true;
        } else {
            s += c;
        }
    }
    if (!quote.isNull())
        s += QLatin1Char('"');

    // Positions outside quotes of the decimal point and the first digit run.
    qsizetype dot = -1, runStart = -1, runEnd = -1;
    bool inQuote = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('"')) {
            inQuote = !inQuote;
            continue;
        }
        if (inQuote)
            continue;
        if (c == QLatin1Char('.') && dot < 0) {
            dot = i;
            if (runStart < 0)
                runStart = runEnd = i;
        } else if (isPlaceholder(c) && runStart < 0) {
            runStart = i;
            runEnd = i;
            while (runEnd < s.size() && isPlaceholder(s.at(runEnd)))
                ++runEnd;
        }
    }
    // A point with no digits after it shows nothing in the grid.
    if (dot >= 0 && (dot + 1 >= s.size() || !isPlaceholder(s.at(dot + 1)))) {
        s.remove(dot, 1);
        if (runStart > dot) {
            --runStart;
            --runEnd;
        } else if (runStart == dot && runEnd == dot) {
            runStart = runEnd = -1;
        }
    }
    if (thousands) {
        if (runStart < 0)
            runStart = runEnd = s.size();
        QString run = s.mid(runStart, runEnd - runStart);
        if (run.isEmpty())
            run = QStringLiteral("0");
        while (run.size() < 4)
            run.prepend(QLatin1Char('#'));
        run.insert(run.size() - 3, QLatin1Char(','));
        s.replace(runStart, runEnd - runStart, run);
    }
    return s;
}

QString cellText(QString text)
{
    // A spreadsheet cell holds at most this many characters: longer text is
    // cut at the limit (never inside a surrogate pair) rather than refused.
    if (text.size() > kMaxCellText) {
        qsizetype cut = kMaxCellText;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
    }
    return text;
}

QString reason(lxw_error e)
{
    switch (e) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("无法创建文件，请检查文件夹是否存在、是否有写入权限。");
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("无法创建临时文件，请检查临时文件夹的空间和权限。");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("内存不足。");
    default:
        return QString::fromUtf8(lxw_strerror(e));
    }
}

struct OutColumn
{
    lxw_col_t sheetColumn;
    int modelColumn;
    int field;
    bool formatted;
    bool numeric;
    bool boolean;
    lxw_format* format;
};

} // namespace

QString SheetNameForTitle(const QString& title)
{
    static const QString invalid = QStringLiteral("[]:*?/\\");
    QString name;
    name.reserve(title.size());
    for (const QChar c : title)
        name += invalid.contains(c) || c.unicode() < 0x20 ? QLatin1Char('_') : c;
    trimApostrophes(name);
    if (name.size() > kMaxSheetName) {
        qsizetype cut = kMaxSheetName;
        if (name.at(cut - 1).isHighSurrogate())
            --cut;
        name.truncate(cut);
        trimApostrophes(name);
    }
    if (name.trimmed().isEmpty())
        return QStringLiteral("Sheet1");
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        name += QLatin1Char('_');
    return name;
}

QString ExcelNumberFormat(const QString& displayFormat)
{
    if (displayFormat.trimmed().isEmpty())
        return QStringLiteral("@");
    QStringList sections = displayFormat.split(QLatin1Char(';'));
    for (QString& section : sections)
        section = excelSection(section);
    return sections.join(QLatin1Char(';'));
}

QList<int> ModelColumnsOf(const RecordModel& model, const GridColumns& columns)
{
    QList<int> result;
    QList<bool> taken(model.columnCount(), false);
    for (const GridColumn& c : columns) {
        int found = -1;
        for (int m = 0; m < model.columnCount(); ++m) {
            if (!taken.at(m) &&
                model.gridColumn(m).fieldName.compare(c.fieldName, Qt::CaseInsensitive) == 0) {
                found = m;
                break;
            }
        }
        if (found >= 0)
            taken[found] = true;
        result << found;
    }
    return result;
}

namespace {

bool writeWorkbook(const QString& filePath, const QString& title, const RecordModel& model,
                   const GridColumns& columns, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (model.rowCount() + 1 > LXW_ROW_MAX)
        return fail(QStringLiteral("行数 %1 超过了电子表格的上限 %2。")
                        .arg(model.rowCount())
                        .arg(LXW_ROW_MAX - 1));
    if (columns.size() > LXW_COL_MAX)
        return fail(QStringLiteral("列数 %1 超过了电子表格的上限 %2。")
                        .arg(columns.size())
                        .arg(LXW_COL_MAX));

    qint64 visible = 0;
    for (const GridColumn& c : columns)
        visible += c.visible ? 1 : 0;
    QByteArray tmpDir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    // Streaming writes each row to a temporary file at once, so 100,000 rows
    // cost no more memory than one; but it stores text inline, which orcus
    // 0.17 (our own spreadsheet import) does not read. A shared string table
    // keeps every cell in memory until the file is closed (about 120 bytes a
    // cell), affordable for all but long lists.
    options.constant_memory =
        qint64(model.rowCount()) * visible > kStreamAboveCells ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = tmpDir.data();
    const QByteArray path = QFile::encodeName(filePath);
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        return fail(QStringLiteral("无法创建工作簿“%1”。").arg(filePath));
    const QByteArray sheetName = SheetNameForTitle(title).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.constData());
    if (!sheet) {
        lxw_workbook_free(workbook);
        return fail(QStringLiteral("工作表名称“%1”无效。").arg(QString::fromUtf8(sheetName)));
    }

    QHash<QString, lxw_format*> formats;
    auto formatFor = [&](const QString& excelFormat) {
        lxw_format*& f = formats[excelFormat];
        if (!f) {
            f = workbook_add_format(workbook);
            const QByteArray code = excelFormat.toUtf8();
            format_set_num_format(f, code.constData());
        }
        return f;
    };

    const RecordSet& records = model.records();
    const QList<int> modelColumns = ModelColumnsOf(model, columns);
    QList<OutColumn> out;
    lxw_error status = LXW_NO_ERROR;
    for (int c = 0; c < columns.size(); ++c) {
        const GridColumn& gc = columns.at(c);
        if (!gc.visible)
            continue;
        OutColumn o{};
        o.sheetColumn = lxw_col_t(c);
        o.modelColumn = modelColumns.at(c);
        o.field = records.fieldIndex(gc.fieldName);
        o.formatted = !gc.displayFormat.trimmed().isEmpty();
        if (o.field >= 0) {
            const RecordSet::Field& f = records.field(o.field);
            o.boolean = f.isBool();
            o.numeric = !o.boolean &&
                        (f.kind == RecordSet::Kind::Integer || f.kind == RecordSet::Kind::Real);
        }
        o.format = formatFor(ExcelNumberFormat(gc.displayFormat));
        out << o;
        if (status == LXW_NO_ERROR)
            status = worksheet_set_column_pixels(sheet, o.sheetColumn, o.sheetColumn,
                                                 uint32_t(qMax(gc.width, 8)), o.format);
        const QByteArray caption = cellText(gc.title).toUtf8();
        if (status == LXW_NO_ERROR && !caption.isEmpty())
            status = worksheet_write_string(sheet, 0, o.sheetColumn, caption.constData(), nullptr);
    }

    const QString yes = QStringLiteral("是");
    const QString no = QStringLiteral("否");
    QByteArray utf8;
    for (int row = 0; row < model.rowCount() && status == LXW_NO_ERROR; ++row) {
        const lxw_row_t sheetRow = lxw_row_t(row + 1);
        const int rec = model.recordRow(row);
        for (const OutColumn& o : out) {
            if (o.field < 0 || o.modelColumn < 0 || records.isNull(rec, o.field))
                continue;
            if (o.formatted && o.numeric) {
                const double v = records.number(rec, o.field);
                if (std::isfinite(v))
                    status = worksheet_write_number(sheet, sheetRow, o.sheetColumn, v, o.format);
            } else {
                QString text = o.boolean ? (records.integer(rec, o.field) != 0 ? yes : no)
                                         : model.displayText(row, o.modelColumn);
                const QString trimmed = text.trimmed();
                if (trimmed.isEmpty() || trimmed == kNoDate)
                    continue;
                bool isNumber = false;
                double v = 0;
                if (o.formatted) {
                    v = trimmed.toDouble(&isNumber);
                    isNumber = isNumber && std::isfinite(v);
                }
                if (isNumber) {
                    status = worksheet_write_number(sheet, sheetRow, o.sheetColumn, v, o.format);
                } else {
                    utf8 = cellText(text).toUtf8();
                    status = worksheet_write_string(sheet, sheetRow, o.sheetColumn,
                                                    utf8.constData(), o.format);
                }
            }
            if (status != LXW_NO_ERROR)
                break;
        }
    }
    if (status != LXW_NO_ERROR) {
        // Closing still writes a file; it holds the rows up to the failure.
        workbook_close(workbook);
        return fail(QStringLiteral("写入工作表失败：%1").arg(reason(status)));
    }
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR)
        return fail(QStringLiteral("无法写入文件“%1”：%2")
                        .arg(QDir::toNativeSeparators(filePath), reason(closed)));
    return true;
}

} // namespace

bool WriteGridToXlsx(const QString& filePath, const QString& title, const RecordModel& model,
                     const GridColumns& columns, QString* error)
{
    // Written beside the target under a name of its own and put in place
    // when whole: a failure or a crash never leaves half a workbook under
    // the operator's name, nor removes the file that was there.
    QString why;
    const QString temp = FilePublish::createTemporaryBeside(filePath, &why);
    if (temp.isEmpty()) {
        if (error)
            *error =
                QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(filePath), why);
        return false;
    }
    if (writeWorkbook(temp, title, model, columns, error) && FilePublish::syncFile(temp, error) &&
        FilePublish::replace(temp, filePath, error))
        return true;
    QFile::remove(temp);
    return false;
}
