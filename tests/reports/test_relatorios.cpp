// The reports window driven headless on the hand-made workshop: every
// report's rows and totals are worked out here from the rows written.
#include "ReportsFixture.h"

#include "reports/ReportWindows.h"
#include "reports/TFormRelatorios.h"
#include "stock/StockBalance.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <map>
#include <memory>

using namespace brelvo;
using namespace brelvo::reports;
using namespace reportstest;
using Kind = core::FakeDialogService::Kind;

namespace {

bool pv(const char *kind) { return QLatin1String(kind) == QLatin1String("PV"); }

QString reais(double v) { return QStringLiteral("R$ ") + QString::number(v, 'f', 2).replace(u'.', u','); }
QString numero(double v) { return QString::number(v, 'f', 2).replace(u'.', u','); }

struct Janela {
    Workshop w;
    core::ScopedFakeDialogs fake;
    std::vector<PreparedReport> previews;
    std::unique_ptr<TFormRelatorios> f;

    Janela()
    {
        fake->onNamed(QStringLiteral("preview"), [this](QWidget *, void *obj) {
            previews.push_back(*static_cast<PreparedReport *>(obj));
            return 0;
        });
        f = std::make_unique<TFormRelatorios>(w.db);
    }

    template <typename T = QWidget> T *get(const char *name)
    {
        T *c = f->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("controle %s não encontrado", name);
        return c;
    }

    void periodo(const QString &de, const QString &ate)
    {
        get<QLineEdit>("MaskEdit1")->setText(de);
        get<QLineEdit>("MaskEdit2")->setText(ate);
    }
    void fevereiro() { periodo(QStringLiteral("01/02/2028"), QStringLiteral("29/02/2028")); }
    // Shown and active, for focus moves.
    bool ativa()
    {
        f->show();
        return QTest::qWaitForWindowActive(f.get());
    }

    // Clicks a button (or presses a key on the window) and returns the one preview it opened.
    PreparedReport abrir(const char *button)
    {
        previews.clear();
        get<QPushButton>(button)->click();
        if (previews.size() != 1)
            qWarning("%s abriu %d visualizações", button, int(previews.size()));
        return previews.empty() ? PreparedReport{} : previews.front();
    }
    PreparedReport tecla(Qt::Key key)
    {
        previews.clear();
        // Any control of the window: the window sees the key first.
        QTest::keyClick(get<QLineEdit>("MaskEdit2"), key);
        if (previews.size() != 1)
            qWarning("a tecla abriu %d visualizações", int(previews.size()));
        return previews.empty() ? PreparedReport{} : previews.front();
    }
};

} // namespace

class RelatoriosTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // ------------------------------------------------------------ period

    void periodStartsTodayAndFollowsTheChoices()
    {
        Janela j;
        auto *de = j.get<QLineEdit>("MaskEdit1");
        auto *ate = j.get<QLineEdit>("MaskEdit2");
        auto *mes = j.get<QRadioButton>("RadioMesAtual");
        auto *hoje = j.get<QRadioButton>("RadioHoje");
        const QDate today = QDate::currentDate();
        const QString hojeTexto = today.toString(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(de->text(), hojeTexto);
        QCOMPARE(ate->text(), hojeTexto);
        QVERIFY(!mes->isChecked() && !hoje->isChecked());

        mes->click();
        const QDate primeiro(today.year(), today.month(), 1);
        QCOMPARE(de->text(), primeiro.toString(QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(ate->text(), QDate(today.year(), today.month(), primeiro.daysInMonth()).toString(QStringLiteral("dd/MM/yyyy")));
        QVERIFY(mes->isChecked() && !hoje->isChecked());
        mes->click();                      // a second click keeps it marked
        QVERIFY(mes->isChecked());

        hoje->click();
        QCOMPARE(de->text(), hojeTexto);
        QCOMPARE(ate->text(), hojeTexto);
        QVERIFY(hoje->isChecked() && !mes->isChecked());

        // Typing in a box unmarks both.
        de->setFocus();
        de->setCursorPosition(0);
        QTest::keyClicks(de, QStringLiteral("01"));
        QVERIFY(!mes->isChecked() && !hoje->isChecked());

        mes->click();
        j.get<QPushButton>("BtnLimpar")->click();
        QCOMPARE(de->displayText(), QStringLiteral("__/__/____"));
        QCOMPARE(ate->displayText(), QStringLiteral("__/__/____"));
        QVERIFY(!mes->isChecked() && !hoje->isChecked());
    }

    // With a box empty the period reports do nothing at all.
    void incompletePeriodDoesNothing()
    {
        Janela j;
        j.get<QPushButton>("BtnLimpar")->click();
        for (const char *b : {"BtnMaisVendidos", "BtnEntradasOrdems", "BtnRecebimentosOS", "BtnComissaoMecanico",
                              "BtnEntradasOrdems2", "BtnMaisVendidos2", "BtnImprimirCaixa"})
            j.get<QPushButton>(b)->click();
        QTest::keyClick(j.get<QLineEdit>("MaskEdit1"), Qt::Key_F2);
        QTest::keyClick(j.get<QLineEdit>("MaskEdit1"), Qt::Key_F3);
        QVERIFY(j.previews.empty());
        QVERIFY2(j.fake->calls().isEmpty(), qPrintable(j.fake->messages().join(u'|')));
        // The reports without a period still run.
        QCOMPARE(j.tecla(Qt::Key_F5).title, QStringLiteral("Lista de Preços"));
    }

    void invalidDateIsToldAndNothingShown_data()
    {
        QTest::addColumn<QString>("de");
        QTest::addColumn<QString>("ate");
        QTest::addColumn<QString>("button");
        QTest::newRow("31/02 nas ordens") << "31/02/2028" << "01/03/2028" << "BtnEntradasOrdems";
        QTest::newRow("mês 13 nos recebimentos") << "01/01/2028" << "01/13/2028" << "BtnRecebimentosOS2";
        QTest::newRow("meia data no caixa") << "01/02/2028" << "2 /  /2028" << "BtnImprimirCaixa";
        QTest::newRow("29/02/2027 na comissão dos mecânicos") << "01/02/2027" << "29/02/2027"
                                                               << "BtnComissaoMecanico2";
    }
    void invalidDateIsToldAndNothingShown()
    {
        QFETCH(QString, de);
        QFETCH(QString, ate);
        QFETCH(QString, button);
        Janela j;
        j.periodo(de, ate);
        j.f->findChild<QPushButton *>(button)->click();
        QVERIFY(j.previews.empty());
        const QStringList msgs = j.fake->messages();
        QCOMPARE(msgs.size(), 1);
        QVERIFY2(msgs.first().contains(QStringLiteral("não é uma data válida")), qPrintable(msgs.first()));
        QCOMPARE(j.fake->count(Kind::Error), 1);
    }

    // ------------------------------------------------------------ product lists

    void priceListIsInNameOrderWithPaddedCodes()
    {
        Janela j;
        const PreparedReport r = j.tecla(Qt::Key_F5);
        QCOMPARE(r.title, QStringLiteral("Lista de Preços"));
        std::vector<Produto> esperado = j.w.produtos;
        std::sort(esperado.begin(), esperado.end(),
                  [](const Produto &a, const Produto &b) { return QString::fromUtf8(a.descricao) < QString::fromUtf8(b.descricao); });
        QCOMPARE(int(r.csvRows.size()), int(esperado.size()));
        for (size_t i = 0; i < esperado.size(); ++i) {
            const QStringList row = r.csvRows[i];
            QCOMPARE(row.value(0), QStringLiteral("%1").arg(esperado[i].codigo, 13, 10, QLatin1Char('0')));
            QCOMPARE(row.value(1), u(esperado[i].descricao));
            QCOMPARE(row.value(3), numero(esperado[i].valor));
        }
        QCOMPARE(r.csvHeader, (QStringList{"Codigo Barra", u("Descrição Produto"), "Unidade Medida", u("Preço Venda")}));
        QVERIFY(textos(r).contains(QStringLiteral("Pagina 1")));
        // The button of the Produtos page runs the same list.
        QCOMPARE(j.abrir("BtnTabelaPrecos").csvRows, r.csvRows);
    }

    void outOfStockListsMonitoredAtOrBelowZero()
    {
        Janela j;
        const PreparedReport r = j.tecla(Qt::Key_F4);
        QCOMPARE(r.title, QStringLiteral("Produtos em Falta"));
        QStringList esperado;
        for (const Produto &p : j.w.produtos)
            if (QLatin1String(p.monitorar) == QLatin1String("S") && p.estoque <= 0)
                esperado << u(p.descricao);
        esperado.sort();
        QStringList vistos = coluna(r, 1);
        vistos.sort();
        QCOMPARE(vistos, esperado);
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QString::number(esperado.size()));
    }

    // A product counts as sold when a "PV" order or a "PV" till sale holds it.
    void neverSoldCountsTillSalesAndIgnoresQuotes()
    {
        Janela j;
        j.f->setPagina(TFormRelatorios::PaginaProdutos);
        QCOMPARE(j.get<QPushButton>("BtnNuncaVendidos")->toolTip(), QStringLiteral("Produtos Cadastrado e nunca vendidos!"));
        const PreparedReport r = j.abrir("BtnNuncaVendidos");
        QCOMPARE(r.title, QStringLiteral("Relação Produtos Cadastrado Nunca Vendido"));
        QStringList esperado;
        for (const Produto &p : j.w.produtos) {
            bool vendido = false;
            for (const Ordem &o : j.w.ordens)
                for (const Item &i : o.itens)
                    vendido |= pv(o.osOc) && i.codigo == p.codigo;
            for (const Venda &v : j.w.vendas)
                for (const Item &i : v.itens)
                    vendido |= pv(v.venOs) && i.codigo == p.codigo;
            if (!vendido)
                esperado << u(p.descricao);
        }
        QStringList vistos = coluna(r, 1);
        vistos.sort();
        esperado.sort();
        QCOMPARE(vistos, esperado);
        QVERIFY(!vistos.contains(QStringLiteral("VELA IGNICAO")));   // sold at the till only
        QVERIFY(vistos.contains(QStringLiteral("PALHETA")));         // only in a quote
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QString::number(esperado.size()));
    }

    void bestSellersOfThePeriod()
    {
        Janela j;
        j.fevereiro();
        std::map<QString, std::pair<double, double>> soma;    // description -> qty, value
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && entre(o.data, fev(1), fev(29)))
                for (const Item &i : o.itens) {
                    auto &s = soma[u(j.w.descricao(i.codigo))];
                    s.first += i.qtd;
                    s.second += i.qtd * i.valorUni;
                }
        const PreparedReport r = j.abrir("BtnMaisVendidos2");
        QCOMPARE(r.title, QStringLiteral("Produtos Mais Vendidos nas O.S"));
        QVERIFY(textos(r).contains(QStringLiteral("Período de: 01/02/2028 a 29/02/2028")));
        QCOMPARE(int(r.csvRows.size()), int(soma.size()));
        double anterior = 1e9;
        for (const QStringList &row : r.csvRows) {
            QVERIFY2(soma.count(row.value(1)), qPrintable(row.value(1)));
            const auto &[qtd, valor] = soma.at(row.value(1));
            QCOMPARE(row.value(2), numero(qtd));
            QCOMPARE(row.value(3), numero(valor));
            QVERIFY(qtd <= anterior);          // most sold first
            anterior = qtd;
        }
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QString::number(soma.size()));
    }

    // ------------------------------------------------------------ sales and orders

    void tillSalesList()
    {
        Janela j;
        j.fevereiro();
        std::vector<const Venda *> esperado;
        double total = 0, desconto = 0;
        for (const Venda &v : j.w.vendas)
            if (pv(v.venOs) && entre(v.data, fev(1), fev(29))) {
                esperado.push_back(&v);
                total += v.total();
                desconto += v.desconto;
            }
        const PreparedReport r = j.tecla(Qt::Key_F2);
        QCOMPARE(r.title, QStringLiteral("Relatório Vendas"));
        QCOMPARE(int(r.csvRows.size()), int(esperado.size()));
        QStringList numeros;
        for (const QStringList &row : r.csvRows) {
            numeros << row.value(2);
            QVERIFY(row.value(0).endsWith(QStringLiteral("/02/2028")));
        }
        for (const Venda *v : esperado)
            QVERIFY2(numeros.contains(QStringLiteral("%1").arg(v->numero, 3, 10, QLatin1Char('0'))), qPrintable(numeros.join(u',')));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Geral:")), reais(total));
        QCOMPARE(depoisDe(r, QStringLiteral("Total em Desconto:")), reais(desconto));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QString::number(esperado.size()));
    }

    void orderListByEntryDate()
    {
        Janela j;
        j.fevereiro();
        QStringList esperado;
        double total = 0, desconto = 0;
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && entre(o.data, fev(1), fev(29))) {
                esperado << QStringLiteral("%1").arg(o.numero, 3, 10, QLatin1Char('0'));
                total += o.total();
                desconto += o.desconto;
            }
        const PreparedReport r = j.abrir("BtnEntradasOrdems");
        QCOMPARE(r.title, QStringLiteral("Relatório Vendas"));
        QStringList vistos = coluna(r, 2);
        // Newest entry first.
        QStringList datas = coluna(r, 0);
        for (int i = 1; i < datas.size(); ++i)
            QVERIFY(QDate::fromString(datas[i - 1], QStringLiteral("dd/MM/yyyy"))
                    >= QDate::fromString(datas[i], QStringLiteral("dd/MM/yyyy")));
        vistos.sort();
        esperado.sort();
        QCOMPARE(vistos, esperado);
        QVERIFY(!vistos.contains(QStringLiteral("003")));    // the quote
        QCOMPARE(depoisDe(r, QStringLiteral("Total Geral:")), reais(total));
        QCOMPARE(depoisDe(r, QStringLiteral("Total em Desconto:")), reais(desconto));
        // Page 4 has the same button.
        QCOMPARE(j.abrir("BtnEntradasOrdems2").csvRows, r.csvRows);
    }

    // One day: the order entered that day and paid the next is in the order
    // list (by entry date) and not in the commission statement (by payment).
    void oneDayPeriodSeparatesEntryAndPayment()
    {
        Janela j;
        j.periodo(QStringLiteral("15/02/2028"), QStringLiteral("15/02/2028"));
        const PreparedReport lista = j.abrir("BtnEntradasOrdems");
        QCOMPARE(coluna(lista, 2), QStringList{QStringLiteral("002")});

        j.f->setPagina(TFormRelatorios::PaginaComissao);
        QTest::keyClicks(j.get<QLineEdit>("Edit1CodVendedor"), QStringLiteral("1"));
        j.get<QRadioButton>("RadioTodos")->setChecked(true);
        const PreparedReport extrato = j.abrir("BtnVizualizar");
        QCOMPARE(depoisDe(extrato, QStringLiteral("Total O.S:")), QStringLiteral("R$ 0,00"));

        // The day it was paid: the statement has it, the list does not.
        j.periodo(QStringLiteral("16/02/2028"), QStringLiteral("16/02/2028"));
        double total = 0;
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && o.dtOs == fev(16) && o.vendedor == 1)
                total += o.total();
        QVERIFY(total > 0);
        QCOMPARE(depoisDe(j.abrir("BtnVizualizar"), QStringLiteral("Total O.S:")), reais(total));
        QVERIFY(j.abrir("BtnEntradasOrdems").csvRows.empty());
    }

    void tillIncomeByDayAndPayment()
    {
        Janela j;
        j.fevereiro();
        std::map<std::pair<QDate, QString>, double> grupos;
        for (const Venda &v : j.w.vendas)
            if (pv(v.venOs) && entre(v.data, fev(1), fev(29)))
                grupos[{v.data, u(v.pagamento)}] += v.total();
        const PreparedReport r = j.tecla(Qt::Key_F3);
        QCOMPARE(r.title, QStringLiteral("Entrada Caixa"));
        QCOMPARE(int(r.csvRows.size()), int(grupos.size()));
        double total = 0;
        size_t i = 0;
        for (const auto &[chave, valor] : grupos) {
            QCOMPARE(r.csvRows[i].value(0), chave.first.toString(QStringLiteral("dd/MM/yyyy")));
            QCOMPARE(r.csvRows[i].value(1), chave.second);
            QCOMPARE(r.csvRows[i].value(2), reais(valor));
            total += valor;
            ++i;
        }
        QCOMPARE(depoisDe(r, QStringLiteral("Total geral:")), reais(total));
    }

    void orderIncomeByPaymentMethod()
    {
        Janela j;
        j.fevereiro();
        std::map<QString, std::pair<int, double>> grupos;
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && entre(o.data, fev(1), fev(29))) {
                grupos[u(o.pagamento)].first += 1;
                grupos[u(o.pagamento)].second += o.total();
            }
        const PreparedReport r = j.abrir("BtnRecebimentosOS");
        QCOMPARE(r.title, QStringLiteral("Caixa Ordem de Serviços Detalhes"));
        QCOMPARE(int(r.csvRows.size()), int(grupos.size()));
        int qtd = 0;
        double total = 0;
        int anterior = INT_MAX;
        for (const QStringList &row : r.csvRows) {
            const auto &g = grupos.at(row.value(0));
            QCOMPARE(row.value(1), QStringLiteral("%1").arg(g.first, 3, 10, QLatin1Char('0')));
            QCOMPARE(row.value(2), reais(g.second));
            QVERIFY(g.first <= anterior);       // most sales first
            anterior = g.first;
            qtd += g.first;
            total += g.second;
        }
        QCOMPARE(depoisDe(r, QStringLiteral("Qtd. Vendas Total:")), QStringLiteral("%1").arg(qtd, 3, 10, QLatin1Char('0')));
        QCOMPARE(depoisDe(r, QStringLiteral("Total geral:")), reais(total));
    }

    // Only labour lines of orders whose technician is, by exact name, an
    // employee in the role "MECÂNICO".
    void mechanicsCommissionMatchesNamesExactly()
    {
        Janela j;
        j.fevereiro();
        std::map<int, double> servicos;
        for (const Ordem &o : j.w.ordens) {
            const Funcionario *f = j.w.funcionario(u(o.tecnico));
            if (!pv(o.osOc) || !entre(o.data, fev(1), fev(29)) || !f || u(f->funcao) != u("MECÂNICO"))
                continue;
            for (const Item &i : o.itens)
                if (QLatin1String(i.monitorar) == QLatin1String("N"))
                    servicos[f->codigo] += i.qtd * i.valorUni;
        }
        QCOMPARE(servicos.size(), size_t(1));   // "Joao" is not "JOAO"; PEDRO is an attendant
        const PreparedReport r = j.abrir("BtnComissaoMecanico2");
        QCOMPARE(r.title, QStringLiteral("Relatórios Atendimentos Mecânicos"));
        QVERIFY(textos(r).contains(u("Período Selecionado: 01/02/2028 à 29/02/2028")));
        QCOMPARE(int(r.csvRows.size()), int(servicos.size()));
        for (const QStringList &row : r.csvRows) {
            const int codigo = row.value(0).toInt();
            const Funcionario *f = nullptr;
            for (const Funcionario &e : j.w.funcionarios)
                if (e.codigo == codigo)
                    f = &e;
            QVERIFY(f);
            QCOMPARE(row.value(0), QStringLiteral("%1").arg(codigo, 6, 10, QLatin1Char('0')));
            QCOMPARE(row.value(1), u(f->nome));
            QCOMPARE(row.value(2), reais(servicos.at(codigo)));
            QCOMPARE(row.value(3), reais(servicos.at(codigo) * f->comissao / 100));
        }
    }

    // ------------------------------------------------------------ cash summary

    void cashSummaryFollowsPageAndChoices()
    {
        Janela j;
        j.fevereiro();
        double vendas = 0, ordens = 0;
        for (const Venda &v : j.w.vendas)
            if (pv(v.venOs) && entre(v.data, fev(1), fev(29)))
                vendas += v.total();
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && entre(o.data, fev(1), fev(29)))
                ordens += o.total();
        auto *os = j.get<QLabel>("LabTotalOS");
        auto *geral = j.get<QLabel>("LabTotalGeral");
        QCOMPARE(os->text(), QStringLiteral("R$ 0,00"));
        j.f->setPagina(TFormRelatorios::PaginaCaixa);        // changing the page recomputes
        QCOMPARE(os->text(), reais(ordens));
        QCOMPARE(geral->text(), reais(vendas + ordens));

        // An incomplete period keeps the figures; "Recalcular" after a new period updates them.
        j.get<QPushButton>("BtnLimpar")->click();
        j.get<QPushButton>("BtnRecalcular")->click();
        QCOMPARE(os->text(), reais(ordens));
        j.periodo(QStringLiteral("01/03/2028"), QStringLiteral("31/03/2028"));
        j.get<QPushButton>("BtnRecalcular")->click();
        double marco = 0;
        for (const Ordem &o : j.w.ordens)
            if (pv(o.osOc) && o.data.month() == 3)
                marco += o.total();
        QCOMPARE(os->text(), reais(marco));

        j.fevereiro();
        const PreparedReport r = j.abrir("BtnImprimirCaixa");
        QCOMPARE(r.title, QStringLiteral("Relatórios Caixa Geral"));
        QVERIFY(textos(r).contains(QStringLiteral("Período de: 01/02/2028 a 29/02/2028")));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Entradas Vendas Caixa")), reais(vendas));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Entradas Ordem Serviços")), reais(ordens));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Geral")), reais(vendas + ordens));
        QCOMPARE(j.f->caixa().totalGeral(), vendas + ordens);
    }

    // ------------------------------------------------------------ stock list

    void stockListRecomputesEveryBalance()
    {
        Janela j;
        QTest::keyClick(j.get<QLineEdit>("MaskEdit1"), Qt::Key_F1);
        QVERIFY(j.f->estoqueVisivel());
        QCOMPARE(j.fake->messages(), (QStringList{u("Estoque Será Atualizado Aguarde todo processo! Clique ok para continuar!"),
                                                  u("Estoque Atualizado com Sucesso!")}));
        stock::StockBalance balanco(j.w.db);
        data::Table produtos(j.w.db, QStringLiteral("tbProdutos.db"));
        produtos.setIndexName(QStringLiteral("ByCodigo"));
        produtos.open();
        double totalMonitorados = 0;
        int monitorados = 0;
        for (const Produto &p : j.w.produtos) {
            double saldo = 0;
            for (const Entrada &e : j.w.entradas)
                if (e.codigo == p.codigo)
                    saldo += e.qtd;
            for (const Venda &v : j.w.vendas)
                for (const Item &i : v.itens)
                    if (pv(v.venOs) && i.codigo == p.codigo && QLatin1String(i.monitorar) == QLatin1String("S"))
                        saldo -= i.qtd;
            for (const Ordem &o : j.w.ordens)
                for (const Item &i : o.itens)
                    if (pv(o.osOc) && i.codigo == p.codigo && QLatin1String(i.monitorar) == QLatin1String("S"))
                        saldo -= i.qtd;
            QVERIFY(produtos.findKey({double(p.codigo)}));
            QCOMPARE(produtos.asFloat(QStringLiteral("Estoque")), saldo);
            QCOMPARE(produtos.asFloat(QStringLiteral("Estoque")), balanco.balance(p.codigo));
            if (QLatin1String(p.monitorar) == QLatin1String("S")) {
                ++monitorados;
                totalMonitorados += p.valor * saldo;
            }
        }
        // The list keeps the monitored products.
        auto *grid = j.get<QTableView>("DBGridEstoque");
        QCOMPARE(grid->model()->rowCount(), monitorados);
        QCOMPARE(j.get<QProgressBar>("ProgressEstoque")->value(), j.get<QProgressBar>("ProgressEstoque")->maximum());

        const PreparedReport r = j.abrir("BtnImprimirEstoque");
        QCOMPARE(r.title, QStringLiteral("Relatório Estoque"));
        QCOMPARE(int(r.csvRows.size()), monitorados);
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QString::number(monitorados));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Geral:")), reais(totalMonitorados));
        for (const QStringList &row : r.csvRows) {
            const double valor = row.value(4).replace(u',', u'.').toDouble();
            const double estoque = row.value(5).replace(u',', u'.').toDouble();
            QCOMPARE(row.value(6), numero(valor * estoque));
        }

        j.get<QPushButton>("BtnSairEstoque")->click();
        QVERIFY(!j.f->estoqueVisivel());
    }

    // ------------------------------------------------------------ commission statement

    void commissionStatementVariants_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("subtitulo");
        QTest::addColumn<QString>("coluna");
        QTest::newRow("todos") << 1 << "RadioTodos" << u("Produtos e Serviços") << "Soma Vendas O.S";
        QTest::newRow("nenhuma escolha é todos") << 1 << QString() << u("Produtos e Serviços") << "Soma Vendas O.S";
        QTest::newRow("produtos") << 1 << "RadioProdutos" << "Produtos" << "Soma Vendas O.S + Vendas Caixa";
        QTest::newRow("serviços") << 1 << "RadioServicos" << u("Serviços (Mão de Obra)")
                                  << "Soma Vendas O.S + Vendas Caixa";
        QTest::newRow("todos deixa de fora quem não é comissionado") << 4 << "RadioTodos" << u("Produtos e Serviços")
                                                                     << "Soma Vendas O.S";
        QTest::newRow("serviços não olha comissionado") << 4 << "RadioServicos" << u("Serviços (Mão de Obra)")
                                                        << "Soma Vendas O.S + Vendas Caixa";
    }
    void commissionStatementVariants()
    {
        QFETCH(int, codigo);
        QFETCH(QString, radio);
        QFETCH(QString, subtitulo);
        QFETCH(QString, coluna);
        Janela j;
        j.fevereiro();
        j.f->setPagina(TFormRelatorios::PaginaComissao);
        const Funcionario *func = nullptr;
        for (const Funcionario &e : j.w.funcionarios)
            if (e.codigo == codigo)
                func = &e;
        const bool todos = radio.isEmpty() || radio == QLatin1String("RadioTodos");
        const char *quer = radio == QLatin1String("RadioProdutos") ? "S" : "N";
        double total = 0;
        for (const Ordem &o : j.w.ordens) {
            if (!pv(o.osOc) || o.vendedor != codigo || !entre(o.dtOs, fev(1), fev(29)))
                continue;
            if (todos) {
                if (QLatin1String(func->comissionario) == QLatin1String("S"))
                    total += o.total();
            } else {
                for (const Item &i : o.itens)
                    if (QLatin1String(i.monitorar) == QLatin1String(quer))
                        total += i.qtd * i.valorUni;
            }
        }
        const double taxa = (todos || total > 0) ? func->comissao : 0;

        // The code is typed and the box left: the name box shows the employee.
        QVERIFY(j.ativa());
        auto *cod = j.get<QLineEdit>("Edit1CodVendedor");
        cod->setFocus();
        QTest::keyClicks(cod, QString::number(codigo));
        QTest::keyClick(cod, Qt::Key_Return);
        QCOMPARE(j.get<QComboBox>("ComboVendedor")->currentText(), u(func->nome));
        if (!radio.isEmpty())
            j.f->findChild<QRadioButton *>(radio)->setChecked(true);

        const PreparedReport r = j.abrir("BtnVizualizar");
        const QStringList t = textos(r);
        QVERIFY(t.contains(QStringLiteral("Relatório de Vendas / Comissões")));
        QVERIFY2(t.contains(subtitulo), qPrintable(t.join(u'|')));
        QVERIFY(t.contains(QStringLiteral("De: 01/02/2028   a: 29/02/2028")));
        QVERIFY(t.contains(QStringLiteral("Codigo %1   Nome Vendedor %2").arg(codigo).arg(u(func->nome))));
        QVERIFY(t.contains(QStringLiteral("Comissão Total      ") + coluna));
        QCOMPARE(depoisDe(r, QStringLiteral("Porcetagem % : ")), numero(taxa));
        QCOMPARE(depoisDe(r, QStringLiteral("Total O.S:")), reais(total));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Geral :")), reais(total));
        QCOMPARE(depoisDe(r, QStringLiteral("Comisão A Receber:")), reais(total * taxa / 100));
        QVERIFY(j.fake->messages().isEmpty());
    }

    void commissionStatementRefusesBadEmployee()
    {
        Janela j;
        j.fevereiro();
        j.f->setPagina(TFormRelatorios::PaginaComissao);
        QVERIFY(j.ativa());
        auto *cod = j.get<QLineEdit>("Edit1CodVendedor");
        auto *nome = j.get<QComboBox>("ComboVendedor");

        // Nothing given.
        j.get<QPushButton>("BtnVizualizar")->click();
        QCOMPARE(j.fake->messages(), QStringList{u("Entre com codigo do vendedor ou selecione nome do mesmo!")});

        // A code that is not a number: told, nothing run.
        j.fake->clearCalls();
        cod->setText(QStringLiteral("1 or 1=1"));
        j.get<QPushButton>("BtnVizualizar")->click();
        QCOMPARE(j.fake->messages().size(), 1);
        QVERIFY(j.fake->messages().first().contains(QStringLiteral("Digite somente números")));
        QVERIFY(j.previews.empty());

        // Leaving the box with an unknown code empties both boxes.
        j.fake->clearCalls();
        cod->clear();
        cod->setFocus();
        QTest::keyClicks(cod, QStringLiteral("99"));
        QTest::keyClick(cod, Qt::Key_Return);
        QCOMPARE(j.fake->messages(), QStringList{u("Vendedor Não Cadastrado")});
        QVERIFY(cod->text().isEmpty());
        QVERIFY(nome->currentText().isEmpty());

        // A typed name that is no employee.
        j.fake->clearCalls();
        nome->setEditText(QStringLiteral("FULANO"));
        j.get<QPushButton>("BtnVizualizar")->click();
        QCOMPARE(j.fake->messages(), QStringList{u("Vendedor Não Cadastrado")});
        QVERIFY(j.previews.empty());

        // Choosing a name fills the code.
        j.fake->clearCalls();
        QCOMPARE(nome->count(), int(j.w.funcionarios.size()));
        QCOMPARE(nome->itemText(0), QStringLiteral("JOAO"));      // by name
        const int i = nome->findText(QStringLiteral("JOSE DA SILVA"));
        QVERIFY(i >= 0);
        nome->setCurrentIndex(i);
        Q_EMIT nome->textActivated(nome->itemText(i));
        QCOMPARE(cod->text(), QStringLiteral("1"));
        QVERIFY(!j.abrir("BtnVizualizar").pages.empty());
    }

    // ------------------------------------------------------------ empty results

    void emptyResultsPrintTitleAndZero_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("mais vendidos") << "BtnMaisVendidos" << "Produtos Mais Vendidos nas O.S";
        QTest::newRow("ordens") << "BtnEntradasOrdems" << u("Relatório Vendas");
        QTest::newRow("recebimentos") << "BtnRecebimentosOS" << u("Caixa Ordem de Serviços Detalhes");
        QTest::newRow("mecânicos") << "BtnComissaoMecanico" << u("Relatórios Atendimentos Mecânicos");
    }
    void emptyResultsPrintTitleAndZero()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        Janela j;
        j.periodo(QStringLiteral("01/01/2020"), QStringLiteral("31/01/2020"));
        const PreparedReport r = j.abrir(button.toLatin1().constData());
        QCOMPARE(r.pageCount(), 1);
        QVERIFY(r.csvRows.empty());
        QVERIFY(textos(r).contains(title));
        QCOMPARE(depoisDe(r, QStringLiteral("Total Registro Encontrados:")), QStringLiteral("0"));
        // The keys' reports too.
        for (Qt::Key k : {Qt::Key_F2, Qt::Key_F3}) {
            const PreparedReport v = j.tecla(k);
            QVERIFY(v.csvRows.empty());
            QCOMPARE(depoisDe(v, QStringLiteral("Total Registro Encontrados:")), QStringLiteral("0"));
        }
    }

    // ------------------------------------------------------------ spreadsheets

    // Codes stay text with their zeros, amounts are money, counts numbers.
    void spreadsheetColumnKinds()
    {
        using K = printing::CellKind;
        Janela j;
        j.fevereiro();
        auto kinds = [](const PreparedReport &r) {
            QList<int> k;
            for (const printing::SheetColumn &c : r.columns)
                k << int(c.kind);
            return k;
        };
        auto lista = [](std::initializer_list<K> k) {
            QList<int> l;
            for (K x : k)
                l << int(x);
            return l;
        };
        QCOMPARE(kinds(j.tecla(Qt::Key_F2)), lista({K::Date, K::Time, K::Identifier, K::Identifier, K::Text,
                                                    K::Text, K::Money, K::Money}));
        QCOMPARE(kinds(j.abrir("BtnRecebimentosOS")), lista({K::Text, K::Number, K::Money}));
        QCOMPARE(kinds(j.tecla(Qt::Key_F5)), lista({K::Identifier, K::Text, K::Text, K::Money}));
        const PreparedReport vendidos = j.abrir("BtnMaisVendidos");
        QCOMPARE(kinds(vendidos), lista({K::Identifier, K::Text, K::Number, K::Money}));
        QVERIFY(vendidos.sheetHeading.contains(QStringLiteral("Período de: 01/02/2028 a 29/02/2028")));
        QTest::keyClick(j.get<QLineEdit>("MaskEdit1"), Qt::Key_F1);
        QCOMPARE(kinds(j.abrir("BtnImprimirEstoque")), lista({K::Identifier, K::Text, K::Text, K::Text, K::Money,
                                                              K::Number, K::Money}));
    }

    // ------------------------------------------------------------ opening

    void menuPagesAndSearchButtons()
    {
        Workshop w;
        core::ScopedFakeDialogs fake;
        QList<int> paginas;
        QStringList titulos;
        fake->onDialog(QStringLiteral("TFormRelatorios"), [&](QDialog *d) {
            auto *f = static_cast<TFormRelatorios *>(d);
            paginas << int(f->pagina());
            titulos << f->windowTitle();
            return 0;
        });
        openRelatorios(nullptr, w.db);
        openRelatorios(nullptr, w.db, TFormRelatorios::PaginaOrdens);
        openRelatorios(nullptr, w.db, TFormRelatorios::PaginaProdutos);
        QCOMPARE(paginas, (QList<int>{0, 3, 1}));
        QCOMPARE(titulos, QStringList(3, u("Relatórios Geral")));

        TFormRelatorios f(w.db);
        auto *tabs = f.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        QStringList nomes;
        for (int i = 0; i < tabs->count(); ++i)
            nomes << tabs->tabText(i);
        QCOMPARE(nomes, (QStringList{"Geral", "Produtos", u("Comissão"), u("Ordem De Serviços"), "Caixa Geral"}));

        // "Relatorios O.S " on both pages: disabled until a search window is given,
        // then each opens it once, over the reports window.
        const char *botoes[] = {"BtnRelatoriosOS", "BtnRelatoriosOS2"};
        for (const char *b : botoes) {
            auto *btn = f.findChild<QPushButton *>(QString::fromLatin1(b));
            QVERIFY(btn);
            QCOMPARE(btn->text(), QStringLiteral("Relatorios O.S "));
            QVERIFY(!btn->isEnabled());
            QCOMPARE(btn->toolTip(), QStringLiteral("Em desenvolvimento"));
        }
        QList<QWidget *> pais;
        f.setPesquisaOS([&](QWidget *pai) { pais << pai; });
        for (const char *b : botoes) {
            auto *btn = f.findChild<QPushButton *>(QString::fromLatin1(b));
            QVERIFY(btn->isEnabled());
            QVERIFY(btn->toolTip().isEmpty());
            btn->click();
        }
        QCOMPARE(pais, (QList<QWidget *>{&f, &f}));
        f.setPesquisaOS({});
        QVERIFY(!f.findChild<QPushButton *>(QStringLiteral("BtnRelatoriosOS"))->isEnabled());
    }

    // Opened from the menu, "Relatorios O.S " on pages 1 and 4 shows the
    // order search modally over the reports window.
    void orderSearchFromTheMenu()
    {
        Workshop w;
        core::ScopedFakeDialogs fake;
        QStringList pesquisas;
        int relatorios = 0;
        fake->onDialog(QStringLiteral("TForm_Pesquisa"), [&](QDialog *d) {
            pesquisas << d->windowTitle() + u'|' + (d->parentWidget() ? d->parentWidget()->objectName() : QString());
            return 0;
        });
        fake->onDialog(QStringLiteral("TFormRelatorios"), [&](QDialog *d) {
            ++relatorios;
            for (const char *b : {"BtnRelatoriosOS", "BtnRelatoriosOS2"}) {
                auto *btn = d->findChild<QPushButton *>(QString::fromLatin1(b));
                if (btn && btn->isEnabled())
                    btn->click();
            }
            return 0;
        });
        openRelatorios(nullptr, w.db, TFormRelatorios::PaginaOrdens);
        QCOMPARE(relatorios, 1);
        QCOMPARE(pesquisas, QStringList(2, u("Pesquisa Andamento das O.S|TFormRelatorios")));
        QVERIFY(fake->messages().isEmpty());
    }
};

QTEST_MAIN(RelatoriosTest)
#include "test_relatorios.moc"
