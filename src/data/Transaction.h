#pragma once
// Scoped transaction for bulk tools: commits on commit(), rolls back when the
// scope is left otherwise (an exception, an early return).
//
//   Transaction tx(*db);
//   ... many posts or statements ...
//   tx.commit();

#include "data/Database.h"

namespace brelvo::data {

class Transaction {
public:
    explicit Transaction(Database &db) : m_db(db) { m_db.transaction(); }
    ~Transaction()
    {
        if (!m_done) {
            try {
                m_db.rollback();
            } catch (...) {
            }
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        if (!m_done) {
            m_db.commit();
            m_done = true;
        }
    }
    void rollback()
    {
        if (!m_done) {
            m_done = true;
            m_db.rollback();
        }
    }

private:
    Database &m_db;
    bool m_done = false;
};

} // namespace brelvo::data
