#include "stock/StockWindows.h"

#include "core/DialogService.h"
#include "stock/LookupWindows.h"
#include "stock/TFGeraCodigoBarra.h"
#include "stock/TFormEntradaMercadorias.h"
#include "stock/TFormProdutos.h"

namespace brelvo::stock {

namespace {
template <typename W>
void run(QWidget *parent, data::DatabasePtr db)
{
    W window(std::move(db), parent);
    core::dialogs().exec(&window);
}
} // namespace

void openProdutos(QWidget *parent, data::DatabasePtr db) { run<TFormProdutos>(parent, std::move(db)); }
void openEntradaMercadorias(QWidget *parent, data::DatabasePtr db)
{
    run<TFormEntradaMercadorias>(parent, std::move(db));
}
void openMarcas(QWidget *parent, data::DatabasePtr db) { run<TFormMarcas>(parent, std::move(db)); }
void openMedidas(QWidget *parent, data::DatabasePtr db) { run<TFormMedidas>(parent, std::move(db)); }
void openCategorias(QWidget *parent, data::DatabasePtr db) { run<TFormCategoria>(parent, std::move(db)); }

void openGeraCodigoBarra(QWidget *parent, data::DatabasePtr db)
{
    TFGeraCodigoBarra window(std::move(db), parent);
    window.setVerifica(QStringLiteral("NAO"));
    core::dialogs().exec(&window);
}

} // namespace brelvo::stock
