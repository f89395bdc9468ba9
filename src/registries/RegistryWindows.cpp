#include "registries/RegistryWindows.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "registries/RegistryRules.h"
#include "core/Widgets.h"
#include "registries/TF_Fornecedor.h"
#include "registries/TFormCadastro.h"
#include "registries/TFormFuncionario.h"

#include <QDir>
#include <QUrl>
#include <memory>

namespace brelvo::registries {

namespace {
// Windows are built here; a failure to open their tables is shown, not thrown.
template <typename W, typename... Args>
void run(QWidget *parent, Args &&...args)
{
    std::unique_ptr<W> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<W>(std::forward<Args>(args)..., parent); }))
        return;
    core::dialogs().exec(w.get());
}
} // namespace

void openClientes(QWidget *parent, data::DatabasePtr db, bool isAdmin)
{
    run<TFormCadastro>(parent, std::move(db), isAdmin);
}

void openFornecedores(QWidget *parent, data::DatabasePtr db) { run<TF_Fornecedor>(parent, std::move(db)); }

void openFuncionarios(QWidget *parent, data::DatabasePtr db) { run<TFormFuncionario>(parent, std::move(db)); }

void openFuncoes(QWidget *parent, data::DatabasePtr db) { run<TFormFuncao>(parent, std::move(db)); }

void editFabricantes()
{
    openUrl(QUrl::fromLocalFile(core::sharedFile(QStringLiteral("fabricantes.txt"))));
}

bool pesquisarClienteOS(QWidget *parent, data::DatabasePtr db, data::Table *ordem)
{
    std::unique_ptr<TFPesquisaOS> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<TFPesquisaOS>(std::move(db), ordem, parent); }))
        return false;
    core::dialogs().exec(w.get());
    return w->choice() != CustomerPicker::Choice::None;
}

bool pesquisarClienteVenda(QWidget *parent, data::DatabasePtr db, data::Table *venda, const SaleFocusBoxes &boxes)
{
    std::unique_ptr<TF_Pesquisa> w;
    if (!core::guarded(parent, [&] { w = std::make_unique<TF_Pesquisa>(std::move(db), venda, boxes, parent); }))
        return false;
    core::dialogs().exec(w.get());
    return w->choice() != CustomerPicker::Choice::None;
}

} // namespace brelvo::registries
