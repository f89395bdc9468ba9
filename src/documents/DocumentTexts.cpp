#include "documents/DocumentTexts.h"

#include "core/Format.h"

#include <QDateTime>
#include <cmath>

namespace brelvo::documents {

QString dataPorExtenso(const QDate &date)
{
    if (!date.isValid())
        return QString();
    return core::formatDateTime(QStringLiteral("dd\" de \"mmmm\" de \"yyyy"), QDateTime(date, QTime(0, 0)));
}

std::optional<double> lerValor(const QString &texto, QString *erro)
{
    QString msg;
    const std::optional<double> v = core::parseNumber(texto, &msg);
    if (!v) {
        if (erro)
            *erro = msg;
        return std::nullopt;
    }
    if (erro)
        erro->clear();
    return v;
}

QString formatarValor(double valor)
{
    return core::formatMask(QStringLiteral("###,##0.00"), valor);
}

QString numeroDocumento(double codigo)
{
    return core::formatMask(QStringLiteral("000000"), codigo);
}

QString reciboNumero(const ReciboTextos &r) { return QStringLiteral("Nº ") + r.codigo; }

QString reciboValor(const ReciboTextos &r) { return QStringLiteral("***") + r.valor + QStringLiteral("***"); }

QString reciboDeclaracao(const ReciboTextos &r)
{
    return QStringLiteral("Recebi(emos) de: ") + r.recebiDe + QStringLiteral(" - CPF/CNPJ n° ") + r.cpfPagador +
           QStringLiteral(", A importância supra de: ") + QStringLiteral("***") + r.importancia +
           QStringLiteral("*** - ") + QStringLiteral("Referente a: ") + r.referente + QStringLiteral(".");
}

QString reciboLinhaImportancia(const ReciboTextos &r)
{
    return QStringLiteral("A importância supra de: ***") + r.importancia + QStringLiteral("*** ");
}

QString reciboLocalEData(const ReciboTextos &r)
{
    return r.cidade + QStringLiteral(" - ") + r.uf + QStringLiteral(", ") + r.diaMes;
}

QString reciboParagrafoQuitacao()
{
    return QStringLiteral("E, para maior clareza firmo o presente recibo para que produza o seu efeito, dando "
                          "plena, rasa e irrevogável quitação, pelo valor recebido.");
}

QString notaNumero(const NotaTextos &n) { return QStringLiteral("Nº ") + n.codigo; }

QString notaValor(const NotaTextos &n) { return QStringLiteral("***") + n.valor + QStringLiteral("***"); }

QString notaLinhaQuantia(const NotaTextos &n)
{
    return QStringLiteral("Ou a sua Ordem a quantia de ***** ") + n.ou + QStringLiteral(" ***** ") +
           QStringLiteral(" Em moeda corrente deste País ");
}

QString notaLinhaVencimento(const NotaTextos &n)
{
    return QStringLiteral("Vencimento, ") + n.dia + QStringLiteral(" de ") + n.mes + QStringLiteral(" de ") + n.ano;
}

QString notaLocalEData(const NotaTextos &n)
{
    return n.cidade + QStringLiteral(" - ") + n.uf + QStringLiteral(", ") + n.dataExtenso;
}

QString notaPagavelEm(const NotaTextos &n) { return n.cidade + QStringLiteral(" - ") + n.uf; }

} // namespace brelvo::documents
