#include "maintenance/Spreadsheet.h"

#include "maintenance/XlsxParts.h"

#include "platform/LegacyText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <freexl.h>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cmath>
#include <exception>
#include <memory>
#include <vector>

// ---- cells and sheets

SpreadsheetCell SpreadsheetCell::fromText(const QString& text)
{
    SpreadsheetCell c;
    c.kind = Text;
    c.text = text;
    return c;
}

SpreadsheetCell SpreadsheetCell::fromNumber(double value)
{
    SpreadsheetCell c;
    c.kind = Number;
    c.number = value;
    // A code or a phone number typed as a number shows all its digits.
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        c.text = QString::number(qint64(value));
    else
        c.text = QString::number(value, 'g', 15);
    return c;
}

SpreadsheetCell SpreadsheetCell::fromBool(bool value)
{
    SpreadsheetCell c;
    c.kind = Bool;
    c.number = value ? 1 : 0;
    c.text = value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return c;
}

SpreadsheetCell SpreadsheetCell::fromDate(const QDate& date)
{
    SpreadsheetCell c;
    c.kind = Date;
    c.date = date;
    c.text = date.toString(QStringLiteral("yyyy-MM-dd"));
    return c;
}

bool SpreadsheetCell::isEmpty() const
{
    return kind == Empty || (kind == Text && text.trimmed().isEmpty());
}

QString SpreadsheetCell::shown() const
{
    return kind == Empty ? QString() : text;
}

QStringList SpreadsheetSheet::headings() const
{
    QStringList out;
    if (!rows.isEmpty()) {
        for (const SpreadsheetCell& c : rows.first())
            out << c.shown().trimmed();
    }
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

int SpreadsheetSheet::columnOf(const QString& heading) const
{
    const QString wanted = heading.trimmed();
    if (wanted.isEmpty())
        return -1;
    return int(headings().indexOf(wanted));
}

SpreadsheetCell SpreadsheetSheet::cell(int row, int column) const
{
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows.at(row).size())
        return {};
    return rows.at(row).at(column);
}

// ---- the whole file

bool Spreadsheet::read(const QString& path, QString* error)
{
    m_sheets.clear();
    const QFileInfo info(path);
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("文件不存在：%1").arg(path);
        return false;
    }
    const QString suffix = info.suffix().toLower();
    bool ok = false;
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm"))
        ok = readXlsx(path, error);
    else if (suffix == QLatin1String("xls"))
        ok = readXls(path, error);
    else if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        ok = readCsv(path, error);
    else if (error)
        *error = QStringLiteral("不支持的文件类型（可用 .xlsx、.xls、.csv）：%1").arg(path);
    if (!ok)
        m_sheets.clear();
    return ok;
}

QStringList Spreadsheet::sheetNames() const
{
    QStringList out;
    for (const SpreadsheetSheet& s : m_sheets)
        out << s.name;
    return out;
}

const SpreadsheetSheet* Spreadsheet::sheet(const QString& name) const
{
    for (const SpreadsheetSheet& s : m_sheets) {
        if (s.name == name)
            return &s;
    }
    return nullptr;
}

// ---- .csv

QList<QList<SpreadsheetCell>> Spreadsheet::parseCsv(const QString& text)
{
    QList<QList<SpreadsheetCell>> rows;
    QList<SpreadsheetCell> row;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // the line has at least one field
    auto endField = [&]() {
        row << (field.isEmpty() ? SpreadsheetCell{} : SpreadsheetCell::fromText(field));
        field.clear();
    };
    auto endRow = [&]() {
        endField();
        rows << row;
        row.clear();
        fieldStarted = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += ch;
            }
            continue;
        }
        if (ch == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (ch == QLatin1Char(',')) {
            endField();
            fieldStarted = true;
        } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            if (ch == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
        } else {
            field += ch;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !row.isEmpty())
        endRow();
    return rows;
}

