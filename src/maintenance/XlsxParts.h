#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <orcus/spreadsheet/import_interface.hpp>

#include <functional>
#include <string_view>
#include <vector>

// What every reader of .xlsx files through orcus needs besides its own
// sheets: the shared string table, the number format of each cell format,
// cell references, and the text orcus passes over (inline strings).

// Cell references of the sheet files ("B7", "$A$1", "A1:K4"), with no sheet
// part, from row and column 0. A reference that is none throws
// std::invalid_argument.
class XlsxCellReferences : public orcus::spreadsheet::iface::import_reference_resolver
{
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override;
    orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override;
};

// Row and column (from 0) of an A1 reference; false when it is not one.
bool XlsxCellAt(QStringView ref, int* row, int* column);

// The shared string table into `list`: a string's index is its place there.
class XlsxSharedStrings : public orcus::spreadsheet::iface::import_shared_strings
{
public:
    explicit XlsxSharedStrings(QStringList& list) : m_list(list) {}
    size_t append(std::string_view s) override;
    size_t add(std::string_view s) override;
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override;
    size_t commit_segments() override;

private:
    QStringList& m_list;
    QHash<QString, size_t> m_index;
    QString m_segments;
};

// Of the styles, only the number format of each cell format: codes by
// format id, and the format id of each cell format (xf) in order.
class XlsxNumberFormats : public orcus::spreadsheet::iface::import_styles
{
public:
    XlsxNumberFormats(QHash<int, QString>& formatById, QList<int>& xfFormat)
        : m_formats(formatById), m_xfs(xfFormat)
    {
    }
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(orcus::spreadsheet::underline_t) override {}
    void set_font_underline_width(orcus::spreadsheet::underline_width_t) override {}
    void set_font_underline_mode(orcus::spreadsheet::underline_mode_t) override {}
    void set_font_underline_type(orcus::spreadsheet::underline_type_t) override {}
    void set_font_underline_color(orcus::spreadsheet::color_elem_t,
                                  orcus::spreadsheet::color_elem_t,
                                  orcus::spreadsheet::color_elem_t,
                                  orcus::spreadsheet::color_elem_t) override
    {
    }
    void set_font_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                        orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t) override
    {
    }
    void set_strikethrough_style(orcus::spreadsheet::strikethrough_style_t) override {}
    void set_strikethrough_type(orcus::spreadsheet::strikethrough_type_t) override {}
    void set_strikethrough_width(orcus::spreadsheet::strikethrough_width_t) override {}
    void set_strikethrough_text(orcus::spreadsheet::strikethrough_text_t) override {}
    size_t commit_font() override { return m_count++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(orcus::spreadsheet::fill_pattern_t) override {}
    void set_fill_fg_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                           orcus::spreadsheet::color_elem_t,
                           orcus::spreadsheet::color_elem_t) override
    {
    }
    void set_fill_bg_color(orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                           orcus::spreadsheet::color_elem_t,
                           orcus::spreadsheet::color_elem_t) override
    {
    }
    size_t commit_fill() override { return m_count++; }
    void set_border_count(size_t) override {}
    void set_border_style(orcus::spreadsheet::border_direction_t,
                          orcus::spreadsheet::border_style_t) override
    {
    }
    void set_border_color(orcus::spreadsheet::border_direction_t, orcus::spreadsheet::color_elem_t,
                          orcus::spreadsheet::color_elem_t, orcus::spreadsheet::color_elem_t,
                          orcus::spreadsheet::color_elem_t) override
    {
    }
    void set_border_width(orcus::spreadsheet::border_direction_t, double,
                          orcus::length_unit_t) override
    {
    }
    size_t commit_border() override { return m_count++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_count++; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { m_formatId = int(id); }
    void set_number_format_code(std::string_view s) override;
    size_t commit_number_format() override;
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
    void set_xf_horizontal_alignment(orcus::spreadsheet::hor_alignment_t) override {}
    void set_xf_vertical_alignment(orcus::spreadsheet::ver_alignment_t) override {}
    size_t commit_cell_xf() override;
    size_t commit_cell_style_xf() override;
    size_t commit_dxf() override;
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

// orcus 0.17 passes over text stored in the cells themselves
// (<c t="inlineStr"><is><t>..</t></is></c>), which streamed workbooks such
// as our own large exports write: `found` gets each such cell of a sheet
// part.
void ReadXlsxInlineStrings(
    const std::vector<unsigned char>& sheetXml,
    const std::function<void(int row, int column, const QString& text)>& found);
