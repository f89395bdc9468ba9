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
    core::ValueListWindow::Setup s;
    s.table = QString::fromLatin1(kind.table);
    s.field = QString::fromLatin1(kind.field);
    s.group = QString::fromUtf8(kind.group);
    // The same text in the three windows.
    s.emptyMessage = QStringLiteral("Preencha o nome da marca para adicionar!");
    s.nameBox = QStringLiteral("EditNome");
    s.addButton = QStringLiteral("BtAdicionar");
    s.removeButton = QStringLiteral("BtRemover");
    s.editButton = QStringLiteral("BtEditar");
    s.valueBox = QStringLiteral("DBEdit1");
    return s;
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
