#pragma once

#include "common/GridColumn.h"
#include "data/Database.h"

#include <QDate>
#include <QString>
#include <QVariant>

// The lists of the detail pages under the contract list and the statements
// their commands run. Pages are numbered 1..8 in navigator order.
namespace DetailStore {

constexpr int kPageCount = 8;
constexpr int kScansPage = 5;
constexpr int kChangesPage = 4;
constexpr int kShipmentsPage = 8;

struct PageDef
{
    QString caption; // navigator entry and export title
    QString table;
    QString layout;         // grid layout name; empty for the scans page
    QString addRefused;     // "新增" without a current contract
    QString emptyModify;    // "修改" on an empty list
    QString deleteField;    // the field the delete question names
    QString deleteQuestion; // %1 = that field's value
};

// 1..8; an empty definition outside that range.
const PageDef& page(int page);

// The page's list, bound to :F_cltID.
QString listSql(int page);
SqlParams contractParams(int cltID);
// The shipment lines of one shipment, bound to :F_code.
QString linesSql();
inline QString linesLayout()
{
    return QStringLiteral("detail81");
}

// A record value as the delete questions show it: dates as yyyy-MM-dd.
QString questionValue(const QVariant& value);

// Change approval: sets approver and date, or clears them (the no-date
// value 1900-08-14) to withdraw.
bool approveChange(Database& db, qint64 id, const QString& oper, const QDate& day,
                   QString* error = nullptr);
bool withdrawChange(Database& db, qint64 id, QString* error = nullptr);

} // namespace DetailStore
