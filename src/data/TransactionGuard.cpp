#include "data/TransactionGuard.h"

#include "data/Database.h"

TransactionGuard::TransactionGuard(Database& db) : m_db(db)
{
    m_active = m_db.beginTransaction(&m_error);
}

TransactionGuard::~TransactionGuard()
{
    rollback();
}

bool TransactionGuard::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_db.commitTransaction(&m_error);
}

void TransactionGuard::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_db.rollbackTransaction();
}
