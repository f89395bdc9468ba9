#pragma once
// Opening the reports window from the main menu (modal, destroyed when closed).

#include "data/Database.h"
#include "reports/TFormRelatorios.h"

class QWidget;

namespace brelvo::reports {

// "Relatórios &Gerais" and "&Relatórios (F4)": page "Geral"; "Comis&são
// Mecanicos": page "Ordem De Serviços"; "Relatórios de &Produtos": page "Produtos".
// Its "Relatorios O.S " buttons open the order search TForm_Pesquisa.
void openRelatorios(QWidget *parent, data::DatabasePtr db,
                    TFormRelatorios::Pagina pagina = TFormRelatorios::PaginaGeral);

} // namespace brelvo::reports
