// Queries written as the windows write them: table file names, double-quoted
// texts, mm/dd/yyyy dates, aliases, named parameters, joins in WHERE.

#include "TestDb.h"

using namespace brelvo::data;
using testdb::addRow;
using testdb::column;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
}

class TstQuery : public QObject {
    Q_OBJECT

    // Two "PV" orders and a quote in January, one order in February.
    static void orders(const DatabasePtr &db)
    {
        Table o(db, QStringLiteral("TOrdemServico.DB"));
        o.open();
        addRow(o, {{"Codigo", 1}, {"OsOc", u("PV")}, {"Data", QDate(2021, 1, 5)}, {"ForPagamento", u("DINHEIRO")},
                   {"VrTotal", 100.0}, {"Tecnico", u("JOSÉ")}, {"Placa", u("ABC1234")}});
        addRow(o, {{"Codigo", 2}, {"OsOc", u("PV")}, {"Data", QDate(2021, 1, 20)}, {"ForPagamento", u("DINHEIRO")},
                   {"VrTotal", 50.5}, {"Tecnico", u("JOSÉ")}, {"Placa", u("ABC1234")}});
        addRow(o, {{"Codigo", 3}, {"OsOc", u("OC")}, {"Data", QDate(2021, 1, 21)}, {"ForPagamento", u("BOLETO")},
                   {"VrTotal", 999.0}});
        addRow(o, {{"Codigo", 4}, {"OsOc", u("PV")}, {"Data", QDate(2021, 2, 1)}, {"ForPagamento", u("BOLETO")},
                   {"VrTotal", 70.0}});
    }

private Q_SLOTS:
    void aliasesDatesAndGrouping()
    {
        testdb::Fresh f;
        orders(f.db);
        Query q(f.db);
        q.setSql(u("select ForPagamento,Count(ForPagamento) Nº_Vendas,Sum(Vrtotal) Valor_Total from tordemservico "
                   "where OsOc=\"PV\"\nand Data between \"01/01/2021\" and \"01/31/2021\" group by ForPagamento "
                   "ORDER BY Nº_Vendas DESC"));
        q.open();
        QCOMPARE(q.fieldNames(), (QStringList{u("ForPagamento"), u("Nº_Vendas"), u("Valor_Total")}));
        QCOMPARE(q.recordCount(), 1);                  // the quote and February are left out
        QCOMPARE(q.asString(QStringLiteral("ForPagamento")), u("DINHEIRO"));
        QCOMPARE(q.asInteger(u("Nº_Vendas")), 2);
        QCOMPARE(q.asFloat(QStringLiteral("valor_total")), 150.5);
        QCOMPARE(q.fieldType(QStringLiteral("ForPagamento")), FieldType::Alpha);
        QCOMPARE(q.fieldSize(QStringLiteral("ForPagamento")), 20);

        // (expr) Alias keeps the field's type; the history query of an order.
        q.setSql(QStringLiteral("select Codigo,Chave,(Data) Data_OS,HrOS,NomeCliente,Modelo,Placa, Desconto,Sum(VrTotal) Total\n"
                                "from tordemservico where Placa=\"ABC1234\" and OsOC=\"PV\" and Data between \"01/01/1900\" and \"01/19/2021\"\n"
                                "group by Chave,Modelo, Placa, Data,HrOs,Codigo,NomeCliente,Desconto order by Data desc"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldType(QStringLiteral("Data_OS")), FieldType::Date);
        QCOMPARE(q.asDate(QStringLiteral("Data_OS")), QDate(2021, 1, 5));
        QCOMPARE(q.asString(QStringLiteral("Data_OS")), QStringLiteral("05/01/2021"));
        QCOMPARE(q.asFloat(QStringLiteral("Total")), 100.0);

        // Single-quoted dates, a date parameter, expression (x) as Alias.
        q.setSql(QStringLiteral("select (Codigo) as Numero from \"TOrdemServico.DB\" where Data >= '01/20/2021' "
                                "and Data < :vAte order by Codigo desc"));
        q.setParam(QStringLiteral("vAte"), QDate(2021, 2, 1));
        q.open();
        QCOMPARE(column(q, QStringLiteral("Numero")), (QStringList{"3", "2"}));
    }

    void joinsLeaveOrphansOut()
    {
        testdb::Fresh f;
        Table sales(f.db, QStringLiteral("tbVendas.db"));
        Table items(f.db, QStringLiteral("tbItems.DB"));
        sales.open();
        items.open();
        addRow(sales, {{"CodVenda", 1}, {"VenOs", u("PV")}});
        const int chave = int(sales.asInteger(QStringLiteral("Chave")));
        addRow(items, {{"CodBarra", 123.0}, {"Qtd", 2.0}, {"Link", chave}, {"Monitorar", u("S")}});
        addRow(items, {{"CodBarra", 123.0}, {"Qtd", 5.0}, {"Link", 4242}, {"Monitorar", u("S")}});   // orphan
        addRow(items, {{"CodBarra", 123.0}, {"Qtd", 7.0}, {"Link", chave}, {"Monitorar", u("N")}});

        // The stock query inserts the code as zero-padded text in double quotes.
        Query q(f.db);
        q.setSql(QStringLiteral("Select tbItems.CodBarra, Sum(tbItems.Qtd)as Soma From tbItems, tbVendas Where tbItems.CodBarra=\"0000000000123\" and\n"
                                "tbItems.monitorar=\"S\" and tbVendas.VenOs=\"PV\" and tbVendas.Chave=tbItems.Link \n"
                                "group by tbItems.CodBarra"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.asFloat(QStringLiteral("Soma")), 2.0);
        QCOMPARE(q.fieldNames(), (QStringList{QStringLiteral("CodBarra"), QStringLiteral("Soma")}));

        // Products never sold on a service order (correlated NOT EXISTS).
        Table prods(f.db, QStringLiteral("tbProdutos.db"));
        prods.open();
        addRow(prods, {{"Codigo", 123.0}, {"Descricao", u("OLEO")}});
        addRow(prods, {{"Codigo", 456.0}, {"Descricao", u("FILTRO")}});
        Table osItems(f.db, QStringLiteral("tbitemsordem.db"));
        osItems.open();
        addRow(osItems, {{"CodBarra", 456.0}, {"CodVenda", 1}});
        q.setSql(u("select (codigo)Nº_Codigo_Barra, descricao, Estoque from tbprodutos where not exists\n"
                   "(select * from tbitemsordem where CodBarra = tbprodutos.Codigo)"));
        q.open();
        QCOMPARE(column(q, QStringLiteral("descricao")), QStringList{u("OLEO")});
        QCOMPARE(q.asString(u("Nº_Codigo_Barra")), QStringLiteral("123"));
    }

    void commissionByMechanicName()
    {
        testdb::Fresh f;
        orders(f.db);
        Table emp(f.db, QStringLiteral("tbFunciocario.db"));
        emp.open();
        addRow(emp, {{"Codigo", 7}, {"Nome", u("JOSÉ")}, {"Funcao", u("MECÂNICO")}, {"Comissao", 10.0}});
        Table it(f.db, QStringLiteral("tbitemsordem.db"));
        it.open();
        Table o(f.db, QStringLiteral("TOrdemServico.DB"));
        o.open();
        o.locate(QStringLiteral("Codigo"), {1});
        addRow(it, {{"CodVenda", o.asInteger(QStringLiteral("Chave"))}, {"Qtd", 2.0}, {"ValorUni", 30.0}, {"Monitorar", u("N")}});
        addRow(it, {{"CodVenda", o.asInteger(QStringLiteral("Chave"))}, {"Qtd", 1.0}, {"ValorUni", 99.0}, {"Monitorar", u("S")}});
        Query q(f.db);
        q.setSql(u("select tbFunciocario.codigo,(tordemServico.tecnico) as Nome_Mecânico, sum(tbitemsordem.qtd*tbitemsordem.ValorUni) as TotalVenda,"
                   "sum(tbitemsordem.qtd*tbitemsordem.ValorUni)*(tbFunciocario.comissao/100) as Total_Comissão\n"
                   "from tbitemsordem, tordemservico, tbFunciocario where tordemservico.chave=tbitemsordem.CodVenda AND tbFunciocario.FUNCAO=\"MECÂNICO\"  \n"
                   "and tordemservico.Data between \"01/01/2021\" and \"01/31/2021\" and OsOc=\"PV\" and tordemServico.tecnico=tbFunciocario.Nome "
                   "and tbitemsordem.monitorar=\"N\" group by tbFunciocario.codigo,tordemServico.tecnico,tbFunciocario.nome"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.asString(u("Nome_Mecânico")), u("JOSÉ"));
        QCOMPARE(q.asFloat(QStringLiteral("TotalVenda")), 60.0);
        QCOMPARE(q.asFloat(u("Total_Comissão")), 6.0);
    }

    void parametersCarryUserText()
    {
        testdb::Fresh f;
        f.db->addPassword(QStringLiteral("8642"));
        Query login(f.db);
        login.setSql(QStringLiteral(" SELECT * FROM USUARIOS WHERE Login = :vNome AND Senha = :vSenha"));
        login.setParam(QStringLiteral("vNome"), QStringLiteral("KOV"));
        login.setParam(QStringLiteral(":vSenha"), QStringLiteral("kov"));
        login.open();
        QCOMPARE(login.recordCount(), 1);
        QCOMPARE(login.asString(QStringLiteral("ADMIN")), QStringLiteral("S"));
        QCOMPARE(login.fieldType(QStringLiteral("DT_INC")), FieldType::Date);
        login.close();
        login.setParam(QStringLiteral("vSenha"), QStringLiteral("KOV"));     // case counts
        login.open();
        QVERIFY(login.isEmpty());
        login.close();
        login.setParam(QStringLiteral("vSenha"), QStringLiteral("' OR '1'='1"));
        login.open();
        QVERIFY(login.isEmpty());

        Query none(f.db);
        none.setSql(QStringLiteral("select * from tbMarcas where Marca = :vMarca"));
        try {
            none.open();
            QFAIL("missing parameter accepted");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains(QStringLiteral("vMarca")));
        }

        Table marks(f.db, QStringLiteral("tbMarcas.db"));
        marks.open();
        addRow(marks, {{"Marca", u("O'NEIL")}});
        addRow(marks, {{"Marca", u("NGK")}});
        Query del(f.db);
        del.setSql(QStringLiteral("DELETE FROM \"tbMarcas.db\" WHERE Marca = :vMarca"));
        del.setParam(QStringLiteral("vMarca"), u("O'NEIL"));
        QCOMPARE(del.execSql(), 1);
        QCOMPARE(del.execSql(), 0);
        marks.refresh();
        QCOMPARE(column(marks, QStringLiteral("Marca")), QStringList{u("NGK")});
    }

    void tableFileNamesAndUpperCase()
    {
        testdb::Fresh f;
        Table c(f.db, QStringLiteral("tbCliente.DB"));
        c.open();
        addRow(c, {{"Codigo", 1}, {"Nome", u("joão da conceição")}});
        Query q(f.db);
        q.setSql(QStringLiteral("select UPPER(Nome) as N from tbCliente.db where upper(Nome) like :vNome"));
        q.setParam(QStringLiteral("vNome"), u("JOÃO%"));
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.asString(QStringLiteral("N")), u("JOÃO DA CONCEIÇÃO"));
        q.setSql(QStringLiteral("select count(*) as Total from \"tbCliente.DB\" where Nome = \"PV\""));
        q.open();
        QCOMPARE(q.asInteger(QStringLiteral("Total")), 0);
    }

    void cursorBehaviourAndErrors()
    {
        testdb::Fresh f;
        orders(f.db);
        Query q(f.db);
        q.setSql(QStringLiteral("select Codigo from tordemservico order by Codigo"));
        q.open();
        QVERIFY(q.bof());
        QCOMPARE(column(q, QStringLiteral("Codigo")), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(testdb::columnBackwards(q, QStringLiteral("Codigo")), (QStringList{"1", "2", "3", "4"}));
        q.moveTo(2);
        QCOMPARE(q.recNo(), 2);
        const Bookmark b = q.bookmark();
        q.first();
        q.gotoBookmark(b);
        QCOMPARE(q.asInteger(QStringLiteral("Codigo")), 3);
        QVERIFY_THROWS_EXCEPTION(DbError, q.setValue(QStringLiteral("Codigo"), 9));
        QVERIFY_THROWS_EXCEPTION(DbError, q.value(QStringLiteral("Nada")));

        // refresh re-runs the text.
        Table o(f.db, QStringLiteral("TOrdemServico.DB"));
        o.open();
        addRow(o, {{"Codigo", 5}});
        q.refresh();
        QCOMPARE(q.recordCount(), 5);

        Query bad(f.db);
        bad.setSql(QStringLiteral("select * from tbNada"));
        try {
            bad.open();
            QFAIL("unknown table accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::TableNotFound);
            QCOMPARE(e.message(), QStringLiteral("Tabela não encontrada: tbNada"));
        }
        bad.setSql(QStringLiteral("select Nada from tbMarcas"));
        try {
            bad.open();
            QFAIL("unknown field accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::FieldNotFound);
        }
        bad.setSql(QStringLiteral("select codigo,nome,Comissao from tbFunciocario where Codigo="));
        QVERIFY_THROWS_EXCEPTION(DbError, bad.open());
        QVERIFY(!bad.isOpen());
    }
};

QTEST_GUILESS_MAIN(TstQuery)
#include "tst_query.moc"
