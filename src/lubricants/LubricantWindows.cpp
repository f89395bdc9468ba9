#include "lubricants/LubricantWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "lubricants/TF_Cad_Lub.h"
#include "lubricants/TF_consulta.h"

#include <memory>

namespace brelvo::lubricants {

namespace {
// A failure to open the table is shown, not thrown.
template <typename W>
void run(QWidget *parent, data::DatabasePtr db)
{
    std::unique_ptr<W> w;
    if (core::guarded(parent, [&] { w = std::make_unique<W>(std::move(db), parent); }))
        core::dialogs().exec(w.get());
}
} // namespace

void openConsulta(QWidget *parent, data::DatabasePtr db) { run<TF_consulta>(parent, std::move(db)); }

void openCadastro(QWidget *parent, data::DatabasePtr db) { run<TF_Cad_Lub>(parent, std::move(db)); }

} // namespace brelvo::lubricants
