#include "orders/OrderData.h"

#include "orders/OrderRules.h"
#include "stock/StockBalance.h"

namespace brelvo::orders {

using data::Query;
using data::Table;

qint64 firstFreeOrderNumber(const data::DatabasePtr &db, qint64 from)
{
    // Walk the numbers in use from `from` upwards until the first gap.
    Query q(db);
    q.setSql(QStringLiteral("select distinct Codigo from TOrdemServico where Codigo >= :vDe order by Codigo"));
    q.setParam(QStringLiteral("vDe"), from);
    q.open();
    qint64 n = from;
    for (; !q.eof(); q.next()) {
        const double v = q.asFloat(QStringLiteral("Codigo"));
        if (v > double(n))
            break;
        if (v == double(n))
            ++n;
    }
    q.close();
    return n;
}

void prepareHistory(Query &q, const QString &plate, const QDate &upTo)
{
    q.close();
    q.setSql(QStringLiteral(
        "select Codigo,Chave,(Data) Data_OS,HrOS,NomeCliente,Modelo,Placa, Desconto,Sum(VrTotal) Total\n"
        "from tordemservico where Placa=:vPlaca and OsOC='PV' and Data between :vDe and :vAte\n"
        "group by Chave,Modelo, Placa, Data,HrOs,Codigo,NomeCliente,Desconto order by Data desc"));
    q.clearParams();
    q.setParam(QStringLiteral("vPlaca"), plate);
    q.setParam(QStringLiteral("vDe"), QDate(1900, 1, 1));
    q.setParam(QStringLiteral("vAte"), upTo);
}

void prepareDetails(Query &q, qint64 orderChave)
{
    q.close();
    q.setSql(QStringLiteral(
        "select tbItemsordem.Descricao, tbItemsordem.Qtd, tbItemsordem.ValorUni,"
        "(tbItemsordem.Qtd*tbItemsordem.ValorUni) SubTotal  from   tordemservico, tbItemsordem\n"
        "where  tordemservico.Chave=tbItemsordem.CodVenda and tbItemsordem.CodVenda=:vChave"));
    q.clearParams();
    q.setParam(QStringLiteral("vChave"), orderChave);
}

void prepareCars(Query &q, qint64 customerCode)
{
    q.close();
    q.setSql(QStringLiteral(
        "Select TCadastroCarros.Modelo,TCadastroCarros.Anofabrica,TCadastroCarros.AnoModelo,"
        "TCadastroCarros.Fabricante,TCadastroCarros.Cor,TCadastroCarros.Placa,\n"
        "TCadastroCarros.Combustivel from TbCliente,TCadastroCarros "
        "where TCadastroCarros.link=TbCliente.Codigo and TbCliente.Codigo=:vCodigo"));
    q.clearParams();
    q.setParam(QStringLiteral("vCodigo"), customerCode);
}

std::optional<QString> employeeName(const data::DatabasePtr &db, qint64 code)
{
    Query q(db);
    q.setSql(QStringLiteral("select codigo,nome,Comissao from tbFunciocario where Codigo=:vCodigo"));
    q.setParam(QStringLiteral("vCodigo"), code);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    return q.asString(QStringLiteral("nome"));
}

std::optional<ProductForLine> findProduct(Table &produtos, const QString &typedCode)
{
    const auto code = stock::StockBalance::parseCode(typedCode);
    if (!code)
        return std::nullopt;
    produtos.setIndexName(QStringLiteral("byCodigo"));
    if (!produtos.findKey({double(*code)}))
        return std::nullopt;
    ProductForLine p;
    p.codigo = produtos.asFloat(QStringLiteral("Codigo"));
    p.descricao = produtos.asString(QStringLiteral("Descricao"));
    p.valor = produtos.asFloat(QStringLiteral("Valor"));
    p.monitorarEstq = produtos.asString(QStringLiteral("MonitorarEstq"));
    p.permiteVenda = produtos.asString(QStringLiteral("PermiteVenda"));
    return p;
}

bool stockAllows(stock::StockBalance &balance, const ProductForLine &p)
{
    // The flags first: a service or a product sold without stock needs no sums.
    if (p.monitorarEstq == QLatin1String("N") || p.permiteVenda == QLatin1String("S"))
        return true;
    return mayAddProduct(balance.balance(qint64(p.codigo)), p.monitorarEstq, p.permiteVenda);
}

} // namespace brelvo::orders
