// Back up and restore a generated database folder (~64 MB: a real SQLite
// file of text rows, incompressible pictures and plain-text lists) the way
// the Back-up tool does it (the database through its consistent snapshot; a
// restore held exclusively, the database checked before it is swapped in),
// timed against gzip -1 / gzip -d on the same files. Best of N runs each.
//
//   bench_backup [size-MB=64] [runs=3]

#include "backup/DatabaseBackup.h"
#include "backup/archive/BackupFile.h"
#include "data/DatabaseFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace brelvo::backup;
using Clock = std::chrono::steady_clock;

namespace {

const char *kNames[] = {"JOSE", "MARIA", "ANTONIO", "ANA", "FRANCISCO", "FRANCISCA", "CARLOS", "PAULO",
                        "LUCAS", "JULIANA", "MARCOS", "PATRICIA"};
const char *kStreets[] = {"RUA DAS FLORES", "AV. BRASIL", "RUA SETE DE SETEMBRO", "TRAVESSA DO COMERCIO",
                          "AV. PAULISTA", "RUA DOM PEDRO II"};
const char *kParts[] = {"FILTRO DE OLEO", "PASTILHA DE FREIO", "OLEO 5W30 SINTETICO", "VELA DE IGNICAO",
                        "CORREIA DENTADA", "AMORTECEDOR DIANTEIRO", "LAMPADA H4", "BATERIA 60AH"};

bool makeSqlite(const QString &path, qint64 bytes, QRandomGenerator &gen)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db,
                 "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                 "CREATE TABLE clientes(Codigo INTEGER PRIMARY KEY, Nome TEXT, Endereco TEXT, Cidade TEXT,"
                 " Fone TEXT, Cpf TEXT, Obs TEXT);"
                 "CREATE TABLE itens(Chave INTEGER PRIMARY KEY, Ordem INTEGER, CodBarra INTEGER, Descricao TEXT,"
                 " Qtd REAL, ValorUni REAL);"
                 "CREATE INDEX itens_ordem ON itens(Ordem);",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *c = nullptr, *it = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO clientes VALUES(NULL,?,?,?,?,?,?)", -1, &c, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO itens VALUES(NULL,?,?,?,?,?)", -1, &it, nullptr);
    for (int row = 0;; ++row) {
        if (row % 2000 == 0 && QFileInfo(path).size() >= bytes)
            break;
        const QByteArray nome = QByteArray(kNames[gen.bounded(12)]) + " DA SILVA " + QByteArray::number(row);
        const QByteArray end = QByteArray(kStreets[gen.bounded(6)]) + ", " + QByteArray::number(gen.bounded(3000));
        const QByteArray fone = "(11) 9" + QByteArray::number(10000000 + gen.bounded(89999999));
        const QByteArray cpf = QByteArray::number(10000000000LL + gen.bounded(899999999) * 100LL);
        const QByteArray obs = row % 3 ? QByteArray() : QByteArray("CLIENTE DESDE ") + QByteArray::number(2000 + row % 25);
        const QByteArray *texts[] = {&nome, &end, nullptr, &fone, &cpf, &obs};
        for (int i = 0; i < 6; ++i)
            if (i == 2)
                sqlite3_bind_text(c, 3, "SAO PAULO", -1, SQLITE_STATIC);
            else
                sqlite3_bind_text(c, i + 1, texts[i]->constData(), int(texts[i]->size()), SQLITE_TRANSIENT);
        sqlite3_step(c);
        sqlite3_reset(c);
        for (int k = 0; k < 4; ++k) {
            sqlite3_bind_int(it, 1, row);
            sqlite3_bind_int64(it, 2, 7890000000000LL + gen.bounded(99999));
            sqlite3_bind_text(it, 3, kParts[gen.bounded(8)], -1, SQLITE_STATIC);
            sqlite3_bind_double(it, 4, 1 + gen.bounded(5));
            sqlite3_bind_double(it, 5, gen.bounded(50000) / 100.0);
            sqlite3_step(it);
            sqlite3_reset(it);
        }
    }
    sqlite3_finalize(c);
    sqlite3_finalize(it);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return true;
}

