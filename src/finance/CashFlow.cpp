#include "finance/CashFlow.h"

#include "finance/Totals.h"

namespace brelvo::finance {

using data::Query;

namespace {
// The period goes in as :de (first day) and :ate (the day after the last),
// so a date that carries a time of day still counts on its day.
const char *kEntradas =
    "select (fantasia) as Cliente, (DataPagamento) as Entrada, (valorDocumento) as Valor from tbreceber\n"
    " where DataPagamento >= :de and DataPagamento < :ate order by DataPagamento";
const char *kSaidas =
    "select (fantasia) as Cliente, (DataPagamento) as saida, (valorDocumento) as Valor from tbpagar\n"
    " where DataPagamento >= :de and DataPagamento < :ate order by DataPagamento";
const char *kVendasCx =
    "select sum(tbVendas.VrVenda) as TotalVenda from tbVendas\n"
    "where tbVendas.DtVenda >= :de and tbVendas.DtVenda < :ate and VenOs=\"PV\"";
const char *kVendasOs =
    "select sum(tordemservico.VrTotal) as TotalOrdem from tordemservico\n"
    "where tordemservico.Data >= :de and tordemservico.Data < :ate and OsOc=\"PV\"";
const char *kOrdens =
    "select (tordemservico.Chave) Chave, (DtOs) Data_OS, (HrOs) HrOS, (Codigo) Cod_OS, NomeCliente, ForPagamento,"
    " (Desconto) VLDesconto, sum(VrTotal) Total_Venda\n"
    "from tordemservico where Andamento=\"FINALIZADO\" and OsOc=\"PV\" and Data >= :de and Data < :ate\n"
    "group by tordemservico.Chave, CodVendedor, DtOs, HrOs, Codigo, NomeCliente, Desconto, ForPagamento"
    " order by DtOs desc";
const char *kItens =
    "select tbItemsordem.Descricao, tbItemsordem.Qtd, tbItemsordem.ValorUni,"
    " (tbItemsordem.Qtd*tbItemsordem.ValorUni) SubTotal from tordemservico, tbItemsordem\n"
    "where tordemservico.Chave=tbItemsordem.CodVenda and tbItemsordem.CodVenda = :chave";

Query *make(const data::DatabasePtr &db, QObject *parent, const char *name, const char *sql)
{
    auto *q = new Query(db, parent);
    q->setObjectName(QString::fromLatin1(name));
    q->setSql(QString::fromUtf8(sql));
    return q;
}

} // namespace

Period monthOf(const QDate &day)
{
    const QDate first(day.year(), day.month(), 1);
    return {first, first.addMonths(1).addDays(-1)};
}

CashFlow::CashFlow(data::DatabasePtr db, QObject *parent) : QObject(parent), m_db(std::move(db))
{
    m_entradas = make(m_db, this, "queryentrada", kEntradas);
    m_saidas = make(m_db, this, "querysaida", kSaidas);
    m_vendasCx = make(m_db, this, "QrVendasCx", kVendasCx);
    m_vendasOs = make(m_db, this, "QrVendasOs", kVendasOs);
    m_ordens = make(m_db, this, "QueryVendas", kOrdens);
    m_itens = make(m_db, this, "QDetalhesVendas", kItens);
}

void CashFlow::run(Query *q, const Period &p)
{
    q->close();
    q->setParam(QStringLiteral("de"), p.from);
    q->setParam(QStringLiteral("ate"), p.to.addDays(1));
    q->open();
}

void CashFlow::analitico(const Period &p)
{
    run(m_entradas, p);
    run(m_saidas, p);
    calculoGeral(p);
    totalizar();
}

void CashFlow::calculoGeral(const Period &p)
{
    run(m_vendasCx, p);
    run(m_vendasOs, p);
    const QString ordem = QStringLiteral("TotalOrdem");
    m_fig.orderRevenueEmpty = m_vendasOs->isEmpty() || m_vendasOs->isNull(ordem);
    m_fig.orderRevenue = m_vendasOs->isEmpty() ? 0 : m_vendasOs->asFloat(ordem);
    m_fig.salesRevenue = m_vendasCx->isEmpty() ? 0 : m_vendasCx->asFloat(QStringLiteral("TotalVenda"));
    m_fig.otherRevenue = m_fig.orderRevenue + m_fig.salesRevenue;
}

void CashFlow::totalizar()
{
    m_fig.received = m_entradas->isOpen() ? sumField(*m_entradas, QStringLiteral("Valor")) : 0;
    m_fig.paid = m_saidas->isOpen() ? sumField(*m_saidas, QStringLiteral("Valor")) : 0;
    m_fig.totalIn = m_fig.received + m_fig.otherRevenue;
}

void CashFlow::vendasOS(const Period &p)
{
    run(m_ordens, p);
}

void CashFlow::detItemsOrdem(qint64 chave)
{
    m_itens->close();
    m_itens->setParam(QStringLiteral("chave"), chave);
    m_itens->open();
}

} // namespace brelvo::finance
