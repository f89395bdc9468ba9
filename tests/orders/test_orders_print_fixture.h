#pragma once
// An order with its customer, items and settings rows, written through the
// data layer as the order window would leave them, and the cursors a
// printout reads.

#include "data/Database.h"
#include "data/Dataset.h"
#include "orders/OrderPrintouts.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTime>
#include <QtTest>
#include <memory>

namespace orderprint {

using brelvo::data::Table;

inline void addRow(Table &t, std::initializer_list<std::pair<const char *, QVariant>> values)
{
    t.append();
    for (const auto &[f, v] : values)
        t.setValue(QString::fromUtf8(f), v);
    t.post();
}

// Sets fields of the single row of a settings table.
inline void setSettings(const brelvo::data::DatabasePtr &db, const QString &table,
                        std::initializer_list<std::pair<const char *, QVariant>> values)
{
    Table t(db, table);
    t.open();
    t.first();
    if (t.eof())
        t.append();
    else
        t.edit();
    for (const auto &[f, v] : values)
        t.setValue(QString::fromUtf8(f), v);
    t.post();
}

struct Item {
    QVariant codBarra;
    QVariant qtd;
    QVariant valorUni;
    QString descricao;
};

struct Fixture {
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;
    std::unique_ptr<Table> order;
    std::unique_ptr<Table> items;

    Fixture()
    {
        db = brelvo::data::Database::open(dir.path(), true);
        setSettings(db, QStringLiteral("empresa.DB"),
                    {{"Empresa", "AUTO CENTER SÃO JORGE"}, {"End", "RUA DAS OFICINAS, 120"}, {"Bairro", "CENTRO"},
                     {"Cidade", "CAMPINAS"}, {"Uf", "SP"}, {"Cep", "13010-100"}, {"Cnpj", "12.345.678/0001-95"},
                     {"IE", "244.123.456.789"}, {"Telefone", "(19) 3232-1000"}, {"Telefone2", "(19) 99876-5432"},
                     {"Telefone3", "(19) 3232-1001"}, {"Site", "www.saojorge.com.br"}});
        Table c(db, QStringLiteral("tbCliente.DB"));
        c.open();
        addRow(c, {{"Codigo", 1}, {"Nome", "PRIMEIRO CLIENTE"}, {"RG", "11.111.111-1"}, {"CIC", "111.111.111-11"}});
        addRow(c, {{"Codigo", 7}, {"Nome", "JOSÉ DA SILVA"}, {"RG", "22.333.444-5"}, {"CIC", "123.456.789-09"},
                   {"Endereco", "AV. BRASIL, 500"}, {"CARRO", "JARDIM PAULISTA"}, {"Celular", "(19) 98888-7777"},
                   {"Fone", "(19) 3241-5566"}, {"Cidade", "VALINHOS"}, {"UF", "SP"}});
    }

    // A new order (number 42 unless told) and the cursors standing on it.
    void makeOrder(const QList<Item> &rows, const QVariant &desconto = 10.0,
                   std::initializer_list<std::pair<const char *, QVariant>> extra = {})
    {
        Table t(db, QStringLiteral("TOrdemServico.DB"));
        t.open();
        t.append();
        const std::pair<const char *, QVariant> base[] = {
            {"Codigo", 42}, {"OsOc", "PV"}, {"Data", QDate(2026, 3, 9)}, {"Andamento", "EM ABERTO"},
            {"Atendente", "MARIA"}, {"Tecnico", "CARLOS"}, {"CodVendedor", 3}, {"CodCliente", 7},
            {"NomeCliente", "JOSÉ DA SILVA"}, {"DefeitoReclama", "BARULHO NA SUSPENSÃO DIANTEIRA"},
            {"Obs", "CLIENTE AGUARDA"}, {"Modelo", "GOL 1.0"}, {"Fabricante", "VOLKSWAGEN"}, {"Placa", "ABC1D23"},
            {"AnoFabrica", 2019}, {"Ano", 2020}, {"Km", 85400}, {"DataEntrega", QDate(2026, 3, 12)},
            {"HoraEntrega", QTime(17, 30)}, {"VrTotal", 999999.0}, {"Desconto", desconto}};
        for (const auto &[f, v] : base)
            t.setValue(QString::fromUtf8(f), v);
        for (const auto &[f, v] : extra)
            t.setValue(QString::fromUtf8(f), v);
        t.post();
        const qint64 chave = t.asInteger(QStringLiteral("Chave"));
        Table it(db, QStringLiteral("tbitemsordem.db"));
        it.open();
        for (const Item &i : rows)
            addRow(it, {{"CodVenda", chave}, {"CodBarra", i.codBarra}, {"Qtd", i.qtd}, {"ValorUni", i.valorUni},
                        {"Descricao", i.descricao.isNull() ? QVariant() : QVariant(i.descricao)}});

        order = std::make_unique<Table>(db, QStringLiteral("TOrdemServico.DB"));
        order->open();
        QVERIFY(order->locate(QStringLiteral("Chave"), {chave}));
        items = std::make_unique<Table>(db, QStringLiteral("tbitemsordem.db"));
        items->setIndexName(QStringLiteral("ByCodVenda"));
        items->setMasterSource(order.get(), QStringLiteral("Chave"), QStringLiteral("CodVenda"));
        items->open();
    }

    brelvo::orders::OrderPrintSource source(const QString &code = QStringLiteral("7")) const
    {
        return {db, order.get(), items.get(), code, {}};
    }
};

} // namespace orderprint
