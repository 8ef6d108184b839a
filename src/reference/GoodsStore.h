#pragma once

#include "data/CodeAllocation.h"
#include "data/SqlBuilder.h"

#include <QString>
#include <QStringList>

class Database;

// One t_goods row as the goods windows edit it.
struct GoodsRecord
{
    qint64 id = 0;
    QString code;
    QString name;
    QString type;
    QString spec;
    QString unit;
    double price = 0;
    QString memo;
    bool stopped = false;
};

// The SQL of the goods catalogue and its picker. Every typed or picked value
// is bound; search texts match literally ('%', '_' and '\' included).
namespace GoodsStore {

// How a save treats the code: add and copy-add take a fresh one, modify
// keeps the row's own unless another goods holds it.
enum SaveMode
{
    Add = 1,
    Modify = 2,
    CopyAdd = 3
};

// Width of the running goods number (000001).
constexpr int kCodeWidth = 6;

// The goods list: goods of a type (name path prefix) whose code, name or
// memo contains the search text; blank criteria are left out.
SqlBuilder listQuery(const SqlDialect& dialect, const QString& type, const QString& search);

// What the picker lists.
struct PickerCriteria
{
    // Codes the caller has picked already in this call.
    QStringList excluded;
    // Only goods the contract has goods lines of (-1: any goods).
    qint64 contractId = -1;
    QString type;
    QString search; // code or name
};
SqlBuilder pickerQuery(const SqlDialect& dialect, const PickerCriteria& criteria);

// The code an add would take now: the largest code plus one. It is shown
// only; save() takes the code again inside its transaction.
AllocatedCode proposeCode(Database& db);

// Writes the goods in one transaction. Add and copy-add allocate the code
// inside it, so that two workstations never share one; a modify that would
// give the goods another goods' code takes a fresh code instead. The code
// written comes back in `goods->code`, the key in `goods->id`.
bool save(Database& db, SaveMode mode, GoodsRecord* goods, QString* error = nullptr);

// The goods of a code; false when there is none (`error` empty) or on failure.
bool read(Database& db, const QString& code, GoodsRecord* goods, QString* error = nullptr);

} // namespace GoodsStore
