// Opens one stock window on a database folder, for a look or a screenshot:
//   stock_show <folder> produtos|entrada|etiquetas|marcas [seed]
// With "seed" an empty folder gets a few products, a brand list and a delivery.

#include "data/Dataset.h"
#include "printing/PrintPreview.h"
#include "stock/StockBalance.h"
#include "stock/StockWindows.h"
#include "stock/TFGeraCodigoBarra.h"
#include "stock/TFormProdutos.h"

#include <QApplication>
#include <QDate>
#include <QTextStream>
#include <QTimer>

using namespace brelvo;

static void add(const data::DatabasePtr &db, const char *table, std::initializer_list<std::pair<const char *, QVariant>> v)
{
    data::Table t(db, QString::fromLatin1(table));
    t.open();
    t.append();
    for (const auto &[f, value] : v)
        t.setValue(QString::fromLatin1(f), value);
    t.post();
}

static void seed(const data::DatabasePtr &db)
{
    for (const char *m : {"BOSCH", "LUBRAX", "COFAP", "NGK"})
        add(db, "tbMarcas.db", {{"Marca", QString::fromLatin1(m)}});
    for (const char *c : {"FREIOS", "LUBRIFICANTES", "SUSPENSAO", "IGNICAO"})
        add(db, "tbCategoria.db", {{"Categoria", QString::fromLatin1(c)}});
    for (const char *m : {"UN", "LT", "PC", "JG"})
        add(db, "tbMedidas.db", {{"UnMedida", QString::fromLatin1(m)}});
    struct P { double code; const char *d, *m, *c, *u; double custo, margem; };
    const P ps[] = {{7891000315507, "OLEO MOTOR 15W40 1L", "LUBRAX", "LUBRIFICANTES", "LT", 18, 40},
                    {7896000000019, "PASTILHA DE FREIO DIANTEIRA", "BOSCH", "FREIOS", "JG", 64, 40},
                    {7896000000026, "AMORTECEDOR TRASEIRO", "COFAP", "SUSPENSAO", "PC", 150, 35},
                    {7896000000033, "VELA DE IGNICAO", "NGK", "IGNICAO", "PC", 12, 50}};
    for (const P &p : ps)
        add(db, "tbProdutos.db", {{"Codigo", p.code}, {"Descricao", QString::fromUtf8(p.d)}, {"Marca", QString::fromLatin1(p.m)},
                                  {"Categoria", QString::fromLatin1(p.c)}, {"Unidade", QString::fromLatin1(p.u)},
                                  {"PrecoCusto", p.custo}, {"Margem", p.margem}, {"Valor", p.custo * (1 + p.margem / 100)},
                                  {"Estoque", 0.0}, {"EstoqueMinimo", 2.0}, {"MonitorarEstq", QStringLiteral("S")},
                                  {"PermiteVenda", QStringLiteral("S")}});
    add(db, "tbReposicao.DB", {{"Data", QDate::currentDate()}, {"Codigo", 7896000000033.0}, {"Qtd", 10.0},
                               {"Descricao", QStringLiteral("VELA DE IGNICAO")}, {"PrecoCompra", 12.0},
                               {"Finalizada", QStringLiteral("S")}, {"Fornecedor", QStringLiteral("AUTO PECAS BRASIL")}});
    stock::StockBalance(db).refreshAll();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "uso: stock_show <pasta> produtos|entrada|etiquetas|marcas [seed]\n";
        return 2;
    }
    try {
        auto db = data::Database::open(args.at(1), true);
        if (args.size() > 3 && args.at(3) == QLatin1String("seed"))
            seed(db);
        const QString what = args.at(2);
        if (what == QLatin1String("produtos")) {
            stock::TFormProdutos w(db);
            w.resize(1000, 640);
            w.navigate(3);
            if (args.size() > 4 && args.at(4) == QLatin1String("busca"))
                QTimer::singleShot(300, &w, [&w] {
                    w.openSearch();
                    if (qEnvironmentVariableIsSet("STOCK_SHOW_DEBUG")) {
                        auto *p = w.findChild<QWidget *>(QStringLiteral("PanLocalizar"));
                        QTextStream(stderr) << "PanLocalizar visible=" << p->isVisible() << " hidden=" << p->isHidden()
                                            << " h=" << p->height() << '\n';
                    }
                });
            w.exec();
        } else if (what == QLatin1String("entrada")) {
            stock::openEntradaMercadorias(nullptr, db);
        } else if (what == QLatin1String("marcas")) {
            stock::openMarcas(nullptr, db);
        } else {
            printing::PreparedReport sheet = stock::TFGeraCodigoBarra::labelSheet(QStringLiteral("7891000315507"));
            printing::PrintPreview preview(sheet);
            preview.resize(1300, 740);
            // Real size, so that the bars can be judged on screen.
            QTimer::singleShot(500, &preview, [&preview] { preview.setZoom(printing::PrintPreview::Zoom::Actual); });
            preview.exec();
        }
    } catch (const data::DbError &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    return 0;
}
