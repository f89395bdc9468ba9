#pragma once
// Entry points of the receipts and promissory notes window for the main menu.
// Each opens a new window modally (through the dialog service) and destroys
// it when it closes.

#include "data/Database.h"

class QWidget;

namespace brelvo::documents {

// "Recibo": the window on its receipt page. isAdmin is passed on to the
// customer window it may open.
void openRecibo(QWidget *parent, data::DatabasePtr db, bool isAdmin);
// "Nota Promissoria": the same window on its promissory-note page.
void openNotaPromissoria(QWidget *parent, data::DatabasePtr db, bool isAdmin);

} // namespace brelvo::documents
