// The period, the employee code and the figures of the reports, without a window.
#include "ReportsFixture.h"

#include "reports/ReportQueries.h"

using namespace brelvo;
using namespace brelvo::reports;
using namespace reportstest;

class QueriesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void periodo_data()
    {
        QTest::addColumn<QString>("de");
        QTest::addColumn<QString>("ate");
        QTest::addColumn<int>("estado");
        QTest::addColumn<QDate>("d1");
        QTest::addColumn<QDate>("d2");
        using E = PeriodoLido::Estado;
        QTest::newRow("completo") << "01/02/2028" << "29/02/2028" << int(E::Completo) << fev(1) << fev(29);
        QTest::newRow("dia e mês de um dígito") << " 1/ 2/2028" << "10/02/2028" << int(E::Completo) << fev(1)
                                                << fev(10);
        QTest::newRow("de vazio") << "" << "29/02/2028" << int(E::Incompleto) << QDate() << QDate();
        QTest::newRow("até vazio") << "01/02/2028" << "   " << int(E::Incompleto) << QDate() << QDate();
        QTest::newRow("31 de fevereiro") << "31/02/2028" << "01/03/2028" << int(E::Invalido) << QDate() << QDate();
        QTest::newRow("29/02 de ano comum") << "01/02/2027" << "29/02/2027" << int(E::Invalido) << QDate()
                                            << QDate();
        QTest::newRow("mês 13") << "01/13/2028" << "01/01/2029" << int(E::Invalido) << QDate() << QDate();
        QTest::newRow("metade digitada") << "12/  /2028" << "13/02/2028" << int(E::Invalido) << QDate() << QDate();
    }
    void periodo()
    {
        QFETCH(QString, de);
        QFETCH(QString, ate);
        QFETCH(int, estado);
        QFETCH(QDate, d1);
        QFETCH(QDate, d2);
        const PeriodoLido p = lerPeriodo(de, ate);
        QCOMPARE(int(p.estado), estado);
        if (p.estado == PeriodoLido::Estado::Completo) {
            QCOMPARE(p.periodo.de, d1);
            QCOMPARE(p.periodo.ate, d2);
        }
        if (p.estado == PeriodoLido::Estado::Invalido) {
            QVERIFY(p.erro.contains(QStringLiteral("não é uma data válida")));
            // The message names the box that is wrong.
            QVERIFY(p.erro.contains(lerPeriodo(de, de).estado == PeriodoLido::Estado::Invalido ? de : ate));
        } else {
            QVERIFY(p.erro.isEmpty());
        }
    }

    void mesAtual_data()
    {
        QTest::addColumn<QDate>("hoje");
        QTest::addColumn<QDate>("primeiro");
        QTest::addColumn<QDate>("ultimo");
        QTest::newRow("fevereiro bissexto") << QDate(2028, 2, 10) << QDate(2028, 2, 1) << QDate(2028, 2, 29);
        QTest::newRow("fevereiro comum") << QDate(2027, 2, 28) << QDate(2027, 2, 1) << QDate(2027, 2, 28);
        QTest::newRow("2100 não é bissexto") << QDate(2100, 2, 1) << QDate(2100, 2, 1) << QDate(2100, 2, 28);
        QTest::newRow("dezembro") << QDate(2027, 12, 31) << QDate(2027, 12, 1) << QDate(2027, 12, 31);
        QTest::newRow("abril") << QDate(2028, 4, 30) << QDate(2028, 4, 1) << QDate(2028, 4, 30);
    }
    void mesAtual()
    {
        QFETCH(QDate, hoje);
        QFETCH(QDate, primeiro);
        QFETCH(QDate, ultimo);
        const Periodo p = reports::mesAtual(hoje);
        QCOMPARE(p.de, primeiro);
        QCOMPARE(p.ate, ultimo);
    }

    void codigoFuncionario_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<qint64>("codigo");
        QTest::newRow("número") << "7" << true << qint64(7);
        QTest::newRow("com espaços") << " 12 " << true << qint64(12);
        QTest::newRow("zeros à esquerda") << "007" << true << qint64(7);
        QTest::newRow("letras") << "1A" << false << qint64(0);
        QTest::newRow("sql") << "1 or 1=1" << false << qint64(0);
        QTest::newRow("negativo") << "-3" << false << qint64(0);
        QTest::newRow("decimal") << "1,5" << false << qint64(0);
        QTest::newRow("vazio") << "" << false << qint64(0);
    }
    void codigoFuncionario()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(qint64, codigo);
        const auto c = lerCodigoFuncionario(texto);
        QCOMPARE(c.has_value(), valido);
        if (valido)
            QCOMPARE(*c, codigo);
    }

    // The period and the code reach the engine as bound values: the texts
    // carry only the parameter names.
    void textsBindTheirValues()
    {
        const QStringList comPeriodo{sql::maisVendidos(), sql::vendasCaixa(), sql::entradasOrdens(),
                                     sql::entradaCaixaDia(), sql::recebimentosOrdens(), sql::comissaoMecanicos(),
                                     sql::caixaVendas(), sql::caixaOrdens(), sql::comissaoTodos(),
                                     sql::comissaoItens(true), sql::comissaoItens(false)};
        for (const QString &s : comPeriodo) {
            QVERIFY2(s.contains(QStringLiteral(":DE")) && s.contains(QStringLiteral(":ATE")), qPrintable(s));
            QVERIFY2(!s.contains(QLatin1Char('[')), qPrintable(s));
        }
        for (const QString &s : {sql::funcionario(), sql::comissaoTodos(), sql::comissaoItens(false)})
            QVERIFY(s.contains(QStringLiteral(":CODIGO")));
    }

    // Every text goes through the data layer and keeps its column names.
    void columnNamesSurviveTranslation()
    {
        Workshop w;
        data::Query q(w.db);
        const Periodo p{fev(1), fev(29)};
        const QList<QPair<QString, QStringList>> casos = {
            {sql::tabelaPrecos(), {"Codigo", "Descricao", "Unidade", "Valor"}},
            {sql::produtosEmFalta(), {u("Nº_Codigo_Barra"), "Descricao", "Estoque"}},
            {sql::nuncaVendidos(), {u("Nº_Codigo_Barra"), "descricao", "Estoque"}},
            {sql::maisVendidos(), {u("Nº_Codigo_Barra"), "Descricao", "QtdVendida", "ValorTotal"}},
            {sql::vendasCaixa(), {"Data_Venda", "HrVenda", "CodVenda", "CodVendedor", "NomeCliente", "ForPagamento",
                                  "VLDesconto", "Total_Venda"}},
            {sql::entradasOrdens(), {"Data_Venda", "HrVenda", "CodVendedor", "CodVenda", "NomeCliente",
                                     "ForPagamento", "VLDesconto", "Total_Venda"}},
            {sql::entradaCaixaDia(), {"Data_Venda", "ForPagamento", "Total"}},
            {sql::recebimentosOrdens(), {"ForPagamento", u("Nº_Vendas"), "Valor_Total"}},
            {sql::comissaoMecanicos(), {"codigo", u("Nome_Mecânico"), "TotalVenda", u("Total_Comissão")}},
        };
        for (const auto &[texto, colunas] : casos) {
            prepararConsulta(q, texto, &p);
            q.open();
            // Field names are matched without case.
            QStringList nomes = q.fieldNames(), esperados = colunas;
            for (QString &n : nomes)
                n = n.toLower();
            for (QString &n : esperados)
                n = n.toLower();
            QCOMPARE(nomes, esperados);
        }
    }

    void caixaGeral()
    {
        Workshop w;
        data::Query cx(w.db), os(w.db);
        const Periodo p{fev(1), fev(29)};
        double vendas = 0, ordens = 0;
        for (const Venda &v : w.vendas)
            if (QLatin1String(v.venOs) == QLatin1String("PV") && entre(v.data, p.de, p.ate))
                vendas += v.total();
        for (const Ordem &o : w.ordens)
            if (QLatin1String(o.osOc) == QLatin1String("PV") && entre(o.data, p.de, p.ate))
                ordens += o.total();
        const CaixaGeral c = calcularCaixaGeral(cx, os, p);
        QCOMPARE(c.totalVenda, vendas);
        QCOMPARE(c.totalOrdem, ordens);
        QCOMPARE(c.totalGeral(), vendas + ordens);

        // A period without movement sums to zero, not to an error.
        const CaixaGeral vazio = calcularCaixaGeral(cx, os, {QDate(2020, 1, 1), QDate(2020, 1, 31)});
        QCOMPARE(vazio.totalVenda, 0.0);
        QCOMPARE(vazio.totalOrdem, 0.0);
    }

    // Each variant of the statement against the rows, selected by the
    // payment date DtOs; "Todos" only for commissioned employees.
    void comissao_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<int>("filtro");
        QTest::newRow("todos, mecânico") << 1 << int(FiltroComissao::Todos);
        QTest::newRow("produtos, mecânico") << 1 << int(FiltroComissao::Produtos);
        QTest::newRow("serviços, mecânico") << 1 << int(FiltroComissao::Servicos);
        QTest::newRow("todos, não comissionado") << 4 << int(FiltroComissao::Todos);
        QTest::newRow("serviços, não comissionado") << 4 << int(FiltroComissao::Servicos);
        QTest::newRow("produtos, sem peças") << 4 << int(FiltroComissao::Produtos);
        QTest::newRow("código sem funcionário") << 99 << int(FiltroComissao::Todos);
    }
    void comissao()
    {
        QFETCH(int, codigo);
        QFETCH(int, filtro);
        Workshop w;
        const Periodo p{fev(1), fev(29)};
        const auto f = FiltroComissao(filtro);
        const Funcionario *func = nullptr;
        for (const Funcionario &e : w.funcionarios)
            if (e.codigo == codigo)
                func = &e;
        double total = 0;
        bool algum = false;
        for (const Ordem &o : w.ordens) {
            if (QLatin1String(o.osOc) != QLatin1String("PV") || o.vendedor != codigo || !entre(o.dtOs, p.de, p.ate))
                continue;
            if (f == FiltroComissao::Todos) {
                if (func && QLatin1String(func->comissionario) == QLatin1String("S")) {
                    total += o.total();
                    algum = true;
                }
                continue;
            }
            const char *quer = f == FiltroComissao::Produtos ? "S" : "N";
            for (const Item &i : o.itens)
                if (QLatin1String(i.monitorar) == QLatin1String(quer)) {
                    total += i.qtd * i.valorUni;
                    algum = true;
                }
        }
        // Todos reads the rate from the employee; the others from the rows found.
        const double taxa = !func ? 0.0 : f == FiltroComissao::Todos ? func->comissao : (algum ? func->comissao : 0.0);

        data::Query q(w.db), funcQ(w.db);
        const ExtratoComissao e = calcularComissao(q, funcQ, p, codigo, f);
        QCOMPARE(e.totalOS, total);
        QCOMPARE(e.totalGeral, total);
        QCOMPARE(e.taxa, taxa);
        QCOMPARE(e.comissao, total * taxa / 100);
    }
};

QTEST_MAIN(QueriesTest)
#include "test_queries.moc"
