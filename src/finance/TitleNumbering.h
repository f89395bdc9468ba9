#pragma once
// The visible number (`Codigo`) of receivables and payables: the highest
// number of the whole table plus one, whatever filter the window shows.
// A new row shows a provisional number when it is started; the number it
// keeps is drawn again when it is stored (postNumbered: inside the write
// transaction), so two programs saving at once never share one.

#include "data/Dataset.h"

namespace brelvo::finance {

// Highest `Codigo` of the table plus one (1 for an empty table).
qint64 nextCodigo(const data::DatabasePtr &db, const QString &table);

// Every row inserted through `table` takes its number just before it is stored.
void numberNewRows(data::Table *table, QObject *context);

// Stores the cursor's pending row in one write transaction.
void postNumbered(data::Table &table);

} // namespace brelvo::finance
