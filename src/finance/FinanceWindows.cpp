#include "finance/FinanceWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "finance/TFFluxo.h"
#include "finance/Tfpagar.h"
#include "finance/Tfreceber.h"

#include <memory>

namespace brelvo::finance {

namespace {
// A failure to open the tables is shown, not thrown.
template <typename W>
void run(QWidget *parent, data::DatabasePtr db)
{
    std::unique_ptr<W> w;
    if (core::guarded(parent, [&] { w = std::make_unique<W>(std::move(db), parent); }))
        core::dialogs().exec(w.get());
}
} // namespace

void openReceber(QWidget *parent, data::DatabasePtr db) { run<Tfreceber>(parent, std::move(db)); }

void openPagar(QWidget *parent, data::DatabasePtr db) { run<Tfpagar>(parent, std::move(db)); }

void openFluxo(QWidget *parent, data::DatabasePtr db) { run<TFFluxo>(parent, std::move(db)); }

} // namespace brelvo::finance
