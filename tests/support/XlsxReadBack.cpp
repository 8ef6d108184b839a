#include "support/XlsxReadBack.h"

#include <QFile>
#include <QXmlStreamReader>

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cctype>
#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;
using orcus::length_unit_t;

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

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
        const qsizetype i = m_list.indexOf(text);
        if (i >= 0)
            return size_t(i);
        return append(s);
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
    QString m_segments;
};

// Only the number formats and the number format of each cell format matter.
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
    size_t commit_font() override { return m_fonts++; }
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
    size_t commit_fill() override { return m_fills++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t, ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, length_unit_t) override {}
    size_t commit_border() override { return m_borders++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_protections++; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { m_formatId = int(id); }
    void set_number_format_code(std::string_view s) override { m_formatCode = fromView(s); }
    size_t commit_number_format() override
    {
        m_formats.insert(m_formatId, m_formatCode);
        m_formatCode.clear();
        return m_numberFormats++;
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
        return m_styleXfs++;
    }
    size_t commit_dxf() override
    {
        m_xfFormat = 0;
        return m_dxfs++;
    }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return m_cellStyles++; }

private:
    QHash<int, QString>& m_formats;
    QList<int>& m_xfs;
    int m_formatId = 0;
    QString m_formatCode;
    int m_xfFormat = 0;
    size_t m_fonts = 0, m_fills = 0, m_borders = 0, m_protections = 0, m_numberFormats = 0,
           m_styleXfs = 0, m_dxfs = 0, m_cellStyles = 0;
};

class Sheet : public iface::import_sheet
{
public:
    explicit Sheet(const QStringList& strings) : m_strings(strings) {}
    XlsxReadBack::Sheet m_sheet;
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        XlsxCell c;
        c.text = fromView(s);
        put(row, col, c);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override
    {
        XlsxCell c;
        c.text = m_strings.value(qsizetype(id));
        put(row, col, c);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        XlsxCell c;
        c.type = XlsxCell::Number;
        c.number = value;
        put(row, col, c);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        XlsxCell c;
        c.type = XlsxCell::Bool;
        c.number = value ? 1 : 0;
        put(row, col, c);
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int,
                       double) override
    {
        XlsxCell c;
        c.text = QStringLiteral("%1-%2-%3").arg(year).arg(month).arg(day);
        put(row, col, c);
    }
    void set_format(ss::row_t row, ss::col_t col, size_t xf) override
    {
        m_sheet.xf.insert(XlsxReadBack::key(row, col), int(xf));
    }
    void set_format(ss::row_t r1, ss::col_t c1, ss::row_t r2, ss::col_t c2, size_t xf) override
    {
        for (ss::row_t r = r1; r <= r2; ++r) {
            for (ss::col_t c = c1; c <= c2; ++c)
                set_format(r, c, xf);
        }
    }
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

private:
    void put(ss::row_t row, ss::col_t col, const XlsxCell& c)
    {
        m_sheet.cells.insert(XlsxReadBack::key(row, col), c);
    }
    const QStringList& m_strings;
};

// Cell references of the sheet files ("B7", "A1:K4"), with no sheet part.
class Resolver : public iface::import_reference_resolver
{
public:
    ss::src_address_t resolve_address(std::string_view address) override
    {
        ss::src_address_t a{0, 0, 0};
        size_t i = 0;
        while (i < address.size() && address[i] == '$')
            ++i;
        int column = 0;
        for (; i < address.size() && std::isalpha(static_cast<unsigned char>(address[i])); ++i)
            column = column * 26 + (std::toupper(static_cast<unsigned char>(address[i])) - 'A' + 1);
        while (i < address.size() && address[i] == '$')
            ++i;
        int row = 0;
        for (; i < address.size() && std::isdigit(static_cast<unsigned char>(address[i])); ++i)
            row = row * 10 + (address[i] - '0');
        if (i != address.size() || column == 0 || row == 0)
            throw std::invalid_argument("bad cell reference: " + std::string(address));
        a.row = row - 1;
        a.column = column - 1;
        return a;
    }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        if (colon == std::string_view::npos) {
            const ss::src_address_t a = resolve_address(range);
            return {a, a};
        }
        return {resolve_address(range.substr(0, colon)), resolve_address(range.substr(colon + 1))};
    }
};

