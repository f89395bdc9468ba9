#include "reports/ReportQueries.h"

#include "core/Format.h"

namespace brelvo::reports {

namespace {
QString lines(std::initializer_list<const char *> parts)
{
    QStringList l;
    for (const char *p : parts)
        l << QString::fromUtf8(p);
    return l.join(QLatin1Char('\n'));
}
} // namespace

// ---------------------------------------------------------------- period

PeriodoLido lerPeriodo(const QString &de, const QString &ate)
{
    PeriodoLido r;
    if (de.trimmed().isEmpty() || ate.trimmed().isEmpty())
        return r;
    const auto d1 = core::parseDate(de);
    const auto d2 = core::parseDate(ate);
    if (!d1 || !d2) {
        r.estado = PeriodoLido::Estado::Invalido;
        r.erro = QStringLiteral("'%1' não é uma data válida!").arg(!d1 ? de : ate);
        return r;
    }
    r.estado = PeriodoLido::Estado::Completo;
    r.periodo = {*d1, *d2};
    return r;
}

Periodo mesAtual(const QDate &hoje)
{
    const QDate primeiro(hoje.year(), hoje.month(), 1);
    return {primeiro, primeiro.addMonths(1).addDays(-1)};
}

std::optional<qint64> lerCodigoFuncionario(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty() || s.size() > 15)
        return std::nullopt;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return s.toLongLong();
}

QString codigoInvalidoMensagem(const QString &text)
{
    return QStringLiteral("Código do vendedor inválido: '%1'. Digite somente números!").arg(text.trimmed());
}

// ---------------------------------------------------------------- SQL texts

namespace sql {

QString tabelaPrecos()
{
    return QStringLiteral("Select Codigo, Descricao,Unidade,Valor  from tbProdutos order by Descricao");
}

QString produtosEmFalta()
{
    return lines({"Select (Codigo)Nº_Codigo_Barra,Descricao ,Estoque from tbProdutos where MonitorarEstq=\"S\" "
                  "AND Estoque <= 0",
                  "order by Codigo"});
}

QString nuncaVendidos()
{
    // Sold means held by a "PV" service order or a "PV" till sale.
    return lines({"select (codigo)Nº_Codigo_Barra, descricao, Estoque from tbprodutos where not exists",
                  "(select * from tbitemsordem, tordemservico where tbitemsordem.CodBarra = tbprodutos.Codigo",
                  " and tordemservico.Chave = tbitemsordem.CodVenda and tordemservico.OsOc = \"PV\")",
                  "and not exists (select * from tbitems, tbvendas where tbitems.CodBarra = tbprodutos.Codigo",
                  " and tbvendas.Chave = tbitems.Link and tbvendas.VenOs = \"PV\")",
                  "order by codigo"});
}

QString maisVendidos()
{
    return lines({"select  Max(tbitemsordem.CodBarra) Nº_Codigo_Barra, (tbitemsordem.Descricao) Descricao, "
                  "Sum(tbitemsordem.Qtd)QtdVendida,",
                  "Sum(tbitemsordem.ValorUni*tbitemsordem.qtd) ValorTotal from tbitemsordem, TOrdemServico where "
                  "TOrdemServico.OsOc=\"PV\" and TOrdemServico.Chave=tbitemsordem.CodVenda",
                  "and TOrdemServico.Data between :DE and :ATE group by Descricao ORDER BY QtdVendida DESC"});
}

QString vendasCaixa()
{
    return lines({"select (DtVenda) Data_Venda,HrVenda,CodVenda,CodVendedor,NomeCliente, ForPagamento,VLDesconto,"
                  "Sum(VrVenda) Total_Venda",
                  "from TbVendas where TbVendas.VenOs=\"PV\" and TbVendas.DtVenda between :DE and :ATE ",
                  "group by DtVenda,HrVenda,CodVendedor, ForPagamento,CodVenda,NomeCliente,VLDesconto "
                  "order by DtVenda desc"});
}

QString entradasOrdens()
{
    return lines({"select (Data) Data_Venda,(HrOS)HrVenda,CodVendedor,(Codigo)CodVenda,NomeCliente,ForPagamento, "
                  "(Desconto) VLDesconto,Sum(VrTotal) Total_Venda",
                  "from tordemservico where OsOC=\"PV\" and Data between :DE and :ATE ",
                  "group by CodVendedor,Data,HrOs,Codigo,NomeCliente,Desconto,ForPagamento order by Data desc"});
}

QString entradaCaixaDia()
{
    return lines({"select (DtVenda) Data_Venda, ForPagamento,Sum(VrVenda) Total from TbVendas where "
                  "TbVendas.VenOs=\"PV\"",
                  "and TbVendas.DtVenda between :DE and :ATE group by DtVenda, ForPagamento",
                  "order by DtVenda, ForPagamento"});
}

QString recebimentosOrdens()
{
    // Every order of a group counts, also those without a payment method yet.
    return lines({"select ForPagamento,Count(*) Nº_Vendas,Sum(Vrtotal) Valor_Total from tordemservico "
                  "where OsOc=\"PV\"",
                  "and Data between :DE and :ATE group by ForPagamento ORDER BY Nº_Vendas DESC"});
}

QString comissaoMecanicos()
{
    return lines({"select tbFunciocario.codigo,(tordemServico.tecnico) as Nome_Mecânico, "
                  "sum(tbitemsordem.qtd*tbitemsordem.ValorUni) as TotalVenda,"
                  "sum(tbitemsordem.qtd*tbitemsordem.ValorUni)*(tbFunciocario.comissao/100) as Total_Comissão",
                  "from tbitemsordem, tordemservico, tbFunciocario where tordemservico.chave=tbitemsordem.CodVenda "
                  "AND tbFunciocario.FUNCAO=\"MECÂNICO\"  ",
                  "and tordemservico.Data between :DE and :ATE and OsOc=\"PV\" and "
                  "tordemServico.tecnico=tbFunciocario.Nome and tbitemsordem.monitorar=\"N\" "
                  "group by tbFunciocario.codigo,tordemServico.tecnico,tbFunciocario.nome",
                  "order by tbFunciocario.codigo,tordemServico.tecnico"});
}

QString caixaVendas()
{
    return lines({"select sum(tbVendas.VrVenda) as TotalVenda from tbVendas",
                  "where tbVendas.DtVenda between :DE and :ATE and VenOs=\"PV\""});
}

QString caixaOrdens()
{
    return lines({"select sum(tordemservico.VrTotal) as TotalOrdem from tordemservico",
                  "where tordemservico.Data between :DE and :ATE and OsOc=\"PV\""});
}

QString funcionario()
{
    return QStringLiteral("select codigo,nome,Comissao from tbFunciocario where Codigo=:CODIGO");
}

QString comissaoTodos()
{
    return lines({"select (tordemservico.Data) as Data_Venda ,(tordemservico.CodVendedor) Cod_Vendedor,"
                  "tbFunciocario.nome,(tbFunciocario.Comissao)Comissao, Count(tordemservico.VrTotal) Qtd_Vendas, "
                  "sum(tordemservico.VrTotal) as TotalVenda",
                  "from tordemservico,tbFunciocario where tordemservico.DtOs between :DE and :ATE and OsOc=\"PV\" "
                  "and tbFunciocario.comissionario=\"S\" and tordemservico.CodVendedor=:CODIGO",
                  "and tbFunciocario.codigo=tordemservico.CodVendedor group by tbFunciocario.Comissao, "
                  "tordemservico.Data, tordemservico.CodVendedor,tbFunciocario.nome"});
}

QString comissaoItens(bool servicos)
{
    return lines({"select (tordemservico.DtOs) as Data_Venda ,(tordemservico.CodVendedor) as Cod_Vendedor,"
                  "tbFunciocario.nome,tbFunciocario.Comissao,",
                  "tbFunciocario.Comissao, sum(tbitemsordem.qtd*tbitemsordem.ValorUni) as TotalVenda from "
                  "tbitemsordem,tordemservico,tbFunciocario where",
                  "tordemservico.chave=tbitemsordem.CodVenda and tordemservico.DtOs between :DE and :ATE and "
                  "OsOc=\"PV\" and tordemservico.CodVendedor=tbFunciocario.codigo and CodVendedor=:CODIGO",
                  servicos ? "and tbitemsordem.monitorar=\"N\" group by tbFunciocario.Comissao, tordemservico.DtOs, "
                             "tordemservico.CodVendedor,tbFunciocario.nome"
                           : "and tbitemsordem.monitorar=\"S\" group by tbFunciocario.Comissao, tordemservico.DtOs, "
                             "tordemservico.CodVendedor,tbFunciocario.nome"});
}

} // namespace sql