bool Spreadsheet::readCsv(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法打开文件：%1\n%2").arg(path, file.errorString());
        return false;
    }
    SpreadsheetSheet sheet;
    sheet.name = QFileInfo(path).completeBaseName();
    sheet.rows = parseCsv(LegacyText::decode(file.readAll()));
    m_sheets << sheet;
    return true;
}

// ---- .xls

bool Spreadsheet::readXls(const QString& path, QString* error)
{
    const void* handle = nullptr;
    const QByteArray file = QFile::encodeName(path);
    int rc = freexl_open(file.constData(), &handle);
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        if (error)
            *error =
                QStringLiteral("不是可读的 Excel 97-2003 文件：%1\nfreexl %2").arg(path).arg(rc);
        return false;
    }
    unsigned int sheetCount = 0;
    rc = freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    for (unsigned int s = 0; rc == FREEXL_OK && s < sheetCount; ++s) {
        const char* name = nullptr;
        rc = freexl_get_worksheet_name(handle, static_cast<unsigned short>(s), &name);
        if (rc != FREEXL_OK)
            break;
        rc = freexl_select_active_worksheet(handle, static_cast<unsigned short>(s));
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (rc == FREEXL_OK)
            rc = freexl_worksheet_dimensions(handle, &rows, &columns);
        if (rc != FREEXL_OK)
            break;
        SpreadsheetSheet sheet;
        sheet.name = QString::fromUtf8(name ? name : "");
        for (unsigned int r = 0; r < rows && rc == FREEXL_OK; ++r) {
            QList<SpreadsheetCell> row;
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                rc = freexl_get_cell_value(handle, r, c, &v);
                if (rc != FREEXL_OK)
                    break;
                switch (v.type) {
                case FREEXL_CELL_INT:
                    row << SpreadsheetCell::fromNumber(v.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    row << SpreadsheetCell::fromNumber(v.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    row << SpreadsheetCell::fromText(QString::fromUtf8(v.value.text_value));
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME: {
                    // "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss"
                    const QString text = QString::fromUtf8(v.value.text_value);
                    const QDate d = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
                    row << (d.isValid() ? SpreadsheetCell::fromDate(d)
                                        : SpreadsheetCell::fromText(text));
                    break;
                }
                case FREEXL_CELL_TIME:
                    row << SpreadsheetCell::fromText(QString::fromUtf8(v.value.text_value));
                    break;
                default:
                    row << SpreadsheetCell{};
                    break;
                }
            }
            sheet.rows << row;
        }
        m_sheets << sheet;
    }
    freexl_close(handle);
    if (rc != FREEXL_OK) {
        if (error)
            *error = QStringLiteral("读取 Excel 文件失败：%1\nfreexl %2").arg(path).arg(rc);
        return false;
    }
    return true;
}

// ---- .xlsx

namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