class Factory : public iface::import_factory
{
public:
    explicit Factory(XlsxReadBack& book)
        : m_book(book), m_strings(book.m_strings), m_styles(book.m_formatById, book.m_xfFormat)
    {
    }
    iface::import_shared_strings* get_shared_strings() override { return &m_strings; }
    iface::import_styles* get_styles() override { return &m_styles; }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    iface::import_sheet* append_sheet(ss::sheet_t, std::string_view name) override
    {
        m_book.m_sheetNames << fromView(name);
        m_sheets.push_back(std::make_unique<Sheet>(m_book.m_strings));
        return m_sheets.back().get();
    }
    iface::import_sheet* get_sheet(std::string_view name) override
    {
        const qsizetype i = m_book.m_sheetNames.indexOf(fromView(name));
        return i < 0 ? nullptr : m_sheets.at(size_t(i)).get();
    }
    iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        return index < 0 || size_t(index) >= m_sheets.size() ? nullptr
                                                             : m_sheets.at(size_t(index)).get();
    }
    void finalize() override {}
    void collect()
    {
        for (auto& s : m_sheets)
            m_book.m_sheets << s->m_sheet;
    }

private:
    XlsxReadBack& m_book;
    Strings m_strings;
    Styles m_styles;
    Resolver m_resolver;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

// Column and row of an A1 reference; false when it is not one.
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

// The inline strings of one sheet part: <c r="A1" t="inlineStr"><is><t>..</t></is></c>.
void readInlineStrings(const std::vector<unsigned char>& xml, XlsxReadBack::Sheet& sheet)
{
    QXmlStreamReader r(
        QByteArray(reinterpret_cast<const char*>(xml.data()), qsizetype(xml.size())));
    QString ref;
    bool inlineCell = false, inIs = false;
    QString text;
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
                if (cellAt(ref, &row, &column)) {
                    XlsxCell c;
                    c.text = text;
                    c.inlineText = true;
                    sheet.cells.insert(XlsxReadBack::key(row, column), c);
                }
                inlineCell = false;
            }
        }
    }
}

QString builtInFormat(int id)
{
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("builtin:%1").arg(id);
    }
}

} // namespace

bool XlsxReadBack::read(const QString& path, QString* error)
{
    *this = XlsxReadBack{};
    try {
        Factory factory(*this);
        orcus::orcus_xlsx reader(&factory);
        reader.read_file(QFile::encodeName(path).toStdString());
        factory.collect();
        const QByteArray file = QFile::encodeName(path);
        orcus::zip_archive_stream_fd stream(file.constData());
        orcus::zip_archive zip(&stream);
        zip.load();
        for (qsizetype i = 0; i < m_sheets.size(); ++i) {
            std::vector<unsigned char> xml;
            const std::string part = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
            if (zip.read_file_entry(part, xml))
                readInlineStrings(xml, m_sheets[i]);
        }
    } catch (const std::exception& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    // Number formats are known only once the styles are read.
    for (Sheet& sheet : m_sheets) {
        for (auto it = sheet.cells.begin(); it != sheet.cells.end(); ++it) {
            const int xf = sheet.xf.value(it.key(), 0);
            const int id = m_xfFormat.value(xf, 0);
            it->numFormat = m_formatById.contains(id) ? m_formatById.value(id) : builtInFormat(id);
        }
    }
    return true;
}

bool XlsxReadBack::has(int row, int column, int sheet) const
{
    return sheet >= 0 && sheet < m_sheets.size() &&
           m_sheets.at(sheet).cells.contains(key(row, column));
}

XlsxCell XlsxReadBack::cell(int row, int column, int sheet) const
{
    if (sheet < 0 || sheet >= m_sheets.size())
        return {};
    return m_sheets.at(sheet).cells.value(key(row, column));
}

int XlsxReadBack::rowCount(int sheet) const
{
    int n = 0;
    if (sheet >= 0 && sheet < m_sheets.size()) {
        for (auto it = m_sheets.at(sheet).cells.cbegin(); it != m_sheets.at(sheet).cells.cend();
             ++it)
            n = qMax(n, int(it.key() >> 32) + 1);
    }
    return n;
}

int XlsxReadBack::columnCount(int sheet) const
{
    int n = 0;
    if (sheet >= 0 && sheet < m_sheets.size()) {
        for (auto it = m_sheets.at(sheet).cells.cbegin(); it != m_sheets.at(sheet).cells.cend();
             ++it)
            n = qMax(n, int(quint32(it.key())) + 1);
    }
    return n;
}

int XlsxReadBack::cellsInColumn(int column, int sheet) const
{
    int n = 0;
    if (sheet >= 0 && sheet < m_sheets.size()) {
        for (auto it = m_sheets.at(sheet).cells.cbegin(); it != m_sheets.at(sheet).cells.cend();
             ++it)
            n += int(quint32(it.key())) == column ? 1 : 0;
    }
    return n;
}
