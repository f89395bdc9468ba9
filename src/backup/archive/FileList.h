#pragma once
// Turning a list of file masks into the list of files to store.

#include <QString>
#include <QStringList>
#include <functional>

namespace brelvo::backup {

// Wildcard match of a file name with the desktop's meaning: '*' any run,
// '?' one character, letters without case; a pattern ending in ".*" also
// matches names without a dot ("*.*" matches every name).
bool maskMatches(const QString &pattern, const QString &name);

struct FileListOptions {
    QString excludeArchive;            // absolute path of the archive being written
    QStringList excludeNames;          // bare file names never listed (no case)
    std::function<bool(const QString &)> accept;   // extra filter (incremental mode)
    // Told of each matching entry that is not a regular file (a FIFO, a
    // socket, a device, a dangling link): such entries are never listed.
    std::function<void(const QString &)> skipped;
};

// Each mask: "folder/pattern", or "folder/pattern /s" to take the subfolders
// first, recursively. Paths keep their case; a file already listed or the
// archive itself is left out. Paths are compared as the file system does, so
// "Abc.db" and "abc.db" are two files.
QStringList buildFileList(const QStringList &masks, const FileListOptions &options);

} // namespace brelvo::backup
