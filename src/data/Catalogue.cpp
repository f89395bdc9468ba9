// The table catalogue: layouts, keys and indexes of every table, and the rows
// a new database starts with.

#include "data/Catalogue.h"

#include <QDate>
#include <initializer_list>

namespace brelvo::data {

namespace {

QString u8(const char *s) { return QString::fromUtf8(s); }

// Field shorthands.
FieldDef autoInc(const char *n) { return {u8(n), FieldType::AutoInc, 0}; }
FieldDef integer(const char *n) { return {u8(n), FieldType::Integer, 0}; }
FieldDef number(const char *n) { return {u8(n), FieldType::Number, 0}; }
FieldDef money(const char *n) { return {u8(n), FieldType::Money, 0}; }
FieldDef alpha(const char *n, int size) { return {u8(n), FieldType::Alpha, size}; }
FieldDef date(const char *n) { return {u8(n), FieldType::Date, 0}; }
FieldDef timeOfDay(const char *n) { return {u8(n), FieldType::Time, 0}; }
FieldDef memo(const char *n) { return {u8(n), FieldType::Memo, 0}; }
FieldDef graphic(const char *n) { return {u8(n), FieldType::Graphic, 0}; }
FieldDef logical(const char *n) { return {u8(n), FieldType::Logical, 0}; }

QStringList fieldList(std::initializer_list<const char *> fields)
{
    QStringList out;
    for (const char *f : fields)
        out << u8(f);
    return out;
}

// Primary index: unnamed, unique.
IndexDef primary(const char *field) { return {QString(), {u8(field)}, true, true}; }
// Primary index that windows also select by name.
// Ordering key of a list table that may hold equal values.
IndexDef listKey(const char *field) { return {QString(), {u8(field)}, false, true}; }
IndexDef namedPrimary(const char *name, const char *field) { return {u8(name), {u8(field)}, true, true}; }
// Named secondary index.
IndexDef named(const char *name, std::initializer_list<const char *> fields, bool unique = false)
{
    return {u8(name), fieldList(fields), unique, false};
}
// Unnamed index for field-list ordering and query speed. The item indexes on
// CodBarra also carry the flag, link and quantity, so that the stock balance
// of a product is summed from the index without reading the item rows.
IndexDef speed(std::initializer_list<const char *> fields) { return {QString(), fieldList(fields), false, false}; }
// Unnamed index that compares text as stored, for exact look-ups in queries.
IndexDef exactSpeed(std::initializer_list<const char *> fields)
{
    return {QString(), fieldList(fields), false, false, true};
}

TableDef table(const char *fileName, std::vector<FieldDef> fields, std::vector<IndexDef> indexes = {})
{
    TableDef t;
    t.fileName = u8(fileName);
    QString base = t.fileName;
    const int dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        base.truncate(dot);
    t.sqlName = base.toLower();
    t.fields = std::move(fields);
    t.indexes = std::move(indexes);
    for (const IndexDef &i : t.indexes) {
        if (i.primary && !i.fields.isEmpty()) {
            t.primaryKey = i.fields.first();
            break;
        }
    }
    return t;
}

// A table whose `field` is a visible sequence number drawn by `rule`.
TableDef numbered(TableDef t, const char *field, NumberRule rule)
{
    t.numbering = {u8(field), rule, 1};
    return t;
}

// Receivables and payables share one layout; payables carry `Intrucao` and
// `Checkbox` and keep `Observacoes` as short text.
std::vector<FieldDef> titleFields(bool payable)
{
    std::vector<FieldDef> f = {
        autoInc("Chave"),
        number("DocParcela"),
        alpha("Letra", 1),
        alpha("Fantasia", 30),
        alpha("Nome", 60),
        number("Codigo"),
        date("DataEmissao"),
        date("DataVencimento"),
        date("DataPagamento"),
        number("NumeroPedido"),
        alpha("Cartorio", 20),
        payable ? alpha("Observacoes", 255) : memo("Observacoes"),
        number("ValorTitulo"),
        number("Valordocumento"),
        alpha("CodBanco", 10),
        alpha("CodAgencia", 10),
        alpha("NConta", 20),
        alpha("NTituloBanco", 15),
        alpha("Carteira", 15),
        alpha("Especie", 8),
        alpha("Transacao", 10),
    };
    if (payable)
        f.push_back(memo("Intrucao"));
    for (FieldDef d : {date("PrazoProt"), alpha("NChequeTerceiro", 15), date("DataChequeTerc"),
                       alpha("CodBancoTerc", 10), alpha("NomeAgenciaTerc", 20), alpha("Emitente", 30),
                       alpha("CodAgenciaTerc", 10), alpha("NumeroContaTerc", 20),
                       money("ValorChequeTerc"), alpha("Codfatura", 10), alpha("Tipopgto", 10)})
        f.push_back(d);
    if (payable)
        f.push_back(alpha("Checkbox", 3));
    return f;
}

std::vector<TableDef> buildCatalogue()
{
    std::vector<TableDef> c;

    {
        TableDef t = table("USUARIOS.DB",
                           {autoInc("ID"), date("DT_INC"), date("DT_ALT"), alpha("STATUS", 1),
                            alpha("NOME", 30), alpha("LOGIN", 15), alpha("SENHA", 15), alpha("ADMIN", 1)},
                           {primary("ID")});
        t.password = QStringLiteral("8642");
        c.push_back(std::move(t));
    }

    {
        std::vector<FieldDef> f;
        for (int i = 1; i <= 18; ++i)
            f.push_back(logical(QByteArray::number(i).rightJustified(2, '0').constData()));
        TableDef t = table("Checkbox.db", std::move(f));
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    {
        TableDef t = table("logo.db", {alpha("LogoCaminho", 255), alpha("Logo2", 255), graphic("Logo3")});
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    c.push_back(table("empresa.DB",
                      {autoInc("Chave"), alpha("Empresa", 50), alpha("End", 100), alpha("Cidade", 50),
                       alpha("Telefone", 20), alpha("Bairro", 30), alpha("Site", 200), alpha("Email", 200),
                       alpha("Cep", 10), alpha("Cnpj", 20), alpha("IE", 25), alpha("Telefone2", 20),
                       alpha("Telefone3", 20), graphic("Logo"), alpha("Uf", 2)},
                      {primary("Chave"), named("ByEmpresa", {"Empresa"})}));

    {
        TableDef t = table("configExt.db",
                           {number("Desconto"), alpha("1", 1), number("2"), alpha("3", 1), number("4"),
                            alpha("5", 1), number("6"), alpha("7", 1), number("8"), alpha("9", 20),
                            number("10")});
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    {
        TableDef t = table("tbPortaImpressora.db",
                           {alpha("Porta", 255), alpha("Imprimir", 1), number("Auto"), alpha("Update", 20),
                            alpha("Daruma", 1)});
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    {
        TableDef t = table("tbCamposRef.db",
                           {alpha("Equipamento", 30), alpha("NSerie", 30), alpha("DadosOS", 30), alpha("Obs", 30),
                            alpha("Previsao", 50), alpha("TituloOS", 100), alpha("TituloOC", 100),
                            alpha("TituloEntrega", 100), alpha("1", 30), alpha("2", 30), alpha("3", 30),
                            alpha("4", 30), alpha("5", 30)});
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    {
        TableDef t = table("tb_mensagems.db", {memo("Mensagem1"), memo("Mensagem2")});
        t.singleRow = true;
        c.push_back(std::move(t));
    }

    {
        TableDef t = numbered(table("tbCliente.DB",
                          {autoInc("Chave"), date("Data"), integer("Codigo"), alpha("Nome", 50), alpha("CIC", 20),
                           alpha("RG", 20), alpha("Fone", 20), alpha("Endereco", 60), alpha("Email", 60), memo("Obs"),
                           alpha("Apelido", 20), alpha("UF", 2), alpha("Cidade", 40), alpha("CEP", 9),
                           alpha("CARRO", 30), alpha("MODELO", 30), alpha("ANO", 30), alpha("PLACA", 10),
                           alpha("FABRICANTE", 30), memo("Msg"), alpha("Celular", 20)},
                          {primary("Chave"), named("byCodigo", {"Codigo"}), named("byNome", {"Nome"}),
                           named("byData", {"Data"})}),
                              "Codigo", NumberRule::HighestPlusOne);
        // A customer's vehicles go with the customer: a later customer who is
        // given the same number must not inherit them.
        t.details.push_back({QStringLiteral("TCadastroCarros.db"), {QStringLiteral("Link")}, {QStringLiteral("Codigo")}});
        c.push_back(std::move(t));
    }

    c.push_back(table("TCadastroCarros.db",
                      {autoInc("Chave"), integer("Link"), alpha("Modelo", 50), number("Anofabrica"),
                       number("AnoModelo"), alpha("Fabricante", 50), alpha("Cor", 30), alpha("Placa", 10),
                       alpha("Combustivel", 50), alpha("Upgrade", 50), alpha("Upgrade2", 50),
                       alpha("Upgrade3", 50), number("Upgrade4"), number("Upgrade5")},
                      {primary("Chave"), named("ByLink", {"Link"})}));

    c.push_back(table("tbProdutos.db",
                      {number("Codigo"), alpha("Descricao", 50), money("Valor"), number("Estoque"),
                       alpha("Unidade", 5), alpha("Marca", 30), alpha("Categoria", 30), money("PrecoCusto"),
                       number("EstoqueMinimo"), number("Margem"), alpha("FotoProduto", 255), number("Qtd"),
                       alpha("MonitorarEstq", 3), alpha("PermiteVenda", 3), date("DataVencimento"),
                       alpha("VendaKg", 1), money("PrecoAtacado"), number("QtdAtacado")},
                      {namedPrimary("ByCodigo", "Codigo"), named("ByDescricao", {"Descricao"})}));

    c.push_back(table("tbMarcas.db", {alpha("Marca", 30)}, {listKey("Marca")}));
    c.push_back(table("tbMedidas.db", {alpha("UnMedida", 5)}, {listKey("UnMedida")}));
    c.push_back(table("tbCategoria.db", {alpha("Categoria", 30)}, {listKey("Categoria")}));

    c.push_back(table("tbReposicao.DB",
                      {autoInc("Chave"), date("Data"), timeOfDay("Hora"), number("Codigo"), alpha("Descricao", 50),
                       alpha("Marca", 30), alpha("Categoria", 30), number("Qtd"), money("PrecoCompra"),
                       number("NFiscal"), alpha("Finalizada", 1), alpha("Fornecedor", 100)},
                      {primary("Chave"), named("ByCodigo", {"Codigo"}), speed({"Codigo", "Qtd"})}));

    {
        // A sale takes the number of the sale added last + 1, so deleting the
        // newest sale gives its number again.
        TableDef t = numbered(table("tbVendas.db",
                          {autoInc("Chave"), date("DtVenda"), number("CodVenda"), number("CodVendedor"),
                           number("CodCliente"), alpha("NomeCliente", 100), number("NF"), alpha("ForPagamento", 20),
                           number("VrVenda"), number("VrRecebido"), number("VLDesconto"), alpha("Finalizada", 3),
                           alpha("VenOs", 2), date("DtModifica"), timeOfDay("HrVenda"), number("Parcelas"),
                           alpha("Operador", 50), alpha("Obs", 255)},
                          {primary("Chave"), speed({"DtVenda"}), speed({"CodVenda"})}),
                              "CodVenda", NumberRule::LastPlusOne);
        // Its items are deleted with it, in the same transaction.
        t.details.push_back({QStringLiteral("tbItems.DB"), {QStringLiteral("Link")}, {QStringLiteral("Chave")}});
        c.push_back(std::move(t));
    }

    c.push_back(table("tbItems.DB",
                      {autoInc("Chave"), number("CodBarra"), number("CodVenda"), number("Qtd"), integer("Link"),
                       number("ValorUni"), alpha("Descricao", 50), number("SubTotal"), alpha("Monitorar", 3)},
                      {primary("Chave"), named("ByLink", {"Link"}), speed({"CodBarra", "Monitorar", "Link", "Qtd"})}));

    {
        // Orders are numbered the last created + 1 (a starting number set by hand
        // carries on from there), skipping numbers an older order holds; an
        // order's lines go with it.
        TableDef t = numbered(table("TOrdemServico.DB",
                      {autoInc("Chave"), date("Data"), number("Codigo"), alpha("OsOc", 2),
                       alpha("Andamento", 100), alpha("Atendente", 100), alpha("Tecnico", 100),
                       number("CodCliente"), alpha("NomeCliente", 50), alpha("CPFCNPJ", 30), alpha("Fone", 20),
                       alpha("Celular", 20), alpha("Equopamento", 50), alpha("NumSerie", 100),
                       alpha("DefeitoReclama", 255), alpha("Obs", 255), date("DataEntrega"),
                       timeOfDay("HoraEntrega"), money("VrTotal"), date("DtOs"), timeOfDay("HrOs"), number("Desconto"),
                       timeOfDay("HrAlteracao"), alpha("ForPagamento", 20), number("CodVendedor"),
                       alpha("Modelo", 50), number("Km"), number("Ano"), number("AnoFabrica"),
                       alpha("Fabricante", 50), alpha("Combustivel", 50), alpha("Placa", 10)},
                      {primary("Chave"), named("ByChave", {"Chave"}, true), named("byData", {"Data"}),
                       speed({"DtOs"}), speed({"Codigo"}), exactSpeed({"Placa", "OsOc", "Data"}),
                       exactSpeed({"Andamento"}), exactSpeed({"Tecnico"}), exactSpeed({"NomeCliente"})}),
                              "Codigo", NumberRule::LastPlusOneFree);
        t.details.push_back({QStringLiteral("tbitemsordem.db"), {QStringLiteral("CodVenda")}, {QStringLiteral("Chave")}});
        c.push_back(std::move(t));
    }

    c.push_back(table("tbitemsordem.db",
                      {autoInc("Chave"), number("CodVenda"), number("CodBarra"), number("Qtd"),
                       number("ValorUni"), alpha("Descricao", 255), alpha("Monitorar", 3), money("Valor")},
                      {primary("Chave"), named("ByCodVenda", {"CodVenda"}),
                       speed({"CodBarra", "Monitorar", "CodVenda", "Qtd"})}));

    c.push_back(numbered(table("tbFunciocario.db",
                      {autoInc("Chave"), number("Codigo"), alpha("Nome", 100), alpha("CPF", 20), alpha("RG", 20),
                       number("Comissao"), alpha("Comissionario", 1), alpha("Cargo", 50), alpha("CEP", 20),
                       alpha("Endereco", 100), alpha("Bairro", 100), alpha("Cidade", 100),
                       alpha("Telefone", 20), alpha("Email", 60), alpha("Celular", 20), alpha("Funcao", 30),
                       alpha("UF", 2)},
                      {primary("Chave"), named("ByCodigo", {"Codigo"}), named("ByNome", {"Nome"})}),
                      "Codigo", NumberRule::HighestPlusOne));

    c.push_back(table("tbFuncao.db", {alpha("Funcao", 30)}, {primary("Funcao")}));

    c.push_back(numbered(table("tbfornecedor.db",
                      {autoInc("Chave"), number("Codigo"), alpha("Nome", 100), alpha("Contato", 30),
                       alpha("CNPJ_CPF", 30), alpha("TipoServico", 255), alpha("Transportadora", 50),
                       alpha("CndPagamento", 50), number("Desconto"), number("EntregaDias"),
                       alpha("Situacao", 30), alpha("Telefone", 15)},
                      {primary("Chave"), named("byCodigo", {"Codigo"}), speed({"Nome"})}),
                      "Codigo", NumberRule::HighestPlusOne));

    // A title's number follows the highest of the whole table, whatever the
    // window's filter shows.
    c.push_back(numbered(table("tbpagar.db", titleFields(true),
                               {primary("Chave"), named("Bydataven", {"DataVencimento"}),
                                named("byfantasia", {"Fantasia"}), named("byCodigo", {"Codigo"}),
                                speed({"DataPagamento"})}),
                         "Codigo", NumberRule::HighestPlusOne));

    c.push_back(numbered(table("tbreceber.db", titleFields(false),
                               {primary("Chave"), named("byfantasia", {"Fantasia"}), named("byCodigo", {"Codigo"}),
                                speed({"DataVencimento"}), speed({"DataPagamento"})}),
                         "Codigo", NumberRule::HighestPlusOne));

    // The receipt window searches `bynome` with the payer's name, kept in `Reci`.
    c.push_back(numbered(table("cadastro.db",
                      {autoInc("Chave"), integer("Codigo"), number("Codigo2"), number("Valor"),
                       alpha("Reci", 255), alpha("End", 255), alpha("Importancia", 255), alpha("Referente", 255),
                       alpha("Cidade", 255), alpha("Dia mes", 255), alpha("Emitente", 255), alpha("Cpf", 50),
                       alpha("End2", 255), alpha("Empresa", 255), alpha("Tel", 50), alpha("Outros", 255),
                       alpha("Valor2", 255), alpha("Cpfpagador", 50), alpha("Rg_pagador", 50), alpha("UF", 2),
                       alpha("Celular", 15), alpha("Rgemitente", 50), alpha("DataVecimento", 100),
                       alpha("Aos", 255), alpha("Pagarei", 255), alpha("Ncpf", 100), alpha("Nemitente", 255),
                       alpha("Nrg_emitente", 100), alpha("Ncpf_emitente", 100), alpha("Nendereço", 255),
                       alpha("Mes", 30), memo("Obs"), number("Data2"), alpha("Obs_recibo", 255)},
                      {primary("Chave"), named("byCodigo", {"Codigo"}), named("bynome", {"Reci"})}),
                         "Codigo", NumberRule::HighestPlusOne));

    c.push_back(numbered(table("BD_NP.db",
                      {autoInc("Chave"), number("Codigo"), alpha("Valor", 255), alpha("Aos", 255),
                       alpha("Pagarei", 255), alpha("Cpf", 30), number("Dia"), alpha("Mes", 30), number("Ano"),
                       alpha("Ou", 255), alpha("Cidade", 200), alpha("Uf", 2), alpha("Data extenso", 200),
                       alpha("Emitente", 200), alpha("Cpf_emitente", 30), alpha("Rg_emitente", 30),
                       alpha("End_emitente", 200), alpha("Msg", 255)},
                      {primary("Chave"), named("Bycodigo", {"Codigo"}), named("ByPagarei", {"Pagarei"})}),
                         "Codigo", NumberRule::HighestPlusOne));

    c.push_back(table("tblubrificante.db",
                      {autoInc("Chave"), alpha("Fabricante", 200), alpha("Carro", 255), alpha("Modelo", 100),
                       number("Ano"), alpha("Combustivel", 50), alpha("Lubrificane", 255), alpha("NormaAPI", 30),
                       alpha("Vazio", 255), alpha("Vazio2", 255), number("Num1"), number("Num2"),
                       number("Litros_Carter"), alpha("Image", 255), graphic("Imagem"), alpha("Atualizar1", 255),
                       number("Atualizar1N")},
                      {primary("Chave"), named("ByAno", {"Ano"})}));

    return c;
}

} // namespace

const FieldDef *TableDef::field(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? nullptr : &fields[size_t(i)];
}

int TableDef::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

const IndexDef *TableDef::index(const QString &name) const
{
    if (name.isEmpty())
        return nullptr;     // unnamed indexes are reached by their fields only
    for (const IndexDef &i : indexes) {
        if (i.name.compare(name, Qt::CaseInsensitive) == 0)
            return &i;
    }
    return nullptr;
}

const std::vector<TableDef> &catalogue()
{
    static const std::vector<TableDef> tables = buildCatalogue();
    return tables;
}

std::vector<SeedRow> seedRows()
{
    std::vector<SeedRow> rows;

    // Every permission null: a field that is not False grants it.
    {
        SeedRow r{QStringLiteral("Checkbox.db"), {}};
        for (int i = 1; i <= 18; ++i)
            r.values.emplace_back(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), QVariant());
        rows.push_back(std::move(r));
    }

    // No logo until one is chosen.
    rows.push_back({QStringLiteral("logo.db"), {{QStringLiteral("LogoCaminho"), QString()}}});

    // 10 % lets the counter give the usual small rounding discounts while a
    // mistyped discount (an amount typed as a percent) is still refused.
    rows.push_back({QStringLiteral("configExt.db"), {{QStringLiteral("Desconto"), 10.0}}});

    rows.push_back({QStringLiteral("tbPortaImpressora.db"),
                    {{QStringLiteral("Porta"), QStringLiteral("LPT1")},
                     {QStringLiteral("Imprimir"), QStringLiteral("N")},
                     {QStringLiteral("Daruma"), QStringLiteral("N")}}});

    // The form's own captions, so that the printouts carry the same labels.
    rows.push_back({QStringLiteral("tbCamposRef.db"),
                    {{QStringLiteral("Equipamento"), u8("Dados Do Veículo")},
                     {QStringLiteral("NSerie"), u8("Modelo:")},
                     {QStringLiteral("DadosOS"), u8("Defeito Reclamado")},
                     {QStringLiteral("Obs"), u8("Obs:")},
                     {QStringLiteral("Previsao"), u8("SERVIÇOS / PEÇAS")}}});

    rows.push_back({QStringLiteral("tb_mensagems.db"),
                    {{QStringLiteral("Mensagem1"), QString()}, {QStringLiteral("Mensagem2"), QString()}}});

    // The built-in administrator must be the first row of the users table.
    rows.push_back({QStringLiteral("USUARIOS.DB"),
                    {{QStringLiteral("DT_INC"), QDate::currentDate()},
                     {QStringLiteral("STATUS"), QStringLiteral("S")},
                     {QStringLiteral("NOME"), QStringLiteral("KOV")},
                     {QStringLiteral("LOGIN"), QStringLiteral("KOV")},
                     {QStringLiteral("SENHA"), QStringLiteral("kov")},
                     {QStringLiteral("ADMIN"), QStringLiteral("S")}}});

    // The two roles the service-order form and the reports select on.
    rows.push_back({QStringLiteral("tbFuncao.db"), {{QStringLiteral("Funcao"), u8("MECÂNICO")}}});
    rows.push_back({QStringLiteral("tbFuncao.db"), {{QStringLiteral("Funcao"), u8("ATENDENTE")}}});

    return rows;
}

} // namespace brelvo::data
