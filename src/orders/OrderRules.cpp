#include "orders/OrderRules.h"

#include "core/Format.h"

#include <cmath>

namespace brelvo::orders {

QStringList progressStates()
{
    return {QStringLiteral("EM ABERTO"), QStringLiteral("PENDENTE"), QStringLiteral("CANCELADO"),
            QStringLiteral("ABANDONADA PELO CLIENTE"), QStringLiteral("ENTREGUE"), QStringLiteral("RETORNOU"),
            QStringLiteral("NA BANCADA"), QStringLiteral("FALTANDO PEÇAS"), QStringLiteral("AGUARDANDO PEÇAS")};
}

QStringList searchStates()
{
    return {QStringLiteral("EM ABERTO"), QStringLiteral("PENDENTE"), QStringLiteral("CANCELADO"),
            QStringLiteral("FINALIZADO"), QStringLiteral("ABANDONADA PELO CLIENTE"), QStringLiteral("ENTREGUE"),
            QStringLiteral("RETORNOU"), QStringLiteral("NA BANCADA"), QStringLiteral("FALTANDO PEÇAS"),
            QStringLiteral("AGUARDANDO PEÇAS")};
}

QList<PaymentMethod> paymentMethods()
{
    return {{QStringLiteral("DINHEIRO"), QStringLiteral("Dinheiro")},
            {QStringLiteral("CHEQUE A VISTA"), QStringLiteral("Cheque À vista")},
            {QStringLiteral("CHEQUE PRE"), QStringLiteral("Cheque Pré")},
            {QStringLiteral("DEPOSITO"), QStringLiteral("Depósito")},
            {QStringLiteral("CARTAO CREDITO"), QStringLiteral("Cartão Crédito")},
            {QStringLiteral("CARTAO DEBITO"), QStringLiteral("Cartão de Débito")},
            {QStringLiteral("PARCELADO"), QStringLiteral("Parcelado")},
            {QStringLiteral("BOLETO"), QStringLiteral("Boleto")},
            {QStringLiteral("PROMISSÓRIA"), QStringLiteral("Promissória")},
            {QStringLiteral("TICKET"), QStringLiteral("Ticket")},
            {QStringLiteral("A PRAZO"), QStringLiteral("À prazo")},
            {QStringLiteral("OUTROS"), QStringLiteral("Outros")}};
}

bool mayAddProduct(double available, const QString &monitorarEstq, const QString &permiteVenda)
{
    return available >= 1 || monitorarEstq == QLatin1String("N") || permiteVenda == QLatin1String("S");
}

double discountLimit(double lastTotal, double limitPercent)
{
    return lastTotal * limitPercent / 100.0;
}

bool discountAllowed(double discount, double lastTotal, double limitPercent)
{
    // Amounts are in cents: 20,00 against a limit of 19,9999999 is equal.
    return std::llround(discount * 100) <= std::llround(discountLimit(lastTotal, limitPercent) * 100);
}

double change(double received, double total)
{
    return received - total;
}

QString removalText(const QString &descricao, double subtotal)
{
    return QStringLiteral("Remover Item: ") + descricao + QStringLiteral("?   Total de R$ ")
         + core::shortNumber(subtotal) + QStringLiteral(" ?");
}

std::optional<double> parseTyped(const QString &text, const QString &what, QString *message)
{
    const std::optional<double> v = core::parseNumber(text);
    if (!v || !std::isfinite(*v)) {
        if (message)
            *message = text.trimmed().isEmpty()
                ? QStringLiteral("Informe %1.").arg(what)
                : QStringLiteral("'%1' não é um valor válido para %2.").arg(text.trimmed(), what);
        return std::nullopt;
    }
    return v;
}

std::optional<qint64> parseWhole(const QString &text, const QString &what, QString *message)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok) {
        if (message)
            *message = t.isEmpty() ? QStringLiteral("Informe %1.").arg(what)
                                   : QStringLiteral("'%1' não é um número válido para %2.").arg(t, what);
        return std::nullopt;
    }
    return v;
}

QColor progressColour(const QString &andamento)
{
    if (andamento == QLatin1String("EM ABERTO"))
        return QColor(0x80, 0x00, 0x00);
    if (andamento == kFinalizado)
        return QColor(0x00, 0x80, 0x00);
    if (andamento == QLatin1String("CANCELADO"))
        return QColor(0xFF, 0x00, 0x00);
    if (andamento == QStringLiteral("AGUARDANDO PEÇAS"))
        return QColor(0x00, 0x40, 0x80);
    if (andamento == QStringLiteral("FALTANDO PEÇAS"))
        return QColor(0x51, 0x51, 0x00);
    return QColor();
}

QStringList colouredStates()
{
    return {QStringLiteral("EM ABERTO"), QStringLiteral("FINALIZADO"), QStringLiteral("CANCELADO"),
            QStringLiteral("AGUARDANDO PEÇAS"), QStringLiteral("FALTANDO PEÇAS")};
}

} // namespace brelvo::orders
