#include "reports/ReportPrintouts.h"

#include "core/Format.h"
#include "data/Dataset.h"
#include "printing/Report.h"

#include <QDateTime>
#include <vector>

namespace brelvo::reports {

using printing::Align;
using printing::Expression;
using printing::PageSetup;
using printing::Report;

namespace {

const QString kCodigoBarra = QStringLiteral("0000000000000");
const QString kQuantidade = QStringLiteral("#,##0.###");
const QString kValor = QStringLiteral("###,##0.00");
const QString kReais = QStringLiteral("R$ ###,##0.00");
const QString kReaisTotal = QStringLiteral("R$ #####0.00");

struct Coluna {
    QString titulo;
    QString campo;          // the field shown, or
    Expression expr;        // a value computed from the row
    double largura = 20;
    QString mascara;
    Align align = Align::Left;
    printing::CellKind tipo = printing::CellKind::Auto;   // where the mask cannot tell
};

Coluna col(const char *titulo, const char *campo, double largura, const QString &mascara = QString(),
           Align align = Align::Left, printing::CellKind tipo = printing::CellKind::Auto)
{
    return {QString::fromUtf8(titulo), QString::fromUtf8(campo), {}, largura, mascara, align, tipo};
}

struct Resumo {
    QString titulo;
    QString campo;          // summed field; empty with no expr = count of lines
    Expression expr;
    QString mascara;
};

Resumo contagem()
{
    return {QStringLiteral("Total Registro Encontrados:"), QString(), {}, QString()};
}

Resumo soma(const char *titulo, const char *campo, const QString &mascara)
{
    return {QString::fromUtf8(titulo), QString::fromUtf8(campo), {}, mascara};
}

struct Listagem {
    QString titulo;
    QStringList subtitulos;         // under the title; the period heads the spreadsheets too
    bool dataHora = false;          // date and time beside the title
    std::vector<Coluna> colunas;
    std::vector<Resumo> resumo;
    bool rodape = true;             // "Pagina n" at the foot of every page
};

// Runs the rows of `ds` through a list layout. A cursor shown in a grid is
// walked with its controls quiet.
PreparedReport imprimir(const Listagem &l, data::Dataset *ds)
{
    Report r(l.titulo);
    r.setPage(PageSetup::a4Portrait());
    const int fTitulo = r.font(14, true);
    const int fSub = r.font(10);
    const int fNegrito = r.font(9, true);
    const int fCabecalho = r.font(8, true);
    const int fNormal = r.font(9);
    const double w = r.width();

    auto &t = r.title();
    double y = 0;
    t.label({0, y, w, 8}, l.titulo, fTitulo, Align::Center);
    if (l.dataHora) {
        t.systemDate({w - 40, y, 20, 5}, QStringLiteral("dd/mm/yyyy"), fNormal).setAlign(Align::Right);
        t.systemTime({w - 19, y, 19, 5}, QStringLiteral("hh:nn:ss"), fNormal).setAlign(Align::Right);
    }
    y += 9;
    for (const QString &s : l.subtitulos) {
        t.label({0, y, w, 6}, s, fSub, Align::Center);
        y += 6;
    }
    t.setHeight(y + 2);

    auto &head = r.columnHeader().setHeight(7);
    auto &det = r.detail().setHeight(5);
    double x = 0;
    for (const Coluna &c : l.colunas) {
        head.label({x, 0, c.largura - 1, 5}, c.titulo, fCabecalho, c.align);
        printing::Element &e = c.expr ? det.expression({x, 0, c.largura - 1, 4.5}, c.expr, c.mascara, fNormal)
                                      : det.field({x, 0, c.largura - 1, 4.5}, c.campo, c.mascara, fNormal);
        e.setAlign(c.align).setCellKind(c.tipo);
        x += c.largura;
    }
    head.line({0, 6}, {w, 6});

    if (!l.resumo.empty()) {
        auto &s = r.summary();
        s.line({0, 1}, {w, 1});
        double ys = 3;
        for (const Resumo &it : l.resumo) {
            s.label({0, ys, w - 52, 5}, it.titulo, fNegrito, Align::Right);
            const QRectF valor{w - 50, ys, 50, 5};
            if (it.expr)
                s.sum(valor, it.expr, it.mascara, fNegrito).setAlign(Align::Right);
            else if (!it.campo.isEmpty())
                s.sum(valor, it.campo, it.mascara, fNegrito).setAlign(Align::Right);
            else
                s.count(valor, it.mascara, fNegrito).setAlign(Align::Right);
            ys += 6;
        }
        s.setHeight(ys + 1);
    }
    if (l.rodape)
        r.pageFooter().setHeight(6).pageNumber({w - 40, 1, 40, 4}, QStringLiteral("Pagina %1"), fNormal)
            .setAlign(Align::Right);

    if (!ds) {
        r.setRows(std::vector<QVariantMap>{});
        return r.prepare();
    }
    ds->disableControls();
    struct Restore {
        data::Dataset *ds;
        ~Restore() { ds->enableControls(); }
    } restore{ds};
    r.setRows(ds);
    return r.prepare();
}

// A printout of title and summary lines only (no rows).
struct Linha {
    QString titulo;
    QString valor;
};

PreparedReport imprimirResumo(const QString &titulo, const QStringList &cabecalho, const std::vector<Linha> &linhas)
{
    Report r(titulo);
    r.setPage(PageSetup::a4Portrait());
    const int fTitulo = r.font(14, true);
    const int fSub = r.font(10);
    const int fNegrito = r.font(10, true);
    const int fNormal = r.font(9);
    const double w = r.width();

    auto &t = r.title();
    t.systemDate({w - 40, 0, 20, 5}, QStringLiteral("dd/mm/yyyy"), fNormal).setAlign(Align::Right);
    t.systemTime({w - 19, 0, 19, 5}, QStringLiteral("hh:nn:ss"), fNormal).setAlign(Align::Right);
    t.label({0, 6, w, 8}, titulo, fTitulo, Align::Center);
    double y = 16;
    for (const QString &s : cabecalho) {
        t.label({0, y, w, 6}, s, fSub, Align::Center);
        y += 6;
    }
    t.line({0, y + 1}, {w, y + 1});
    t.setHeight(y + 3);

    auto &s = r.summary();
    double ys = 2;
    for (const Linha &l : linhas) {
        s.label({0, ys, 110, 6}, l.titulo, fNegrito, Align::Right);
        s.label({112, ys, 60, 6}, l.valor, fNegrito, Align::Right);
        ys += 7;
    }
    s.setHeight(ys + 1);
    r.setRows(std::vector<QVariantMap>{});
    return r.prepare();
}

QVariant valorVezesEstoque(const printing::RowContext &row)
{
    return row.value(QStringLiteral("Valor")).toDouble() * row.value(QStringLiteral("Estoque")).toDouble();
}

} // namespace

QString periodoTexto(const QString &de, const QString &ate, const QString &prefixo, const QString &junta)
{
    return QStringLiteral("%1%2 %3 %4").arg(prefixo, de, junta, ate);
}

PreparedReport relatorioTabelaPrecos(data::Dataset *rows)
{
    Listagem l;
    l.titulo = QStringLiteral("Lista de Preços");
    l.colunas = {col("Codigo Barra", "Codigo", 34, kCodigoBarra), col("Descrição Produto", "Descricao", 100),
                 col("Unidade Medida", "Unidade", 26), col("Preço Venda", "Valor", 30, kValor, Align::Right)};
    return imprimir(l, rows);
}

PreparedReport relatorioProdutosEmFalta(data::Dataset *rows)
{
    Listagem l;
    l.titulo = QStringLiteral("Produtos em Falta");
    l.colunas = {col("Codigo", "Nº_Codigo_Barra", 34, kCodigoBarra), col("Descrição", "Descricao", 126),
                 col("Estoque", "Estoque", 30, kQuantidade, Align::Right)};
    l.resumo = {contagem()};
    return imprimir(l, rows);
}

PreparedReport relatorioNuncaVendidos(data::Dataset *rows)
{
    Listagem l;
    l.titulo = QStringLiteral("Relação Produtos Cadastrado Nunca Vendido");
    l.colunas = {col("Codigo", "Nº_Codigo_Barra", 34, kCodigoBarra), col("Descrição", "descricao", 126),
                 col("Estoque Atual ", "Estoque", 30, kQuantidade, Align::Right)};
    l.resumo = {contagem()};
    return imprimir(l, rows);
}

PreparedReport relatorioMaisVendidos(data::Dataset *rows, const QString &de, const QString &ate)
{
    Listagem l;
    l.titulo = QStringLiteral("Produtos Mais Vendidos nas O.S");
    l.subtitulos = {periodoTexto(de, ate)};
    l.colunas = {col("Codigo", "Nº_Codigo_Barra", 34, kCodigoBarra), col("Descrição", "Descricao", 100),
                 col("Qtd Vendida", "QtdVendida", 26, QStringLiteral("0.00"), Align::Right),
                 col("Valor Total", "ValorTotal", 30, kValor, Align::Right)};
    l.resumo = {contagem()};
    return imprimir(l, rows);
}

PreparedReport relatorioVendas(data::Dataset *rows, const QString &de, const QString &ate)
{
    Listagem l;
    l.titulo = QStringLiteral("Relatório Vendas");
    l.subtitulos = {periodoTexto(de, ate)};
    const QString codigo = QStringLiteral("000");
    l.colunas = {col("Data Venda", "Data_Venda", 21), col("Hr Venda", "HrVenda", 17),
                 col("Nº Venda", "CodVenda", 17, codigo), col("Vendedor", "CodVendedor", 17, codigo),
                 col("Cliente", "NomeCliente", 45), col("F. de Pagamento", "ForPagamento", 27),
                 col("Desconto", "VLDesconto", 23, kReais, Align::Right),
                 col("Valor Total", "Total_Venda", 23, kReais, Align::Right)};
    l.resumo = {contagem(), soma("Total em Desconto:", "VLDesconto", kReaisTotal),
                soma("Total Geral:", "Total_Venda", kReaisTotal)};
    return imprimir(l, rows);
}

PreparedReport relatorioEntradaCaixa(data::Dataset *rows, const QString &de, const QString &ate)
{
    Listagem l;
    l.titulo = QStringLiteral("Entrada Caixa");
    l.subtitulos = {periodoTexto(de, ate)};
    l.colunas = {col("Data", "Data_Venda", 40), col("Forma de Recebimento", "ForPagamento", 100),
                 col("Valor Total", "Total", 50, kReais, Align::Right)};
    l.resumo = {contagem(), soma("Total geral:", "Total", kReaisTotal)};
    return imprimir(l, rows);
}

PreparedReport relatorioRecebimentosOS(data::Dataset *rows, const QString &de, const QString &ate)
{
    Listagem l;
    l.titulo = QStringLiteral("Caixa Ordem de Serviços Detalhes");
    l.subtitulos = {periodoTexto(de, ate)};
    l.colunas = {col("Forma de Recebimento", "ForPagamento", 100),
                 col("Qtd. Vendas", "Nº_Vendas", 40, QStringLiteral("000"), Align::Right, printing::CellKind::Number),
                 col("Valor Total", "Valor_Total", 50, kReais, Align::Right)};
    l.resumo = {contagem(), soma("Qtd. Vendas Total:", "Nº_Vendas", QStringLiteral("000")),
                soma("Total geral:", "Valor_Total", kReaisTotal)};
    return imprimir(l, rows);
}

PreparedReport relatorioComissaoMecanicos(data::Dataset *rows, const QString &de, const QString &ate)
{
    Listagem l;
    l.titulo = QStringLiteral("Relatórios Atendimentos Mecânicos");
    l.subtitulos = {periodoTexto(de, ate, QStringLiteral("Período Selecionado: "), QStringLiteral("à"))};
    l.colunas = {col("Codigo Técnico ", "codigo", 30, QStringLiteral("000000")),
                 col("Nome Técnico ", "Nome_Mecânico", 90), col("Total", "TotalVenda", 35, kReais, Align::Right),
                 col("Comissão Total", "Total_Comissão", 35, kReais, Align::Right)};
    l.resumo = {contagem()};
    l.rodape = false;
    return imprimir(l, rows);
}

PreparedReport relatorioCaixaGeral(const CaixaGeral &caixa, const QString &de, const QString &ate)
{
    const QString mascara = QStringLiteral("R$ ####,##0.00");
    return imprimirResumo(
        QStringLiteral("Relatórios Caixa Geral"), {periodoTexto(de, ate)},
        {{QStringLiteral("Total Entradas Vendas Caixa"), core::formatMask(mascara, caixa.totalVenda)},
         {QStringLiteral("Total Entradas Ordem Serviços"), core::formatMask(mascara, caixa.totalOrdem)},
         {QStringLiteral("Total Geral"),
          QStringLiteral("R$ ") + core::formatMask(QStringLiteral("#######0.00"), caixa.totalGeral())}});
}

PreparedReport relatorioEstoque(data::Dataset *rows)
{
    Listagem l;
    l.titulo = QStringLiteral("Relatório Estoque");
    l.dataHora = true;
    Coluna total{QStringLiteral("Total R$"), QString(), valorVezesEstoque, 22, QStringLiteral("#####0.00"),
                 Align::Right, printing::CellKind::Money};
    l.colunas = {col("Codigo", "Codigo", 28, kCodigoBarra), col("Descrição", "Descricao", 62),
                 col("Marca", "Marca", 22), col("Categoria", "Categoria", 24),
                 col("Valor Un.", "Valor", 18, kValor, Align::Right),
                 col("Estoque", "Estoque", 14, kQuantidade, Align::Right), total};
    l.resumo = {contagem(), {QStringLiteral("Total Geral:"), QString(), valorVezesEstoque, kReaisTotal}};
    return imprimir(l, rows);
}

PreparedReport relatorioComissao(const ExtratoComissao &e, FiltroComissao filtro, const QString &de,
                                 const QString &ate, const QString &codigo, const QString &nome)
{
    const QString subtitulo = filtro == FiltroComissao::Todos      ? QStringLiteral("Produtos e Serviços")
                              : filtro == FiltroComissao::Produtos ? QStringLiteral("Produtos")
                                                                   : QStringLiteral("Serviços (Mão de Obra)");
    const QString colunaSoma = filtro == FiltroComissao::Todos ? QStringLiteral("Soma Vendas O.S")
                                                               : QStringLiteral("Soma Vendas O.S + Vendas Caixa");
    const QString valor = QStringLiteral("##,###,##0.00");
    const QString reais = QStringLiteral("R$ ");
    return imprimirResumo(
        QStringLiteral("Relatório de Vendas / Comissões"),
        {subtitulo, QStringLiteral("De: %1   a: %2").arg(de, ate),
         QStringLiteral("Codigo %1   Nome Vendedor %2").arg(codigo.trimmed(), nome),
         QStringLiteral("Comissão Total      %1").arg(colunaSoma)},
        {{QStringLiteral("Porcetagem % : "), core::formatMask(QStringLiteral("#######0.00"), e.taxa)},
         {QStringLiteral("Total O.S:"), reais + core::formatMask(valor, e.totalOS)},
         {QStringLiteral("Comisão A Receber:"), reais + core::formatMask(valor, e.comissao)},
         {QStringLiteral("Total Geral :"), reais + core::formatMask(valor, e.totalGeral)}});
}

} // namespace brelvo::reports
