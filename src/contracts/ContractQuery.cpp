#include "contracts/ContractQuery.h"

#include "data/SqlDialect.h"

namespace ContractQuery {

namespace {

enum Match
{
    Prefix,
    Contains
};

void addLike(const SqlDialect& dialect, SqlBuilder& b, const QString& column, const QString& typed,
             Match match)
{
    const QString v = typed.trimmed();
    if (v.isEmpty())
        return;
    QString pattern = SqlDialect::escapeLike(v) + QLatin1Char('%');
    if (match == Contains)
        pattern.prepend(QLatin1Char('%'));
    b.addLike(dialect, QStringLiteral("and "), column, pattern);
}

} // namespace

QStringList dateColumns()
{
    return {QStringLiteral("F_date"), QStringLiteral("F_beginDate"), QStringLiteral("F_RQ1"),
            QStringLiteral("F_RQ2"), QStringLiteral("F_RQ3")};
}

SqlBuilder statement(const SqlDialect& dialect, const ContractQueryCriteria& c,
                     const SessionData& session)
{
    SqlBuilder b(QStringLiteral("select * from Contract where (1=1) "));
    if (session.XtFlag == 1)
        b.add(QStringLiteral("and (F_empName = %1) "), session.OperName);
    else if (session.XtFlag == 2)
        b.addList(QStringLiteral("and (F_dept in (%1)) "), session.departments());

    addLike(dialect, b, QStringLiteral("F_name"), c.name, Contains);
    addLike(dialect, b, QStringLiteral("F_code"), c.code, Prefix);
    // A type path includes its sub-types, whose paths begin with it.
    addLike(dialect, b, QStringLiteral("F_type"), c.type, Prefix);
    addLike(dialect, b, QStringLiteral("F_empName"), c.empName, Prefix);
    addLike(dialect, b, QStringLiteral("F_memo1"), c.memo1, Contains);
    addLike(dialect, b, QStringLiteral("F_memo2"), c.memo2, Contains);
    addLike(dialect, b, QStringLiteral("F_client1"), c.client1, Contains);
    addLike(dialect, b, QStringLiteral("F_client2"), c.client2, Contains);
    addLike(dialect, b, QStringLiteral("F_status"), c.status, Prefix);
    addLike(dialect, b, QStringLiteral("F_dept"), c.dept, Prefix);
    addLike(dialect, b, QStringLiteral("F_GCname"), c.gcName, Contains);
    for (int i = 0; i < 5; ++i)
        addLike(dialect, b, QStringLiteral("F_ZF%1").arg(i + 1), c.custom[i], Contains);

    if (c.archive == ContractQueryCriteria::Archived)
        b.add(QStringLiteral("and F_GDFlag = %1 "), true);
    else if (c.archive == ContractQueryCriteria::NotArchived)
        b.add(QStringLiteral("and F_GDFlag = %1 "), false);

    const QStringList columns = dateColumns();
    for (int i = 0; i < 5; ++i) {
        const ContractQueryCriteria::DateRow& row = c.dates[i];
        if (!row.enabled)
            continue;
        if (row.fromTicked && row.from.isValid())
            b.add(QStringLiteral("and %1 >= %2 ").arg(columns[i], QStringLiteral("%1")), row.from);
        if (row.toTicked && row.to.isValid())
            b.add(QStringLiteral("and %1 <= %2 ").arg(columns[i], QStringLiteral("%1")), row.to);
    }
    return b;
}

SqlBuilder selectionStatement(const SqlDialect& dialect, const QString& name, const QString& code,
                              const QString& memo1, int categoryKind, const QString& categoryName)
{
    SqlBuilder b(QStringLiteral("select * from contract where (1=1)"));
    addLike(dialect, b, QStringLiteral("F_name"), name, Contains);
    addLike(dialect, b, QStringLiteral("F_code"), code, Contains);
    addLike(dialect, b, QStringLiteral("F_memo1"), memo1, Contains);
    static const char* const kColumns[] = {"F_status", "F_empName", "F_dept"};
    if (!categoryName.isEmpty() && categoryKind >= 0 && categoryKind < 3)
        b.add(QStringLiteral(" and %1 = %2 ")
                  .arg(QString::fromLatin1(kColumns[categoryKind]), QStringLiteral("%1")),
              categoryName);
    b.add(QStringLiteral(" order by f_code"));
    return b;
}

QString projectNameSql()
{
    return QStringLiteral("select F_name from GCitem where F_code = :code limit 1");
}

} // namespace ContractQuery
