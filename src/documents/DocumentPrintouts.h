#pragma once
// The printed layouts of receipts and promissory notes, A4 portrait, one page
// each, ready for the print preview.

#include "documents/DocumentTexts.h"
#include "printing/PageModel.h"

#include <QDateTime>
#include <optional>

namespace brelvo::documents {

enum class ModeloRecibo {
    Personalizado,   // two plain copies on one page
    Padrao1Via,      // on the frame picture with the logo
    Padrao2Vias      // the same, twice on one page
};

// The pictures the program ships beside the executable.
QString arquivoMolduraRecibo();   // frame of the standard receipt
QString arquivoFundoNota();       // background of the promissory note
QString arquivoLogoPadrao();      // logo printed when none is set

// Lays out the receipt. `logo` is the path kept in logo.db (empty: the
// default logo). A picture that cannot be read gives nothing and *erro a
// Portuguese message. `agora` is the printing date and time.
std::optional<printing::PreparedReport> prepararRecibo(const ReciboTextos &r, ModeloRecibo modelo,
                                                       const QString &logo, QString *erro,
                                                       const QDateTime &agora = QDateTime::currentDateTime());

std::optional<printing::PreparedReport> prepararNota(const NotaTextos &n, QString *erro);

// The printing stamp as the layouts print it: "09/12/2026 14:03:22".
QString carimboImpressao(const QDateTime &agora);

} // namespace brelvo::documents