quint64 key(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

// A cell as orcus hands it over; kinds are settled once the styles are known.
struct RawCell
{
    SpreadsheetCell cell;
    int xf = 0;
};

struct RawSheet
{
    QString name;
    QHash<quint64, RawCell> cells;
    int rows = 0;
};

class Sheet;

// A formula cell keeps the result the spreadsheet cached when it saved.
class Formula : public iface::import_formula
{
public:
    explicit Formula(Sheet& sheet) : m_sheet(sheet) {}
    void set_position(ss::row_t row, ss::col_t col) override
    {
        m_row = row;
        m_col = col;
        m_has = false;
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override
    {
        m_result = SpreadsheetCell::fromText(fromView(value));
        m_has = true;
    }
    void set_result_value(double value) override
    {
        m_result = SpreadsheetCell::fromNumber(value);
        m_has = true;
    }
    void set_result_bool(bool value) override
    {
        m_result = SpreadsheetCell::fromBool(value);
        m_has = true;
    }
    void set_result_empty() override { m_has = false; }
    void commit() override;

private:
    Sheet& m_sheet;
    ss::row_t m_row = 0;
    ss::col_t m_col = 0;
    SpreadsheetCell m_result;
    bool m_has = false;
};

class Sheet : public iface::import_sheet
{
public:
    Sheet(const QStringList& strings, const QString& name) : m_strings(strings), m_formula(*this)
    {
        m_raw.name = name;
    }
    RawSheet m_raw;
    iface::import_formula* get_formula() override { return &m_formula; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        put(row, col, SpreadsheetCell::fromText(fromView(s)));
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override
    {
        put(row, col, SpreadsheetCell::fromText(m_strings.value(qsizetype(id))));
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        put(row, col, SpreadsheetCell::fromNumber(value));
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        put(row, col, SpreadsheetCell::fromBool(value));
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int,
                       double) override
    {
        put(row, col, SpreadsheetCell::fromDate(QDate(year, month, day)));
    }
    void set_format(ss::row_t row, ss::col_t col, size_t xf) override
    {
        m_raw.cells[key(row, col)].xf = int(xf);
    }
    void set_format(ss::row_t r1, ss::col_t c1, ss::row_t r2, ss::col_t c2, size_t xf) override
    {
        // Whole-column formats would fill the sheet; only cells that hold a
        // value need their format.
        for (auto it = m_raw.cells.begin(); it != m_raw.cells.end(); ++it) {
            const int r = int(it.key() >> 32), c = int(quint32(it.key()));
            if (r >= r1 && r <= r2 && c >= c1 && c <= c2)
                it->xf = int(xf);
        }
    }
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    void put(ss::row_t row, ss::col_t col, const SpreadsheetCell& c)
    {
        m_raw.cells[key(row, col)].cell = c;
        m_raw.rows = qMax(m_raw.rows, int(row) + 1);
    }

private:
    const QStringList& m_strings;
    Formula m_formula;
};

void Formula::commit()
{
    if (m_has)
        m_sheet.put(m_row, m_col, m_result);
}

class Settings : public iface::import_global_settings
{
public:
    QDate origin{1899, 12, 30};
    void set_origin_date(int year, int month, int day) override
    {
        origin = QDate(year, month, day);
    }
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override
    {
        m_grammar = grammar;
    }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    ss::formula_grammar_t m_grammar = ss::formula_grammar_t::xlsx;
};

class Factory : public iface::import_factory
{
public:
    Factory() : m_strings(m_stringList), m_styles(formatById, xfFormat) {}
    iface::import_global_settings* get_global_settings() override { return &settings; }
    iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    iface::import_styles* get_styles() override { return &m_styles; }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    iface::import_sheet* append_sheet(ss::sheet_t, std::string_view name) override
    {
        sheets.push_back(std::make_unique<Sheet>(m_stringList, fromView(name)));
        return sheets.back().get();
    }
    iface::import_sheet* get_sheet(std::string_view name) override
    {
        const QString wanted = fromView(name);
        for (auto& s : sheets) {
            if (s->m_raw.name == wanted)
                return s.get();
        }
        return nullptr;
    }
    iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        return index < 0 || size_t(index) >= sheets.size() ? nullptr
                                                           : sheets.at(size_t(index)).get();
    }
    void finalize() override {}

    Settings settings;
    QHash<int, QString> formatById; // numFmtId -> code
    QList<int> xfFormat;            // xf index -> numFmtId
    std::vector<std::unique_ptr<Sheet>> sheets;

private:
    QStringList m_stringList;
    XlsxSharedStrings m_strings;
    XlsxNumberFormats m_styles;
    XlsxCellReferences m_resolver;
};

bool uses1904(const std::vector<unsigned char>& xml)
{
    QXmlStreamReader r(
        QByteArray(reinterpret_cast<const char*>(xml.data()), qsizetype(xml.size())));
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("workbookPr")) {
            const QStringView v = r.attributes().value(QLatin1String("date1904"));
            return v == QLatin1String("1") || v == QLatin1String("true");
        }
    }
    return false;
}

} // namespace

