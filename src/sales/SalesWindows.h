#pragma once
// Entry points of the point-of-sale windows for the main menu. Each opens a
// new window modally (through the dialog service) and destroys it when it
// closes.

#include "data/Database.h"
#include "sales/TFormFrenteCaixa.h"

class QWidget;

namespace brelvo::sales {

// The till "Caixa" for the operator `operador` (shown in the window).
void openFrenteCaixa(QWidget *parent, data::DatabasePtr db, const QString &operador, PasswordCheck supervisor);
// "Troca & Devoluções", on the last sale.
void openTrocaDev(QWidget *parent, data::DatabasePtr db);

} // namespace brelvo::sales
