#pragma once

#include "data/Session.h"
#include "data/SqlBuilder.h"
#include "data/StoredDate.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <array>

// Everything the contract query dialog can combine. Texts are taken as typed
// (trimmed when used); an empty text adds nothing.
struct ContractQueryCriteria
{
    QString name, code, type, empName, memo1, memo2, client1, client2, status, dept, gcName;
    std::array<QString, 5> custom; // F_ZF1..F_ZF5

    enum Archive
    {
        AllArchive = 0,
        Archived = 1,
        NotArchived = 2
    };
    int archive = AllArchive;

    struct DateRow
    {
        bool enabled = false; // the row's own check box
        bool fromTicked = false;
        QDate from;
        bool toTicked = false;
        QDate to;
    };
    // F_date, F_beginDate, F_RQ1, F_RQ2, F_RQ3
    std::array<DateRow, 5> dates;
};

// The header values of one contract that the selection dialog hands to the
// window that asked for a contract. Dates are yyyy-MM-dd text, empty when
// the stored date counts as not given.
struct ContractHeader
{
    int cltID = -1;
    QString code, name, type, signDate, gcName;
    double totalPrice = 0;
    QString priceUnit, beginDate, endDate, dept, status, empName;
};

namespace ContractQuery {

// The columns of the five date rows, in order.
QStringList dateColumns();

// The advanced search: the operator's visibility restriction, every text
// criterion, the archive choice and the date rows, in that order, with no
// ordering clause. Typed text is bound and matched literally (a quote, % or
// _ is just a character).
SqlBuilder statement(const SqlDialect& dialect, const ContractQueryCriteria& criteria,
                     const SessionData& session);

// The selection dialog's list: every contract (no restriction, archived
// ones too), narrowed by the three search texts and a category, by code.
// categoryKind 0 status, 1 salesman, 2 department; an empty category name
// is "全部".
SqlBuilder selectionStatement(const SqlDialect& dialect, const QString& name, const QString& code,
                              const QString& memo1, int categoryKind, const QString& categoryName);
// The name of the project with the code; empty when there is none.
QString projectNameSql();

} // namespace ContractQuery
