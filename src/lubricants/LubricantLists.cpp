#include "lubricants/LubricantLists.h"

#include "core/AppPaths.h"

#include <QImageReader>

namespace brelvo::lubricants {

namespace {

const char *const kMakers[] = {
    "CHEVROLET", "CITROEN", "FIAT", "FORD", "HONDA", "MITSUBISHI", "PEUGEOT", "RENAULT", "TOYOTA",
    "VOLKSWAGEN", "ACURA", "ALFA ROMEO", "ASIA", "AUDI", "BMW", "CADILLAC", "CHAMONIX", "CHANA",
    "CHRYSLER", "CROSSLANDER", "DAEWOO", "DAIHATSU", "DODGE", "EFFA MOTORS", "ENGESA", "FERRARI", "GMC",
    "GURGEL", "HAFEI", "HUMMER", "HYUNDAI", "INFINITI", "IVECO-FIAT", "JAGUAR", "JEEP", "JPX", "KIA",
    "LADA", "LAND ROVER", "LEXUS", "LINCOLN", "MAHINDRA", "MASERATI", "MAZDA", "MERCEDES BENZ", "NISSAN",
    "PONTIAC", "PORSCHE", "SAAB", "SUBARU", "SUZUKI", "TROLLER", "VOLVO", "OUTRAS"};

QStringList makers()
{
    QStringList list;
    for (const char *m : kMakers)
        list << QString::fromLatin1(m);
    return list;
}

// Kinds the picture dialog offers, with their captions.
struct PictureKind {
    const char *suffix;
    const char *caption;
};
const PictureKind kKinds[] = {{"jpg", "Imagem JPEG"}, {"jpeg", "Imagem JPEG"}, {"bmp", "Bitmap"},
                              {"ico", "Ícone"},      {"png", "Imagem PNG"},   {"gif", "Imagem GIF"}};

} // namespace

QStringList editorMakers()
{
    QStringList list = makers();
    list[list.indexOf(QStringLiteral("CHAMONIX"))] = QStringLiteral("CHAMONIX,");
    return list;
}

QStringList lookupMakers()
{
    const QStringList first = {QStringLiteral("CHEVROLET"), QStringLiteral("VOLKSWAGEN"), QStringLiteral("FIAT"),
                               QStringLiteral("FORD"),      QStringLiteral("CITROEN"),    QStringLiteral("VOLVO")};
    QStringList list = first;
    for (const QString &m : makers())
        if (!first.contains(m))
            list << m;
    return list;
}

QStringList fuelChoices()
{
    return {QStringLiteral("Álcool"),
            QStringLiteral("Diesel"),
            QStringLiteral("Gás de Cozinha (GLP)"),
            QStringLiteral("Gás Natural Veicular (GNV)"),
            QStringLiteral("Gasolina"),
            QStringLiteral("Total Flex"),
            QStringLiteral("Gasolina / Álcool")};
}

QStringList apiClasses()
{
    QStringList list;
    for (const char *c : {"SD", "SE", "SF", "SG", "SH", "SJ", "SL", "SM"})
        list << QStringLiteral("API ") + QString::fromLatin1(c);
    return list;
}

QString defaultPicturePath() { return core::sharedFile(QStringLiteral("Veiculos/imagem.png")); }

QStringList pictureSuffixes()
{
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList list;
    for (const PictureKind &k : kKinds)
        if (readable.contains(QByteArray(k.suffix)))
            list << QString::fromLatin1(k.suffix);
    return list;
}

QString pictureFilter()
{
    const QStringList suffixes = pictureSuffixes();
    QStringList patterns;
    for (const QString &s : suffixes)
        patterns << QStringLiteral("*.") + s;
    QStringList entries{QStringLiteral("Todas as imagens (%1)").arg(patterns.join(QLatin1Char(' ')))};
    for (const PictureKind &k : kKinds)
        if (suffixes.contains(QString::fromLatin1(k.suffix)))
            entries << QStringLiteral("%1 (*.%2)").arg(QString::fromUtf8(k.caption), QString::fromLatin1(k.suffix));
    return entries.join(QStringLiteral(";;"));
}

} // namespace brelvo::lubricants
