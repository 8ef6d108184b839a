#include "support/XlsxReadBack.h"

#include "maintenance/XlsxParts.h"

#include <QFile>

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <exception>
#include <memory>
#include <vector>

namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

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
    XlsxSharedStrings m_strings;
    XlsxNumberFormats m_styles;
    XlsxCellReferences m_resolver;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
};

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
                ReadXlsxInlineStrings(xml, [&](int row, int column, const QString& text) {
                    XlsxCell c;
                    c.text = text;
                    c.inlineText = true;
                    m_sheets[i].cells.insert(key(row, column), c);
                });
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
