#include "reports/ReportWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"

#include <memory>

namespace brelvo::reports {

void openRelatorios(QWidget *parent, data::DatabasePtr db, TFormRelatorios::Pagina pagina)
{
    std::unique_ptr<TFormRelatorios> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<TFormRelatorios>(std::move(db), parent); }))
        return;
    w->setPagina(pagina);
    core::dialogs().exec(w.get());
}

} // namespace brelvo::reports
