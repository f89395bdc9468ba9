#pragma once
// EAN-13 codes: check digit and the "Gerar" rule of the barcode generator.

#include <QString>
#include <optional>

namespace brelvo::stock {

// Check digit of 12 digits (odd positions weigh 1, even positions 3).
// nullopt when the text is not exactly 12 digits.
std::optional<int> ean13CheckDigit(const QString &twelveDigits);

// True for 13 digits whose last one is the check digit of the first 12.
bool isValidEan13(const QString &code);

struct GeneratedCode {
    QString base;       // 12 digits (zero-padded when fewer were typed)
    int digit = -1;     // check digit
    QString full() const { return base + QString::number(digit); }
};

// The generator's rule for a typed base number: 1 to 10 digits are zero-padded
// to 12, 12 digits are kept, any other length or a non-digit is refused with
// the message to show.
std::optional<GeneratedCode> generateEan13(const QString &typed, QString *error = nullptr);

inline const char *kEanLengthMessage = "Entre com digitos Menor ou Igual a 10 caracteres ou Igual 12";

} // namespace brelvo::stock
