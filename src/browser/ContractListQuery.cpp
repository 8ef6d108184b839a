#include "browser/ContractListQuery.h"

#include "codes/CodeStore.h"

#include <QSqlQuery>

#include "data/SqlDialect.h"

namespace ContractList {

namespace {

struct SearchField
{
    const char* caption;
    const char* column;
};

const SearchField kSearchFields[] = {
    {"合同编号", "F_code"},  {"合同名称", "F_name"},    {"甲方单位", "F_client1"},
    {"甲负责人", "F_FZR1"},  {"乙方单位", "F_client2"}, {"乙负责人", "F_FZR2"},
    {"主要内容", "F_memo1"}, {"异常描述", "F_memo2"},
};

const char* const kCategoryColumns[] = {"F_status", "F_empname", "F_dept", "F_GCname"};

// The like pattern that finds the typed text anywhere, literally.
QString containsPattern(const QString& text)
{
    return QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%');
}

} // namespace

QStringList searchFieldCaptions()
{
    QStringList out;
    for (const SearchField& f : kSearchFields)
        out << QString::fromUtf8(f.caption);
    return out;
}

QStringList categoryKindCaptions()
{
    return {QStringLiteral("合同状态"), QStringLiteral("业 务 员"), QStringLiteral("部    门"),
            QStringLiteral("工程项目")};
}

SqlBuilder statement(const SqlDialect& dialect, const ContractFilter& filter,
                     const SessionData& session)
{
    SqlBuilder b(QStringLiteral("SELECT * FROM Contract WHERE (1=1) "));
    switch (session.XtFlag) {
    case 1:
        b.add(QStringLiteral("AND F_empname = %1 "), session.OperName);
        break;
    case 2:
        b.addList(QStringLiteral("AND F_dept IN (%1) "), session.departments());
        break;
    default:
        break;
    }
    // A chosen field filters even with an empty value: like '%%' drops the
    // contracts that have no value there at all.
    if (filter.searchField >= 0 && filter.searchField < int(std::size(kSearchFields))) {
        b.addLike(dialect, QStringLiteral("AND "),
                  QString::fromLatin1(kSearchFields[filter.searchField].column),
                  containsPattern(filter.searchValue.trimmed()));
    }
    // A type includes its sub-types: their name paths begin with its own.
    if (!filter.typePath.isEmpty())
        b.addLike(dialect, QStringLiteral("AND "), QStringLiteral("F_type"),
                  SqlDialect::escapeLike(filter.typePath) + QLatin1Char('%'));
    if (filter.direction == 1)
        b.add(QStringLiteral("AND F_SFflag = 1 "));
    else if (filter.direction == 2)
        b.add(QStringLiteral("AND F_SFflag = -1 "));
    if (!filter.includeArchived)
        b.add(QStringLiteral("AND F_GDflag = 0 "));
    if (!filter.categoryName.isEmpty() && filter.categoryKind >= 0 && filter.categoryKind < 4)
        b.add(QStringLiteral("AND %1 = %2 ")
                  .arg(QString::fromLatin1(kCategoryColumns[filter.categoryKind]),
                       QStringLiteral("%1")),
              filter.categoryName);
    b.add(QStringLiteral("ORDER BY F_date"));
    return b;
}

bool categoryNames(Database& db, int kind, const SessionData& session, QStringList* out,
                   QString* error)
{
    switch (kind) {
    case 1:
        return CodeStore::names(db, CodeStore::kEmployees, out, error);
    case 2:
        return CodeStore::names(db, CodeStore::kDepartments, out, error,
                                session.XtFlag == 2 ? std::optional(session.departments())
                                                    : std::nullopt);
    case 3: {
        out->clear();
        QSqlQuery q = db.prepare(QStringLiteral("SELECT DISTINCT F_name FROM GCitem "
                                                "WHERE F_name <> '' ORDER BY F_name"),
                                 {}, error);
        if (!db.exec(q, error))
            return false;
        while (q.next())
            *out << q.value(0).toString();
        return true;
    }
    default:
        return CodeStore::names(db, CodeStore::kStatuses, out, error);
    }
}

} // namespace ContractList
