// How the schema's column types are declared in SQLite: text compares
// without regard to letter case, dates stay ISO text.
#include "data/Schema.h"

namespace Schema {

QString columnDeclaration(const Column& c)
{
    switch (c.type) {
    case ColumnType::Counter:
        return c.name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Long:
        return c.name + QStringLiteral(" INTEGER DEFAULT 0");
    case ColumnType::Double:
        return c.name + QStringLiteral(" REAL DEFAULT 0");
    case ColumnType::Text:
        return c.name + QStringLiteral(" VARCHAR(%1) COLLATE NOCASE").arg(c.width);
    case ColumnType::Memo:
        return c.name + QStringLiteral(" TEXT COLLATE NOCASE");
    case ColumnType::DateTime:
        // ISO text ("yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss"); the declared
        // name keeps text affinity so that no date is turned into a number.
        return c.name + QStringLiteral(" DATE_TEXT");
    case ColumnType::Bool:
        return c.name + QStringLiteral(" BOOLEAN DEFAULT 0");
    case ColumnType::Blob:
        return c.name + QStringLiteral(" BLOB");
    }
    return c.name;
}

} // namespace Schema
