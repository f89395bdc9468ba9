#include "backup/TFBackup.h"
#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/Translation.h"

#include <QApplication>

int main(int argc, char **argv)
{
    const brelvo::core::ProgramInfo info{
        QStringLiteral("Back-Up"),
        QStringLiteral("Cópia de segurança e restauração do banco de dados do Brelvo."),
        QStringLiteral("O back-up automático grava o arquivo DD-MM-AAAA.bck do dia na pasta de arquivos\n"
                       "do Brelvo (~/.local/share/Brelvo quando instalado, a pasta do programa numa\n"
                       "cópia portátil); a restauração automática usa o arquivo de ontem.")};
    if (const auto code = brelvo::core::answerCommandLine(argc, argv, info))
        return *code;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Back-Up"));
    brelvo::core::installQtPortuguese(&app);
    brelvo::core::initProgramPaths();
    brelvo::backup::TFBackup::installArchiverDialogs();
    brelvo::backup::TFBackup w;
    w.show();
    return app.exec();
}
