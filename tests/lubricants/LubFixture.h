#pragma once
// A fresh database with a few vehicles, and the program folder pointed at
// the shipped files (the default vehicle picture).

#include "core/AppPaths.h"
#include "data/TestDb.h"
#include "lubricants/LubricantLists.h"

#include <QImage>
#include <QTemporaryDir>

namespace lubtest {

inline QString u(const char *s) { return QString::fromUtf8(s); }

struct Db : testdb::Fresh {
    QTemporaryDir pictures;

    Db() { brelvo::core::setProgramFolder(QStringLiteral(BRELVO_SHIPPED_DIR)); }
    ~Db() { brelvo::core::setProgramFolder(QString()); }

    void vehicle(const char *maker, const char *car, int year, const QString &image = QString())
    {
        brelvo::data::Table t(db, QString::fromLatin1(brelvo::lubricants::kTable));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Fabricante"), u(maker));
        t.setValue(QStringLiteral("Carro"), u(car));
        t.setValue(QStringLiteral("Ano"), year);
        t.setValue(QStringLiteral("Lubrificane"), QStringLiteral("15W40"));
        t.setValue(QStringLiteral("NormaAPI"), QStringLiteral("API SL"));
        t.setValue(QStringLiteral("Litros_Carter"), 3.5);
        if (!image.isEmpty())
            t.setValue(QStringLiteral("Image"), image);
        t.post();
    }

    // A picture file of one colour; returns its path.
    QString picture(const char *name, Qt::GlobalColor colour)
    {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = pictures.filePath(QString::fromLatin1(name));
        img.save(path);
        return path;
    }

    int count()
    {
        brelvo::data::Table t(db, QString::fromLatin1(brelvo::lubricants::kTable));
        t.open();
        return t.recordCount();
    }
};

} // namespace lubtest
