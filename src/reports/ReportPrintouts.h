#pragma once
// The printouts of the reports window: A4 portrait pages with the title on
// the first page, the column captions on every page, one detail line per
// result row, the summary at the end and, where the report has one, the page
// footer "Pagina n". "Total Registro Encontrados:" counts the lines printed.
// `de` and `ate` are the period boxes' dates as shown ("dd/mm/yyyy").

#include "printing/PageModel.h"
#include "reports/ReportQueries.h"

namespace brelvo::data { class Dataset; }

namespace brelvo::reports {

using printing::PreparedReport;

// Price list (QrProdutos: Codigo, Descricao, Unidade, Valor).
PreparedReport relatorioTabelaPrecos(data::Dataset *rows);
// Products out of stock (Nº_Codigo_Barra, Descricao, Estoque).
PreparedReport relatorioProdutosEmFalta(data::Dataset *rows);
// Products never sold (Nº_Codigo_Barra, descricao, Estoque).
PreparedReport relatorioNuncaVendidos(data::Dataset *rows);
// Best sellers of the orders (Nº_Codigo_Barra, Descricao, QtdVendida, ValorTotal).
PreparedReport relatorioMaisVendidos(data::Dataset *rows, const QString &de, const QString &ate);
// Sales of the till or the service orders (QueryVendas of either list).
PreparedReport relatorioVendas(data::Dataset *rows, const QString &de, const QString &ate);
// Till income by day and payment method (Data_Venda, ForPagamento, Total).
PreparedReport relatorioEntradaCaixa(data::Dataset *rows, const QString &de, const QString &ate);
// Order income by payment method (ForPagamento, Nº_Vendas, Valor_Total).
PreparedReport relatorioRecebimentosOS(data::Dataset *rows, const QString &de, const QString &ate);
// Mechanics' labour and commission (codigo, Nome_Mecânico, TotalVenda, Total_Comissão).
PreparedReport relatorioComissaoMecanicos(data::Dataset *rows, const QString &de, const QString &ate);
// The cash summary of the period.
PreparedReport relatorioCaixaGeral(const CaixaGeral &caixa, const QString &de, const QString &ate);
// The stock list (Codigo, Descricao, Marca, Categoria, Valor, Estoque).
PreparedReport relatorioEstoque(data::Dataset *rows);
// The commission statement of one employee (title and summary only).
PreparedReport relatorioComissao(const ExtratoComissao &extrato, FiltroComissao filtro, const QString &de,
                                 const QString &ate, const QString &codigo, const QString &nome);

// "Período de: <de> a <ate>".
QString periodoTexto(const QString &de, const QString &ate, const QString &prefixo = QStringLiteral("Período de: "),
                     const QString &junta = QStringLiteral("a"));

} // namespace brelvo::reports
