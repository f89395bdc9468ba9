#pragma once
// A small workshop written by hand: products, stock entries, till sales with
// their items, service orders and quotes with their items, employees. The
// rows are kept in plain arrays so that the tests work out the figures they
// expect from the same rows, without SQL.

#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "printing/PageModel.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTime>
#include <QtTest>
#include <vector>

namespace reportstest {

using brelvo::printing::PreparedReport;

inline QString u(const char *s) { return QString::fromUtf8(s); }

struct Produto {
    qint64 codigo;
    const char *descricao;
    double valor;
    double estoque;          // stored balance before any recomputation
    const char *monitorar;
    const char *marca;
};
struct Entrada {
    qint64 codigo;
    double qtd;
};
struct Item {
    qint64 codigo;
    double qtd;
    double valorUni;
    const char *monitorar;
};
struct Venda {
    QDate data;
    QTime hora;
    int numero;
    int vendedor;
    const char *cliente;
    const char *pagamento;
    double desconto;
    const char *venOs;
    std::vector<Item> itens;
    double total() const
    {
        double t = 0;
        for (const Item &i : itens)
            t += i.qtd * i.valorUni;
        return t - desconto;
    }
};
struct Ordem {
    QDate data;
    QDate dtOs;
    int numero;
    const char *osOc;
    const char *tecnico;
    int vendedor;
    const char *pagamento;   // nullptr: not paid yet
    double desconto;
    std::vector<Item> itens;
    double total() const
    {
        double t = 0;
        for (const Item &i : itens)
            t += i.qtd * i.valorUni;
        return t - desconto;
    }
};
struct Funcionario {
    int codigo;
    const char *nome;
    const char *funcao;
    double comissao;
    const char *comissionario;
};

inline QDate fev(int dia) { return QDate(2028, 2, dia); }

struct Workshop {
    std::vector<Produto> produtos{
        {7891000000011, "FILTRO OLEO", 30, 0, "S", "FRAM"},
        {7891000000028, "PASTILHA FREIO", 80, -1, "S", "BOSCH"},
        {7891000000035, "VELA IGNICAO", 15, 5, "S", "NGK"},       // sold at the till only
        {7891000000042, "PALHETA", 25, 2, "S", "BOSCH"},          // only in a quote
        {100, "MAO DE OBRA", 120, 0, "N", ""},                    // a service
        {7891000000059, "LAMPADA H4", 10, 0, "S", "PHILIPS"},     // only in a sale that is not "PV"
    };
    std::vector<Entrada> entradas{
        {7891000000011, 10}, {7891000000028, 4}, {7891000000035, 20}, {7891000000059, 6}, {7891000000011, 2.5}};
    std::vector<Funcionario> funcionarios{
        {1, "JOSE DA SILVA", "MECÂNICO", 10, "S"},
        {2, "MARIA SOUZA", "ATENDENTE", 5, "N"},
        {3, "JOAO", "MECÂNICO", 8, "S"},
        {4, "PEDRO", "ATENDENTE", 3, "N"},
    };
    std::vector<Venda> vendas{
        {fev(10), QTime(9, 0), 1, 2, "CLIENTE A", "DINHEIRO", 0, "PV", {{7891000000035, 3, 15, "S"}}},
        {fev(10), QTime(11, 30), 2, 2, "CLIENTE B", "PIX", 5, "PV",
         {{7891000000035, 1, 15, "S"}, {7891000000028, 1, 80, "S"}}},
        {fev(12), QTime(14, 0), 3, 2, "CLIENTE C", "DINHEIRO", 0, "OC", {{7891000000059, 2, 10, "S"}}},
        {QDate(2028, 3, 1), QTime(10, 0), 4, 2, "CLIENTE D", "DINHEIRO", 0, "PV", {{7891000000035, 4, 15, "S"}}},
    };
    std::vector<Ordem> ordens{
        {fev(10), fev(10), 1, "PV", "JOSE DA SILVA", 1, "DINHEIRO", 0,
         {{7891000000011, 2, 30, "S"}, {100, 1, 120, "N"}}},
        // Entered on the 15th, paid on the 16th.
        {fev(15), fev(16), 2, "PV", "JOSE DA SILVA", 1, "CARTÃO", 20,
         {{7891000000028, 1, 80, "S"}, {100, 2, 120, "N"}}},
        // A quote: no report counts it.
        {fev(15), fev(15), 3, "OC", "JOSE DA SILVA", 1, "DINHEIRO", 0,
         {{7891000000042, 1, 25, "S"}, {100, 1, 120, "N"}}},
        // The technician's name does not match "JOAO" exactly.
        {fev(20), fev(20), 4, "PV", "Joao", 3, "PIX", 0, {{100, 1, 100, "N"}}},
        // An attendant named as technician.
        {fev(25), fev(25), 5, "PV", "PEDRO", 4, "DINHEIRO", 0, {{100, 1, 50, "N"}}},
        {QDate(2028, 3, 5), QDate(2028, 3, 5), 6, "PV", "JOSE DA SILVA", 1, "DINHEIRO", 0,
         {{7891000000011, 1, 30, "S"}}},
        // Entered in January, paid on the first of February.
        {QDate(2028, 1, 28), fev(1), 7, "PV", "JOSE DA SILVA", 1, "DINHEIRO", 0,
         {{7891000000011, 1, 30, "S"}, {100, 1, 60, "N"}}},
        // Not paid yet: no payment date, no payment method.
        {fev(26), QDate(), 8, "PV", "JOSE DA SILVA", 1, nullptr, 0,
         {{7891000000028, 1, 80, "S"}, {100, 1, 70, "N"}}},
    };

    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;

