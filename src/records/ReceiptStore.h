#pragma once

#include "data/Database.h"

#include <QDate>
#include <QString>

// One t_SKrec row as the receipt windows edit it. Whether it is a receipt or
// a payment follows from its contract's F_SFflag; amounts are never signed.
struct Receipt
{
    qint64 id = 0;
    int cltID = -1;
    QDate date;
    QString oldCode;
    double ysPrice = 0;
    bool ysDateGiven = false;
    QDate ysDate;
    double skPrice = 0;
    bool skDateGiven = false;
    QDate skDate;
    double kpPrice = 0;
    QString memo1;
    QString operName;
};

// The statements of the receipt windows. They run inside the caller's
// transaction; every value is bound.
namespace ReceiptStore {

// Adds the row; the new F_ID goes into `receipt->id`.
bool insert(Database& db, Receipt* receipt, QString* error = nullptr);
// Rewrites the row F_ID = receipt.id. `moveContract` also writes F_cltID
// (the list variant, where another contract may have been picked).
bool update(Database& db, const Receipt& receipt, bool moveContract, QString* error = nullptr);

// The receipts of one contract as the main window's receipts page lists
// them.
QString contractListSql();
SqlParams contractListParams(int cltID);

} // namespace ReceiptStore
