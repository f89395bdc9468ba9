#pragma once
// The printed list of the receivables and payables windows: the rows of the
// main cursor as filtered and ordered, with the total of the amounts.

#include "data/Dataset.h"
#include "finance/TitleKind.h"
#include "printing/PageModel.h"

namespace brelvo::printing { class Report; }

namespace brelvo::finance {

// Prepares a report over a cursor that grids show: the grids stay still
// while the report walks it, and the cursor comes back to its row.
printing::PreparedReport prepareOver(printing::Report &report, data::Dataset &rows);

printing::PreparedReport titleListReport(const TitleKind &kind, data::Table &rows);

} // namespace brelvo::finance
