#pragma once
// Printouts of the registry windows: customer list, customer sheet, supplier
// listing. Each is prepared from the window's cursor and shown in the preview.

#include "data/Dataset.h"
#include "printing/PageModel.h"

class QWidget;

namespace brelvo::registries {

// "Lista Clientes": one line per customer of the cursor, in its order and
// filter, A4 landscape; the preview saves it as a spreadsheet by default.
printing::PreparedReport customerListReport(data::Table &clientes);

// "Dados Cliente": the current customer and its vehicles, A4 portrait.
printing::PreparedReport customerSheetReport(data::Table &clientes, data::Table &carros);

// "Fornecedor": one block per supplier of the cursor, A4 portrait.
printing::PreparedReport supplierListReport(data::Table &fornecedores);

// Shows prepared pages in the modal print preview.
void previewReport(printing::PreparedReport &report, QWidget *parent);

} // namespace brelvo::registries
