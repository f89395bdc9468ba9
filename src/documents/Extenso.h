#pragma once
// Money amounts written out in Brazilian Portuguese words, with "Real"/"Reais"
// and "Centavo"/"Centavos": 3423,89 gives "Três Mil, e Quatrocentos e Vinte e
// Três Reais, e Oitenta e Nove Centavos.".

#include <QString>

namespace brelvo::documents {

// Largest amount that can be written out.
inline constexpr double kMaiorValorExtenso = 999999.99;

// The warning shown for an amount outside 0 to 999.999,99.
QString mensagemForaDoIntervalo();

// Words for three digits ("115" -> "Cento e Quinze"); empty for "000" and
// for anything that is not exactly three decimal digits.
QString TrioExtenso(const QString &digits);

// The amount in words. Zero gives an empty text. An amount below zero, above
// 999.999,99 or not a number gives an empty text; *foraDoIntervalo (when
// given) tells that case apart. Shows nothing.
QString extensoSemAviso(double amount, bool *foraDoIntervalo = nullptr);

// As above, and an amount out of range shows the warning through the dialog
// service.
QString Extenso(double amount);

} // namespace brelvo::documents