bool writeChunks(const QString &path, qint64 bytes, const std::function<QByteArray(qint64)> &chunk)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (qint64 done = 0; done < bytes;) {
        const QByteArray b = chunk(qMin<qint64>(1 << 20, bytes - done));
        f.write(b);
        done += b.size();
    }
    return true;
}

// ~80% SQLite, ~12% pictures (random), ~8% text lists.
bool generate(const QString &folder, qint64 total)
{
    QDir().mkpath(folder);
    QRandomGenerator gen(2026);
    if (!makeSqlite(folder + "/brelvo.sqlite", total * 80 / 100, gen))
        return false;
    for (int i = 0; i < 12; ++i)
        writeChunks(folder + QString("/foto_%1.jpg").arg(i), total * 12 / 100 / 12, [&](qint64 n) {
            QByteArray b(n, '\0');
            gen.fillRange(reinterpret_cast<quint32 *>(b.data()), n / 4);
            return b;
        });
    int line = 0;
    for (const char *name : {"lista_saida.txt", "lista_receber.txt", "fabricantes.txt", "notas.txt"})
        writeChunks(folder + "/" + name, total * 2 / 100, [&](qint64 n) {
            QByteArray b;
            while (b.size() < n) {
                ++line;
                b += QByteArray::number(line) + ";" + kNames[line % 12] + ";" + kParts[line % 8] + ";R$ "
                     + QByteArray::number(line % 997) + ",00\r\n";
            }
            return b.left(n);
        });
    return true;
}

// CPU time of this process and of the children it waited for.
double cpuNow()
{
    double t = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage ru {};
        getrusage(who, &ru);
        t += ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    }
    return t;
}

// Best wall time of the runs, with the CPU time of that run (less sensitive
// to a busy machine than the wall time).
struct Best {
    double wall = 1e9, cpu = 0;
};

void measure(Best &best, const std::function<void()> &f)
{
    const double c0 = cpuNow();
    const auto t0 = Clock::now();
    f();
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    if (wall < best.wall)
        best = {wall, cpuNow() - c0};
}

QString q(const QString &s) { return "'" + s + "'"; }

