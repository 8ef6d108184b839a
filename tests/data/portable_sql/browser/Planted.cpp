#include <QString>

// Planted: SQLite-only SQL outside the dialect.
QString plantedStatement()
{
    return QStringLiteral("SELECT ifnull(F_name, '') FROM t_code");
}
