#pragma once

#include "data/CodeAllocation.h"
#include "data/Database.h"
#include "data/SqlBuilder.h"

#include <QDate>
#include <QString>
#include <QStringList>

class RecordModel;

// One t_FHrec row as the shipment windows edit it. Its lines (t_FHdetail)
// are tied to it by the shipment code, not by its key.
struct Shipment
{
    qint64 id = 0; // F_ID; 0 for a shipment not saved yet
    int cltID = -1;
    QString code; // given when saved; a new shipment's code is allocated then
    QString oldCode;
    QString fhEmp;
    QDate fhDate;
    QString shEmp;
    bool shDateGiven = false;
    QDate shDate;
    QString shAddress;
    QString shPhone;
    QString shHandPhone;
    QString filePath;
    QString memo1;
    QString operName;
};

// Who saves a shipment. The management window may move a shipment to
// another contract and knows no mobile number; the edit window keeps the
// contract, marks its shipments with F_mainID -1 and writes the mobile.
enum class ShipmentWriter
{
    Management,
    EditWindow
};

// The criteria of the shipment query; texts are taken as typed (trimmed
// when used), an empty text adds nothing, a date bound applies when ticked.
struct ShipmentQueryCriteria
{
    bool fhFromTicked = false;
    QDate fhFrom;
    bool fhToTicked = false;
    QDate fhTo;
    bool shFromTicked = false;
    QDate shFrom;
    bool shToTicked = false;
    QDate shTo;
    QString fhEmp, oldCode, contractName, shEmp, shPhone, shAddress;
    QString goodsCode, goodsName, goodsType;
};

// The SQL of the shipment windows and of the shipment query. Every value is
// bound.
namespace ShipmentStore {

// The next code of the day's series, FH-yyyymmdd-NNN (001 for the day's
// first). Run inside the saving transaction.
AllocatedCode nextCode(Database& db, const QDate& day);

// The shipments entered on one day, with their contract's code and name, by
// code (the management window).
QString dayListSql();
SqlParams dayListParams(const QDate& entryDate);

// The shipments of one contract, as the main window's shipment page lists
// them.
QString contractListSql();
SqlParams contractListParams(int cltID);
// How many goods lines the contract holds (-1 on failure, with the reason).
int contractGoodsCount(Database& db, int cltID, QString* error = nullptr);

// The lines of one shipment in order of entry; a shipment without a code
// has none.
QString linesSql();
SqlParams linesParams(const QString& code);
// A line set that holds no lines, for a shipment being added.
SqlParams noLinesParams();

// Drops the pending lines that name no goods (neither code nor name).
void dropEmptyLines(RecordModel* lines);
// The sum of the lines' amounts as the set holds them.
double linesTotal(const RecordModel& lines);

// Saves the header and the pending lines in one transaction (inside the
// caller's when there is one): the lines first, each carrying the shipment
// code, then the header with the lines' total. A new shipment (id 0) gets
// its code and entry date (today) here. On success `shipment` holds the
// saved key and code; the line set still holds its pending edits until the
// caller reads it again. On failure nothing is stored, `shipment` and the
// pending lines are unchanged.
bool save(Database& db, Shipment* shipment, RecordModel* lines, ShipmentWriter writer,
          QString* error = nullptr);

// Removes a shipment and its lines (lines first) in one transaction;
// nothing changes on failure.
bool deleteShipment(Database& db, const QString& code, QString* error = nullptr);

// The shipment query: the shipments with their contract and project that
// meet every criterion set, by code. The goods criteria must all hold on
// one line of the shipment.
SqlBuilder queryStatement(const SqlDialect& dialect, const ShipmentQueryCriteria& criteria);

// The employees' names for the query's shipper list.
bool employeeNames(Database& db, QStringList* out, QString* error = nullptr);

// The code lists the shipment windows offer.
inline const QString kManagementShippers = QStringLiteral("empName");
inline const QString kEditShippers = QStringLiteral("fhemp");
inline const QString kGoodsTypes = QStringLiteral("gdtype");

} // namespace ShipmentStore
