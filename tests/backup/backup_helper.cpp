// A second program for the backup tests: posts sales the way the main
// program does, or backs up / restores the way the Back-up tool does.
//
//   backup_helper post <folder> <first> <count> <pause-us>
//       posts sales first..first+count-1 (a header and one item each, one
//       transaction per sale) and prints each number once it is committed
//   backup_helper backup <folder> <archive>
//   backup_helper restore <archive> <folder> [hold]
//       with "hold": once the restore is under way prints "restaurando" and
//       waits for a line on standard input before going on
//
// Exit status: 0 done, 1 archiver failure, 2 database in use, 3 refused,
// 4 bad arguments or database error.

#include "backup/DatabaseBackup.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Transaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

using namespace brelvo;

namespace {

int post(const QString &folder, int first, int count, int pauseUs)
{
    try {
        auto db = data::Database::open(folder, true);
        data::Table vendas(db, QStringLiteral("tbVendas.db"));
        data::Table itens(db, QStringLiteral("tbItems.DB"));
        vendas.open();
        itens.open();
        for (int i = first; i < first + count; ++i) {
            data::Transaction tx(*db);
            vendas.append();
            vendas.setValue(QStringLiteral("CodVenda"), i);
            vendas.setValue(QStringLiteral("VenOs"), QStringLiteral("PV"));
            vendas.post();
            itens.append();
            itens.setValue(QStringLiteral("Link"), vendas.value(QStringLiteral("Chave")));
            itens.setValue(QStringLiteral("CodVenda"), i);
            itens.setValue(QStringLiteral("Qtd"), 1);
            itens.post();
            tx.commit();
            std::printf("%d\n", i);
            std::fflush(stdout);
            if (pauseUs > 0)
                ::usleep(useconds_t(pauseUs));
        }
    } catch (const data::DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 4;
    }
    return 0;
}

int code(backup::DatabaseBackup::Result r)
{
    switch (r) {
    case backup::DatabaseBackup::Result::Done: return 0;
    case backup::DatabaseBackup::Result::Failed: return 1;
    case backup::DatabaseBackup::Result::InUse: return 2;
    case backup::DatabaseBackup::Result::Refused: return 3;
    }
    return 4;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() >= 6 && a[1] == QLatin1String("post"))
        return post(a[2], a[3].toInt(), a[4].toInt(), a[5].toInt());

    backup::TBackupFile bf;
    backup::applyToolSettings(bf);
    bf.OnNeedDisk = [](int, bool &) {};
    bf.OnError = [](int, const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    backup::DatabaseBackup job(bf);
    if (a.size() == 4 && a[1] == QLatin1String("backup")) {
        const int rc = code(job.backup(a[2], a[3]));
        for (const QString &s : job.skipped())
            std::printf("ignorado %s\n", qPrintable(s));
        if (rc)
            std::fprintf(stderr, "%s\n", qPrintable(job.message()));
        return rc;
    }
    if ((a.size() == 4 || a.size() == 5) && a[1] == QLatin1String("restore")) {
        bool waiting = a.size() == 5 && a[4] == QLatin1String("hold");
        bf.OnProgress = [&](const QString &, int, bool &) {
            if (!waiting)
                return;
            waiting = false;
            std::printf("restaurando\n");
            std::fflush(stdout);
            std::string line;
            std::getline(std::cin, line);
        };
        const int rc = code(job.restore(a[2], a[3]));
        if (rc)
            std::fprintf(stderr, "%s\n", qPrintable(job.message()));
        return rc;
    }
    std::fprintf(stderr, "uso: backup_helper post|backup|restore ...\n");
    return 4;
}
