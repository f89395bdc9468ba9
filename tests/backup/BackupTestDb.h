#pragma once
// Database side of the backup tests: what a folder's database holds, posted
// and read through the data layer the way the programs do.

#include "data/Database.h"
#include "data/DatabaseFiles.h"
#include "data/Dataset.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>
#include <QTest>

namespace backuptest {

using brelvo::data::Database;
using brelvo::data::DatabaseFiles;
using brelvo::data::Table;

// Sale numbers of the headers, and of the items joined to their header by
// Link (-1 for an item whose header is missing or has another number).
struct Sales {
    QList<int> headers;
    QList<int> items;
    bool operator==(const Sales &o) const { return headers == o.headers && items == o.items; }
};

inline QList<int> range(int first, int last)
{
    QList<int> out;
    for (int i = first; i <= last; ++i)
        out << i;
    return out;
}

// Sales 1..n, each with its item.
inline Sales salesUpTo(int n) { return {range(1, n), range(1, n)}; }

// How a test failure shows a Sales.
inline char *toString(const Sales &s)
{
    auto join = [](const QList<int> &l) {
        QStringList out;
        for (int i : l)
            out << QString::number(i);
        return out.join(u',');
    };
    return qstrdup(qPrintable(QStringLiteral("sales [%1] items [%2]").arg(join(s.headers), join(s.items))));
}

inline void postSales(const brelvo::data::DatabasePtr &db, int first, int last)
{
    Table vendas(db, QStringLiteral("tbVendas.db"));
    Table itens(db, QStringLiteral("tbItems.DB"));
    vendas.open();
    itens.open();
    for (int i = first; i <= last; ++i) {
        brelvo::data::Transaction tx(*db);
        vendas.append();
        vendas.setValue(QStringLiteral("CodVenda"), i);
        vendas.post();
        itens.append();
        itens.setValue(QStringLiteral("Link"), vendas.value(QStringLiteral("Chave")));
        itens.setValue(QStringLiteral("CodVenda"), i);
        itens.post();
        tx.commit();
    }
}

inline Sales readSales(const brelvo::data::DatabasePtr &db)
{
    Sales s;
    QMap<qint64, int> byKey;
    Table vendas(db, QStringLiteral("tbVendas.db"));
    vendas.open();
    for (vendas.first(); !vendas.eof(); vendas.next()) {
        s.headers << int(vendas.asInteger(QStringLiteral("CodVenda")));
        byKey.insert(vendas.asInteger(QStringLiteral("Chave")), s.headers.last());
    }
    Table itens(db, QStringLiteral("tbItems.DB"));
    itens.open();
    for (itens.first(); !itens.eof(); itens.next()) {
        const int n = int(itens.asInteger(QStringLiteral("CodVenda")));
        s.items << (byKey.value(itens.asInteger(QStringLiteral("Link")), -1) == n ? n : -1);
    }
    return s;
}

inline Sales readSales(const QString &folder) { return readSales(Database::open(folder, false)); }

// A file with these bytes (its folder made when missing).
inline void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QString databaseFile(const QString &folder) { return QDir(folder).filePath(QStringLiteral("brelvo.sqlite")); }

// The engine's working files left in the folder.
inline QStringList logFiles(const QString &folder)
{
    QStringList out;
    for (const QString &f : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (DatabaseFiles::roleOf(f) == DatabaseFiles::Role::Companion)
            out << f;
    return out;
}

// Overwrites pages 2..5 of a database file (the first tables' pages) with
// garbage, keeping its header: the engine still opens it, the check fails.
inline bool damagePages(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite) || f.size() < 6 * 4096)
        return false;
    f.seek(4096);
    return f.write(QByteArray(4 * 4096, char(0xA5))) == 4 * 4096;
}

} // namespace backuptest
