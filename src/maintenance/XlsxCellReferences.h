#pragma once

#include <orcus/spreadsheet/import_interface.hpp>

// Cell references of the .xlsx sheet files ("B7", "$A$1", "A1:K4"), with no
// sheet part, as orcus asks a reader to resolve them: rows and columns from
// 0. A reference that is none throws std::invalid_argument.
class XlsxCellReferences : public orcus::spreadsheet::iface::import_reference_resolver
{
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view address) override;
    orcus::spreadsheet::src_range_t resolve_range(std::string_view range) override;
};
