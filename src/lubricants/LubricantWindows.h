#pragma once
// Opening the lubricant windows from the main menu (each shown modally).

#include "data/Database.h"

class QWidget;

namespace brelvo::lubricants {

// "Troca de Oleo": the lookup TF_consulta.
void openConsulta(QWidget *parent, data::DatabasePtr db);
// "&Cadastros" -> "Cadastro de Lubrificantes": the editor TF_Cad_Lub.
void openCadastro(QWidget *parent, data::DatabasePtr db);

} // namespace brelvo::lubricants
