#include "maintenance/XlsxCellReferences.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace ss = orcus::spreadsheet;

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
