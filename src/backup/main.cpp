#include "backup/TFBackup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Back-Up"));
    brelvo::backup::TFBackup::installArchiverDialogs();
    brelvo::backup::TFBackup w;
    w.show();
    return app.exec();
}