void prepararConsulta(data::Query &q, const QString &sqlText, const Periodo *periodo)
{
    q.close();
    q.clearParams();
    q.setSql(sqlText);
    if (periodo) {
        q.setParam(QStringLiteral("DE"), periodo->de);
        q.setParam(QStringLiteral("ATE"), periodo->ate);
    }
}

// ---------------------------------------------------------------- figures

CaixaGeral calcularCaixaGeral(data::Query &qrVendasCx, data::Query &qrVendasOs, const Periodo &periodo)
{
    CaixaGeral c;
    prepararConsulta(qrVendasCx, sql::caixaVendas(), &periodo);
    qrVendasCx.open();
    c.totalVenda = qrVendasCx.asFloat(QStringLiteral("TotalVenda"));
    prepararConsulta(qrVendasOs, sql::caixaOrdens(), &periodo);
    qrVendasOs.open();
    c.totalOrdem = qrVendasOs.asFloat(QStringLiteral("TotalOrdem"));
    return c;
}

ExtratoComissao calcularComissao(data::Query &qComissaoOS, data::Query &qrFuncionario, const Periodo &periodo,
                                 qint64 codigo, FiltroComissao filtro)
{
    ExtratoComissao e;
    const QVariant cod = codigo;
    if (filtro == FiltroComissao::Todos) {
        prepararConsulta(qrFuncionario, sql::funcionario());
        qrFuncionario.setParam(QStringLiteral("CODIGO"), cod);
        qrFuncionario.open();
        e.taxa = qrFuncionario.asFloat(QStringLiteral("Comissao"));
        prepararConsulta(qComissaoOS, sql::comissaoTodos(), &periodo);
    } else {
        prepararConsulta(qComissaoOS, sql::comissaoItens(filtro == FiltroComissao::Servicos), &periodo);
    }
    qComissaoOS.setParam(QStringLiteral("CODIGO"), cod);
    qComissaoOS.open();
    for (qComissaoOS.first(); !qComissaoOS.eof(); qComissaoOS.next()) {
        e.totalOS += qComissaoOS.asFloat(QStringLiteral("TotalVenda"));
        ++e.linhas;
    }
    if (filtro != FiltroComissao::Todos) {
        qComissaoOS.last();
        e.taxa = qComissaoOS.isEmpty() ? 0.0 : qComissaoOS.asFloat(QStringLiteral("Comissao"));
    }
    e.totalGeral = e.totalOS;
    e.comissao = e.totalGeral * e.taxa / 100.0;
    return e;
}

} // namespace brelvo::reports
