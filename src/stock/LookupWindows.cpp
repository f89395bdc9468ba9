#include "stock/LookupWindows.h"

namespace brelvo::stock {

const TFormLookup::Kind TFormLookup::kMarcas = {"TFormMarcas", "Cadastro Marcas", "Marcas", "tbMarcas.db", "Marca"};
const TFormLookup::Kind TFormLookup::kMedidas = {"TFormMedidas", "Cadastro Medidas", "Medidas", "tbMedidas.db",
                                                 "UnMedida"};
const TFormLookup::Kind TFormLookup::kCategorias = {"TFormCategoria", "Cadastro Categorias", "Categoria",
                                                    "tbCategoria.db", "Categoria"};

namespace {
core::ValueListWindow::Setup setupOf(const TFormLookup::Kind &kind)
{
    // The column is captioned after the field; the message is the same in the three windows.
    return {QString::fromLatin1(kind.table), QString::fromLatin1(kind.field), QString::fromUtf8(kind.group), QString(),
            QStringLiteral("Preencha o nome da marca para adicionar!"), QStringLiteral("EditNome"),
            QStringLiteral("BtAdicionar"), QStringLiteral("BtRemover"), QStringLiteral("BtEditar"),
            QStringLiteral("DBEdit1")};
}
} // namespace

TFormLookup::TFormLookup(const Kind &kind, data::DatabasePtr db, QWidget *parent)
    : ValueListWindow(std::move(db), setupOf(kind), parent)
{
    setObjectName(QString::fromLatin1(kind.className));
    setWindowTitle(QString::fromUtf8(kind.title));
    resize(420, 420);
}

} // namespace brelvo::stock
