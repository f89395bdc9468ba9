#include "sales/SaleRules.h"

#include "core/Format.h"

#include <cmath>

namespace brelvo::sales {

namespace {
bool isYes(const QString &flag)
{
    return flag.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
}
} // namespace

QStringList paymentCaptions()
{
    return {QStringLiteral("Dinheiro (Padrão)"), QStringLiteral("Cheque À vista"), QStringLiteral("Cheque Pré"),
            QStringLiteral("Depósito"),          QStringLiteral("Cartão Crédito"), QStringLiteral("Cartão de Débito"),
            QStringLiteral("Parcelado"),         QStringLiteral("Boleto"),         QStringLiteral("Promissória"),
            QStringLiteral("Ticket"),            QStringLiteral("À prazo"),        QStringLiteral("Outros")};
}

QStringList paymentCodes()
{
    return {QStringLiteral("DINHEIRO"),  QStringLiteral("CHEQUE A VISTA"), QStringLiteral("CHEQUE PRE"),
            QStringLiteral("DEPOSITO"),  QStringLiteral("CARTAO CREDITO"), QStringLiteral("CARTAO DEBITO"),
            QStringLiteral("PARCELADO"), QStringLiteral("BOLETO"),         QStringLiteral("PROMISSÓRIA"),
            QStringLiteral("TICKET"),    QStringLiteral("A PRAZO"),        QStringLiteral("OUTROS")};
}

bool hasFraction(double qtd)
{
    return qtd != std::floor(qtd);
}

StockVerdict checkStock(double qtd, double availability, const QString &monitorarEstq, const QString &permiteVenda)
{
    if (hasFraction(qtd))
        return StockVerdict::Add;
    if (availability >= 1)
        return qtd > availability ? StockVerdict::MoreThanStock : StockVerdict::Add;
    const bool service = monitorarEstq.trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) == 0;
    return service || isYes(permiteVenda) ? StockVerdict::Add : StockVerdict::NoStock;
}

double cents(double value)
{
    return std::round(value * 100.0) / 100.0;
}

double discountLimit(double saleTotal, double percent)
{
    return saleTotal * percent / 100.0;
}

bool discountAllowed(double discount, double saleTotal, double percent)
{
    // Compared in cents: 10 % of 180,00 is 18,00 even when the product of
    // the two doubles is a hair above or below it.
    return discount >= 0 && std::llround(discount * 100) <= std::llround(discountLimit(saleTotal, percent) * 100);
}

std::optional<double> parseQuantity(const QString &text, QString *error)
{
    QString why;
    const std::optional<double> q = core::parseNumber(text, &why);
    if (!q) {
        if (error)
            *error = QStringLiteral("Quantidade inválida: %1. Digite um número, por exemplo 1 ou 0,5.").arg(why);
        return std::nullopt;
    }
    if (*q <= 0) {
        if (error)
            *error = QStringLiteral("A quantidade deve ser maior que zero!");
        return std::nullopt;
    }
    return q;
}

std::optional<QString> changeText(const QString &received, double saleTotal)
{
    if (received.trimmed().isEmpty())
        return QStringLiteral("0,00");
    const std::optional<double> r = core::parseNumber(received);
    if (!r)
        return std::nullopt;
    // The total as the operator sees it, then the difference.
    const double shown = *core::parseNumber(core::formatMask(QStringLiteral("######0.00"), saleTotal));
    return core::formatMask(QStringLiteral("########0.00"), cents(*r - shown));
}

QString placeAndDate(const QString &cidade, const QString &uf, const QDate &date)
{
    return cidade + QLatin1Char('-') + uf + QStringLiteral(", ") + date.toString(QStringLiteral("dd"))
        + QStringLiteral(" de ") + core::monthName(date.month()).toLower() + QStringLiteral(" de ")
        + date.toString(QStringLiteral("yyyy"));
}

namespace msg {
QString vendaJaFinalizada() { return QStringLiteral("Venda Ja finalizada não é Possivel Modificações!"); }
QString vendaFinalizadaCodigo()
{
    return QStringLiteral("Prezado Operador:\r\nVenda ja finalizada Não Possivel mais Alteração!\r\n"
                          "     Para Inserir Nova Venda Tecle (F5)!");
}
QString descontoNaoPermitido() { return QStringLiteral("Prezado Operador: Valor do Desconto não Permitido !"); }
QString fecharCaixa()
{
    return QStringLiteral("Prezado Operador:\r\nPara fechar o modulo Caixa terá que Comfirmar a venda(F11) ou "
                          "Cancelar (F4) a venda já iniciada!");
}
} // namespace msg

} // namespace brelvo::sales
