#pragma once
// The four printouts of the cash-flow window.

#include "data/Dataset.h"
#include "finance/CashFlow.h"
#include "printing/PageModel.h"

#include <QStringList>

namespace brelvo::finance {

// The period as the window's boxes read it ("dd/mm/yyyy").
struct PeriodText {
    QString from, to;
};

// "FLUXO DE CAIXA": the period, the revenue of orders, the received and the
// paid titles, and the window's three bottom lines as they read.
printing::PreparedReport cashSummaryReport(const PeriodText &period, const CashFigures &figures,
                                           const QStringList &bottomLines);
// "Entradas" / "Saídas": one line per received (paid) title of the period.
printing::PreparedReport cashEntriesReport(const PeriodText &period, data::Dataset &entradas);
printing::PreparedReport cashExitsReport(const PeriodText &period, data::Dataset &saidas);
// "Detalhes Ordem de Serviços": the finalised orders of the period.
printing::PreparedReport cashOrdersReport(const PeriodText &period, data::Dataset &ordens);

} // namespace brelvo::finance