    Workshop()
    {
        db = brelvo::data::Database::open(dir.path(), true);
        write();
    }

    qint64 add(const char *table, const QVariantMap &values)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        t.append();
        for (auto it = values.begin(); it != values.end(); ++it)
            t.setValue(it.key(), it.value());
        t.post();
        return t.hasField(QStringLiteral("Chave")) ? t.asInteger(QStringLiteral("Chave")) : 0;
    }

    void write()
    {
        for (const Produto &p : produtos)
            add("tbProdutos.db", {{"Codigo", double(p.codigo)}, {"Descricao", u(p.descricao)}, {"Valor", p.valor},
                                  {"Estoque", p.estoque}, {"MonitorarEstq", u(p.monitorar)}, {"Unidade", u("UN")},
                                  {"Marca", u(p.marca)}, {"Categoria", u("PEÇAS")}, {"PermiteVenda", u("S")}});
        for (const Entrada &e : entradas)
            add("tbReposicao.DB", {{"Data", fev(1)}, {"Codigo", double(e.codigo)}, {"Qtd", e.qtd},
                                   {"Finalizada", u("S")}});
        for (const Funcionario &f : funcionarios)
            add("tbFunciocario.db", {{"Codigo", double(f.codigo)}, {"Nome", u(f.nome)}, {"Funcao", u(f.funcao)},
                                     {"Comissao", f.comissao}, {"Comissionario", u(f.comissionario)}});
        for (const Venda &v : vendas) {
            const qint64 chave = add("tbVendas.db",
                                     {{"DtVenda", v.data}, {"HrVenda", v.hora}, {"CodVenda", double(v.numero)},
                                      {"CodVendedor", double(v.vendedor)}, {"NomeCliente", u(v.cliente)},
                                      {"ForPagamento", u(v.pagamento)}, {"VLDesconto", v.desconto},
                                      {"VrVenda", v.total()}, {"VenOs", u(v.venOs)}, {"Finalizada", u("S")}});
            for (const Item &i : v.itens)
                add("tbItems.DB", {{"Link", chave}, {"CodVenda", double(v.numero)}, {"CodBarra", double(i.codigo)},
                                   {"Qtd", i.qtd}, {"ValorUni", i.valorUni}, {"SubTotal", i.qtd * i.valorUni},
                                   {"Monitorar", u(i.monitorar)}});
        }
        for (const Ordem &o : ordens) {
            const qint64 chave = add("TOrdemServico.DB",
                                     {{"Data", o.data}, {"DtOs", o.dtOs}, {"HrOs", QTime(8, 0)},
                                      {"Codigo", double(o.numero)}, {"OsOc", u(o.osOc)},
                                      {"Andamento", u("FINALIZADO")}, {"Tecnico", u(o.tecnico)},
                                      {"CodVendedor", double(o.vendedor)}, {"NomeCliente", u("CLIENTE OS")},
                                      {"ForPagamento", o.pagamento ? QVariant(u(o.pagamento)) : QVariant()},
                                      {"Desconto", o.desconto},
                                      {"VrTotal", o.total()}});
            for (const Item &i : o.itens)
                add("tbitemsordem.db", {{"CodVenda", double(chave)}, {"CodBarra", double(i.codigo)}, {"Qtd", i.qtd},
                                        {"ValorUni", i.valorUni}, {"Descricao", u(descricao(i.codigo))},
                                        {"Monitorar", u(i.monitorar)}});
        }
    }

    const char *descricao(qint64 codigo) const
    {
        for (const Produto &p : produtos)
            if (p.codigo == codigo)
                return p.descricao;
        return "";
    }
    const Funcionario *funcionario(const QString &nome) const
    {
        for (const Funcionario &f : funcionarios)
            if (u(f.nome) == nome)
                return &f;
        return nullptr;
    }
};

inline bool entre(const QDate &d, const QDate &de, const QDate &ate) { return d >= de && d <= ate; }

// Every text of a prepared report, page after page.
inline QStringList textos(const PreparedReport &r)
{
    QStringList all;
    for (int p = 0; p < r.pageCount(); ++p)
        all << r.texts(p);
    return all;
}

// The text printed right after a caption (a summary value).
inline QString depoisDe(const PreparedReport &r, const QString &caption)
{
    const QStringList t = textos(r);
    const qsizetype i = t.indexOf(caption);
    return i >= 0 && i + 1 < t.size() ? t.at(i + 1) : QStringLiteral("<sem \"%1\">").arg(caption);
}

// One column of the detail lines (by position).
inline QStringList coluna(const PreparedReport &r, int index)
{
    QStringList c;
    for (const QStringList &row : r.csvRows)
        c << row.value(index);
    return c;
}

} // namespace reportstest
