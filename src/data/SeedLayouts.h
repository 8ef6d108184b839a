#pragma once

#include <span>

// Rows a new database is delivered with: the built-in column layouts of every
// grid (cfg_grid) and the field mappings of the spreadsheet import
// (cfg_import).

struct SeedGridColumn
{
    const char* layout;  // layout name as the grid loads it, e.g. "clientmain"
    const char* field;   // field name the column shows, e.g. "F_code"
    const char* caption; // column title, e.g. "合同编号"
    int width;           // pixels
    bool visible;
    bool readOnly;
    const char* displayFormat; // "" when none
    const char* footerValue;   // "" when none
    int footerType;            // 0 none, 1 static text, 2 sum
    int alignment;             // 0 left, 1 centred, 2 right
};

struct SeedImportField
{
    const char* table;   // "contract" or "client"
    const char* field;   // target column, e.g. "F_code"
    const char* caption; // the column's name as the screens show it, e.g. "合同编号"
};

// In grid order within each layout; the position is the column's F_Order.
std::span<const SeedGridColumn> seedGridColumns();
std::span<const SeedImportField> seedImportFields();
