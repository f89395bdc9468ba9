// The cash flow: what counts as entries and exits in a period, the bottom
// lines, the period controls, the drill-down into finalised orders and the
// four printouts.

#include "FinanceFixture.h"

#include "core/Format.h"
#include "finance/CashFlow.h"
#include "finance/TFFluxo.h"
#include "finance/Today.h"
#include "printing/PageModel.h"
#include "printing/ReportPainter.h"
#include "printing/Spreadsheet.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace brelvo;
using namespace fintest;
using Kind = core::FakeDialogService::Kind;

namespace {

QStringList bottom(finance::TFFluxo &w)
{
    return {text(&w, "lblTotalEntradas"), text(&w, "lblTotalSaidas"), text(&w, "lblSaldo")};
}

void setPeriod(finance::TFFluxo &w, const QString &from, const QString &to)
{
    child<QLineEdit>(&w, "edtDe")->setText(from);
    child<QLineEdit>(&w, "edtA")->setText(to);
    click(&w, "btnOk");
}

// Catches the report handed to the preview.
struct Previews {
    QList<printing::PreparedReport> seen;
    explicit Previews(Fixture &f)
    {
        f.dialogs->onNamed(QStringLiteral("preview"), [this](QWidget *, void *obj) {
            seen << *static_cast<printing::PreparedReport *>(obj);
            return 0;
        });
    }
};

} // namespace

class CashFlowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Received 100, paid 30, a service order 50 and a sale 20 today; a quote,
    // an open receivable and rows of other days add nothing.
    void todaysCashFlow()
    {
        Fixture f;
        f.receivable(1, "VENDA", 100, today(), today());
        f.receivable(2, "EM ABERTO", 999, today());
        f.receivable(3, "ONTEM", 500, today().addDays(-1), today().addDays(-1));
        f.payable(1, "LUZ", 30, today().addDays(-5), today());
        f.payable(2, "EM ABERTO", 888, today());
        f.order(1, "PV", 50, today());
        f.order(2, "OC", 700, today());
        f.order(3, "PV", 600, today().addDays(1));
        f.sale(1, "PV", 20, today());
        f.sale(2, "PV", 400, today().addDays(-1));
        finance::TFFluxo w(f.db);
        QCOMPARE(bottom(w), (QStringList{QStringLiteral("Total das Entradas: 170,00"), u("Total das Saídas: 30,00"),
                                         QStringLiteral("Saldo: 140,00")}));
        QCOMPARE(text(&w, "lblTotalOS"), QStringLiteral("R$ 50,00"));
        const finance::CashFigures &fig = w.flow().figures();
        QCOMPARE(fig.received, 100.0);
        QCOMPARE(fig.orderRevenue, 50.0);
        QCOMPARE(fig.salesRevenue, 20.0);
        QCOMPARE(testdb::column(*w.flow().entradas(), QStringLiteral("Cliente")), QStringList{QStringLiteral("VENDA")});
        QCOMPARE(testdb::column(*w.flow().saidas(), QStringLiteral("Cliente")), QStringList{QStringLiteral("LUZ")});
        QCOMPARE(child<QLineEdit>(&w, "edtDe")->text(), core::dateText(today()));
        QVERIFY(f.dialogs->clean());
    }

    // Both ends of the period count, whole days; the day before and after do not.
    void periodBoundsAreInclusive()
    {
        Fixture f;
        const QDate from(2026, 4, 1), to(2026, 4, 30);
        int code = 0;
        for (const QDate &d : {from.addDays(-1), from, to, to.addDays(1)}) {
            ++code;
            f.receivable(code, "R", 1 << code, d, d);
            f.payable(code, "P", 1 << code, d, d);
            f.order(code, "PV", 1 << code, d);
            f.sale(code, "PV", 1 << code, d);
        }
        finance::CashFlow flow(f.db);
        flow.analitico({from, to});
        const finance::CashFigures &fig = flow.figures();
        QCOMPARE(fig.received, 12.0);   // 4 + 8
        QCOMPARE(fig.paid, 12.0);
        QCOMPARE(fig.orderRevenue, 12.0);
        QCOMPARE(fig.salesRevenue, 12.0);
        QCOMPARE(fig.totalIn, 36.0);
        // One day.
        flow.analitico({to, to});
        QCOMPARE(flow.figures().totalIn, 24.0);
        // Nothing in the period: zero, and the order revenue is empty.
        flow.analitico({QDate(2020, 1, 1), QDate(2020, 1, 31)});
        QVERIFY(flow.figures().orderRevenueEmpty);
        QCOMPARE(flow.figures().totalIn, 0.0);
        QCOMPARE(flow.figures().balance(), 0.0);
    }

    void negativeBalanceAndEmptyRevenue()
    {
        Fixture f;
        f.receivable(1, "A", 10, today(), today());
        f.payable(1, "B", 1234.5, today(), today());
        finance::TFFluxo w(f.db);
        QCOMPARE(text(&w, "lblSaldo"), QStringLiteral("Saldo: -1.224,50"));
        QCOMPARE(text(&w, "lblTotalOS"), QString());
    }

    void currentMonth_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("Feb 2028 (leap)") << QDate(2028, 2, 10) << u("01/02/2028") << u("29/02/2028");
        QTest::newRow("Feb 2027") << QDate(2027, 2, 28) << u("01/02/2027") << u("28/02/2027");
        QTest::newRow("December") << QDate(2026, 12, 31) << u("01/12/2026") << u("31/12/2026");
        QTest::newRow("April") << QDate(2026, 4, 1) << u("01/04/2026") << u("30/04/2026");
    }
    void currentMonth()
    {
        QFETCH(QDate, day);
        QFETCH(QString, from);
        QFETCH(QString, to);
        Fixture f;
        finance::ScopedToday fixed(day);
        const QDate last = QDate::fromString(to, QStringLiteral("dd/MM/yyyy"));
        f.receivable(1, "ULTIMO DIA", 5, last, last);
        f.receivable(2, "MES SEGUINTE", 7, last.addDays(1), last.addDays(1));
        finance::TFFluxo w(f.db);
        QCOMPARE(w.flow().figures().received, last == day ? 5.0 : 0.0);
        click(&w, "rbMesAtual");
        QCOMPARE(child<QLineEdit>(&w, "edtDe")->text(), from);
        QCOMPARE(child<QLineEdit>(&w, "edtA")->text(), to);
        QCOMPARE(w.flow().figures().received, 5.0);
        click(&w, "rbHoje");
        QCOMPARE(child<QLineEdit>(&w, "edtA")->text(), core::dateText(day));
        QVERIFY(!child<QRadioButton>(&w, "rbMesAtual")->isChecked());
    }

    // A typed period; a bad date is told and nothing is recomputed; an empty
    // box does nothing.
    void typedPeriod()
    {
        Fixture f;
        f.receivable(1, "A", 10, QDate(2026, 1, 15), QDate(2026, 1, 15));
        f.receivable(2, "B", 20, today(), today());
        finance::TFFluxo w(f.db);
        QCOMPARE(w.flow().figures().received, 20.0);
        setPeriod(w, u("01/01/2026"), u("31/01/2026"));
        QCOMPARE(text(&w, "lblTotalEntradas"), QStringLiteral("Total das Entradas: 10,00"));
        setPeriod(w, u("01/01/2026"), u("32/01/2026"));
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 1);
        QCOMPARE(text(&w, "lblTotalEntradas"), QStringLiteral("Total das Entradas: 10,00"));
        setPeriod(w, u("01/01/2026"), QString());
        QCOMPARE(f.dialogs->callsOf(Kind::Error).size(), 1);
        QCOMPARE(text(&w, "lblTotalEntradas"), QStringLiteral("Total das Entradas: 10,00"));
        // Enter in "a" computes too.
        child<QLineEdit>(&w, "edtA")->setText(core::dateText(today()));
        QTest::keyClick(child<QLineEdit>(&w, "edtA"), Qt::Key_Return);
        QCOMPARE(w.flow().figures().received, 30.0);
    }

    // Esc in "a" goes back to "De"; elsewhere it closes the window.
    void escapeKeys()
    {
        Fixture f;
        finance::TFFluxo w(f.db);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        auto *a = child<QLineEdit>(&w, "edtA");
        a->setFocus();
        QTest::keyClick(a, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), child<QLineEdit>(&w, "edtDe"));
        QVERIFY(w.isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The finalised "PV" orders of the period, newest first, and their items.
    void orderDrillDown()
    {
        Fixture f;
        const QDate d = today();
        const qint64 a = f.order(11, "PV", 150, d, "FINALIZADO", d.addDays(-1), "ANA", 5);
        f.order(12, "PV", 80, d, "EM ABERTO", QDate(), "BRUNO");
        f.order(13, "OC", 90, d, "FINALIZADO", d, "CARLA");
        f.order(14, "PV", 60, d, "FINALIZADO", d, "DAVI");
        f.orderItem(a, "FILTRO DE OLEO", 2, 25);
        f.orderItem(a, "MAO DE OBRA", 1, 100);
        finance::TFFluxo w(f.db);
        // The not finalised order counts in the revenue, not in the list.
        QCOMPARE(w.flow().figures().orderRevenue, 290.0);
        auto *panel = child<QWidget>(&w, "pnlDetalhes");
        QVERIFY(!panel->isVisibleTo(&w));
        QTest::mouseClick(child<QLabel>(&w, "lblTotalOS"), Qt::LeftButton);
        QVERIFY(panel->isVisibleTo(&w));
        data::Query *ordens = w.flow().ordens();
        QCOMPARE(testdb::column(*ordens, QStringLiteral("NomeCliente")), (QStringList{QStringLiteral("DAVI"), QStringLiteral("ANA")}));
        QCOMPARE(testdb::column(*ordens, QStringLiteral("Total_Venda")), (QStringList{QStringLiteral("60"), QStringLiteral("150")}));

        w.ordemChosen(1);
        QVERIFY(child<QWidget>(&w, "pnlItens")->isVisibleTo(&w));
        data::Query *itens = w.flow().itens();
        QCOMPARE(testdb::column(*itens, QStringLiteral("Descricao")),
                 (QStringList{QStringLiteral("FILTRO DE OLEO"), QStringLiteral("MAO DE OBRA")}));
        QCOMPARE(testdb::column(*itens, QStringLiteral("SubTotal")), (QStringList{QStringLiteral("50"), QStringLiteral("100")}));
        click(&w, "btnFecharItens");
        QVERIFY(!child<QWidget>(&w, "pnlItens")->isVisibleTo(&w));

        Previews p(f);
        click(&w, "btnVisualizar");
        QCOMPARE(p.seen.size(), 1);
        const QStringList texts = p.seen[0].texts(0);
        QVERIFY(texts.contains(u("Detalhes Ordem de Serviços")));
        QVERIFY(texts.contains(QStringLiteral("011")));
        QVERIFY(texts.contains(QStringLiteral("R$ 210,00")));
        QVERIFY(texts.contains(QStringLiteral("R$ 5,00")));
        QVERIFY(texts.contains(QStringLiteral("2")));
        QVERIFY(texts.contains(QStringLiteral("Pagina 1")));
    }

    // The summary printout and its spreadsheet copy; back from the preview
    // the period is today again.
    void summaryReport()
    {
        Fixture f;
        f.receivable(1, "A", 100, today(), today());
        f.payable(1, "B", 30, today(), today());
        f.order(1, "PV", 1234567.5, today());
        f.sale(1, "PV", 20, today());
        finance::TFFluxo w(f.db);
        click(&w, "rbMesAtual");
        Previews p(f);
        click(&w, "btnImprimir");
        QCOMPARE(p.seen.size(), 1);
        const printing::PreparedReport &r = p.seen[0];
        const QStringList texts = r.texts(0);
        QVERIFY(texts.contains(QStringLiteral("FLUXO DE CAIXA")));
        QVERIFY(texts.contains(core::dateText(monthStart())));
        // Orders, counter sales and receivables add up to the total entries.
        const int os = int(texts.indexOf(u("Entradas Ordem de Serviços : ")));
        QVERIFY(os >= 0);
        QCOMPARE(texts.mid(os, 8), (QStringList{u("Entradas Ordem de Serviços : "), u("R$ 1.234.567,50"),
                                                u("Entradas (Vendas Balcão):"), u("R$ 20,00"),
                                                u("Entradas (Contas à Receber):"), u("R$ 100,00"),
                                                u("Saída Caixa (Contas à Pagar):"), u("R$ 30,00")}));
        QVERIFY(texts.contains(QStringLiteral("Total das Entradas: 1.234.687,50")));
        QVERIFY(texts.contains(QStringLiteral("Saldo: 1.234.657,50")));
        QVERIFY(!child<QRadioButton>(&w, "rbMesAtual")->isChecked());
        QCOMPARE(child<QLineEdit>(&w, "edtDe")->text(), core::dateText(today()));

        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("fluxo.csv"));
        QString error;
        QVERIFY2(printing::writeCsv(r, csv, &error), qPrintable(error));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        // The amounts go out as numbers, not as apostrophe-marked text.
        QVERIFY(lines.contains(u("Entradas (Contas à Receber):;100,00")));
        QVERIFY(lines.contains(u("Entradas Ordem de Serviços :;1.234.567,50")));
        QVERIFY(lines.contains(QStringLiteral("Saldo:;1.234.657,50")));
        QVERIFY(lines.contains(u("Total das Saídas:;30,00")));
        QVERIFY(!lines.join(QString()).contains(QLatin1Char('\'')));
        QCOMPARE(r.rowValues.back().at(1).toDouble(), 1234657.5);
        const QString pdf = out.filePath(QStringLiteral("fluxo.pdf"));
        QVERIFY2(printing::writePdf(r, pdf, &error), qPrintable(error));
        QVERIFY(QFileInfo(pdf).size() > 500);
    }

    void entriesAndExitsReports()
    {
        Fixture f;
        f.receivable(1, "CONSERTO", 100, today(), today());
        f.receivable(2, "PECAS", 55.5, today(), today());
        f.payable(1, "ALUGUEL", 800, today(), today());
        finance::TFFluxo w(f.db);
        Previews p(f);
        click(&w, "btnEntradas");
        click(&w, "btnSaidas");
        QCOMPARE(p.seen.size(), 2);
        const QStringList in = p.seen[0].texts(0);
        QVERIFY(in.contains(QStringLiteral("Entradas")));
        QVERIFY(in.contains(QStringLiteral("PECAS")));
        QVERIFY(in.contains(QStringLiteral("155,50")));
        const QStringList outTexts = p.seen[1].texts(0);
        QVERIFY(outTexts.contains(u("Saídas")));
        QVERIFY(outTexts.contains(QStringLiteral("ALUGUEL")));
        QVERIFY(outTexts.contains(QStringLiteral("TOTAL")));
        QCOMPARE(p.seen[1].csvRows.size(), size_t(1));
        // The lists' amounts go to a spreadsheet as numbers too.
        const QByteArray csv = printing::csvBytes(p.seen[0]);
        QVERIFY2(csv.contains(";155,50") || csv.contains(";55,50"), csv.constData());
        QVERIFY2(!csv.contains(";'"), csv.constData());
    }

private:
    static QDate monthStart() { return QDate(today().year(), today().month(), 1); }
};

QTEST_MAIN(CashFlowTest)
#include "test_finance_cashflow.moc"