bool Spreadsheet::isBuiltInDateFormat(int id)
{
    // 14-17 and 22 are the dates of every locale; 27-36 and 50-58 the East
    // Asian date formats.
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

bool Spreadsheet::isDateFormat(const QString& code)
{
    // Only the first section decides; quoted text, escaped characters and
    // bracketed parts ([Red], [$-804]) are not format letters.
    if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return false;
    bool sawDate = false;
    bool inQuote = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code.at(i);
        if (inQuote) {
            if (ch == QLatin1Char('"'))
                inQuote = false;
            continue;
        }
        if (ch == QLatin1Char('"')) {
            inQuote = true;
        } else if (ch == QLatin1Char('\\') || ch == QLatin1Char('_') || ch == QLatin1Char('*')) {
            ++i;
        } else if (ch == QLatin1Char('[')) {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                break;
            i = end;
        } else if (ch == QLatin1Char(';')) {
            break;
        } else {
            const QChar lower = ch.toLower();
            if (lower == QLatin1Char('y') || lower == QLatin1Char('d'))
                sawDate = true;
        }
    }
    return sawDate;
}

bool Spreadsheet::readXlsx(const QString& path, QString* error)
{
    Factory factory;
    const QByteArray file = QFile::encodeName(path);
    try {
        orcus::orcus_xlsx reader(&factory);
        reader.read_file(file.toStdString());
        orcus::zip_archive_stream_fd stream(file.constData());
        orcus::zip_archive zip(&stream);
        zip.load();
        // orcus 0.17 leaves the origin at 1899-12-30 even for a workbook
        // that counts from 1904 (older Mac spreadsheets, LibreOffice on
        // request): read the switch from the workbook part itself.
        std::vector<unsigned char> workbook;
        if (zip.read_file_entry("xl/workbook.xml", workbook) && uses1904(workbook))
            factory.settings.origin = QDate(1904, 1, 1);
        for (size_t i = 0; i < factory.sheets.size(); ++i) {
            std::vector<unsigned char> xml;
            const std::string part = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
            if (zip.read_file_entry(part, xml))
                ReadXlsxInlineStrings(xml, [&](int row, int column, const QString& text) {
                    factory.sheets[i]->put(row, column, SpreadsheetCell::fromText(text));
                });
        }
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("不是可读的 Excel 2007 及以上版本文件（.xlsx）：%1\n%2")
                         .arg(path, QString::fromUtf8(e.what()));
        return false;
    }
    // Number formats are known only once the styles are read: a number shown
    // as a date is a count of days from the workbook's origin.
    for (const auto& s : factory.sheets) {
        SpreadsheetSheet sheet;
        sheet.name = s->m_raw.name;
        sheet.rows.resize(s->m_raw.rows);
        for (auto it = s->m_raw.cells.cbegin(); it != s->m_raw.cells.cend(); ++it) {
            const int r = int(it.key() >> 32), c = int(quint32(it.key()));
            SpreadsheetCell cell = it->cell;
            if (cell.kind == SpreadsheetCell::Empty)
                continue;
            if (cell.kind == SpreadsheetCell::Number) {
                const int id = factory.xfFormat.value(it->xf, 0);
                const bool date = factory.formatById.contains(id)
                                      ? isDateFormat(factory.formatById.value(id))
                                      : isBuiltInDateFormat(id);
                if (date)
                    cell = SpreadsheetCell::fromDate(
                        factory.settings.origin.addDays(qint64(std::floor(cell.number))));
            }
            QList<SpreadsheetCell>& row = sheet.rows[r];
            if (row.size() <= c)
                row.resize(c + 1);
            row[c] = cell;
        }
        m_sheets << sheet;
    }
    return true;
}
