// Table cursors: order and navigation, searches, filters, ranges,
// master/detail, editing and the protection against lost updates.

#include "TestDb.h"
#include "data/Statement.h"

#include <QSignalSpy>
#include <algorithm>

using namespace brelvo::data;
using testdb::addRow;
using testdb::column;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
}

class TstTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void navigationFollowsIndexWithOldEngineEofBof()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbFunciocario.db"));
        t.open();
        QVERIFY(t.isEmpty());
        QVERIFY(t.eof() && t.bof());
        t.next();
        QVERIFY(t.eof());
        QVERIFY(t.value(QStringLiteral("Nome")).isNull());

        const QStringList names = {u("PEDRO"), u("ana"), u("Álvaro"), u("BRUNO"), u("ÇAIO"), u("carla")};
        int code = 1;
        for (const QString &n : names)
            addRow(t, {{"Codigo", code++}, {"Nome", n}});
        t.setIndexName(QStringLiteral("byNome"));
        // Without case, accents beside their letter.
        const QStringList expected = {u("Álvaro"), u("ana"), u("BRUNO"), u("ÇAIO"), u("carla"), u("PEDRO")};
        QCOMPARE(column(t, QStringLiteral("Nome")), expected);
        QCOMPARE(testdb::columnBackwards(t, QStringLiteral("Nome")), expected);

        t.first();
        QVERIFY(t.bof());
        QVERIFY(!t.eof());
        t.last();
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("PEDRO"));
        t.next();
        QVERIFY(t.eof());
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("PEDRO"));   // stays on the last row
        t.prior();
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("carla"));

        t.setIndexName(QStringLiteral("ByCodigo"));
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("carla"));    // same row, new order
        QCOMPARE(column(t, QStringLiteral("Codigo")), (QStringList{"1", "2", "3", "4", "5", "6"}));
        QVERIFY_THROWS_EXCEPTION(DbError, t.setIndexName(QStringLiteral("PorNada")));
    }

    void emptyKeysComeFirstAcrossWindows()
    {
        // Many rows with empty and repeated dates, more than one window of rows.
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbCliente.DB"));
        t.open();
        struct R { QDate d; QString name; int code; };
        std::vector<R> rows;
        for (int i = 0; i < 150; ++i) {
            QDate d = (i % 7 == 0) ? QDate() : QDate(2020, 1, 1).addDays((i * 37) % 11);
            QString name = (i % 5 == 0) ? QString() : QStringLiteral("N%1").arg((i * 13) % 9);
            rows.push_back({d, name, i + 1});
            addRow(t, {{"Codigo", i + 1}, {"Data", d}, {"Nome", name}});
        }
        auto expectOrder = [&rows](bool byNameToo) {
            std::vector<R> s = rows;
            std::stable_sort(s.begin(), s.end(), [byNameToo](const R &a, const R &b) {
                if (a.d != b.d)
                    return !a.d.isValid() || (b.d.isValid() && a.d < b.d);
                if (byNameToo && a.name != b.name)
                    return a.name.isEmpty() || (!b.name.isEmpty() && a.name < b.name);
                return false;
            });
            QStringList codes;
            for (const R &r : s)
                codes << QString::number(r.code);
            return codes;
        };
        t.setIndexName(QStringLiteral("byData"));
        QCOMPARE(column(t, QStringLiteral("Codigo")), expectOrder(false));
        QCOMPARE(testdb::columnBackwards(t, QStringLiteral("Codigo")), expectOrder(false));
        t.setIndexFieldNames(QStringLiteral("Data;Nome"));
        QCOMPARE(column(t, QStringLiteral("Codigo")), expectOrder(true));
        QCOMPARE(testdb::columnBackwards(t, QStringLiteral("Codigo")), expectOrder(true));

        // recNo, moveTo and bookmarks agree with the walk.
        const QStringList order = expectOrder(true);
        t.moveTo(77);
        QCOMPARE(t.asString(QStringLiteral("Codigo")), order[77]);
        QCOMPARE(t.recNo(), 77);
        const Bookmark b = t.bookmark();
        t.first();
        t.gotoBookmark(b);
        QCOMPARE(t.asString(QStringLiteral("Codigo")), order[77]);
        t.next();
        QCOMPARE(t.asString(QStringLiteral("Codigo")), order[78]);
        QCOMPARE(t.recordCount(), 150);
    }

    void findKeyFindNearestAndLocate()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbCliente.DB"));
        t.open();
        addRow(t, {{"Codigo", 3}, {"Nome", u("MARIA")}, {"Cidade", u("SÃO PAULO")}});
        addRow(t, {{"Codigo", 1}, {"Nome", u("ANA")}, {"Cidade", u("CAMPINAS")}});
        addRow(t, {{"Codigo", 2}, {"Nome", u("O'BRIEN")}, {"Cidade", u("santos")}});
        t.setIndexName(QStringLiteral("byNome"));

        t.findNearest({u("MAR")});
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("MARIA"));
        t.findNearest({u("mar")});
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("MARIA"));
        t.findNearest({u("B")});
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("MARIA"));
        t.findNearest({u("ZZZ")});      // nothing at or after: the last row
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("O'BRIEN"));
        QVERIFY(!t.eof());

        t.first();
        QVERIFY(!t.findKey({u("MAR")}));
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("ANA"));       // stays put
        QVERIFY(t.findKey({u("maria")}));                              // index ignores case
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), 3);

        t.setIndexName(QStringLiteral("byCodigo"));
        QVERIFY(t.findKey({2}));
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("O'BRIEN"));
        QVERIFY(t.findKey({QStringLiteral("0001")}));                  // typed code text
        QCOMPARE(t.asString(QStringLiteral("Nome")), u("ANA"));
        QVERIFY(!t.findKey({99}));
        QVERIFY_THROWS_EXCEPTION(DbError, t.findKey({QStringLiteral("abc")}));

        QVERIFY(!t.locate(QStringLiteral("Cidade"), {u("SANTOS")}));
        QVERIFY(t.locate(QStringLiteral("Cidade"), {u("SANTOS")}, Table::CaseInsensitive));
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), 2);
        QVERIFY(t.locate(QStringLiteral("Cidade"), {u("são")}, Table::CaseInsensitive | Table::PartialKey));
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), 3);
        QVERIFY(!t.locate(QStringLiteral("Cidade"), {u("SAO")}, Table::PartialKey));
        QVERIFY(t.locate(QStringLiteral("Nome"), {u("O'B")}, Table::PartialKey));     // beginning, case counts
        QCOMPARE(t.asInteger(QStringLiteral("Codigo")), 2);
        QVERIFY(!t.locate(QStringLiteral("Nome"), {u("o'b")}, Table::PartialKey));
        QVERIFY(t.locate(QStringLiteral("Codigo;Nome"), {1, u("ANA")}));
        QVERIFY_THROWS_EXCEPTION(DbError, t.locate(QStringLiteral("Inexistente"), {1}));
    }

    void prefixFiltersMatchTheBeginningExactly()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbpagar.db"));
        t.open();
        int code = 0;
        for (const char *name : {"ÁGUA", "ÁGUAS", "ÁGUA MINERAL", "AGUA", "ÁGU", "ÁGUB", "ágUA", "ÁGUA\xf4\x8f\xbf\xbe"})
            addRow(t, {{"Codigo", ++code}, {"Fantasia", u(name)}});
        auto codes = [&t](const QString &filter) {
            t.setFilter(filter);
            t.setFiltered(true);
            QStringList c = column(t, QStringLiteral("Codigo"));
            c.sort();
            return c;
        };
        QCOMPARE(codes(u("Fantasia='ÁGUA*'")), (QStringList{"1", "2", "3", "8"}));
        QCOMPARE(codes(u("Fantasia='Á*'")), (QStringList{"1", "2", "3", "5", "6", "8"}));
        QCOMPARE(codes(u("Fantasia='ÁGUB*'")), QStringList{"6"});
        QCOMPARE(codes(u("not Fantasia='ÁGUA*'")), (QStringList{"4", "5", "6", "7"}));
    }

    // A filter on another indexed field of a cursor in creation order: a
    // common value (read by walking the table) and rare ones (read through
    // the field's index) give the same rows, positions and counts.
    void filtersOnAnotherFieldInCreationOrder()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("TOrdemServico.DB"));
        t.setIndexName(QStringLiteral("ByChave"));
        t.open();
        QStringList states;
        for (int i = 0; i < 400; ++i) {
            const char *st = i % 50 == 7 ? "EM ABERTO" : i % 97 == 3 ? "EM ANDAMENTO" : "FINALIZADO";
            states << u(st);
            addRow(t, {{"Codigo", i + 1}, {"Andamento", u(st)}});
        }
        auto expected = [&](const QString &prefix) {
            QStringList codes;
            for (int i = 0; i < states.size(); ++i)
                if (states[i].startsWith(prefix))
                    codes << QString::number(i + 1);
            return codes;
        };
        for (const QString &prefix : {u("FINALIZADO"), u("EM"), u("EM ABERTO"), u("X"), u("")}) {
            t.setFilter(QStringLiteral("Andamento=") + Table::quoted(prefix + QLatin1Char('*')));
            t.setFiltered(true);
            const QStringList want = expected(prefix);
            QCOMPARE(column(t, QStringLiteral("Codigo")), want);
            QCOMPARE(testdb::columnBackwards(t, QStringLiteral("Codigo")), want);
            QCOMPARE(t.recordCount(), want.size());
            int i = 0;
            for (t.first(); !t.eof(); t.next(), ++i)
                QCOMPARE(t.recNo(), i);
            for (int at : {0, int(want.size()) / 2, int(want.size()) - 1}) {
                if (want.isEmpty())
                    break;
                t.moveTo(at);
                QCOMPARE(t.asString(QStringLiteral("Codigo")), want[at]);
                QCOMPARE(t.recNo(), at);
            }
        }
        // A row leaving the filter moves the positions of the rows after it.
        t.setFilter(QStringLiteral("Andamento='FINALIZADO*'"));
        t.setFiltered(true);
        t.moveTo(5);
        const QString sixth = t.asString(QStringLiteral("Codigo"));
        t.first();
        t.edit();
        t.setValue(QStringLiteral("Andamento"), u("ENTREGUE"));
        t.post();
        t.locate(QStringLiteral("Codigo"), {sixth.toInt()});
        QCOMPARE(t.recNo(), 4);
        QCOMPARE(t.recordCount(), expected(u("FINALIZADO")).size() - 1);
    }

    void filtersAsTheWindowsWriteThem()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbpagar.db"));
        t.open();
        addRow(t, {{"Codigo", 1}, {"Fantasia", u("O'BRIEN")}, {"DataVencimento", QDate(2020, 2, 10)}});
        addRow(t, {{"Codigo", 2}, {"Fantasia", u("ALUGUEL")}, {"DataVencimento", QDate(2020, 2, 20)},
                   {"DataPagamento", QDate(2020, 2, 19)}});
        addRow(t, {{"Codigo", 3}, {"Fantasia", u("ALUGUEL SALA")}, {"DataVencimento", QDate(2020, 3, 5)},
                   {"DataPagamento", QDate(1985, 1, 1)}});
        addRow(t, {{"Codigo", 4}, {"Fantasia", u("aluguel")}, {"Valordocumento", 12.5}});

        auto codes = [&t](const QString &filter) {
            t.setFilter(filter);
            t.setFiltered(true);
            QStringList c = column(t, QStringLiteral("Codigo"));
            c.sort();
            return c;
        };
        QCOMPARE(codes(QStringLiteral("Fantasia = ") + Table::quoted(u("O'BRIEN"))), QStringList{"1"});
        QCOMPARE(codes(QStringLiteral("Fantasia='ALUGUEL*'")), (QStringList{"2", "3"}));   // prefix, with case
        QCOMPARE(codes(QStringLiteral("fantasia = 'ALUGUEL'")), QStringList{"2"});
        // An empty payment date counts as earlier than any date.
        QCOMPARE(codes(QStringLiteral("datapagamento <'01/01/1990'")), (QStringList{"1", "3", "4"}));
        QCOMPARE(codes(QStringLiteral("datapagamento>'01/01/1990'")), QStringList{"2"});
        QCOMPARE(codes(QStringLiteral("datavencimento >='01/02/2020' and datavencimento <='29/02/2020' "
                                      "and Datapagamento < '01/01/1990'")),
                 QStringList{"1"});
        QCOMPARE(codes(QStringLiteral("Codigo = 3 or (Codigo >= 2 and not Codigo <> 4)")), (QStringList{"3", "4"}));
        QCOMPARE(codes(QStringLiteral("Valordocumento = 12,5")), QStringList{"4"});
        QCOMPARE(codes(QStringLiteral("[Fantasia] <> 'ALUGUEL'")), (QStringList{"1", "3", "4"}));

        t.setFiltered(false);
        QCOMPARE(t.recordCount(), 4);
        t.setFilter(QStringLiteral("Fantasia = 'X'"));
        QCOMPARE(t.recordCount(), 4);       // text kept, filtering off

        // A bad filter is refused and leaves the cursor unfiltered.
        t.setFilter(QStringLiteral("datavencimento >= '31/02/2020'"));
        try {
            t.setFiltered(true);
            QFAIL("invalid date accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::InvalidValue);
        }
        QVERIFY(!t.filtered());
        QCOMPARE(t.recordCount(), 4);
        t.setFilter(QStringLiteral("Nada = 1"));
        try {
            t.setFiltered(true);
            QFAIL("unknown field accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::FieldNotFound);
            QCOMPARE(e.message(), QStringLiteral("Campo não encontrado: Nada"));
        }
        for (const char *bad : {"Codigo = ", "(Codigo = 1", "Fantasia = 'abc", "Codigo ! 2"}) {
            t.setFilter(QString::fromLatin1(bad));
            QVERIFY_THROWS_EXCEPTION(DbError, t.setFiltered(true));
        }
        // Field names with blanks.
        Table r(f.db, QStringLiteral("cadastro.db"));
        r.open();
        addRow(r, {{"Codigo", 1}, {"Dia mes", u("10 de maio")}});
        addRow(r, {{"Codigo", 2}, {"Dia mes", u("11 de maio")}});
        r.setFilter(QStringLiteral("\"Dia mes\" = '11 de maio'"));
        r.setFiltered(true);
        QCOMPARE(column(r, QStringLiteral("Codigo")), QStringList{"2"});
    }

    void rangeOnTheIndex()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("TOrdemServico.DB"));
        t.open();
        for (int i = 0; i < 10; ++i)
            addRow(t, {{"Codigo", i + 1}, {"Data", i == 9 ? QVariant() : QVariant(QDate(2021, 5, 1 + i))}});
        t.setIndexName(QStringLiteral("byData"));
        t.setRange({QDate(2021, 5, 3)}, {QDate(2021, 5, 6)});
        QCOMPARE(column(t, QStringLiteral("Codigo")), (QStringList{"3", "4", "5", "6"}));
        QCOMPARE(t.recordCount(), 4);
        t.cancelRange();
        QCOMPARE(t.recordCount(), 10);
        QCOMPARE(column(t, QStringLiteral("Codigo")).first(), QStringLiteral("10"));   // empty date first
    }

    void masterDetail()
    {
        testdb::Fresh f;
        Table sales(f.db, QStringLiteral("tbVendas.db"));
        Table items(f.db, QStringLiteral("tbItems.DB"));
        sales.open();
        items.setIndexName(QStringLiteral("ByLink"));
        items.setMasterSource(&sales, QStringLiteral("Chave"), QStringLiteral("Link"));
        items.open();
        QVERIFY(items.isEmpty());

        addRow(sales, {{"CodVenda", 1}});
        const int first = int(sales.asInteger(QStringLiteral("Chave")));
        addRow(items, {{"Descricao", u("OLEO")}, {"Qtd", 2}});       // link filled from the master
        addRow(items, {{"Descricao", u("FILTRO")}, {"Qtd", 1}});
        QCOMPARE(items.asInteger(QStringLiteral("Link")), first);
        addRow(sales, {{"CodVenda", 2}});
        QVERIFY(items.isEmpty());                                        // new master row: no items yet
        addRow(items, {{"Descricao", u("VELA")}});

        // An orphan item belongs to no sale.
        Table loose(f.db, QStringLiteral("tbItems.DB"));
        loose.open();
        addRow(loose, {{"Descricao", u("ORFAO")}, {"Link", 999}});

        sales.first();
        QCOMPARE(column(items, QStringLiteral("Descricao")), (QStringList{u("OLEO"), u("FILTRO")}));
        sales.next();
        QCOMPARE(column(items, QStringLiteral("Descricao")), QStringList{u("VELA")});
        sales.insert();
        QVERIFY(items.isEmpty());
        sales.cancel();
        QCOMPARE(column(items, QStringLiteral("Descricao")), QStringList{u("VELA")});

        // While controls are disabled the detail does not follow; it catches up after.
        sales.first();
        sales.disableControls();
        sales.next();
        QCOMPARE(column(items, QStringLiteral("Descricao")), (QStringList{u("OLEO"), u("FILTRO")}));
        sales.enableControls();
        QCOMPARE(column(items, QStringLiteral("Descricao")), QStringList{u("VELA")});

        // Deleting a sale deletes its items with it; the other sale's item
        // and the orphan stay.
        sales.first();
        sales.remove();
        QCOMPARE(sales.asInteger(QStringLiteral("CodVenda")), 2);
        loose.refresh();
        QCOMPARE(loose.recordCount(), 2);
        QVERIFY(!loose.locate(QStringLiteral("Link"), {first}));
        QCOMPARE(column(items, QStringLiteral("Descricao")), QStringList{u("VELA")});
    }

    void keysetSearchesOnSeveralFieldsWithEmptyValues()
    {
        // Three order fields with empty and repeated values, more rows than one
        // read: walks, nearest searches and the moves around the found row
        // must all agree with the same order.
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbCliente.DB"));
        t.open();
        struct R {
            QDate d;
            QString nome, cidade;
            int code;
        };
        std::vector<R> rows;
        for (int i = 0; i < 140; ++i) {
            const QDate d = (i % 6 == 0) ? QDate() : QDate(2021, 3, 1).addDays((i * 7) % 5);
            const QString nome = (i % 4 == 0) ? QString() : QString(QChar('A' + (i * 5) % 3));
            const QString cidade = (i % 3 == 0) ? QString() : QString(QChar('K' + (i * 11) % 4));
            rows.push_back({d, nome, cidade, i + 1});
            addRow(t, {{"Codigo", i + 1}, {"Data", d}, {"Nome", nome}, {"Cidade", cidade}});
        }
        // -1, 0, 1 with an empty value first; fields beyond `n` are not compared.
        auto cmp = [](const R &a, const R &b, int n) {
            auto c3 = [](bool aNull, bool bNull, int diff) {
                if (aNull || bNull)
                    return aNull == bNull ? 0 : (aNull ? -1 : 1);
                return diff < 0 ? -1 : diff > 0 ? 1 : 0;
            };
            int c = c3(!a.d.isValid(), !b.d.isValid(), a.d.isValid() && b.d.isValid() ? int(b.d.daysTo(a.d)) : 0);
            if (c == 0 && n > 1)
                c = c3(a.nome.isEmpty(), b.nome.isEmpty(), a.nome.compare(b.nome));
            if (c == 0 && n > 2)
                c = c3(a.cidade.isEmpty(), b.cidade.isEmpty(), a.cidade.compare(b.cidade));
            if (c == 0 && n > 3)
                c = a.code < b.code ? -1 : a.code > b.code ? 1 : 0;
            return c;
        };
        std::vector<R> order = rows;
        std::sort(order.begin(), order.end(), [&cmp](const R &a, const R &b) { return cmp(a, b, 4) < 0; });
        QStringList expected;
        for (const R &r : order)
            expected << QString::number(r.code);

        t.setIndexFieldNames(QStringLiteral("Data;Nome;Cidade"));
        QCOMPARE(column(t, QStringLiteral("Codigo")), expected);
        QCOMPARE(testdb::columnBackwards(t, QStringLiteral("Codigo")), expected);

        // Nearest searches on one and two leading fields, empty values included.
        const QDate dates[] = {QDate(), QDate(2021, 3, 1), QDate(2021, 3, 3), QDate(2021, 3, 9)};
        const QString names[] = {QString(), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        for (const QDate &d : dates) {
            for (int n = 1; n <= 2; ++n) {
                for (const QString &nome : names) {
                    const R key{d, nome, QString(), 0};
                    const auto hit = std::find_if(order.begin(), order.end(),
                                                  [&](const R &r) { return cmp(r, key, n) >= 0; });
                    QVariantList values{d};
                    if (n == 2)
                        values << nome;
                    t.findNearest(values);
                    const QString where = QStringLiteral("%1 / %2 (%3 fields)").arg(d.toString(Qt::ISODate), nome).arg(n);
                    if (hit == order.end()) {
                        // Nothing at or after it: the cursor rests on the last row.
                        QVERIFY2(t.asString(QStringLiteral("Codigo")) == expected.last(), qPrintable(where));
                        continue;
                    }
                    const int at = int(hit - order.begin());
                    QVERIFY2(t.asString(QStringLiteral("Codigo")) == expected[at], qPrintable(where));
                    // Around the found row the cursor knows only that row.
                    t.prior();
                    QVERIFY2(at == 0 ? t.bof() : t.asString(QStringLiteral("Codigo")) == expected[at - 1], qPrintable(where));
                    t.findNearest(values);
                    t.next();
                    QVERIFY2(at + 1 == expected.size() ? t.eof() : t.asString(QStringLiteral("Codigo")) == expected[at + 1],
                             qPrintable(where));
                    if (n == 1)
                        break;      // the name does not take part
                }
            }
        }
    }

    void deletingACustomerTakesItsVehicles()
    {
        testdb::Fresh f;
        Table customers(f.db, QStringLiteral("tbCliente.DB"));
        Table cars(f.db, QStringLiteral("TCadastroCarros.db"));
        customers.setIndexName(QStringLiteral("byCodigo"));
        customers.open();
        cars.setIndexName(QStringLiteral("ByLink"));
        cars.setMasterSource(&customers, QStringLiteral("Codigo"), QStringLiteral("Link"));
        cars.open();
        auto allPlates = [&f] {
            QStringList out;
            ForwardQuery q(f.db, QStringLiteral("SELECT Link, Placa FROM TCadastroCarros ORDER BY Chave"));
            while (q.next())
                out << q.value(0).toString() + QLatin1Char(':') + q.value(1).toString();
            return out;
        };
        for (int code = 1; code <= 3; ++code) {
            addRow(customers, {{"Nome", QStringLiteral("C%1").arg(code)}});
            QCOMPARE(customers.asInteger(QStringLiteral("Codigo")), code);
            addRow(cars, {{"Placa", QStringLiteral("P%1A").arg(code)}});
            addRow(cars, {{"Placa", QStringLiteral("P%1B").arg(code)}});
        }
        QCOMPARE(allPlates().size(), 6);

        // The highest customer goes with its vehicles; the next new customer
        // gets that number and no vehicles.
        customers.last();
        customers.remove();
        QCOMPARE(allPlates(), (QStringList{"1:P1A", "1:P1B", "2:P2A", "2:P2B"}));
        addRow(customers, {{"Nome", QStringLiteral("NOVO")}});
        QCOMPARE(customers.asInteger(QStringLiteral("Codigo")), 3);
        QVERIFY(cars.isEmpty());

        // A delete refused because another desk changed the row deletes nothing.
        QVERIFY(customers.findKey({1}));
        auto other = Database::open(f.db->folder(), false);
        Table theirs(other, QStringLiteral("tbCliente.DB"));
        theirs.setIndexName(QStringLiteral("byCodigo"));
        theirs.open();
        QVERIFY(theirs.findKey({1}));
        theirs.edit();
        theirs.setValue(QStringLiteral("Nome"), QStringLiteral("MUDOU"));
        theirs.post();
        QVERIFY_THROWS_EXCEPTION(DbError, customers.remove());
        QCOMPARE(allPlates().size(), 4);

        // Two customers holding one number (rows typed before numbers were
        // drawn at save): the vehicles stay while one of them is left.
        Table loose(f.db, QStringLiteral("tbCliente.DB"));
        loose.setNumbering({});
        loose.open();
        addRow(loose, {{"Codigo", 2}, {"Nome", QStringLiteral("C2 OUTRO")}});
        QVERIFY(loose.locate(QStringLiteral("Nome"), {QStringLiteral("C2 OUTRO")}));
        loose.remove();
        QCOMPARE(allPlates(), (QStringList{"1:P1A", "1:P1B", "2:P2A", "2:P2B"}));

        // Master and details go in one transaction: when the details cannot
        // be deleted the customer stays too.
        if (f.db->onServer()) {
            Statement(f.db, QStringLiteral("CREATE FUNCTION keep_cars() RETURNS trigger LANGUAGE plpgsql"
                                           " AS 'BEGIN RAISE EXCEPTION ''kept''; END'")).run();
            Statement(f.db, QStringLiteral("CREATE TRIGGER keep_cars BEFORE DELETE ON TCadastroCarros"
                                           " FOR EACH ROW EXECUTE FUNCTION keep_cars()")).run();
        } else {
            Statement(f.db, QStringLiteral("CREATE TRIGGER keep_cars BEFORE DELETE ON TCadastroCarros"
                                           " BEGIN SELECT RAISE(ABORT, 'kept'); END")).run();
        }
        QVERIFY(customers.findKey({2}));
        QVERIFY_THROWS_EXCEPTION(DbError, customers.remove());
        customers.refresh();
        QVERIFY(customers.findKey({2}));
        QCOMPARE(allPlates().size(), 4);
        QVERIFY(!f.db->inTransaction());
    }

    void filtersNestedDeepAndLongChains()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbpagar.db"));
        t.open();
        for (int i = 1; i <= 30; ++i)
            addRow(t, {{"Codigo", i}, {"Fantasia", QStringLiteral("F%1").arg(i % 7)}});
        auto codes = [&t](const QString &filter) {
            t.setFilter(filter);
            t.setFiltered(true);
            QStringList c = column(t, QStringLiteral("Codigo"));
            std::sort(c.begin(), c.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
            return c;
        };

        // Thousands of terms, joined by "or" and by "and".
        QStringList terms;
        for (int i = 0; i < 5000; ++i)
            terms << QStringLiteral("Codigo = %1").arg(i * 3 + 2);
        QCOMPARE(codes(terms.join(QStringLiteral(" or "))),
                 (QStringList{"2", "5", "8", "11", "14", "17", "20", "23", "26", "29"}));
        QStringList prefixes;
        for (int i = 0; i < 3000; ++i)
            prefixes << QStringLiteral("Fantasia = 'F%1*'").arg(i % 2 ? 3 : 10 + i);
        QCOMPARE(codes(prefixes.join(QStringLiteral(" OR "))), (QStringList{"3", "10", "17", "24"}));
        QStringList bounds;
        for (int i = 0; i < 4000; ++i)
            bounds << QStringLiteral("Codigo <> %1").arg(i % 29 + 2);
        QCOMPARE(codes(bounds.join(QStringLiteral(" and "))), QStringList{"1"});

        // Reasonable nesting works, however written.
        const QString nested = QStringLiteral("(").repeated(90) + QStringLiteral("Codigo = 4") + QStringLiteral(")").repeated(90);
        QCOMPARE(codes(nested), QStringList{"4"});
        QCOMPARE(codes(QStringLiteral("not not ").repeated(40) + QStringLiteral("Codigo = 9")), QStringList{"9"});

        // Nesting thousands deep is refused with a short Portuguese message;
        // the cursor stays usable and unfiltered.
        const QStringList tooDeep{
            QStringLiteral("(").repeated(5000) + QStringLiteral("Codigo = 4") + QStringLiteral(")").repeated(5000),
            QStringLiteral("(").repeated(200000),
            QStringLiteral("not ").repeated(20000) + QStringLiteral("Codigo = 4"),
            QStringLiteral("(Codigo = 1 or ").repeated(3000) + QStringLiteral("Codigo = 2") + QStringLiteral(")").repeated(3000),
        };
        for (const QString &filter : tooDeep) {
            try {
                t.setFilter(filter);        // applied at once while the cursor is filtered
                t.setFiltered(true);
                QFAIL("deep filter accepted");
            } catch (const DbError &e) {
                QCOMPARE(e.kind(), DbError::Kind::Generic);
                QVERIFY2(e.message().startsWith(QStringLiteral("Expressão de filtro inválida: ")), qPrintable(e.message()));
                QVERIFY2(e.message().contains(QStringLiteral("níveis")), qPrintable(e.message()));
                QVERIFY(e.message().size() < 200);
            }
            QVERIFY(!t.filtered());
            QCOMPARE(t.recordCount(), 30);
        }
        // And/or alternating ever deeper: each depth either filters right or
        // is refused in Portuguese, never left to fail inside the engine.
        int deepestAccepted = 0;
        for (int depth = 1; depth <= 60; ++depth) {
            // (Codigo = 1 or (Codigo >= 0 and (Codigo = 2 or (... and Codigo = 3))))
            QString expr = QStringLiteral("Codigo = 3");
            for (int i = depth; i >= 1; --i)
                expr = i % 2 ? QStringLiteral("(Codigo = %1 or %2)").arg(QString::number(i == 1 ? 1 : 2), expr)
                             : QStringLiteral("(Codigo >= 0 and %1)").arg(expr);
            try {
                t.setFilter(expr);
                t.setFiltered(true);
            } catch (const DbError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("níveis")), qPrintable(e.message()));
                QCOMPARE(t.recordCount(), 30);
                continue;
            }
            const QStringList expected = depth <= 2 ? QStringList{"1", "3"} : QStringList{"1", "2", "3"};
            QCOMPARE(codes(expr), expected);
            t.last();
            t.prior();
            QVERIFY(!t.bof());
            deepestAccepted = depth;
        }
        QVERIFY(deepestAccepted >= 20);

        // More values than one statement can carry: refused the same way.
        QStringList many;
        for (int i = 0; i < 25000; ++i)
            many << QStringLiteral("Codigo = %1").arg(i);
        t.setFiltered(false);
        t.setFilter(many.join(QStringLiteral(" or ")));
        QVERIFY_THROWS_EXCEPTION(DbError, t.setFiltered(true));
        QCOMPARE(t.recordCount(), 30);
    }

    void autoIncNeverReused()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbreceber.db"));
        t.open();
        addRow(t, {{"Codigo", 1}});
        addRow(t, {{"Codigo", 2}});
        const qint64 top = t.asInteger(QStringLiteral("Chave"));
        t.remove();
        t.last();
        t.remove();
        QVERIFY(t.isEmpty());
        addRow(t, {{"Codigo", 3}});
        QVERIFY(t.asInteger(QStringLiteral("Chave")) > top);
        // A row stored with its number given moves the numbering past it.
        Statement given(f.db, QStringLiteral("INSERT INTO tbreceber (Chave, Codigo) VALUES (:c, 4)"));
        given.setParam(QStringLiteral("c"), top + 100);
        QCOMPARE(given.run(), 1);
        addRow(t, {{"Codigo", 5}});
        QCOMPARE(t.asInteger(QStringLiteral("Chave")), top + 101);
        t.edit();
        QVERIFY_THROWS_EXCEPTION(DbError, t.setValue(QStringLiteral("Chave"), 1));
        t.cancel();
    }

    void valuesAreStoredByType()
    {
        testdb::Fresh f;
        // Permissions never set are null, and null is not false.
        Table perms(f.db, QStringLiteral("Checkbox.db"));
        perms.open();
        QVERIFY(perms.isNull(QStringLiteral("01")));
        perms.edit();
        perms.setValue(QStringLiteral("02"), false);
        perms.setValue(QStringLiteral("03"), QStringLiteral("S"));
        perms.post();
        QVERIFY(perms.isNull(QStringLiteral("01")));
        QVERIFY(!perms.isNull(QStringLiteral("02")));
        QCOMPARE(perms.value(QStringLiteral("02")), QVariant(false));
        QCOMPARE(perms.value(QStringLiteral("03")), QVariant(true));

        Table o(f.db, QStringLiteral("TOrdemServico.DB"));
        o.open();
        o.append();
        o.setValue(QStringLiteral("OsOc"), QStringLiteral("PVX"));                        // Alpha(2)
        o.setValue(QStringLiteral("NomeCliente"), QString(60, QLatin1Char('A')));        // Alpha(50)
        o.setValue(QStringLiteral("Data"), QStringLiteral("05/03/2021"));
        o.setValue(QStringLiteral("HoraEntrega"), QStringLiteral("14:30"));
        o.setValue(QStringLiteral("VrTotal"), QStringLiteral("1.234,56"));
        o.setValue(QStringLiteral("Km"), 12345.5);
        QVERIFY_THROWS_EXCEPTION(DbError, o.setValue(QStringLiteral("Data"), QStringLiteral("31/02/2021")));
        QVERIFY_THROWS_EXCEPTION(DbError, o.setValue(QStringLiteral("Km"), QStringLiteral("doze")));
        QVERIFY_THROWS_EXCEPTION(DbError, o.setValue(QStringLiteral("Inexistente"), 1));
        o.post();
        QCOMPARE(o.asString(QStringLiteral("OsOc")), QStringLiteral("PV"));
        QCOMPARE(o.asString(QStringLiteral("NomeCliente")).size(), 50);
        QCOMPARE(o.asDate(QStringLiteral("Data")), QDate(2021, 3, 5));
        QCOMPARE(o.asString(QStringLiteral("Data")), QStringLiteral("05/03/2021"));
        QCOMPARE(o.asTime(QStringLiteral("HoraEntrega")), QTime(14, 30));
        QCOMPARE(o.asFloat(QStringLiteral("VrTotal")), 1234.56);
        QCOMPARE(o.asString(QStringLiteral("Km")), QStringLiteral("12345,5"));
        QVERIFY(o.isNull(QStringLiteral("DtOs")));
        QCOMPARE(o.asString(QStringLiteral("DtOs")), QString());
        o.edit();
        o.setValue(QStringLiteral("Data"), QStringLiteral("  /  /    "));   // the empty date mask
        o.setValue(QStringLiteral("Obs"), QString());
        o.post();
        QVERIFY(o.isNull(QStringLiteral("Data")));
        QVERIFY(o.isNull(QStringLiteral("Obs")));

        // Writing outside editing is refused.
        try {
            o.setValue(QStringLiteral("Obs"), QStringLiteral("x"));
            QFAIL("value set while browsing");
        } catch (const DbError &e) {
            QVERIFY(e.message().contains(QStringLiteral("edição")));
        }
    }

    void concurrentEditsAreNotLost()
    {
        testdb::Fresh f;
        Table a(f.db, QStringLiteral("tbProdutos.db"));
        a.open();
        addRow(a, {{"Codigo", 10}, {"Descricao", u("PASTILHA")}, {"Valor", 50.0}});
        addRow(a, {{"Codigo", 11}, {"Descricao", u("DISCO")}, {"Valor", 80.0}});
        auto other = Database::open(f.db->folder(), false);     // another program
        Table b(other, QStringLiteral("tbProdutos.DB"));
        b.open();
        a.first();
        b.first();
        a.edit();
        b.edit();
        a.setValue(QStringLiteral("Valor"), 55.0);
        b.setValue(QStringLiteral("Valor"), 60.0);
        a.post();
        try {
            b.post();
            QFAIL("second post overwrote the first");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::RecordLocked);
            QCOMPARE(e.message(), u("Registro alterado por outro usuário. As alterações não foram gravadas."));
        }
        QCOMPARE(b.state(), Dataset::State::Edit);
        b.cancel();
        b.refresh();
        QCOMPARE(b.asFloat(QStringLiteral("Valor")), 55.0);

        // Deleting a row another cursor changed, or already deleted, is refused.
        a.edit();
        a.setValue(QStringLiteral("Descricao"), u("PASTILHA DIANT"));
        a.post();
        QVERIFY_THROWS_EXCEPTION(DbError, b.remove());
        QCOMPARE(b.asString(QStringLiteral("Descricao")), u("PASTILHA DIANT"));   // re-read
        b.remove();
        try {
            a.remove();
            QFAIL("deleted twice");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::RecordLocked);
        }
        a.refresh();
        QCOMPARE(a.recordCount(), 1);
        QCOMPARE(a.asString(QStringLiteral("Descricao")), u("DISCO"));

        // The primary key refuses a second product with the same code.
        a.append();
        a.setValue(QStringLiteral("Codigo"), 11);
        try {
            a.post();
            QFAIL("duplicate code accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::KeyViolation);
            QCOMPARE(e.message(), u("Violação de chave."));
        }
        a.cancel();
        QCOMPARE(a.recordCount(), 1);
    }

    void statesAndNotifications()
    {
        testdb::Fresh f;
        Table t(f.db, QStringLiteral("tbMarcas.db"));
        t.open();
        QSignalSpy states(&t, &Dataset::stateChanged);
        QSignalSpy posted(&t, &Table::afterPost);
        t.edit();                          // empty table: edit starts a new row
        QCOMPARE(t.state(), Dataset::State::Insert);
        t.setValue(QStringLiteral("Marca"), u("NGK"));
        QVERIFY(t.modified());
        t.post();
        QCOMPARE(t.state(), Dataset::State::Browse);
        QCOMPARE(states.count(), 2);
        QCOMPARE(states.at(0).at(0).value<Dataset::State>(), Dataset::State::Insert);
        QCOMPARE(states.at(1).at(0).value<Dataset::State>(), Dataset::State::Browse);
        QCOMPARE(posted.count(), 1);

        // A beforePost handler may refuse the post.
        auto veto = connect(&t, &Table::beforePost, &t, [] {
            throw DbError(DbError::Kind::InvalidValue, QStringLiteral("Marca inválida"));
        });
        t.edit();
        t.setValue(QStringLiteral("Marca"), u("XXX"));
        QVERIFY_THROWS_EXCEPTION(DbError, t.post());
        QCOMPARE(t.state(), Dataset::State::Edit);
        disconnect(veto);
        t.cancel();
        QCOMPARE(t.asString(QStringLiteral("Marca")), u("NGK"));

        // Moving while editing posts the change, as the old engine did.
        addRow(t, {{"Marca", u("BOSCH")}});
        t.first();
        t.edit();
        t.setValue(QStringLiteral("Marca"), u("ACDELCO"));
        t.next();
        QCOMPARE(t.state(), Dataset::State::Browse);
        QCOMPARE(column(t, QStringLiteral("Marca")), (QStringList{u("ACDELCO"), u("NGK")}));
    }

    void cursorsSeeEachOthersPosts()
    {
        testdb::Fresh f;
        Table a(f.db, QStringLiteral("tbCategoria.db"));
        Table b(f.db, QStringLiteral("tbCategoria.db"));
        a.open();
        b.open();
        for (const char *c : {"B", "D", "F"})
            addRow(a, {{"Categoria", u(c)}});
        b.first();
        QCOMPARE(b.asString(QStringLiteral("Categoria")), u("B"));
        addRow(a, {{"Categoria", u("C")}});
        b.next();
        QCOMPARE(b.asString(QStringLiteral("Categoria")), u("C"));
        QCOMPARE(b.recordCount(), 4);
    }

    // Cursors re-read after writes to their own table, whoever made them (a
    // cursor, a statement); a master's post leaves its details where they
    // are unless their table changed; a run of rows read for a grid leaves
    // the cursor where it was.
    void cursorsFollowTheirOwnTablesWrites()
    {
        testdb::Fresh f;
        Table cats(f.db, QStringLiteral("tbCategoria.db"));
        Table sales(f.db, QStringLiteral("tbVendas.db"));
        Table items(f.db, QStringLiteral("tbItems.DB"));
        cats.open();
        sales.open();
        items.setIndexName(QStringLiteral("ByLink"));
        items.setMasterSource(&sales, QStringLiteral("Chave"), QStringLiteral("Link"));
        items.open();
        for (const char *c : {"B", "D", "F"})
            addRow(cats, {{"Categoria", u(c)}});
        cats.first();
        QCOMPARE(cats.recordCount(), 3);
        addRow(sales, {{"CodVenda", 1}});
        const qint64 chave = sales.asInteger(QStringLiteral("Chave"));
        for (const char *d : {"A", "B", "C"})
            addRow(items, {{"Descricao", u(d)}});
        items.first();
        items.next();

        sales.edit();
        sales.setValue(QStringLiteral("CodVenda"), 5);
        sales.post();
        QCOMPARE(items.recNo(), 1);
        QCOMPARE(items.asString(QStringLiteral("Descricao")), u("B"));

        Statement add(f.db, QStringLiteral("INSERT INTO tbCategoria (Categoria) VALUES ('C')"));
        QCOMPARE(add.run(), 1);
        QCOMPARE(cats.recordCount(), 4);
        cats.next();
        QCOMPARE(cats.asString(QStringLiteral("Categoria")), u("C"));

        Statement line(f.db, QStringLiteral("INSERT INTO tbItems (Link, Descricao) VALUES (:l, 'D')"));
        line.setParam(QStringLiteral("l"), chave);
        QCOMPARE(line.run(), 1);
        QSignalSpy reread(&items, &Dataset::dataChanged);
        sales.edit();
        sales.setValue(QStringLiteral("CodVenda"), 6);
        sales.post();
        QCOMPARE(reread.count(), 1);
        QCOMPARE(items.recordCount(), 4);

        items.first();
        items.next();
        QStringList read;
        items.readRows(1, 10, [&] { read << items.asString(QStringLiteral("Descricao")); });
        QCOMPARE(read, (QStringList{u("B"), u("C"), u("D")}));
        QCOMPARE(items.asString(QStringLiteral("Descricao")), u("B"));
        QCOMPARE(items.recNo(), 1);
        items.next();
        QCOMPARE(items.asString(QStringLiteral("Descricao")), u("C"));
        items.prior();
        items.prior();
        QCOMPARE(items.asString(QStringLiteral("Descricao")), u("A"));
        QVERIFY(!items.bof());
    }
};

QTEST_GUILESS_MAIN(TstTable)
#include "tst_table.moc"
