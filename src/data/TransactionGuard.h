#pragma once

#include <QString>

class Database;

// Every save runs inside one of these. It begins on construction (taking the
// write lock first), commits in one place, and rolls back on every other way
// out of the scope. Guards nest: an inner scope that ends without commit
// makes the outer commit fail and roll back.
class TransactionGuard
{
public:
    explicit TransactionGuard(Database& db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

    // False when the transaction could not be started.
    bool isActive() const { return m_active; }
    bool commit();
    void rollback();
    QString error() const { return m_error; }

private:
    Database& m_db;
    bool m_active = false;
    QString m_error;
};
