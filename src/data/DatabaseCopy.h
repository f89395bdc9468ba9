#pragma once
// Moving a shop from one desk to several: every table of one database copied
// into a new, empty one (a SQLite folder into a PostgreSQL server), then
// checked table by table (row counts, sums of the number fields and of the
// text lengths). The source is only read.

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace brelvo::data {

struct TableCheck {
    QString table;              // catalogue file name
    qint64 sourceRows = 0, targetRows = 0;
    QStringList differences;    // Portuguese, one per differing figure
    bool ok() const { return differences.isEmpty() && sourceRows == targetRows; }
};

struct CopyReport {
    std::vector<TableCheck> tables;
    qint64 rows = 0;
    bool ok() const;
    // "tbProdutos.db: 5000 registros conferidos" ... and a last line with the verdict.
    QStringList lines() const;
};

// Copies every catalogue table of `from` into `to`, which must hold no rows
// but the ones a new database starts with (they give way to the copy), in
// one transaction of `to`, then checks it. Rows keep their order, and
// AutoInc numbers carry on after the highest copied one. Throws DbError.
CopyReport copyDatabase(Database &from, Database &to,
                        const std::function<void(const QString &table, qint64 rows)> &progress = {});

// Compares two databases table by table (counts and sums).
CopyReport compareDatabases(Database &from, Database &to);

// Databases opened afterwards are left without the planner statistics a
// SQLite file otherwise gets on opening and closing, so that a source read
// for a copy stays exactly as it was.
void keepSourcesUntouched();

} // namespace brelvo::data
