#include "maintenance/XlsxParts.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <cctype>
#include <stdexcept>
#include <string>

namespace ss = orcus::spreadsheet;

namespace {

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

ss::src_address_t XlsxCellReferences::resolve_address(std::string_view address)
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

ss::src_range_t XlsxCellReferences::resolve_range(std::string_view range)
{
    const size_t colon = range.find(':');
    if (colon == std::string_view::npos) {
        const ss::src_address_t a = resolve_address(range);
        return {a, a};
    }
    return {resolve_address(range.substr(0, colon)), resolve_address(range.substr(colon + 1))};
}

bool XlsxCellAt(QStringView ref, int* row, int* column)
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

size_t XlsxSharedStrings::append(std::string_view s)
{
    m_list << fromView(s);
    return size_t(m_list.size() - 1);
}

size_t XlsxSharedStrings::add(std::string_view s)
{
    const QString text = fromView(s);
    const auto it = m_index.constFind(text);
    if (it != m_index.constEnd())
        return *it;
    const size_t i = append(s);
    m_index.insert(text, i);
    return i;
}

void XlsxSharedStrings::append_segment(std::string_view s)
{
    m_segments += fromView(s);
}

size_t XlsxSharedStrings::commit_segments()
{
    m_list << m_segments;
    m_segments.clear();
    return size_t(m_list.size() - 1);
}

void XlsxNumberFormats::set_number_format_code(std::string_view s)
{
    m_formatCode = fromView(s);
}

size_t XlsxNumberFormats::commit_number_format()
{
    m_formats.insert(m_formatId, m_formatCode);
    m_formatCode.clear();
    return m_count++;
}

size_t XlsxNumberFormats::commit_cell_xf()
{
    m_xfs << m_xfFormat;
    m_xfFormat = 0;
    return size_t(m_xfs.size() - 1);
}

size_t XlsxNumberFormats::commit_cell_style_xf()
{
    m_xfFormat = 0;
    return m_count++;
}

size_t XlsxNumberFormats::commit_dxf()
{
    m_xfFormat = 0;
    return m_count++;
}

void ReadXlsxInlineStrings(
    const std::vector<unsigned char>& sheetXml,
    const std::function<void(int row, int column, const QString& text)>& found)
{
    QXmlStreamReader r(
        QByteArray(reinterpret_cast<const char*>(sheetXml.data()), qsizetype(sheetXml.size())));
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
                if (XlsxCellAt(ref, &row, &column))
                    found(row, column, text);
                inlineCell = false;
            }
        }
    }
}
