#include "data/Schema.h"

#include "data/Database.h"
#include "data/TransactionGuard.h"

#include <QStringList>

namespace Schema {

namespace {

// Contracts. Text columns compare without regard to letter case; dates are
// ISO text ("yyyy-MM-dd"); yes/no is 0/1.
const char* const kContractTable = R"(
CREATE TABLE Contract (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_cltID INTEGER DEFAULT 0,
  F_code TEXT COLLATE NOCASE DEFAULT '',
  F_name TEXT COLLATE NOCASE DEFAULT '',
  F_type TEXT COLLATE NOCASE DEFAULT '',
  F_empname TEXT COLLATE NOCASE DEFAULT '',
  F_date TEXT,
  F_totalPrice REAL DEFAULT 0,
  F_beginDate TEXT,
  F_endDate TEXT,
  F_status TEXT COLLATE NOCASE DEFAULT '',
  F_memo1 TEXT COLLATE NOCASE DEFAULT '',
  F_filePath TEXT COLLATE NOCASE DEFAULT '',
  F_memo2 TEXT COLLATE NOCASE DEFAULT '',
  F_GDflag INTEGER DEFAULT 0,
  F_GDpath TEXT COLLATE NOCASE DEFAULT '',
  F_editDate TEXT,
  F_OperName TEXT COLLATE NOCASE DEFAULT '',
  F_client1 TEXT COLLATE NOCASE DEFAULT '',
  F_client2 TEXT COLLATE NOCASE DEFAULT '',
  F_FZR1 TEXT COLLATE NOCASE DEFAULT '',
  F_FZR2 TEXT COLLATE NOCASE DEFAULT '',
  F_SFflag INTEGER DEFAULT 1,
  F_priceunit TEXT COLLATE NOCASE DEFAULT '',
  F_dept TEXT COLLATE NOCASE DEFAULT '',
  F_ZF1 TEXT COLLATE NOCASE DEFAULT '',
  F_ZF2 TEXT COLLATE NOCASE DEFAULT '',
  F_ZF3 TEXT COLLATE NOCASE DEFAULT '',
  F_ZF4 TEXT COLLATE NOCASE DEFAULT '',
  F_ZF5 TEXT COLLATE NOCASE DEFAULT '',
  F_RQ1 TEXT,
  F_RQ2 TEXT,
  F_RQ3 TEXT,
  F_RQ4 TEXT,
  F_RQ5 TEXT,
  F_SZ1 REAL DEFAULT 0,
  F_SZ2 REAL DEFAULT 0,
  F_SZ3 REAL DEFAULT 0,
  F_SZ4 REAL DEFAULT 0,
  F_SZ5 REAL DEFAULT 0,
  F_SHemp TEXT COLLATE NOCASE DEFAULT '',
  F_GCcode TEXT COLLATE NOCASE DEFAULT '',
  F_GCname TEXT COLLATE NOCASE DEFAULT ''
))";

} // namespace

bool isContractDatabase(Database& db, QString* error)
{
    bool ok = false;
    QString why;
    const QVariant n = db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = "
                                                "'table' AND name = 'Contract' COLLATE NOCASE"),
                                 {}, &ok, &why);
    if (!ok) {
        if (error)
            *error = why;
        return false;
    }
    if (n.toInt() == 0) {
        if (error)
            *error = QStringLiteral("不是合同管理数据库（缺少 Contract 表）");
        return false;
    }
    return true;
}

bool createTables(Database& db, QString* error)
{
    TransactionGuard tx(db);
    if (!tx.isActive()) {
        if (error)
            *error = tx.error();
        return false;
    }
    const QStringList statements{
        QString::fromUtf8(kContractTable),
        QStringLiteral("CREATE INDEX idx_Contract_cltID ON Contract(F_cltID)"),
        QStringLiteral("CREATE INDEX idx_Contract_date ON Contract(F_date)"),
        QStringLiteral("CREATE INDEX idx_Contract_code ON Contract(F_code)"),
        QStringLiteral("CREATE INDEX idx_Contract_type ON Contract(F_type)"),
    };
    for (const QString& sql : statements) {
        if (!db.exec(sql, {}, error))
            return false;
    }
    if (!tx.commit()) {
        if (error)
            *error = tx.error();
        return false;
    }
    return true;
}

} // namespace Schema
