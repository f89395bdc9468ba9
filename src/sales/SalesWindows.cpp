#include "sales/SalesWindows.h"

#include "core/DialogService.h"
#include "core/Widgets.h"
#include "sales/TFTrocaDev.h"

#include <memory>

namespace brelvo::sales {

namespace {
// Builds the window under the error guard (a table that cannot be opened is
// told) and shows it modally.
template <typename W, typename... Args>
void run(QWidget *parent, Args &&...args)
{
    std::unique_ptr<W> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<W>(std::forward<Args>(args)..., parent); }))
        return;
    core::dialogs().exec(w.get());
}
} // namespace

void openFrenteCaixa(QWidget *parent, data::DatabasePtr db, const QString &operador, PasswordCheck supervisor)
{
    run<TFormFrenteCaixa>(parent, std::move(db), operador, std::move(supervisor));
}

void openTrocaDev(QWidget *parent, data::DatabasePtr db)
{
    run<TFTrocaDev>(parent, std::move(db));
}

} // namespace brelvo::sales
