#include "maintenance/Spreadsheet.h"

#include "maintenance/XlsxCellReferences.h"

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

#include <cctype>
#include <cmath>
#include <exception>
#include <memory>
#include <stdexcept>
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
using orcus::length_unit_t;

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

class Strings : public iface::import_shared_strings
{
public:
    explicit Strings(QStringList& list) : m_list(list) {}
    size_t append(std::string_view s) override
    {
        m_list << fromView(s);
        return size_t(m_list.size() - 1);
    }
    size_t add(std::string_view s) override
    {
        const QString text = fromView(s);
        const auto it = m_index.constFind(text);
        if (it != m_index.constEnd())
            return *it;
        const size_t i = append(s);
        m_index.insert(text, i);
        return i;
    }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override { m_segments += fromView(s); }
    size_t commit_segments() override
    {
        m_list << m_segments;
        m_segments.clear();
        return size_t(m_list.size() - 1);
    }

private:
    QStringList& m_list;
    QHash<QString, size_t> m_index;
    QString m_segments;
};

// Only the number format of each cell format matters to the import.
class Styles : public iface::import_styles
{
public:
    Styles(QHash<int, QString>& formats, QList<int>& xfs) : m_formats(formats), m_xfs(xfs) {}
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                  ss::color_elem_t) override
    {
    }
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                        ss::color_elem_t) override
    {
    }
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return m_count++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                           ss::color_elem_t) override
    {
    }
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                           ss::color_elem_t) override
    {
    }
    size_t commit_fill() override { return m_count++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t, ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, length_unit_t) override {}
    size_t commit_border() override { return m_count++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_count++; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { m_formatId = int(id); }
    void set_number_format_code(std::string_view s) override { m_formatCode = fromView(s); }
    size_t commit_number_format() override
    {
        m_formats.insert(m_formatId, m_formatCode);
        m_formatCode.clear();
        return m_count++;
    }
    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t index) override { m_xfFormat = int(index); }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    size_t commit_cell_xf() override
    {
        m_xfs << m_xfFormat;
        m_xfFormat = 0;
        return size_t(m_xfs.size() - 1);
    }
    size_t commit_cell_style_xf() override
    {
        m_xfFormat = 0;
        return m_count++;
    }
    size_t commit_dxf() override
    {
        m_xfFormat = 0;
        return m_count++;
    }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return m_count++; }

private:
    QHash<int, QString>& m_formats;
    QList<int>& m_xfs;
    int m_formatId = 0;
    QString m_formatCode;
    int m_xfFormat = 0;
    size_t m_count = 0;
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
    Strings m_strings;
    Styles m_styles;
    XlsxCellReferences m_resolver;
};

bool cellAt(QStringView ref, int* row, int* column)
{
    int c = 0, r = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i)
        c = c * 26 + (ref.at(i).toUpper().unicode() - 'A' + 1);
    for (; i < ref.size() && ref.at(i).isDigit(); ++i)
        r = r * 10 + (ref.at(i).unicode() - '0');
    if (i != ref.size() || c == 0 || r == 0)
        return false;
    *row = r - 1;
    *column = c - 1;
    return true;
}

// orcus 0.17 skips text stored in the cells themselves
// (<c t="inlineStr"><is><t>..</t></is></c>), which streamed workbooks such as
// our own large exports write; it is read from the sheet part here.
void readInlineStrings(const std::vector<unsigned char>& xml, Sheet& sheet)
{
    QXmlStreamReader r(
        QByteArray(reinterpret_cast<const char*>(xml.data()), qsizetype(xml.size())));
    QString ref, text;
    bool inlineCell = false, inIs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.name() == QLatin1String("c")) {
                ref = r.attributes().value(QLatin1String("r")).toString();
                inlineCell = r.attributes().value(QLatin1String("t")) == QLatin1String("inlineStr");
                text.clear();
            } else if (r.name() == QLatin1String("is")) {
                inIs = true;
            } else if (inIs && inlineCell && r.name() == QLatin1String("t")) {
                text += r.readElementText();
            }
        } else if (r.isEndElement()) {
            if (r.name() == QLatin1String("is")) {
                inIs = false;
            } else if (r.name() == QLatin1String("c") && inlineCell) {
                int row = 0, column = 0;
                if (cellAt(ref, &row, &column))
                    sheet.put(row, column, SpreadsheetCell::fromText(text));
                inlineCell = false;
            }
        }
    }
}

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
                readInlineStrings(xml, *factory.sheets[i]);
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
