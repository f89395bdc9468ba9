#pragma once
// Opening the service-order windows (each shown modally, destroyed when closed).

#include "data/Database.h"
#include "orders/TFormOrdem.h"

class QWidget;

namespace brelvo::orders {

// "Or&dem de Serviço": TFormOrdem, maximised, on the last order.
void openOrdemServico(QWidget *parent, data::DatabasePtr db, const OrderWindowContext &context);
// "Pesquisa Andamento das O.S": TForm_Pesquisa.
void openPesquisaAndamento(QWidget *parent, data::DatabasePtr db);

} // namespace brelvo::orders
