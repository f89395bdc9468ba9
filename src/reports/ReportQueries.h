#pragma once
// The reports' queries and the figures computed from them.
//
// The SQL texts are written as the reports window always wrote them (table
// file names, "PV" constants, (expr) Alias, Nº_Vendas ...) and go through the
// data layer's translation. The period and the employee code are named
// parameters (:DE, :ATE, :CODIGO) bound as a date or a number, never pasted.

#include "data/Dataset.h"

#include <QDate>
#include <QString>
#include <optional>

namespace brelvo::reports {

// ---------------------------------------------------------------- period

struct Periodo {
    QDate de;
    QDate ate;
};

// The two period boxes as typed ("dd/mm/yyyy", or nothing typed).
struct PeriodoLido {
    enum class Estado { Completo, Incompleto, Invalido };
    Estado estado = Estado::Incompleto;
    Periodo periodo;
    QString erro;           // Portuguese message when Invalido
};
// A box with nothing typed makes the period incomplete (the reports then do
// nothing); text that is not a date is Invalido with the message to show.
PeriodoLido lerPeriodo(const QString &de, const QString &ate);

// "Mês Atual": the first and last day of the month of `hoje`.
Periodo mesAtual(const QDate &hoje);

// The employee code as typed: digits only (blanks around are dropped).
std::optional<qint64> lerCodigoFuncionario(const QString &text);
// Message for a code box holding something that is not a number.
QString codigoInvalidoMensagem(const QString &text);

// ---------------------------------------------------------------- SQL texts

namespace sql {
QString tabelaPrecos();             // price list (no period)
QString produtosEmFalta();          // monitored products at or below zero
QString nuncaVendidos();            // products no "PV" order or sale holds
QString maisVendidos();             // best sellers of the orders (:DE, :ATE)
QString vendasCaixa();              // point-of-sale sales list
QString entradasOrdens();           // service-order list (by Data)
QString entradaCaixaDia();          // point-of-sale income by day and payment
QString recebimentosOrdens();       // service-order income by payment method
QString comissaoMecanicos();        // labour of each mechanic and its commission
QString caixaVendas();              // sum of the sales (TotalVenda)
QString caixaOrdens();              // sum of the orders (TotalOrdem)
QString funcionario();              // the employee of :CODIGO (rate)
QString comissaoTodos();            // commission statement, all (by DtOs)
QString comissaoItens(bool servicos);  // parts ("S") or services ("N") lines
} // namespace sql

// Sets the SQL of `q` and binds the period (when the text asks for it).
void prepararConsulta(data::Query &q, const QString &sqlText, const Periodo *periodo = nullptr);

// ---------------------------------------------------------------- figures

// The cash summary page: sums of the "PV" sales and orders of the period
// (an empty sum counts as 0).
struct CaixaGeral {
    double totalVenda = 0;
    double totalOrdem = 0;
    double totalGeral() const { return totalVenda + totalOrdem; }
};
CaixaGeral calcularCaixaGeral(data::Query &qrVendasCx, data::Query &qrVendasOs, const Periodo &periodo);

// The commission statement of one employee.
enum class FiltroComissao { Produtos, Servicos, Todos };
struct ExtratoComissao {
    double totalOS = 0;     // "Total O.S": sum of TotalVenda over the rows
    double totalGeral = 0;  // "Total Geral" (= Total O.S)
    double taxa = 0;        // percent
    double comissao = 0;    // Total Geral x taxa / 100
    int linhas = 0;         // rows of the statement query
};
// Runs QComissaoOS (and, for Todos, QrFuncionario for the rate).
ExtratoComissao calcularComissao(data::Query &qComissaoOS, data::Query &qrFuncionario, const Periodo &periodo,
                                 qint64 codigo, FiltroComissao filtro);

} // namespace brelvo::reports
