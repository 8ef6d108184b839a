#pragma once

#include "data/Session.h"
#include "data/SqlBuilder.h"

#include <QString>

// Everything the operator can set to narrow the contract list.
struct ContractFilter
{
    // The search bar: a field choice (-1 none) and the value as typed.
    int searchField = -1;
    QString searchValue;
    // The name path of the chosen contract type; empty for the root.
    QString typePath;
    // 0 all, 1 receipt contracts (收款), 2 payment contracts (付款).
    int direction = 0;
    bool includeArchived = false;
    // The category list: its kind (0 status, 1 salesperson, 2 department,
    // 3 project) and the chosen name; empty for "全部".
    int categoryKind = 0;
    QString categoryName;
};

namespace ContractList {

// The captions of the search field choice, in order.
QStringList searchFieldCaptions();
// The captions of the category kinds, in order.
QStringList categoryKindCaptions();

// The statement of the contract list: the operator's restriction, then each
// filter in a fixed order, then the order by signing date. Every typed or
// picked value is bound; a quote or a percent sign is matched as itself.
SqlBuilder statement(const SqlDialect& dialect, const ContractFilter& filter,
                     const SessionData& session);

// The names offered by a category kind (for a department-restricted
// operator only his departments). False on a database failure.
bool categoryNames(Database& db, int kind, const SessionData& session, QStringList* out,
                   QString* error = nullptr);

} // namespace ContractList
