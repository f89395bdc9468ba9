#include "documents/Extenso.h"

#include "core/DialogService.h"

#include <QLocale>
#include <cmath>

namespace brelvo::documents {

namespace {

const char *const kUnidades[9] = {"Um", "Dois", "Três", "Quatro", "Cinco", "Seis", "Sete", "Oito", "Nove"};
const char *const kOnzeADezenove[9] = {"Onze", "Doze", "Treze", "Quatorze", "Quinze",
                                       "Dezesseis", "Dezessete", "Dezoito", "Dezenove"};
const char *const kDezenas[9] = {"Dez", "Vinte", "Trinta", "Quarenta", "Cinqüenta",
                                 "Sessenta", "Setenta", "Oitenta", "Noventa"};
const char *const kCentenas[9] = {"Cento", "Duzentos", "Trezentos", "Quatrocentos", "Quinhentos",
                                  "Seiscentos", "Setecentos", "Oitocentos", "Novecentos"};

QString word(const char *const table[9], QChar digit)
{
    return QString::fromUtf8(table[digit.unicode() - '1']);
}

// The amount in whole cents, rounding half a cent up as the amount reads in
// decimal (1,005 gives 1,01 although the double is a hair below it).
qint64 centavos(double amount)
{
    const QString text = QString::number(amount, 'f', QLocale::FloatingPointShortest);
    const int dot = text.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? text : text.left(dot);
    const QString frac = (dot < 0 ? QString() : text.mid(dot + 1)) + QStringLiteral("000");
    qint64 cents = whole.toLongLong() * 100 + frac.left(2).toLongLong();
    if (frac.at(2) >= QLatin1Char('5'))
        ++cents;
    return cents;
}

} // namespace

QString mensagemForaDoIntervalo()
{
    return QStringLiteral("O valor está fora do intervalo permitido.") +
           QStringLiteral("O número deve ser maior ou igual a zero e menor que 999.999,99.") +
           QStringLiteral(" Se não for corrigido o número não será escrito por extenso.");
}

QString TrioExtenso(const QString &digits)
{
    if (digits.size() != 3)
        return QString();
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString();
    const QChar d0 = digits.at(0), d1 = digits.at(1), d2 = digits.at(2);

    QString dezena, unidade, centena;
    if (d1 == QLatin1Char('1') && d2 != QLatin1Char('0')) {
        unidade = word(kOnzeADezenove, d2);
    } else {
        if (d1 != QLatin1Char('0'))
            dezena = word(kDezenas, d1);
        if (d2 != QLatin1Char('0'))
            unidade = word(kUnidades, d2);
    }
    if (d0 == QLatin1Char('1') && dezena.isEmpty() && unidade.isEmpty())
        centena = QStringLiteral("Cem");
    else if (d0 != QLatin1Char('0'))
        centena = word(kCentenas, d0);

    QString out = centena;
    if (!centena.isEmpty() && (!dezena.isEmpty() || !unidade.isEmpty()))
        out += QStringLiteral(" e ");
    out += dezena;
    if (!dezena.isEmpty() && !unidade.isEmpty())
        out += QStringLiteral(" e ");
    out += unidade;
    return out;
}

QString extensoSemAviso(double amount, bool *foraDoIntervalo)
{
    // Written so that NaN also counts as out of range.
    const bool fora = !(amount >= 0.0 && amount <= kMaiorValorExtenso);
    if (foraDoIntervalo)
        *foraDoIntervalo = fora;
    if (fora || amount == 0.0)
        return QString();

    // Nine characters: six integer digits, the separator, two decimals.
    const qint64 cents = centavos(amount);
    const QString texto = QStringLiteral("%1,%2")
                              .arg(cents / 100, 6, 10, QLatin1Char('0'))
                              .arg(cents % 100, 2, 10, QLatin1Char('0'));
    const QString grupoMil = texto.mid(0, 3);
    const QString grupoUnidades = texto.mid(3, 3);
    const QString grupoCentavos = QLatin1Char('0') + texto.mid(7, 2);

    const QString m = TrioExtenso(grupoMil);
    const QString u = TrioExtenso(grupoUnidades);
    const QString c = TrioExtenso(grupoCentavos);

    QString out = m;
    if (!m.isEmpty())
        out += grupoUnidades == QLatin1String("000") ? QStringLiteral(" Mil Reais") : QStringLiteral(" Mil, e ");
    out += u;
    if (m.isEmpty() && grupoUnidades == QLatin1String("001"))
        out += QStringLiteral(" Real");
    else if (grupoUnidades != QLatin1String("000"))
        out += QStringLiteral(" Reais");

    if (c.isEmpty())
        return out + QLatin1Char('.');
    if (m.isEmpty() && u.isEmpty())
        out = c;
    else
        out += QStringLiteral(", e ") + c;
    out += texto.mid(7, 2) == QLatin1String("01") ? QStringLiteral(" Centavo.") : QStringLiteral(" Centavos.");
    return out;
}

QString Extenso(double amount)
{
    bool fora = false;
    const QString out = extensoSemAviso(amount, &fora);
    if (fora)
        core::showMessage(mensagemForaDoIntervalo());
    return out;
}

} // namespace brelvo::documents
