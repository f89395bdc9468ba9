#pragma once
// Opening the stock windows from the main menu (each shown modally).

#include "data/Database.h"

class QWidget;

namespace brelvo::stock {

// "&Produtos e Serviços" -> "Cadastrar Produtos e Serviços": TFormProdutos.
void openProdutos(QWidget *parent, data::DatabasePtr db);
// "&Cadastros" -> "Entrada de Mercadorias": TFormEntradaMercadorias.
void openEntradaMercadorias(QWidget *parent, data::DatabasePtr db);
// "Cadastro Cate&gorias" -> "&Marcas", "M&edidas", "&Categoria".
void openMarcas(QWidget *parent, data::DatabasePtr db);
void openMedidas(QWidget *parent, data::DatabasePtr db);
void openCategorias(QWidget *parent, data::DatabasePtr db);
// The EAN-13 generator on its own (not serving a new product).
void openGeraCodigoBarra(QWidget *parent, data::DatabasePtr db);

} // namespace brelvo::stock
