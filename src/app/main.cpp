#include "app/Passwords.h"
#include "app/Startup.h"
#include "app/TFormInicial.h"
#include "app/TFormMenu.h"
#include "app/TAboutBox.h"
#include "app/Wiring.h"
#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/DialogService.h"
#include "core/Translation.h"
#include "data/Database.h"

#include <QApplication>
#include <QScreen>

using namespace brelvo;

int main(int argc, char **argv)
{
    const core::ProgramInfo info{
        QStringLiteral("Brelvo"),
        QStringLiteral("Gestão da oficina: ordens de serviço, vendas, estoque, cadastros e finanças."),
        QStringLiteral("Instalado, o programa guarda seus arquivos e o banco de dados (pasta \"dados\") em\n"
                       "~/.local/share/Brelvo; uma cópia portátil (pasta do programa com permissão de\n"
                       "escrita e o arquivo \"brelvo.portatil\") guarda tudo ao lado do executável.\n"
                       "A variável de ambiente DBBrelvoVendas ou o arquivo aliases.ini escolhem\n"
                       "outra pasta para o banco de dados.")};
    if (const auto code = core::answerCommandLine(argc, argv, info))
        return *code;

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Brelvo"));
    app.setApplicationVersion(app::TAboutBox::versionText());
    app.setQuitOnLastWindowClosed(false);
    core::installQtPortuguese(&app);

    app::SingleInstance instance;
    if (!instance.tryAcquire()) {
        app::showAlreadyRunning();
        return 0;
    }

    core::initProgramPaths();
    app::applyDateSettings();
    app::TFormInicial splash;
    splash.show();

    const QString dir = app::filesDir();
    app::createPrivateDir(dir);
    app::registerPasswordMigration();
    const data::DatabasePtr db = app::openProgramDatabase(dir, [&] { splash.finish(); });
    if (!db)
        return 1;
    app::createWorkingFiles(dir);

    app::TFormMenu menu(db);
    app::wireSubsystemWindows(menu);
    QObject::connect(&menu, &app::TFormMenu::activated, &splash, &app::TFormInicial::finish);
    QObject::connect(&menu, &app::TFormMenu::programEnd, &app, [&] {
        splash.close();
        QCoreApplication::quit();
    });
    QObject::connect(&splash, &app::TFormInicial::showMenu, &menu, [&] {
        // Without a window manager "maximised" means nothing: fill the screen.
        if (QScreen *s = menu.screen())
            menu.setGeometry(s->availableGeometry());
        menu.showMaximized();
    });
    // Counted from here: a start-up message kept open for long delays nothing.
    splash.start();

    return app.exec();
}
