#pragma once
// Sums over a cursor and the total line the finance windows show.

#include "data/Dataset.h"

#include <QString>

namespace brelvo::finance {

// Sum of a field over every row the cursor lets through (an empty value adds
// 0). The cursor comes back to its row and its grids do not follow the walk.
double sumField(data::Dataset &rows, const QString &field);

// "1.234,56"; a negative amount with a leading minus.
QString amountText(double value);
// "Total: 1.234,56".
QString totalLine(double value);

} // namespace brelvo::finance
