// Arbitrary bytes restored into a scratch folder: no crash, no hang, nothing
// written beside the target folder, no temporary file left behind.
//
//   fuzz_backup_restore -max_len=40000 -len_control=0 -max_total_time=300 CORPUS tests/backup/fuzz/seeds
//
// The first byte holds the options: bit 0 RestoreFullPath, bits 1-6 the
// restore mode (modulo 5), bit 7 volumes. Without bit 7 the rest is one
// archive read from ":STREAM". With bit 7 the rest is cut at every "\0VOL\xff"
// into the volume files of a multi-volume archive (x.bck, x.002, x.003, ...,
// at most 9), restored from disk; each disk asked for is "inserted" when its
// file exists, and the asking stops after 32 questions.

#include "backup/archive/BackupFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace brelvo::backup;

namespace {

const QByteArray kCut("\0VOL\xff", 5);

QStringList everything(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

void writeVolumes(const QString &dir, const QByteArray &data)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    qsizetype from = 0;
    QString name = dir + QStringLiteral("/x.bck");
    for (int n = 1; n <= 9; ++n) {
        const qsizetype cut = data.indexOf(kCut, from);
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(data.mid(from, cut < 0 ? -1 : cut - from));
        f.close();
        if (cut < 0)
            break;
        from = cut + kCut.size();
        name = TBackupFile::volumeName(name, n + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir base;
    static const QString outer = base.path() + QStringLiteral("/outer");
    static const QString target = outer + QStringLiteral("/alvo");
    static const QString vols = base.path() + QStringLiteral("/vols");
    QDir(target).removeRecursively();
    QDir().mkpath(target);

    const uint8_t opts = size > 0 ? data[0] : 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + (size > 0 ? 1 : 0),
                          qsizetype(size > 0 ? size - 1 : 0));
    const bool volumes = opts & 0x80;

    TBackupFile bf;
    bf.RestoreFullPath = opts & 1;
    bf.restoreMode = RestoreMode(((opts >> 1) & 0x3F) % 5);
    bf.OnError = [](int, const QString &) {};
    QBuffer in;
    if (volumes) {
        writeVolumes(vols, rest);
        int asked = 0;
        bf.OnNeedDisk = [&](int disk, bool &cont) {
            cont = ++asked <= 32 && QFile::exists(TBackupFile::volumeName(vols + QStringLiteral("/x.bck"), disk));
        };
        bf.Restore(vols + QStringLiteral("/x.bck"), target);
    } else {
        in.setData(rest);
        in.open(QIODevice::ReadOnly);
        bf.inputStream = &in;
        bf.OnNeedDisk = [](int, bool &cont) { cont = false; };
        bf.Restore(QStringLiteral(":STREAM"), target);
    }

    // Only the scratch folders exist beside the target; the volumes are only read.
    QStringList atTop = everything(base.path());
    atTop.removeAll(QStringLiteral("vols"));
    QStringList written = everything(vols);
    written.erase(std::remove_if(written.begin(), written.end(),
                                 [](const QString &f) { return f.startsWith(QStringLiteral("x.")); }),
                  written.end());
    if (atTop != QStringList{QStringLiteral("outer")} || everything(outer) != QStringList{QStringLiteral("alvo")}
        || !written.isEmpty()) {
        std::fprintf(stderr, "written outside the target: %s | %s | %s\n",
                     qPrintable(everything(base.path()).join(u',')), qPrintable(everything(outer).join(u',')),
                     qPrintable(written.join(u',')));
        std::abort();
    }
    // No temporary file may survive a restore.
    const QStringList left = QDir(target).entryList(QDir::Files | QDir::Hidden);
    for (const QString &f : left)
        if (f.startsWith(QStringLiteral(".restauracao-"))) {
            std::fprintf(stderr, "temporary file left: %s\n", qPrintable(f));
            std::abort();
        }
    return 0;
}
