#pragma once

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>

// Builds a statement from fixed fragments, in order, each with the values
// it binds. A fragment names its value with %1; the builder puts a
// parameter of its own there and keeps the value, so that typed text never
// becomes SQL:
//
//   SqlBuilder b("select * from Contract where 1=1 ");
//   b.add("and F_code like %1 ", "%" + SqlDialect::escapeLike(text) + "%");
//   b.addList("and F_dept in (%1) ", departments);
class SqlBuilder
{
public:
    explicit SqlBuilder(const QString& start = QString()) : m_sql(start) {}

    // A fixed fragment without values.
    SqlBuilder& add(const QString& fragment);
    // A fixed fragment with one value at %1 (and %2, %3 for more values).
    SqlBuilder& add(const QString& fragment, const QVariant& value);
    SqlBuilder& add(const QString& fragment, const QVariant& v1, const QVariant& v2);
    // A fragment whose %1 becomes a list of values for IN (...). An empty
    // list becomes NULL, which matches nothing.
    SqlBuilder& addList(const QString& fragment, const QStringList& values);
    // `prefix` followed by a LIKE of the column against the pattern (made
    // with SqlDialect::escapeLike), without regard to letter case, in the
    // engine's own spelling.
    SqlBuilder& addLike(const SqlDialect& dialect, const QString& prefix, const QString& column,
                        const QString& pattern);

    QString sql() const { return m_sql; }
    const SqlParams& params() const { return m_params; }
    bool isEmpty() const { return m_sql.isEmpty(); }

private:
    QString bind(const QVariant& value);

    QString m_sql;
    SqlParams m_params;
};
