#pragma once
// Opening the finance windows from the main menu (each shown modally).

#include "data/Database.h"

class QWidget;

namespace brelvo::finance {

// "Caixa Fluxo" -> "Contas a Receber": Tfreceber.
void openReceber(QWidget *parent, data::DatabasePtr db);
// "Caixa Fluxo" -> "Contas a Pagar": Tfpagar.
void openPagar(QWidget *parent, data::DatabasePtr db);
// "Caixa Fluxo" -> "Fluxo Entrada Geral" and the "Fluxo de Caixa" button: TFFluxo.
void openFluxo(QWidget *parent, data::DatabasePtr db);

} // namespace brelvo::finance
