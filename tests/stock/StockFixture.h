#pragma once
// A fresh database in a temporary folder and quick ways to put movement rows in it.

#include "data/Database.h"
#include "data/Dataset.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <utility>

namespace stocktest {

using Values = std::initializer_list<std::pair<const char *, QVariant>>;

struct Db {
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;

    Db() { db = brelvo::data::Database::open(dir.path(), true); }

    // Appends one row and returns its Chave (or 0 when the table has none).
    qint64 add(const char *table, Values values)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        t.append();
        for (const auto &[field, value] : values)
            t.setValue(QString::fromLatin1(field), value);
        t.post();
        return t.hasField(QStringLiteral("Chave")) ? t.asInteger(QStringLiteral("Chave")) : 0;
    }

    void product(double code, const char *descricao, const char *monitorar = "S", double valor = 10)
    {
        add("tbProdutos.db", {{"Codigo", code}, {"Descricao", QString::fromUtf8(descricao)}, {"Valor", valor},
                              {"Estoque", 0.0}, {"EstoqueMinimo", 0.0}, {"MonitorarEstq", QString::fromLatin1(monitorar)},
                              {"PermiteVenda", QStringLiteral("S")}});
    }
    void entry(double code, double qtd)
    {
        add("tbReposicao.DB", {{"Data", QDate::currentDate()}, {"Codigo", code}, {"Qtd", qtd},
                               {"Finalizada", QStringLiteral("S")}});
    }
    qint64 sale(const char *venOs = "PV", const char *finalizada = "N")
    {
        return add("tbVendas.db", {{"DtVenda", QDate::currentDate()}, {"CodVenda", 1.0},
                                   {"VenOs", QString::fromLatin1(venOs)}, {"Finalizada", QString::fromLatin1(finalizada)}});
    }
    void saleItem(qint64 link, double code, double qtd, const char *monitorar = "S")
    {
        add("tbItems.DB", {{"Link", link}, {"CodBarra", code}, {"Qtd", qtd}, {"ValorUni", 1.0},
                           {"Monitorar", QString::fromLatin1(monitorar)}});
    }
    qint64 order(const char *osOc)
    {
        return add("TOrdemServico.DB", {{"Data", QDate::currentDate()}, {"Codigo", 1.0},
                                        {"OsOc", QString::fromLatin1(osOc)}, {"Andamento", QStringLiteral("EM ABERTO")}});
    }
    void orderItem(qint64 codVenda, double code, double qtd, const char *monitorar = "S")
    {
        add("tbitemsordem.db", {{"CodVenda", double(codVenda)}, {"CodBarra", code}, {"Qtd", qtd},
                                {"ValorUni", 1.0}, {"Monitorar", QString::fromLatin1(monitorar)}});
    }
    // A field of the product row with that code.
    QVariant productField(double code, const char *field)
    {
        brelvo::data::Table t(db, QStringLiteral("tbProdutos.db"));
        t.setIndexName(QStringLiteral("ByCodigo"));
        t.open();
        if (!t.findKey({code}))
            return QVariant();
        return t.value(QString::fromLatin1(field));
    }
    int count(const char *table)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        return t.recordCount();
    }
};

} // namespace stocktest
