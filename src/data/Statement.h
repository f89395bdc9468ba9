#pragma once
// Reading and writing with SQL outside a cursor, for rules that work on many
// rows at once. The SQL is written as for Query (table file names, :named
// parameters, 'mm/dd/yyyy' dates) and values are always bound.
//
//   ForwardQuery q(db, "SELECT Codigo, Qtd FROM tbReposicao.DB WHERE Data >= :d");
//   q.setParam("d", QDate(2024, 1, 1));
//   while (q.next())
//       use(q.value(0), q.value("Qtd"));
//
//   Statement s(db, "UPDATE tbProdutos.db SET Estoque = 0 WHERE Codigo = :c");
//   s.setParam("c", 123);
//   const int changed = s.run();

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace brelvo::data {

// Rows read once, in order, straight from the engine: only the current row is
// held, so any number of rows costs the same memory. The query runs at the
// first next() and again after rewind(), with the parameters set by then.
class ForwardQuery {
public:
    ForwardQuery(DatabasePtr db, const QString &sql);
    ~ForwardQuery();
    ForwardQuery(const ForwardQuery &) = delete;
    ForwardQuery &operator=(const ForwardQuery &) = delete;

    void setParam(const QString &name, const QVariant &value);   // name with or without ':'

    // Moves to the next row; false after the last one (the read is then over).
    bool next();
    // Ends the current read; the next next() runs the query again.
    void rewind();

    int columnCount() const;
    QStringList columnNames() const;
    // Values of the current row: a table column in its field type (dates as
    // QDate ...), a computed column as the engine gives it; null for an empty one.
    QVariant value(int column) const;
    QVariant value(const QString &name) const;      // without case

    // First column of the first row (null when there is none); the read ends.
    QVariant scalar();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// One data-changing statement (UPDATE, INSERT ... SELECT, DELETE, ALTER TABLE)
// over any number of rows, run in one transaction: it changes every row or,
// on failure, none. Inside a transaction the caller opened, it is a step of
// that transaction.
class Statement {
public:
    Statement(DatabasePtr db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void setParam(const QString &name, const QVariant &value);

    // The statement reads large parts of big tables once: the engine may use
    // more memory for the run and gives it back afterwards.
    void setLargeScan(bool on);

    // Runs it; returns the number of rows changed. Throws DbError.
    int run();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace brelvo::data
