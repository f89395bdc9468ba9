#include "printing/Ean13.h"

#include <QPainter>
#include <zint.h>

#include <algorithm>
#include <memory>

namespace brelvo::printing {

static bool allDigits(const QString &s)
{
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

int ean13CheckDigit(const QString &twelveDigits)
{
    if (twelveDigits.size() != 12 || !allDigits(twelveDigits))
        return -1;
    int odd = 0, even = 0;
    for (int i = 0; i < 12; ++i) {
        const int d = twelveDigits[i].unicode() - '0';
        if (i % 2 == 0)
            odd += d;          // positions 1, 3, ... 11
        else
            even += d;         // positions 2, 4, ... 12
    }
    const int t = odd + 3 * even;
    return (10 - t % 10) % 10;
}

bool validateEan13(const QString &code, QString *error)
{
    auto fail = [error](const QString &msg) {
        if (error)
            *error = msg;
        return false;
    };
    if (code.isEmpty())
        return fail(QStringLiteral("Código de barras EAN-13 não informado."));
    if (code.size() != 13 || !allDigits(code))
        return fail(QStringLiteral("Código de barras EAN-13 inválido: \"%1\" (são 13 dígitos).").arg(code));
    const int check = ean13CheckDigit(code.left(12));
    if (check != code[12].unicode() - '0')
        return fail(QStringLiteral("Código de barras EAN-13 inválido: \"%1\" (dígito verificador correto: %2).")
                        .arg(code).arg(check));
    return true;
}

namespace {
struct SymbolDeleter {
    void operator()(zint_symbol *s) const { ZBarcode_Delete(s); }
};
}

Ean13Symbol ean13Symbol(const QString &code, const QSizeF &sizeMm, QString *error)
{
    Ean13Symbol out;
    if (!validateEan13(code, error))
        return out;
    if (sizeMm.width() <= 0 || sizeMm.height() <= 0) {
        if (error)
            *error = QStringLiteral("Tamanho inválido para o código de barras.");
        return out;
    }
    std::unique_ptr<zint_symbol, SymbolDeleter> sym(ZBarcode_Create());
    if (!sym) {
        if (error)
            *error = QStringLiteral("Sem memória para gerar o código de barras.");
        return out;
    }
    sym->symbology = BARCODE_EANX;
    sym->show_hrt = 1;
    // zint computes the check digit itself from the first twelve.
    const QByteArray data = code.left(12).toLatin1();
    int rc = ZBarcode_Encode(sym.get(), reinterpret_cast<const unsigned char *>(data.constData()), int(data.size()));
    if (rc < ZINT_ERROR)
        rc = ZBarcode_Buffer_Vector(sym.get(), 0);
    if (rc >= ZINT_ERROR || !sym->vector || sym->vector->width <= 0 || sym->vector->height <= 0) {
        if (error)
            *error = QStringLiteral("Não foi possível gerar o código de barras %1: %2")
                         .arg(code, QString::fromLatin1(sym->errtxt));
        return out;
    }
    const zint_vector *v = sym->vector;
    const double sx = sizeMm.width() / v->width;
    const double sy = sizeMm.height() / v->height;
    out.size = sizeMm;
    for (const zint_vector_rect *r = v->rectangles; r; r = r->next) {
        if (r->colour != -1 && r->colour != 7)     // foreground (or explicit black) only
            continue;
        out.bars.emplace_back(r->x * sx, r->y * sy, r->width * sx, r->height * sy);
    }
    for (const zint_vector_string *s = v->strings; s; s = s->next) {
        const QString text = QString::fromLatin1(reinterpret_cast<const char *>(s->text), s->length);
        const double fh = s->fsize * sy;
        const double w = (s->width > 0 ? s->width : s->fsize * 0.62 * s->length) * sx;
        // x is the centre, or the left (halign 1) or right (halign 2) end of the text.
        double left = s->x * sx - w / 2, width = w;
        Qt::Alignment align = Qt::AlignHCenter;
        if (s->halign == 1) {
            left = s->x * sx;
            align = Qt::AlignLeft;
        } else if (s->halign == 2) {
            left = std::max(0.0, s->x * sx - w);
            width = s->x * sx - left;
            align = Qt::AlignRight;
        }
        out.digits.push_back({QRectF(left, s->y * sy - fh * 0.85, width, fh), text, align});
        out.digitHeight = fh;
    }
    return out;
}

namespace {
// The symbol's width and the start of its bars, in modules.
struct Layout {
    double width = 113, barsLeft = 11;
};

Layout layout()
{
    static const Layout l = [] {
        Layout out;
        std::unique_ptr<zint_symbol, SymbolDeleter> sym(ZBarcode_Create());
        if (!sym)
            return out;
        sym->symbology = BARCODE_EANX;
        sym->show_hrt = 1;
        const unsigned char data[] = "000000000000";
        if (ZBarcode_Encode(sym.get(), data, 12) >= ZINT_ERROR || ZBarcode_Buffer_Vector(sym.get(), 0) >= ZINT_ERROR
            || !sym->vector)
            return out;
        double left = 1e9, right = -1e9;
        for (const zint_vector_rect *r = sym->vector->rectangles; r; r = r->next) {
            left = std::min<double>(left, r->x);
            right = std::max<double>(right, r->x + r->width);
        }
        const double module = (right - left) / 95;
        if (module > 0) {
            out.width = sym->vector->width / module;
            out.barsLeft = left / module;
        }
        return out;
    }();
    return l;
}
} // namespace

QSizeF ean13SizeForModule(double moduleMm, double heightMm)
{
    return QSizeF(layout().width * moduleMm, heightMm);
}

double ean13BarsOffset(double moduleMm)
{
    return layout().barsLeft * moduleMm;
}

static void drawSymbol(QPainter &p, const Ean13Symbol &s, double pxPerMm)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QRectF &b : s.bars)
        p.drawRect(QRectF(b.x() * pxPerMm, b.y() * pxPerMm, b.width() * pxPerMm, b.height() * pxPerMm));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, qRound(s.digitHeight * pxPerMm)));
    p.setFont(f);
    p.setPen(Qt::black);
    for (const auto &d : s.digits) {
        const QRectF r(d.rect.x() * pxPerMm, d.rect.y() * pxPerMm, d.rect.width() * pxPerMm,
                       d.rect.height() * pxPerMm);
        p.drawText(r, int(d.align | Qt::AlignVCenter), d.text);
    }
}

QImage ean13Image(const QString &code, const QSizeF &sizeMm, double dpi, QString *error)
{
    const Ean13Symbol s = ean13Symbol(code, sizeMm, error);
    if (s.isNull())
        return QImage();
    const double pxPerMm = dpi / 25.4;
    QImage img(std::max(1, qRound(sizeMm.width() * pxPerMm)), std::max(1, qRound(sizeMm.height() * pxPerMm)),
               QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    QPainter p(&img);
    drawSymbol(p, s, pxPerMm);
    p.end();
    return img;
}

QPicture ean13Picture(const QString &code, const QSizeF &sizeMm, QString *error)
{
    QPicture pic;
    const Ean13Symbol s = ean13Symbol(code, sizeMm, error);
    if (s.isNull())
        return pic;
    QPainter p(&pic);
    drawSymbol(p, s, 96.0 / 25.4);
    p.end();
    return pic;
}

} // namespace brelvo::printing
