#pragma once
// A fresh database in a temporary folder with quick ways to add the rows the
// order windows read: products, stock entries, employees, customers, cars,
// orders and their items.

#include "data/Database.h"
#include "data/Dataset.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <initializer_list>
#include <utility>

namespace ordertest {

using Values = std::initializer_list<std::pair<const char *, QVariant>>;

inline QString u(const char *s) { return QString::fromUtf8(s); }

struct Db {
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;

    Db() { db = brelvo::data::Database::open(dir.path(), true); }

    // Appends one row and returns its Chave (0 when the table has none).
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

    void product(double code, const char *descricao, double valor = 10, const char *monitorar = "S",
                 const char *permiteVenda = "N", const QString &foto = QString(), const char *marca = "")
    {
        add("tbProdutos.db", {{"Codigo", code}, {"Descricao", u(descricao)}, {"Valor", valor}, {"Estoque", 0.0},
                              {"MonitorarEstq", QString::fromLatin1(monitorar)},
                              {"PermiteVenda", QString::fromLatin1(permiteVenda)},
                              {"FotoProduto", foto.isEmpty() ? QVariant() : QVariant(foto)},
                              {"Marca", u(marca)}});
    }
    void entry(double code, double qtd)
    {
        add("tbReposicao.DB", {{"Data", QDate::currentDate()}, {"Codigo", code}, {"Qtd", qtd}});
    }
    void employee(int code, const char *nome, const char *funcao)
    {
        add("tbFunciocario.db", {{"Codigo", code}, {"Nome", u(nome)}, {"Funcao", u(funcao)}});
    }
    void customer(int code, const char *nome, const char *cic = "", const char *fone = "", const char *celular = "")
    {
        add("tbCliente.DB", {{"Codigo", code}, {"Nome", u(nome)}, {"CIC", u(cic)}, {"Fone", u(fone)},
                             {"Celular", u(celular)}});
    }
    void car(int link, const char *modelo, const char *placa, int anoFab = 2010, int anoMod = 2011,
             const char *fabricante = "FIAT", const char *combustivel = "FLEX")
    {
        add("TCadastroCarros.db", {{"Link", link}, {"Modelo", u(modelo)}, {"Placa", u(placa)},
                                   {"Anofabrica", anoFab}, {"AnoModelo", anoMod}, {"Fabricante", u(fabricante)},
                                   {"Combustivel", u(combustivel)}});
    }
    qint64 order(int codigo, const char *osOc, const char *andamento, const QDate &data = QDate::currentDate(),
                 const char *placa = "", double vrTotal = 0, Values more = {})
    {
        brelvo::data::Table t(db, QStringLiteral("TOrdemServico.DB"));
        t.setNumbering({});   // stored as given, repeated numbers too (older data may hold them)
        t.open();
        t.append();
        t.setValue(QStringLiteral("Codigo"), codigo);
        t.setValue(QStringLiteral("OsOc"), QString::fromLatin1(osOc));
        t.setValue(QStringLiteral("Andamento"), u(andamento));
        t.setValue(QStringLiteral("Data"), data);
        t.setValue(QStringLiteral("HrOs"), QTime(9, 30));
        t.setValue(QStringLiteral("Placa"), u(placa));
        t.setValue(QStringLiteral("VrTotal"), vrTotal);
        t.setValue(QStringLiteral("Desconto"), 0.0);
        for (const auto &[field, value] : more)
            t.setValue(QString::fromLatin1(field), value);
        t.post();
        return t.asInteger(QStringLiteral("Chave"));
    }
    qint64 orderItem(qint64 chave, double code, const char *descricao, double qtd, double valorUni,
                     const char *monitorar = "S")
    {
        return add("tbitemsordem.db", {{"CodVenda", double(chave)}, {"CodBarra", code}, {"Descricao", u(descricao)},
                                       {"Qtd", qtd}, {"ValorUni", valorUni},
                                       {"Monitorar", QString::fromLatin1(monitorar)}});
    }
    // Sets a field of the single settings row (configExt.db, tbCamposRef.db),
    // adding the row when the table has none.
    void setting(const char *table, const char *field, const QVariant &value)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        t.first();
        if (t.eof())
            t.append();
        else
            t.edit();
        t.setValue(QString::fromLatin1(field), value);
        t.post();
    }
    int count(const char *table)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        return t.recordCount();
    }
    // Items of the order with that Chave.
    int itemCount(qint64 chave)
    {
        brelvo::data::Table t(db, QStringLiteral("tbitemsordem.db"));
        t.open();
        t.setFilter(QStringLiteral("CodVenda = %1").arg(chave));
        t.setFiltered(true);
        return t.recordCount();
    }
    // A field of the order row with that number.
    QVariant orderField(int codigo, const char *field)
    {
        brelvo::data::Table t(db, QStringLiteral("TOrdemServico.DB"));
        t.open();
        if (!t.locate(QStringLiteral("Codigo"), {codigo}))
            return QVariant();
        return t.value(QString::fromLatin1(field));
    }
};

} // namespace ordertest
