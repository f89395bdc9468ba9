#include "registries/RegistryReports.h"

#include "printing/PrintPreview.h"
#include "printing/Report.h"

namespace brelvo::registries {

using data::Dataset;
using data::Table;
using printing::Align;
using printing::PageSetup;
using printing::Report;

namespace {

// The rows of a cursor as maps, walked without disturbing the window: the
// current row is restored afterwards and the bound controls stay quiet.
std::vector<QVariantMap> snapshot(Dataset &ds, const QStringList &fields)
{
    std::vector<QVariantMap> rows;
    if (!ds.isOpen())
        return rows;
    ds.disableControls();
    try {
        const data::Bookmark here = ds.bookmark();
        for (ds.first(); !ds.eof(); ds.next()) {
            QVariantMap row;
            for (const QString &f : fields)
                row.insert(f, ds.value(f));
            rows.push_back(row);
        }
        if (here.isValid())
            ds.gotoBookmark(here);
    } catch (...) {
        ds.enableControls();
        throw;
    }
    ds.enableControls();
    return rows;
}

QVariantMap currentRow(const Dataset &ds, const QStringList &fields)
{
    QVariantMap row;
    for (const QString &f : fields)
        row.insert(f, ds.value(f));
    return row;
}

} // namespace

printing::PreparedReport customerListReport(Table &clientes)
{
    const QStringList fields{"Nome", "CIC", "RG", "CEP", "Endereco", "CARRO", "Cidade", "UF"};
    Report r(QStringLiteral("Lista Clientes"));
    r.setPage(PageSetup::a4Landscape());
    const int title = r.font(14, true);
    const int bold = r.font(8, true);
    const int normal = r.font(8);
    const double w = r.width();   // 277 mm

    // Columns: name, tax number, id, postal code, address, district, city, state.
    struct Col { double x, w; const char *caption; const char *field; };
    const Col cols[] = {{0, 62, "Nome", "Nome"},          {63, 30, "CNPJ/ CPF", "CIC"},
                        {94, 24, "RG/ IE", "RG"},         {119, 18, "CEP", "CEP"},
                        {138, 62, "Endereço", "Endereco"}, {201, 34, "Bairro", "CARRO"},
                        {236, 32, "Cidade", "Cidade"},    {269, 8, "UF", "UF"}};

    r.title().setHeight(12).label({0, 0, w, 8}, QStringLiteral("Lista Clientes"), title, Align::Center);
    auto &head = r.columnHeader().setHeight(6);
    for (const Col &c : cols)
        head.label({c.x, 0, c.w, 5}, QString::fromUtf8(c.caption), bold);
    head.line({0, 5.5}, {w, 5.5});
    auto &detail = r.detail().setHeight(5);
    for (const Col &c : cols)
        detail.field({c.x, 0, c.w, 4.5}, QString::fromUtf8(c.field), QString(), normal);
    auto &foot = r.pageFooter().setHeight(6);
    foot.systemDate({0, 1, 40, 4}, QStringLiteral("dd/mm/yyyy"), normal);
    foot.pageNumber({w - 50, 1, 50, 4}, QStringLiteral("Página %1 de %2"), normal).setAlign(Align::Right);

    r.setSpreadsheetDefault(true);
    r.setCsvHeader({"Nome", "CNPJ/ CPF", "RG/ IE", "CEP", "Endereço", "Bairro", "Cidade", "UF"});
    r.setRows(snapshot(clientes, fields));
    return r.prepare();
}

printing::PreparedReport customerSheetReport(Table &clientes, Table &carros)
{
    const QStringList fields{"Codigo", "Nome", "CIC", "RG", "CEP", "Cidade", "Endereco", "UF",
                             "CARRO", "Apelido", "Email", "Obs"};
    const QStringList vehicleFields{"Modelo", "Anofabrica", "AnoModelo", "Fabricante", "Placa", "Combustivel"};
    std::vector<QVariantMap> rows;
    if (clientes.isOpen() && !clientes.isEmpty())
        rows.push_back(currentRow(clientes, fields));
    const std::vector<QVariantMap> vehicles = snapshot(carros, vehicleFields);

    Report r(QStringLiteral("Dados Cliente"));
    r.setPage(PageSetup::a4Portrait());
    const int title = r.font(16, true);
    const int bold = r.font(9, true);
    const int normal = r.font(9);
    const double w = r.width();   // 190 mm

    r.title().setHeight(14).label({0, 0, w, 9}, QStringLiteral("Dados Cliente"), title, Align::Center);
    r.title().line({0, 11}, {w, 11}, 0.4);

    auto &d = r.detail();
    d.setHeight(70);
    auto pair = [&](double x, double y, double lw, double fw, const QString &caption, const QString &field,
                    const QString &mask = QString()) {
        d.label({x, y, lw, 5}, caption, bold);
        d.field({x + lw, y, fw, 5}, field, mask, normal);
    };
    pair(0, 0, 16, 30, QStringLiteral("Codigo"), QStringLiteral("Codigo"), QStringLiteral("000000"));
    pair(50, 0, 14, w - 64, QStringLiteral("Nome"), QStringLiteral("Nome"));
    pair(0, 8, 22, 40, QStringLiteral("CPF/CNPJ"), QStringLiteral("CIC"));
    pair(64, 8, 14, 34, QStringLiteral("RG/IE"), QStringLiteral("RG"));
    pair(114, 8, 10, 20, QStringLiteral("CEP"), QStringLiteral("CEP"));
    pair(0, 16, 14, 60, QStringLiteral("Cidade"), QStringLiteral("Cidade"));
    pair(0, 24, 20, 110, QStringLiteral("Endereço"), QStringLiteral("Endereco"));
    pair(134, 24, 8, 10, QStringLiteral("UF"), QStringLiteral("UF"));
    pair(0, 32, 14, 70, QStringLiteral("Bairro"), QStringLiteral("CARRO"));
    pair(0, 40, 18, 60, QStringLiteral("Contato"), QStringLiteral("Apelido"));
    pair(84, 40, 12, w - 96, QStringLiteral("Email"), QStringLiteral("Email"));
    d.label({0, 48, 30, 5}, QStringLiteral("Observações:"), bold);
    d.field({0, 54, w, 5}, QStringLiteral("Obs"), QString(), normal).setWordWrap(true);

    // Vehicles under the customer.
    struct Col { double x, w; const char *caption; const char *field; };
    const Col cols[] = {{0, 50, "Modelo", "Modelo"},          {51, 25, "Ano Fabricação", "Anofabrica"},
                        {77, 22, "Ano Modelo", "AnoModelo"},  {100, 36, "Fabricante", "Fabricante"},
                        {137, 20, "Placa", "Placa"},          {158, 32, "Combustivel", "Combustivel"}};
    printing::SubDetail &sub = r.addSubDetail();
    sub.header.setHeight(14);
    sub.header.frame({0, 1, w, 6}, 0.3);
    sub.header.label({0, 1.5, w, 5}, QStringLiteral(" Veículos Cadastrado "), bold, Align::Center);
    for (const Col &c : cols)
        sub.header.label({c.x, 8, c.w, 5}, QString::fromUtf8(c.caption), bold);
    sub.header.line({0, 13.5}, {w, 13.5});
    sub.band.setHeight(5);
    for (const Col &c : cols)
        sub.band.field({c.x, 0, c.w, 4.5}, QString::fromUtf8(c.field), QString(), normal);
    sub.rows = [vehicles](const printing::RowContext &) {
        return std::make_unique<printing::MapRows>(vehicles);
    };

    auto &foot = r.pageFooter().setHeight(6);
    foot.systemDate({0, 1, 40, 4}, QStringLiteral("dd/mm/yyyy"), normal);
    foot.pageNumber({w - 50, 1, 50, 4}, QStringLiteral("Página %1 de %2"), normal).setAlign(Align::Right);

    r.setRows(rows);
    return r.prepare();
}

printing::PreparedReport supplierListReport(Table &fornecedores)
{
    const QStringList fields{"Nome", "Contato", "CNPJ_CPF", "TipoServico", "Telefone", "Transportadora",
                             "CndPagamento", "Desconto", "EntregaDias", "Situacao"};
    Report r(QStringLiteral("Fornecedor"));
    r.setPage(PageSetup::a4Portrait());
    const int title = r.font(14, true);
    const int bold = r.font(9, true);
    const int normal = r.font(9);
    const double w = r.width();

    r.title().setHeight(12).label({0, 0, w, 8}, QStringLiteral("Fornecedor"), title, Align::Center);
    auto &d = r.detail().setHeight(32);
    auto pair = [&](double x, double y, double lw, double fw, const QString &caption, const QString &field,
                    const QString &mask = QString()) {
        d.label({x, y, lw, 5}, caption, bold);
        d.field({x + lw, y, fw, 5}, field, mask, normal);
    };
    pair(0, 0, 14, 110, QStringLiteral("Nome:"), QStringLiteral("Nome"));
    pair(126, 0, 18, 46, QStringLiteral("Contato:"), QStringLiteral("Contato"));
    pair(0, 6, 22, 50, QStringLiteral("CPF/CNPJ:"), QStringLiteral("CNPJ_CPF"));
    pair(76, 6, 18, 50, QStringLiteral("Telefone:"), QStringLiteral("Telefone"));
    pair(0, 12, 26, w - 26, QStringLiteral("Tipo Serviço:"), QStringLiteral("TipoServico"));
    pair(0, 18, 32, 60, QStringLiteral("Trasnportadora:"), QStringLiteral("Transportadora"));
    pair(96, 18, 40, 54, QStringLiteral("Condição Pagamento:"), QStringLiteral("CndPagamento"));
    pair(0, 24, 22, 20, QStringLiteral("Desconto %:"), QStringLiteral("Desconto"), QStringLiteral("0.00"));
    pair(46, 24, 30, 20, QStringLiteral("Entrega (Dias):"), QStringLiteral("EntregaDias"));
    pair(100, 24, 18, 40, QStringLiteral("Situação:"), QStringLiteral("Situacao"));
    d.line({0, 30.5}, {w, 30.5});
    auto &foot = r.pageFooter().setHeight(6);
    foot.systemDate({0, 1, 40, 4}, QStringLiteral("dd/mm/yyyy"), normal);
    foot.pageNumber({w - 50, 1, 50, 4}, QStringLiteral("Página %1 de %2"), normal).setAlign(Align::Right);

    r.setRows(snapshot(fornecedores, fields));
    return r.prepare();
}

void previewReport(printing::PreparedReport &report, QWidget *parent)
{
    printing::showPreview(report, parent);
}

} // namespace brelvo::registries
