#include "data/SeedLayouts.h"

namespace {
const SeedGridColumn kGridColumns[] = {
    {"clientmain", "F_code", "合同编号", 100, true, true, "", "", 0, 0},
};
const SeedImportField kImportFields[] = {
    {"contract", "F_code", "合同编号"},
};
} // namespace

std::span<const SeedGridColumn> seedGridColumns()
{
    return kGridColumns;
}

std::span<const SeedImportField> seedImportFields()
{
    return kImportFields;
}
