#include "documents/DocumentPrintouts.h"

#include "core/AppPaths.h"
#include "core/Format.h"
#include "printing/Report.h"

namespace brelvo::documents {

using printing::Align;
using printing::Band;
using printing::Report;

namespace {

constexpr double kLargura = 190;        // A4 less 10 mm each side

struct Fontes {
    int texto, negrito, titulo, pequena, paragrafo;
    explicit Fontes(Report &r, double pontosParagrafo = 10)
        : texto(r.font(10)), negrito(r.font(10, true)), titulo(r.font(16, true)), pequena(r.font(8)),
          paragrafo(r.font(pontosParagrafo))
    {
    }
};

// Label then value on one line: "Emitente:" followed by the name.
void rotulo(Band &b, double x, double y, double larguraRotulo, double largura, const QString &rot,
            const QString &valor, const Fontes &f)
{
    b.label({x, y, larguraRotulo, 5}, rot, f.negrito);
    b.label({x + larguraRotulo, y, largura - larguraRotulo, 5}, valor, f.texto);
}

// One copy of the personalised receipt; y positions relative to `top`.
struct PosicoesPersonalizado {
    double numero, titulo, valor, declaracao, quitacao, local, emitente, rg, cpf;
};

void copiaPersonalizada(Band &b, const ReciboTextos &r, const PosicoesPersonalizado &p, const Fontes &f)
{
    b.label({0, p.numero, 50, 6}, reciboNumero(r), f.negrito);
    b.label({50, p.titulo, 90, 8}, QStringLiteral("RECIBO"), f.titulo, Align::Center);
    b.label({130, p.valor, 20, 6}, QStringLiteral("Valor R$"), f.negrito);
    b.label({150, p.valor, 40, 6}, reciboValor(r), f.negrito, Align::Right);
    b.label({0, p.declaracao, 161, 18}, reciboDeclaracao(r), f.paragrafo).setWordWrap();
    b.label({0, p.quitacao, 161, 14}, reciboParagrafoQuitacao(), f.paragrafo).setWordWrap();
    b.label({118, p.local, 72, 5}, reciboLocalEData(r), f.texto);
    b.line({118, p.emitente - 1}, {190, p.emitente - 1}, 0.2);
    b.label({118, p.emitente, 72, 5}, r.emitente, f.negrito);
    b.label({118, p.rg, 72, 5}, QStringLiteral("RG/IE Nº ") + r.rgEmitente, f.texto);
    b.label({118, p.cpf, 72, 5}, QStringLiteral("CPF/CNPJ Nº ") + r.cpfEmitente, f.texto);
}

// One copy of the standard receipt over its frame; `dy` moves it down.
bool copiaPadrao(Band &b, const ReciboTextos &r, double dy, const QString &logo, const Fontes &f,
                 const QDateTime &agora, bool carimbo, QString *erro)
{
    const double x0 = (kLargura - 178) / 2;
    b.label({0, dy + 20, 60, 6}, reciboNumero(r), f.negrito);
    if (carimbo)
        b.label({130, dy + 20, 60, 5}, carimboImpressao(agora), f.pequena, Align::Right);
    if (!b.picture({x0, dy + 30, 178, 102}).loadPicture(arquivoMolduraRecibo(), erro))
        return false;
    b.label({x0 + 6, dy + 40, 10, 6}, QStringLiteral("Nº"), f.negrito);
    b.label({x0 + 14, dy + 40, 36, 6}, r.codigo, f.negrito);
    b.label({x0 + 124, dy + 40, 10, 6}, QStringLiteral("R$"), f.negrito);
    b.label({x0 + 130, dy + 40, 41, 6}, reciboValor(r), f.negrito, Align::Right);
    rotulo(b, x0 + 7, dy + 57, 38, 164, QStringLiteral("Recebi(emos) de:"), r.recebiDe, f);
    rotulo(b, x0 + 7, dy + 63, 22, 164, QStringLiteral("Endereço:"), r.endereco, f);
    b.label({x0 + 7, dy + 69, 164, 5}, reciboLinhaImportancia(r), f.pequena);
    rotulo(b, x0 + 7, dy + 78, 24, 164, QStringLiteral("Referente:"), r.referente, f);
    b.label({x0 + 7, dy + 93, 164, 5}, reciboLocalEData(r), f.texto);
    if (!b.picture({x0 + 141, dy + 106, 32, 21}).loadPicture(logo, erro, arquivoLogoPadrao()))
        return false;
    rotulo(b, x0 + 7, dy + 108, 22, 132, QStringLiteral("Emitente:"), r.emitente, f);
    rotulo(b, x0 + 7, dy + 114, 22, 132, QStringLiteral("Endereço:"), r.enderecoEmitente, f);
    rotulo(b, x0 + 7, dy + 121, 30, 132, QStringLiteral("CPF/CNPJ Nº "), r.cpfEmitente, f);
    rotulo(b, x0, dy + 133, 30, 178, QStringLiteral("Observações:"), r.observacao, f);
    return true;
}

} // namespace

QString arquivoMolduraRecibo() { return core::sharedFile(QStringLiteral("recibo_moldura.png")); }
QString arquivoFundoNota() { return core::sharedFile(QStringLiteral("np_fundo.png")); }
QString arquivoLogoPadrao() { return core::sharedFile(QStringLiteral("logo_padrao.png")); }

QString carimboImpressao(const QDateTime &agora)
{
    return core::formatDateTime(QStringLiteral("dd/mm/yyyy hh:nn:ss"), agora);
}

namespace {

// Both copies of the personalised receipt; the paragraphs in `pontos`.
printing::PreparedReport reciboPersonalizado(const ReciboTextos &r, double pontos, const QDateTime &agora)
{
    Report rep(QStringLiteral("Recibo ") + r.codigo);
    rep.setPage(printing::PageSetup::a4Portrait());
    const Fontes f(rep, pontos);
    // First copy in the title band, the second in the summary, so that a
    // long declaration in the first pushes the second down whole.
    Band &primeira = rep.title();
    primeira.label({0, 0, 60, 5}, carimboImpressao(agora), f.pequena);
    copiaPersonalizada(primeira, r, {6, 4, 36, 57, 76, 102, 116, 123, 131}, f);
    primeira.line({0, 140}, {kLargura, 140}, 0.3);
    primeira.setHeight(141);
    Band &segunda = rep.summary();
    copiaPersonalizada(segunda, r, {3, 5, 20, 39, 60, 88, 109, 115, 124}, f);
    segunda.setHeight(130);
    rep.setRows(std::vector<QVariantMap>{});
    return rep.prepare();
}

} // namespace

std::optional<printing::PreparedReport> prepararRecibo(const ReciboTextos &r, ModeloRecibo modelo,
                                                       const QString &logo, QString *erro,
                                                       const QDateTime &agora)
{
    if (modelo == ModeloRecibo::Personalizado) {
        // Long texts get a smaller type until both copies fit on the page.
        printing::PreparedReport p;
        for (double pontos : {10.0, 9.0, 8.0, 7.0, 6.0}) {
            p = reciboPersonalizado(r, pontos, agora);
            if (p.pageCount() == 1)
                break;
        }
        return p;
    }

    Report rep(QStringLiteral("Recibo ") + r.codigo);
    rep.setPage(printing::PageSetup::a4Portrait());
    // The printing stamp sits at the foot of the page.
    rep.page().marginBottom = 5;
    const Fontes f(rep);
    Band &corpo = rep.title();
    if (!copiaPadrao(corpo, r, 0, logo, f, agora, true, erro))
        return std::nullopt;
    if (modelo == ModeloRecibo::Padrao2Vias) {
        corpo.line({0, 146}, {kLargura, 146}, 0.3);
        if (!copiaPadrao(corpo, r, 135, logo, f, agora, false, erro))
            return std::nullopt;
    }
    rep.pageFooter().setHeight(4).label({0, 0, kLargura, 4}, carimboImpressao(agora), f.pequena, Align::Right);
    rep.setRows(std::vector<QVariantMap>{});
    return rep.prepare();
}

std::optional<printing::PreparedReport> prepararNota(const NotaTextos &n, QString *erro)
{
    Report rep(QStringLiteral("Nota Promissória ") + n.codigo);
    rep.setPage(printing::PageSetup::a4Portrait());
    const Fontes f(rep);
    const int grande = rep.font(12, true);

    rep.title().setHeight(13.5);
    Band &b = rep.summary();
    b.setHeight(99.5);
    b.frame({0, 0, kLargura, 99.5}, 0.3);
    if (!b.picture({(kLargura - 186.5) / 2, 4.25, 186.5, 91}).loadPicture(arquivoFundoNota(), erro))
        return std::nullopt;
    const double x = 14;                // right of the upright text along the left edge
    b.label({x, 8.5, 100, 5}, notaLinhaVencimento(n), f.negrito);
    b.label({x, 17, 60, 6}, QStringLiteral("NOTA PROMISSÓRIA"), grande);
    b.label({80, 14, 40, 6}, notaNumero(n), f.negrito, Align::Center);
    b.label({130, 14, 54, 6}, notaValor(n), f.negrito, Align::Right);
    b.label({x, 26, 14, 5}, QStringLiteral("Ao (s)"), f.texto);
    b.label({x + 14, 26, 150, 5}, n.aos, f.negrito);
    b.line({x + 14, 30}, {184, 30}, 0.2);
    b.label({x, 31, 150, 5}, QStringLiteral("pagarei por esta única via de nota promissória"), f.texto);
    b.label({x, 37, 6, 5}, QStringLiteral("à"), f.texto);
    b.label({x + 6, 36, 100, 4}, n.pagarei, f.negrito);
    b.line({x + 6, 40}, {184, 40}, 0.2);
    b.label({x, 47, 163, 10}, notaLinhaQuantia(n), f.negrito).setWordWrap();
    b.label({x, 59, 24, 5}, QStringLiteral("Pagável em"), f.texto);
    b.label({x + 24, 59, 90, 5}, notaPagavelEm(n), f.negrito);
    b.label({x, 66, 24, 5}, QStringLiteral("EMITENTE"), f.texto);
    b.label({x + 24, 66, 90, 5}, n.emitente, f.negrito);
    b.label({x, 72, 24, 5}, QStringLiteral("CPF / CNPJ"), f.texto);
    b.label({x + 24, 72, 90, 5}, n.cpfEmitente, f.texto);
    b.label({x, 78, 24, 5}, QStringLiteral("Endereço"), f.texto);
    b.label({x + 24, 78, 90, 10}, n.enderecoEmitente, f.texto).setWordWrap();
    b.label({118, 66, 68, 4}, notaLocalEData(n), f.pequena, Align::Center);
    b.line({124, 70}, {186, 70}, 0.2);
    b.line({124, 83}, {186, 83}, 0.2);
    b.label({124, 85, 62, 4}, QStringLiteral("assinatura"), f.pequena, Align::Center);
    b.label({x, 93, 26, 5}, QStringLiteral("Observações:"), f.texto);
    b.label({x + 26, 93, 140, 5}, n.msg, f.texto);
    rep.setRows(std::vector<QVariantMap>{});
    return rep.prepare();
}

} // namespace brelvo::documents
