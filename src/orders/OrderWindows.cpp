#include "orders/OrderWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "orders/TForm_Pesquisa.h"

namespace brelvo::orders {

void openOrdemServico(QWidget *parent, data::DatabasePtr db, const OrderWindowContext &context)
{
    core::guarded(parent, [&] {
        TFormOrdem window(std::move(db), context, parent);
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        core::dialogs().exec(&window);
    });
}

void openPesquisaAndamento(QWidget *parent, data::DatabasePtr db)
{
    core::guarded(parent, [&] {
        TForm_Pesquisa window(std::move(db), parent);
        core::dialogs().exec(&window);
    });
}

} // namespace brelvo::orders
