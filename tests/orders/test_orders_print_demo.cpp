// Opens a printout of a sample service order the way the order window does,
// on screen, for checks by hand (save the preview as PDF, look at the
// receipt file):
//   orders_print_demo os|orcamento|orcamento-sem-valores|recibo [folder]
//   orders_print_demo cupom <port file> [folder]
// The sample database is made in the folder (a temporary one when omitted).

#include "data/Database.h"
#include "data/Dataset.h"
#include "orders/OrderPrintouts.h"
#include "test_orders_print_fixture.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTime>
#include <cstdio>

using namespace brelvo;
using orderprint::addRow;

namespace {

QString makeLogo(const QString &folder)
{
    QImage img(480, 320, QImage::Format_RGB32);
    img.fill(QColor(20, 60, 120));
    QPainter p(&img);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 64, QFont::Bold));
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("ACSJ"));
    p.end();
    const QString path = QDir(folder).filePath(QStringLiteral("logo.png"));
    img.save(path);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "uso: orders_print_demo os|orcamento|orcamento-sem-valores|recibo [pasta]\n"
                             "     orders_print_demo cupom <arquivo da porta> [pasta]\n");
        return 2;
    }
    const QString what = args.at(0);
    const bool receipt = what == QLatin1String("cupom");
    QTemporaryDir tmp;
    const QString folder = args.value(receipt ? 2 : 1, tmp.path());
    QDir().mkpath(folder);
    auto db = data::Database::open(folder, true);

    orderprint::setSettings(db, QStringLiteral("empresa.DB"),
             {{"Empresa", "AUTO CENTER SÃO JORGE"}, {"End", "RUA DAS OFICINAS, 120"}, {"Bairro", "CENTRO"},
              {"Cidade", "CAMPINAS"}, {"Uf", "SP"}, {"Cep", "13010-100"}, {"Cnpj", "12.345.678/0001-95"},
              {"IE", "244.123.456.789"}, {"Telefone", "(19) 3232-1000"}, {"Telefone2", "(19) 99876-5432"},
              {"Telefone3", "(19) 3232-1001"}, {"Site", "www.saojorge.com.br"}});
    orderprint::setSettings(db, QStringLiteral("logo.db"), {{"LogoCaminho", makeLogo(folder)}});
    orderprint::setSettings(db, QStringLiteral("tb_mensagems.db"),
             {{"Mensagem1", "Garantia de 90 dias para peças e serviços. Peças não retiradas em 30 dias serão "
                            "descartadas."},
              {"Mensagem2", "Declaro ter recebido o veículo acima em perfeito estado."}});
    if (receipt)
        orderprint::setSettings(db, QStringLiteral("tbPortaImpressora.db"), {{"Porta", args.value(1)}, {"Daruma", "S"}});

    data::Table c(db, QStringLiteral("tbCliente.DB"));
    c.open();
    if (c.isEmpty())
        addRow(c, {{"Codigo", 7}, {"Nome", "JOSÉ DA SILVA"}, {"RG", "22.333.444-5"}, {"CIC", "123.456.789-09"},
                {"Endereco", "AV. BRASIL, 500"}, {"CARRO", "JARDIM PAULISTA"}, {"Celular", "(19) 98888-7777"},
                {"Fone", "(19) 3241-5566"}, {"Cidade", "VALINHOS"}, {"UF", "SP"}});

    auto order = std::make_unique<data::Table>(db, QStringLiteral("TOrdemServico.DB"));
    order->open();
    if (order->isEmpty()) {
        addRow(*order, {{"Codigo", 42}, {"OsOc", "PV"}, {"Data", QDate(2026, 3, 9)}, {"Andamento", "EM ABERTO"},
                     {"Atendente", "MARIA"}, {"Tecnico", "CARLOS"}, {"CodVendedor", 3}, {"CodCliente", 7},
                     {"NomeCliente", "JOSÉ DA SILVA"}, {"DefeitoReclama", "BARULHO NA SUSPENSÃO DIANTEIRA"},
                     {"Obs", "CLIENTE AGUARDA NA LOJA"}, {"Modelo", "GOL 1.0"}, {"Fabricante", "VOLKSWAGEN"},
                     {"Placa", "ABC1D23"}, {"AnoFabrica", 2019}, {"Ano", 2020}, {"Km", 85400},
                     {"DataEntrega", QDate(2026, 3, 12)}, {"HoraEntrega", QTime(17, 30)}, {"Desconto", 20.5}});
        const qint64 chave = order->asInteger(QStringLiteral("Chave"));
        data::Table it(db, QStringLiteral("tbitemsordem.db"));
        it.open();
        addRow(it, {{"CodVenda", chave}, {"CodBarra", 7891000100103LL}, {"Qtd", 2}, {"ValorUni", 150.25},
                 {"Descricao", "PASTILHA DE FREIO DIANTEIRA"}, {"Monitorar", "S"}});
        addRow(it, {{"CodVenda", chave}, {"CodBarra", 7891000100202LL}, {"Qtd", 1}, {"ValorUni", 89.9},
                 {"Descricao", "FLUIDO DE FREIO DOT 4 500ML"}, {"Monitorar", "S"}});
        addRow(it, {{"CodVenda", chave}, {"CodBarra", 1}, {"Qtd", 1.5}, {"ValorUni", 80},
                 {"Descricao", "MÃO DE OBRA - REVISÃO DO SISTEMA DE FREIOS"}, {"Monitorar", "N"}});
    }
    order->first();
    data::Table items(db, QStringLiteral("tbitemsordem.db"));
    items.setIndexName(QStringLiteral("ByCodVenda"));
    items.setMasterSource(order.get(), QStringLiteral("Chave"), QStringLiteral("CodVenda"));
    items.open();

    const orders::OrderPrintSource src{db, order.get(), &items, QStringLiteral("0007"), {}};
    if (receipt) {
        orders::printOrderReceipt(nullptr, src);
        return 0;
    }
    orders::OrderLayout layout = orders::OrderLayout::ServiceOrder;
    if (what == QLatin1String("orcamento")) layout = orders::OrderLayout::QuoteWithValues;
    else if (what == QLatin1String("orcamento-sem-valores")) layout = orders::OrderLayout::QuoteWithoutValues;
    else if (what == QLatin1String("recibo")) layout = orders::OrderLayout::DeliveryReceipt;
    orders::printOrderLayout(nullptr, src, layout);
    return 0;
}
