#pragma once
// EAN-13 symbols: bars (guard bars longer) and the digits under them, drawn
// from the symbol that libzint encodes, at a size given in millimetres.

#include <QImage>
#include <QPicture>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

namespace brelvo::printing {

// Check digit of 12 digits; -1 when the text is not 12 digits.
int ean13CheckDigit(const QString &twelveDigits);

// A 13-digit code with a correct check digit. False with a Portuguese message otherwise.
bool validateEan13(const QString &code, QString *error = nullptr);

struct Ean13Symbol {
    struct Digits {
        QRectF rect;        // mm, relative to the symbol's top-left corner
        QString text;
        Qt::Alignment align = Qt::AlignHCenter;   // within rect
    };
    QSizeF size;            // mm
    std::vector<QRectF> bars;
    std::vector<Digits> digits;
    double digitHeight = 0; // mm, the height of the digits' font
    bool isNull() const { return bars.empty(); }
};

// Lays out the symbol of a valid code in a box of the given size: the quiet
// zones (the first digit stands in the left one), the bars and the digits
// under them fill the box. An empty symbol and *error when the code is refused.
Ean13Symbol ean13Symbol(const QString &code, const QSizeF &sizeMm, QString *error = nullptr);

// The narrowest bar of a symbol printed at 100 %, in mm. Labels state their
// size as a share of it (80 % = 0.264 mm).
constexpr double kEan13Module = 0.33;
// The box whose symbol has bars `moduleMm` wide and is `heightMm` tall; and
// where its first bar stands from the box's left edge (the 95 modules of the
// bars follow).
QSizeF ean13SizeForModule(double moduleMm, double heightMm);
double ean13BarsOffset(double moduleMm);

// The symbol drawn black on white at dpi dots per inch; a null image on error.
QImage ean13Image(const QString &code, const QSizeF &sizeMm, double dpi = 300, QString *error = nullptr);
// The same as a picture in millimetre-free device units of 1/96 inch.
QPicture ean13Picture(const QString &code, const QSizeF &sizeMm, QString *error = nullptr);

} // namespace brelvo::printing
