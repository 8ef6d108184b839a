#pragma once

#include "common/GridColumn.h"

#include <QString>

class Database;

// The stored column layouts of the list grids (cfg_grid): one row per layout
// name and field. Layout names are compared without regard to letter case.
class GridLayoutStore
{
public:
    explicit GridLayoutStore(Database& db) : m_db(db) {}

    // The stored columns of the layout in their order; rows without a field
    // name are skipped. An empty list means nothing is stored. False on a
    // database failure: `columns` then holds the columns read so far.
    bool load(const QString& name, GridColumns* columns, QString* error = nullptr);

    // Writes the columns under the layout name, each column's position as
    // its order: the row of a field is updated, or inserted when the layout
    // has none for it. Stored rows of fields the grid does not have stay.
    // All or nothing.
    bool save(const QString& name, const GridColumns& columns, QString* error = nullptr);

    // The columns a grid is delivered with (the seed rows of its layout).
    static GridColumns builtColumns(const QString& layout);

private:
    Database& m_db;
};
