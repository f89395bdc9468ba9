#pragma once
// Visible sequence numbers: the customer, supplier, employee, order, sale,
// title, receipt and note numbers people see and quote. A table declares its
// rule once (the catalogue does, or a cursor with Table::setNumbering); the
// cursor shows a provisional number while a new row is typed, and post()
// draws the real one inside the write transaction that stores the row, so two
// desks adding rows at the same moment never get the same number.

#include <QString>

namespace brelvo::data {

class Database;

enum class NumberRule {
    None,
    HighestPlusOne,     // the highest number in the table + 1
    LastPlusOne,        // the number of the row added last + 1
    LastPlusOneFree,    // the number of the row added last + 1, or the next one no row holds
};

struct Numbering {
    QString field;              // "Codigo"
    NumberRule rule = NumberRule::None;
    qint64 first = 1;           // the number of the first row of an empty table
    bool isSet() const { return rule != NumberRule::None && !field.isEmpty(); }
};

// The number a row added now would get. Nothing is reserved: another desk may
// store a row first, and the number drawn at post then differs.
qint64 provisionalNumber(Database &db, const QString &table, const Numbering &numbering);

// The number of a row about to be stored. Must be called inside the write
// transaction that stores the row (throws DbError otherwise): the transaction
// keeps other writers out until the row is in.
qint64 drawNumber(Database &db, const QString &table, const Numbering &numbering);

// True when a row of the table holds `number` in the numbered field.
bool numberTaken(Database &db, const QString &table, const Numbering &numbering, qint64 number);

} // namespace brelvo::data