// The rows of every table of a database, in order.
void addRows(QCryptographicHash &h, const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (const char *sql : {"SELECT * FROM clientes ORDER BY Codigo", "SELECT * FROM itens ORDER BY Chave"}) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                h.addData(QByteArrayView(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                         sqlite3_column_bytes(st, i)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}

// The plain files byte for byte, the database row by row (its snapshot is a
// fresh copy of the pages, not the same bytes).
QByteArray digest(const QString &dir)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (const QString &f : QDir(dir).entryList(QDir::Files, QDir::Name)) {
        h.addData(f.toUtf8());
        if (f == "brelvo.sqlite") {
            addRows(h, dir + "/" + f);
            continue;
        }
        QFile file(dir + "/" + f);
        file.open(QIODevice::ReadOnly);
        h.addData(&file);
    }
    return h.result().toHex();
}

long maxRssKb()
{
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    const qint64 mb = argc > 1 ? std::atoll(argv[1]) : 64;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir tmp(QDir::currentPath() + "/bench-backup-XXXXXX");
    const QString src = tmp.filePath("dados"), out = tmp.filePath("restaurado"), gz = tmp.filePath("gz"),
                  gzOut = tmp.filePath("gunzip"), archive = tmp.filePath("arquivo.bck");

    // Generated in a child so its memory does not count against the archiver.
    const pid_t child = fork();
    if (child == 0)
        _exit(generate(src, mb * 1024 * 1024) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "generation failed\n");
        return 1;
    }
    const QStringList files = QDir(src).entryList(QDir::Files, QDir::Name);
    qint64 bytes = 0;
    for (const QString &f : files)
        bytes += QFileInfo(src + "/" + f).size();
    std::system(qPrintable("cat " + q(src) + "/* > /dev/null"));   // warm the cache
    QDir().mkpath(gz);
    QDir().mkpath(gzOut);
    const long rssBefore = maxRssKb();

    TBackupFile bf;
    applyToolSettings(bf);
    bf.OnNeedDisk = [](int, bool &) {};
    DatabaseBackup job(bf);
    Best backup, restore, backupVol, gzip, gunzip, snapshot, check, unpack;
    bool allDone = true;
    for (int r = 0; r < runs; ++r) {
        bf.MaxSize = 0;
        measure(backup, [&] { allDone &= job.backup(src, archive) == DatabaseBackup::Result::Done; });
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        measure(restore, [&] { allDone &= job.restore(archive, out) == DatabaseBackup::Result::Done; });
        // The archiver alone, as a plain unpack with no database check.
        QDir(tmp.filePath("desempacotado")).removeRecursively();
        measure(unpack, [&] { allDone &= bf.Restore(archive, tmp.filePath("desempacotado")); });
        bf.MaxSize = 5400000;   // the tool's volume size
        measure(backupVol, [&] {
            allDone &= job.backup(src, tmp.filePath("vol.bck")) == DatabaseBackup::Result::Done;
        });
        // The two database steps on their own.
        const QString snap = tmp.filePath("instantaneo.sqlite");
        measure(snapshot, [&] { brelvo::data::DatabaseFiles::snapshot(src, snap); });
        measure(check, [&] { allDone &= brelvo::data::DatabaseFiles::check(snap).isEmpty(); });
        QFile::remove(snap);
        measure(gzip, [&] {
            for (const QString &f : files)
                std::system(qPrintable("gzip -1 -c " + q(src + "/" + f) + " > " + q(gz + "/" + f + ".gz")));
        });
        measure(gunzip, [&] {
            for (const QString &f : files)
                std::system(qPrintable("gzip -d -c " + q(gz + "/" + f + ".gz") + " > " + q(gzOut + "/" + f)));
        });
    }
    bf.MaxSize = 0;
    const long rss = maxRssKb();
    const bool same = digest(src) == digest(out);
    qint64 gzBytes = 0;
    for (const QString &f : QDir(gz).entryList(QDir::Files))
        gzBytes += QFileInfo(gz + "/" + f).size();

    std::printf("folder: %lld files, %.1f MB (SQLite rows, pictures, text lists)\n", qint64(files.size()),
                bytes / 1048576.0);
    std::printf("archive: %.1f MB   gzip -1: %.1f MB\n", QFileInfo(archive).size() / 1048576.0, gzBytes / 1048576.0);
    auto line = [](const char *what, const Best &b, const char *base, const Best &g) {
        std::printf("%-17s %7.3f s (CPU %.3f)", what, b.wall, b.cpu);
        if (base)
            std::printf("   %s %7.3f s (CPU %.3f)   ratio %.2f (CPU %.2f)", base, g.wall, g.cpu, b.wall / g.wall,
                        b.cpu / g.cpu);
        std::printf("\n");
    };
    line("backup", backup, "gzip -1", gzip);
    line("backup (volumes)", backupVol, nullptr, {});
    line("restore", restore, "gzip -d", gunzip);
    line("  unpack alone", unpack, "gzip -d", gunzip);
    line("  db snapshot", snapshot, nullptr, {});
    line("  db check", check, nullptr, {});
    std::printf("max RSS %.1f MB (before archiving %.1f MB)\n", rss / 1024.0, rssBefore / 1024.0);
    std::printf("restored identical: %s\n", same ? "yes" : "NO");
    std::printf("every operation done: %s\n", allDone ? "yes" : "NO");
    return same && allDone ? 0 : 1;
}
