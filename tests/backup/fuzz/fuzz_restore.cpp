// Arbitrary bytes restored from ":STREAM" into a scratch folder: no crash,
// no hang, nothing written beside the target folder.
//
//   fuzz_backup_restore -max_len=40000 -len_control=0 -max_total_time=300 CORPUS tests/backup/fuzz/seeds
// (a seed's first byte holds the options, the rest is an archive)

#include "backup/archive/BackupFile.h"

#include <QBuffer>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace brelvo::backup;

namespace {

QStringList everything(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir base;
    static const QString outer = base.path() + QStringLiteral("/outer");
    static const QString target = outer + QStringLiteral("/alvo");
    QDir(target).removeRecursively();
    QDir().mkpath(target);

    // The first byte picks the options, the rest is the archive.
    const uint8_t opts = size > 0 ? data[0] : 0;
    QBuffer in;
    in.setData(reinterpret_cast<const char *>(data) + (size > 0 ? 1 : 0), qsizetype(size > 0 ? size - 1 : 0));
    in.open(QIODevice::ReadOnly);

    TBackupFile bf;
    bf.inputStream = &in;
    bf.RestoreFullPath = opts & 1;
    bf.restoreMode = RestoreMode((opts >> 1) % 5);
    bf.OnError = [](int, const QString &) {};
    bf.OnNeedDisk = [](int, bool &cont) { cont = false; };
    bf.Restore(QStringLiteral(":STREAM"), target);

    if (everything(base.path()) != QStringList{QStringLiteral("outer")}
        || everything(outer) != QStringList{QStringLiteral("alvo")}) {
        std::fprintf(stderr, "written outside the target: %s | %s\n",
                     qPrintable(everything(base.path()).join(u',')), qPrintable(everything(outer).join(u',')));
        std::abort();
    }
    // No temporary file may survive a restore.
    QDir t(target);
    const QStringList left = t.entryList(QDir::Files | QDir::Hidden);
    for (const QString &f : left)
        if (f.startsWith(QStringLiteral(".restauracao-"))) {
            std::fprintf(stderr, "temporary file left: %s\n", qPrintable(f));
            std::abort();
        }
    return 0;
}
