#pragma once
// Numbering helpers of the registry windows.

#include "data/Dataset.h"

#include <QObject>

namespace brelvo::registries {

// Highest `Codigo` of a table in code order, over every row (a filter in
// force is lifted for the search). 0 for an empty table. Leaves the cursor on
// the index `byCodigo`.
qint64 highestCode(data::Table &table);

// A row stored without a `Codigo` (typed straight into an empty table, before
// any "new" button) gets the highest number plus one when it is posted.
void numberOnPost(data::Table *table, QObject *context);

} // namespace brelvo::registries
