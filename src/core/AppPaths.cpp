#include "core/AppPaths.h"

#include "data/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace brelvo::core {

namespace {

bool g_chosen = false;
ProgramPaths g_paths;

ProgramPaths portableIn(const QString &folder)
{
    ProgramPaths p;
    p.layout = Layout::Portable;
    p.executable = folder;
    p.files = folder;
    p.shared = folder;
    return p;
}

QString runningExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

} // namespace

QStringList portableTraces()
{
    return {QString::fromLatin1(kPortableMarker), QStringLiteral("lista_saida.txt"), QStringLiteral("PRIV"),
            QStringLiteral("aliases.ini"), QStringLiteral("dados")};
}

ProgramPaths decidePaths(const QString &executableFolder, const QString &userDataFolder,
                         const QString &shareFolder)
{
    const QDir exe(executableFolder);
    bool traced = false;
    for (const QString &name : portableTraces())
        traced = traced || QFileInfo::exists(exe.filePath(name));
    if (traced && QFileInfo(executableFolder).isWritable())
        return portableIn(QDir::cleanPath(executableFolder));
    ProgramPaths p;
    p.layout = Layout::Installed;
    p.executable = QDir::cleanPath(executableFolder);
    p.files = QDir::cleanPath(userDataFolder);
    p.shared = QDir::cleanPath(shareFolder);
    return p;
}

void initProgramPaths()
{
    const QString exe = runningExecutableFolder();
    const QString data = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                             .filePath(QString::fromLatin1(kDataFolderName));
    const QString share = QDir(exe).filePath(QStringLiteral("../share/brelvo"));
    const ProgramPaths p = decidePaths(exe, data, share);
    QDir().mkpath(p.files);
    usePaths(p);
}

void usePaths(const ProgramPaths &paths)
{
    g_paths = paths;
    g_chosen = true;
    data::Database::setFilesFolder(paths.files);
}

ProgramPaths currentPaths()
{
    return g_chosen ? g_paths : portableIn(runningExecutableFolder());
}

QString executableFolder() { return currentPaths().executable; }

QString programFolder() { return currentPaths().files; }

void setProgramFolder(const QString &folder)
{
    g_chosen = !folder.isEmpty();
    g_paths = g_chosen ? portableIn(folder) : ProgramPaths();
    if (!g_chosen)
        data::Database::setFilesFolder(QString());
}

QString workFile(const QString &name) { return QDir(programFolder()).filePath(name); }

QString userConfigFile(const QString &name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QString::fromLatin1(kDataFolderName) + QLatin1Char('/') + name);
}

QString sharedFile(const QString &name)
{
    const ProgramPaths p = currentPaths();
    const QString copy = QDir(p.files).filePath(name);
    if (p.layout == Layout::Portable || QFileInfo::exists(copy))
        return copy;
    // Only what lies inside the share folder is copied (names may come from
    // stored records).
    const QString inside = QDir::cleanPath(name);
    if (QDir::isAbsolutePath(inside) || inside == QLatin1String("..") || inside.startsWith(QLatin1String("../")))
        return copy;
    const QString shipped = QDir(p.shared).filePath(inside);
    if (!QFileInfo(shipped).isFile())
        return copy;
    if (!QDir().mkpath(QFileInfo(copy).absolutePath()) || !QFile::copy(shipped, copy))
        return shipped;
    // The shipped file is read-only; the user's copy may be edited.
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return copy;
}

} // namespace brelvo::core
