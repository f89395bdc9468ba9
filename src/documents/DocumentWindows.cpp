#include "documents/DocumentWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "documents/TForm1.h"

#include <memory>

namespace brelvo::documents {

namespace {
void run(QWidget *parent, data::DatabasePtr db, bool isAdmin, TForm1::Pagina pagina)
{
    std::unique_ptr<TForm1> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<TForm1>(std::move(db), isAdmin, parent); }))
        return;
    w->setPagina(pagina);
    core::dialogs().exec(w.get());
}
} // namespace

void openRecibo(QWidget *parent, data::DatabasePtr db, bool isAdmin)
{
    run(parent, std::move(db), isAdmin, TForm1::PaginaRecibo);
}

void openNotaPromissoria(QWidget *parent, data::DatabasePtr db, bool isAdmin)
{
    run(parent, std::move(db), isAdmin, TForm1::PaginaNota);
}

} // namespace brelvo::documents
