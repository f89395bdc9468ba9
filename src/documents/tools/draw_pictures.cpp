// Draws the pictures the receipts and promissory notes print on: the receipt
// frame, the note background and the default logo. Run once and commit the
// PNG files under resources/shipped:
//   draw_document_pictures resources/shipped
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>

namespace {

constexpr double kPxPorMm = 8;     // about 200 dpi

QRectF mm(double x, double y, double w, double h)
{
    return QRectF(x * kPxPorMm, y * kPxPorMm, w * kPxPorMm, h * kPxPorMm);
}

QFont fonte(double pt, bool negrito = false, bool italico = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(pt * 0.3528 * kPxPorMm));   // points to millimetres to pixels
    f.setBold(negrito);
    f.setItalic(italico);
    return f;
}

QImage novaImagem(double w, double h)
{
    QImage img(int(w * kPxPorMm), int(h * kPxPorMm), QImage::Format_ARGB32);
    img.fill(Qt::white);
    return img;
}

void caixa(QPainter &p, const QRectF &r, double raio, const QBrush &fundo = Qt::NoBrush)
{
    p.setBrush(fundo);
    p.drawRoundedRect(r, raio * kPxPorMm, raio * kPxPorMm);
}

// 178 x 102 mm: a rounded border, the number box at the top left, the title
// in the middle, the value box at the top right, the payer box, the closing
// sentence, the place-and-date strip and the issuer box.
QImage molduraRecibo()
{
    QImage img = novaImagem(178, 102);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor tinta(40, 60, 110);
    const QBrush claro(QColor(234, 239, 248));

    p.setPen(QPen(tinta, 0.7 * kPxPorMm));
    caixa(p, mm(1, 1, 176, 100), 5);
    p.setPen(QPen(tinta, 0.25 * kPxPorMm));
    caixa(p, mm(2.5, 2.5, 173, 97), 4);

    p.setPen(QPen(tinta, 0.35 * kPxPorMm));
    caixa(p, mm(5, 7, 46, 11), 2, claro);
    caixa(p, mm(121, 7, 52, 11), 2, claro);
    p.setFont(fonte(22, true));
    p.setPen(tinta);
    p.drawText(mm(51, 5, 70, 14), Qt::AlignCenter, QStringLiteral("RECIBO"));

    p.setPen(QPen(tinta, 0.35 * kPxPorMm));
    caixa(p, mm(5, 23, 168, 33), 2);
    // Writing rules inside the payer box.
    p.setPen(QPen(QColor(180, 190, 210), 0.15 * kPxPorMm));
    for (double y : {32.5, 38.5, 44.5, 53.5})
        p.drawLine(mm(8, y, 0, 0).topLeft(), mm(170, y, 0, 0).topLeft());

    p.setPen(tinta);
    p.setFont(fonte(9, false, true));
    p.drawText(mm(5, 56.5, 168, 4.5), Qt::AlignCenter, QStringLiteral("Para maior clareza firmamos o presente"));

    p.setPen(QPen(tinta, 0.35 * kPxPorMm));
    caixa(p, mm(5, 61.5, 168, 8), 2, claro);
    caixa(p, mm(5, 73, 168, 26), 2);
    p.setPen(QPen(QColor(180, 190, 210), 0.15 * kPxPorMm));
    for (double y : {83, 89, 96})
        p.drawLine(mm(8, y, 0, 0).topLeft(), mm(138, y, 0, 0).topLeft());
    return img;
}

// 186.5 x 91 mm: a rounded border (the remarks line stays below it), "República Federativa do Brasil" upright
// along the left edge, grey boxes for the number and the value, a grey band
// for the sum line.
QImage fundoNota()
{
    QImage img = novaImagem(186.5, 91);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor tinta(60, 60, 60);
    const QBrush cinza(QColor(225, 225, 225));

    p.setPen(QPen(tinta, 0.6 * kPxPorMm));
    caixa(p, mm(1, 1, 184.5, 86), 4);
    // The left strip with the country's name written upright.
    p.setPen(QPen(tinta, 0.25 * kPxPorMm));
    caixa(p, mm(2.5, 2.5, 8, 83), 2, cinza);
    p.save();
    p.translate(mm(6.5, 44, 0, 0).topLeft());
    p.rotate(-90);
    p.setFont(fonte(8, true));
    p.setPen(tinta);
    const double meia = 40 * kPxPorMm;
    p.drawText(QRectF(-meia, -2.5 * kPxPorMm, 2 * meia, 5 * kPxPorMm), Qt::AlignCenter,
               QStringLiteral("República Federativa do Brasil"));
    p.restore();

    p.setPen(QPen(tinta, 0.3 * kPxPorMm));
    caixa(p, mm(78, 8.5, 40, 8), 2, cinza);
    caixa(p, mm(127, 8.5, 56, 8), 2, cinza);
    caixa(p, mm(12, 41.5, 171, 12), 2, cinza);
    return img;
}

// 32 x 21 mm: the workshop's default mark, a spanner over a gear.
QImage logoPadrao()
{
    QImage img = novaImagem(32, 21);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul(30, 70, 140), laranja(230, 120, 20);

    // Gear: a ring with eight teeth.
    const QPointF c = mm(10.5, 10.5, 0, 0).topLeft();
    p.setPen(Qt::NoPen);
    p.setBrush(azul);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 45.0);
        p.drawRoundedRect(QRectF(-1.4 * kPxPorMm, -8.6 * kPxPorMm, 2.8 * kPxPorMm, 3 * kPxPorMm), 3, 3);
        p.restore();
    }
    p.drawEllipse(c, 6.6 * kPxPorMm, 6.6 * kPxPorMm);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 3.4 * kPxPorMm, 3.4 * kPxPorMm);

    // Spanner across the gear.
    p.save();
    p.translate(c);
    p.rotate(-45);
    p.setBrush(laranja);
    p.drawRoundedRect(QRectF(-8 * kPxPorMm, -1.1 * kPxPorMm, 16 * kPxPorMm, 2.2 * kPxPorMm), 6, 6);
    for (double x : {-8.0, 8.0}) {
        QPainterPath boca;
        boca.addEllipse(QPointF(x * kPxPorMm, 0), 2.4 * kPxPorMm, 2.4 * kPxPorMm);
        QPainterPath abertura;
        abertura.addRect(QRectF((x + (x < 0 ? -3.0 : 1.0)) * kPxPorMm, -0.9 * kPxPorMm, 2 * kPxPorMm,
                                1.8 * kPxPorMm));
        p.drawPath(boca.subtracted(abertura));
    }
    p.restore();

    p.setPen(azul);
    p.setFont(fonte(11, true));
    p.drawText(mm(20, 4, 12, 7), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("AUTO"));
    p.setPen(laranja);
    p.setFont(fonte(7, true));
    p.drawText(mm(20, 10.5, 12, 6), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PEÇAS"));
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QDir pasta(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const bool ok = molduraRecibo().save(pasta.filePath(QStringLiteral("recibo_moldura.png"))) &&
                    fundoNota().save(pasta.filePath(QStringLiteral("np_fundo.png"))) &&
                    logoPadrao().save(pasta.filePath(QStringLiteral("logo_padrao.png")));
    QTextStream(stderr) << (ok ? "ok\n" : "falhou\n");
    return ok ? 0 : 1;
}
