#include "reports/ReportWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "orders/OrderWindows.h"

#include <memory>

namespace brelvo::reports {

void openRelatorios(QWidget *parent, data::DatabasePtr db, TFormRelatorios::Pagina pagina)
{
    std::unique_ptr<TFormRelatorios> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<TFormRelatorios>(db, parent); }))
        return;
    w->setPagina(pagina);
    // "Relatorios O.S ": the order search, modal over this window.
    w->setPesquisaOS([db](QWidget *over) { orders::openPesquisaAndamento(over, db); });
    core::dialogs().exec(w.get());
}

} // namespace brelvo::reports
