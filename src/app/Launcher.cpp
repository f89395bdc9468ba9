#include "app/Launcher.h"

#include "app/Startup.h"

#include <QFileInfo>
#include <QProcess>

namespace brelvo::app {

namespace {
bool defaultStarter(const QString &path)
{
    return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}
ProgramStarter g_starter = defaultStarter;
} // namespace

ProgramStarter setProgramStarter(ProgramStarter starter)
{
    ProgramStarter old = std::move(g_starter);
    g_starter = starter ? std::move(starter) : ProgramStarter(defaultStarter);
    return old;
}

bool startBesideExecutable(const QString &program, const QString &dir)
{
    QString folder = dir.isEmpty() ? programDir() : dir;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    const QFileInfo beside(folder + program);
    if (!beside.exists() || !beside.isExecutable())
        return false;
    return g_starter(beside.absoluteFilePath());
}

} // namespace brelvo::app

#include <QDesktopServices>
#include <QUrl>

namespace brelvo::app {

namespace {
bool defaultOpener(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
DesktopOpener g_opener = defaultOpener;
} // namespace

DesktopOpener setDesktopOpener(DesktopOpener opener)
{
    DesktopOpener old = std::move(g_opener);
    g_opener = opener ? std::move(opener) : DesktopOpener(defaultOpener);
    return old;
}

bool openWithDesktop(const QString &path)
{
    return g_opener(path);
}

} // namespace brelvo::app
