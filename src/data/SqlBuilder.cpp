#include "data/SqlBuilder.h"

QString SqlBuilder::bind(const QVariant& value)
{
    const QString name = QStringLiteral(":p%1").arg(m_params.size() + 1);
    m_params.append({name, value});
    return name;
}

SqlBuilder& SqlBuilder::add(const QString& fragment)
{
    m_sql += fragment;
    return *this;
}

SqlBuilder& SqlBuilder::add(const QString& fragment, const QVariant& value)
{
    m_sql += fragment.arg(bind(value));
    return *this;
}

SqlBuilder& SqlBuilder::add(const QString& fragment, const QVariant& v1, const QVariant& v2)
{
    const QString n1 = bind(v1);
    const QString n2 = bind(v2);
    m_sql += fragment.arg(n1, n2);
    return *this;
}

SqlBuilder& SqlBuilder::addLike(const SqlDialect& dialect, const QString& prefix,
                                const QString& column, const QString& pattern)
{
    m_sql += prefix + dialect.likeNoCase(column, bind(pattern)) + QLatin1Char(' ');
    return *this;
}

SqlBuilder& SqlBuilder::addList(const QString& fragment, const QStringList& values)
{
    QStringList names;
    for (const QString& v : values)
        names << bind(v);
    m_sql += fragment.arg(names.isEmpty() ? QStringLiteral("NULL") : names.join(QLatin1Char(',')));
    return *this;
}
