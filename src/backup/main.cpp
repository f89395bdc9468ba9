#include "backup/TFBackup.h"
#include "core/Translation.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Back-Up"));
    brelvo::core::installQtPortuguese(&app);
    brelvo::backup::TFBackup::installArchiverDialogs();
    brelvo::backup::TFBackup w;
    w.show();
    return app.exec();
}
