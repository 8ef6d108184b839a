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

QStringList rebuildTableStatements(const QString& table, const QString& newName,
                                   const QString& createNew, const QStringList& columns)
{
    const QString list = columns.join(QLatin1Char(','));
    return {
        createNew,
        QStringLiteral("INSERT INTO %1(%2) SELECT %2 FROM %3").arg(newName, list, table),
        // The copy numbers from its largest key; the old table may have
        // numbered further (rows deleted at the end), and a number is never
        // given twice.
        QStringLiteral("INSERT INTO sqlite_sequence(name, seq) SELECT '%1', 0 WHERE NOT EXISTS "
                       "(SELECT 1 FROM sqlite_sequence WHERE name = '%1')")
            .arg(newName),
        QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, coalesce((SELECT seq FROM "
                       "sqlite_sequence WHERE name = '%2'), 0)) WHERE name = '%1'")
            .arg(newName, table),
        QStringLiteral("DROP TABLE %1").arg(table),
        QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(newName, table),
    };
}

} // namespace Schema
