#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace brelvo::core {

namespace {
QString g_folder;
}

QString programFolder()
{
    return g_folder.isEmpty() ? QCoreApplication::applicationDirPath() : g_folder;
}

void setProgramFolder(const QString &folder) { g_folder = folder; }

QString workFile(const QString &name) { return QDir(programFolder()).filePath(name); }

QString sharedFile(const QString &name) { return QDir(programFolder()).filePath(name); }

} // namespace brelvo::core
