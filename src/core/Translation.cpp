#include "core/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace brelvo::core {

bool installQtPortuguese(QCoreApplication *app)
{
    auto *t = new QTranslator(app);
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    if (!t->load(br, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    return app->installTranslator(t);
}

} // namespace brelvo::core
