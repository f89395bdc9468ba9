#pragma once
// Entry points of the registry windows for the main menu and for the windows
// that open them. Each opens a new window modally (through the dialog
// service) and destroys it when it closes.

#include "data/Database.h"
#include "registries/CustomerPickers.h"

class QWidget;

namespace brelvo::data { class Table; }

namespace brelvo::registries {

// Customers and vehicles (TFormCadastro). "&Deletar" only for an administrator.
void openClientes(QWidget *parent, data::DatabasePtr db, bool isAdmin);
// Suppliers (TF_Fornecedor).
void openFornecedores(QWidget *parent, data::DatabasePtr db);
// Employees (TFormFuncionario).
void openFuncionarios(QWidget *parent, data::DatabasePtr db);
// Job roles (TFormFuncao).
void openFuncoes(QWidget *parent, data::DatabasePtr db);
// Opens "fabricantes.txt" of the program's folder with the desktop's handler.
void editFabricantes();

// Customer pickers. The document cursor is the caller's current service order
// (TOrdemServico.DB) or sale (tbVendas.db); on a choice it is left in editing
// with the customer's fields copied, for the caller to store. True when a
// customer was chosen; closing the picker leaves the document unchanged.
bool pesquisarClienteOS(QWidget *parent, data::DatabasePtr db, data::Table *ordem);
bool pesquisarClienteVenda(QWidget *parent, data::DatabasePtr db, data::Table *venda,
                           const SaleFocusBoxes &boxes = {});

} // namespace brelvo::registries
