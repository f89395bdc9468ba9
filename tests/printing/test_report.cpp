// Layout of banded reports, read from the prepared pages.

#include "data/Dataset.h"
#include "printing/Report.h"

#include <QImage>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using namespace brelvo::printing;

namespace {

std::vector<QVariantMap> numberedRows(int n)
{
    std::vector<QVariantMap> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({{QStringLiteral("Nome"), QStringLiteral("CLIENTE %1").arg(i, 4, 10, QLatin1Char('0'))},
                        {QStringLiteral("Valor"), i * 1.5}});
    return rows;
}

// A listing: title, column header, detail, summary with a sum, page footer.
void listing(Report &r, int rows)
{
    const int bold = r.font(12, true);
    r.title().setHeight(12).label({0, 0, 190, 10}, QStringLiteral("LISTAGEM DE TESTE"), bold, Align::Center);
    r.columnHeader().setHeight(6).label({0, 0, 100, 5}, QStringLiteral("Nome"), bold);
    r.columnHeader().label({150, 0, 40, 5}, QStringLiteral("Valor"), bold, Align::Right);
    r.detail().setHeight(5).field({0, 0, 100, 5}, QStringLiteral("Nome"));
    r.detail().field({150, 0, 40, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    r.summary().setHeight(8).label({100, 1, 40, 5}, QStringLiteral("TOTAL"));
    r.summary().sum({150, 1, 40, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    r.pageFooter().setHeight(6).pageNumber({140, 0, 50, 5});
    r.setRows(numberedRows(rows));
}

int countIn(const PreparedReport &p, const QString &text)
{
    int n = 0;
    for (int i = 0; i < p.pageCount(); ++i)
        n += int(p.texts(i).count(text));
    return n;
}

const PageItem *findText(const PreparedReport &p, int page, const QString &text)
{
    for (const PageItem &it : p.pages[size_t(page)].items)
        if (it.kind == PageItem::Text && it.text == text)
            return &it;
    return nullptr;
}

// A small in-memory cursor standing in for a table.
class MemoryDataset : public brelvo::data::Dataset {
public:
    MemoryDataset(brelvo::data::DatabasePtr db, QStringList fields, QList<QVariantList> rows)
        : Dataset(std::move(db)), m_fields(std::move(fields)), m_rows(std::move(rows)) {}
    int scrolls = 0;
    void open() override { m_open = true; m_pos = 0; }
    void close() override { m_open = false; }
    State state() const override { return m_open ? State::Browse : State::Inactive; }
    void first() override { m_pos = 0; ++scrolls; }
    void last() override { m_pos = int(m_rows.size()) - 1; }
    void next() override { if (m_pos < m_rows.size()) ++m_pos; ++scrolls; }
    void prior() override { if (m_pos > -1) --m_pos; }
    bool eof() const override { return m_pos >= m_rows.size(); }
    bool bof() const override { return m_pos < 0 || m_rows.isEmpty(); }
    bool isEmpty() const override { return m_rows.isEmpty(); }
    int recordCount() override { return int(m_rows.size()); }
    int recNo() override { return m_rows.isEmpty() ? -1 : m_pos; }
    void moveTo(int r) override { m_pos = r; }
    brelvo::data::Bookmark bookmark() const override { return {{m_pos}}; }
    void gotoBookmark(const brelvo::data::Bookmark &b) override { m_pos = b.key.value(0).toInt(); }
    QStringList fieldNames() const override { return m_fields; }
    bool hasField(const QString &name) const override { return index(name) >= 0; }
    brelvo::data::FieldType fieldType(const QString &name) const override
    {
        return types.value(name, brelvo::data::FieldType::Alpha);
    }
    QMap<QString, brelvo::data::FieldType> types;      // Alpha unless told
    int fieldSize(const QString &) const override { return 50; }
    QVariant value(const QString &field) const override
    {
        const int i = index(field);
        return i < 0 || eof() || m_pos < 0 ? QVariant() : m_rows[m_pos].value(i);
    }
    void refresh() override {}
private:
    int index(const QString &name) const
    {
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_pos = 0;
    bool m_open = false;
};


// Width of a prepared text as the engine measures it.
double textWidthMm(const PreparedReport &p, const PageItem &it)
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_Mono);
        img.setDotsPerMeterX(qRound(1200 / 0.0254));
        img.setDotsPerMeterY(qRound(1200 / 0.0254));
        return img;
    }();
    return QFontMetricsF(p.fonts.at(it.font), &device).horizontalAdvance(it.text) * 25.4 / 1200;
}

// The customer list's columns: name, tax number, id, postal code, address, district, city, state.
void customerColumns(Report &r, bool rightAlignedCity = false)
{
    r.setPage(PageSetup::a4Landscape());
    const int normal = r.font(8);
    struct Col { double x, w; const char *field; };
    const Col cols[] = {{0, 62, "Nome"}, {63, 30, "CIC"}, {94, 24, "RG"}, {119, 18, "CEP"},
                        {138, 62, "Endereco"}, {201, 34, "CARRO"}, {236, 32, "Cidade"}, {269, 8, "UF"}};
    for (const Col &c : cols) {
        Element &e = r.detail().field({c.x, 0, c.w, 4.5}, QString::fromLatin1(c.field), QString(), normal);
        if (rightAlignedCity && QLatin1String(c.field) == QLatin1String("Cidade"))
            e.setAlign(Align::Right);
    }
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void multiPageListing();
    void bandsStayInsideTheirArea();
    void masksAndSums();
    void groupsAndSubDetail();
    void wordWrapGrowsTheBand();
    void bandTallerThanAPageIsSplit();
    void pictures();
    void datesAndTimes();
    void emptyReportStillHasAPage();
    void datasetRowsAndLinkedDetail();
    void valuesStayInTheirColumns();
    void numbersShrinkAndLabelsUseTheirRoom();
    void columnKinds_data();
    void columnKinds();
    void columnKindsFromTheCursorAndOverrides();
    void sheetCaptionsHeadingAndTotals();
};

void TestReport::multiPageListing()
{
    // Enough lines for exactly three pages: the first page loses the title's room.
    Report probe;
    listing(probe, 1);
    const QRectF c = probe.page().contentRect();
    const int perPage = int((c.height() - 6 - 6) / 5);
    const int firstPage = int((c.height() - 6 - 6 - 12) / 5);
    const int n = firstPage + perPage + perPage / 2;

    Report r;
    listing(r, n);
    PreparedReport p = r.prepare();
    QCOMPARE(p.pageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QVERIFY2(p.texts(i).contains(QStringLiteral("Página %1 de 3").arg(i + 1)), qPrintable(p.pageText(i)));
        QCOMPARE(p.texts(i).count(QStringLiteral("Nome")), 1);          // column header on every page
        QCOMPARE(p.texts(i).count(QStringLiteral("LISTAGEM DE TESTE")), i == 0 ? 1 : 0);
    }
    // Every line once, in order, across the pages.
    QStringList names;
    for (int i = 0; i < 3; ++i)
        for (const QString &t : p.texts(i))
            if (t.startsWith(QLatin1String("CLIENTE ")))
                names << t;
    QCOMPARE(names.size(), n);
    for (int i = 0; i < n; ++i)
        QCOMPARE(names[i], QStringLiteral("CLIENTE %1").arg(i + 1, 4, 10, QLatin1Char('0')));
    // The sum once, at the end: 1.5 * n(n+1)/2.
    QCOMPARE(countIn(p, QStringLiteral("TOTAL")), 1);
    QVERIFY(p.texts(2).contains(QStringLiteral("TOTAL")));
    double expected = 0;
    for (int i = 1; i <= n; ++i)
        expected += i * 1.5;
    const QString sum = QLocale(QLocale::Portuguese, QLocale::Brazil).toString(expected, 'f', 2);
    QVERIFY2(p.texts(2).contains(sum), qPrintable(sum + QStringLiteral(" not in ") + p.pageText(2)));
    QCOMPARE(p.csvRows.size(), size_t(n));
    QCOMPARE(p.csvHeader, (QStringList{QStringLiteral("Nome"), QStringLiteral("Valor")}));
}

void TestReport::bandsStayInsideTheirArea()
{
    Report r;
    r.setPage(PageSetup::letterPortrait());
    listing(r, 300);
    PreparedReport p = r.prepare();
    QVERIFY(p.pageCount() > 3);
    const QRectF c = r.page().contentRect();
    for (int i = 0; i < p.pageCount(); ++i) {
        const PageItem *footer = findText(p, i, QStringLiteral("Página %1 de %2").arg(i + 1).arg(p.pageCount()));
        QVERIFY(footer);
        QVERIFY(qAbs(footer->y - (c.bottom() - 6)) < 0.01);     // at the foot of the page
        for (const PageItem &it : p.pages[size_t(i)].items) {
            QVERIFY(it.x >= c.left() - 0.01 && it.x + it.w <= c.right() + 0.01);
            QVERIFY(it.y >= c.top() - 0.01 && it.y + it.h <= c.bottom() + 0.01);
            if (it.kind == PageItem::Text && it.text.startsWith(QLatin1String("CLIENTE ")))
                QVERIFY2(it.y + it.h <= footer->y + 0.01, "a detail line runs into the page footer");
        }
    }
    // Landscape A4 is wider than it is tall.
    Report l;
    l.setPage(PageSetup::a4Landscape());
    QVERIFY(l.page().paperSize().width() > l.page().paperSize().height());
    QCOMPARE(qRound(l.width()), 277);
}

void TestReport::masksAndSums()
{
    Report r;
    r.detail().setHeight(5).field({0, 0, 40, 5}, QStringLiteral("v"), QStringLiteral("###,##0.00"));
    r.detail().field({50, 0, 40, 5}, QStringLiteral("v"), QStringLiteral("R$ ###,##0.00"));
    r.detail().field({100, 0, 20, 5}, QStringLiteral("codigo"), QStringLiteral("0000000000000"));
    r.detail().expression({130, 0, 40, 5}, [](const RowContext &c) { return c.value(QStringLiteral("V")).toDouble() * 2; },
                          QStringLiteral("0.00"));
    r.detail().field({175, 0, 15, 5}, QStringLiteral("texto"));
    r.summary().setHeight(20).sum({0, 0, 40, 5}, QStringLiteral("v"), QStringLiteral("###,##0.00"));
    r.summary().count({50, 0, 20, 5});
    r.summary().sum({100, 0, 40, 5}, [](const RowContext &c) { return c.value(QStringLiteral("v")).toDouble() * 2; },
                    QStringLiteral("#,##0.00"));
    r.summary().sum({0, 10, 40, 5}, QStringLiteral("texto"), QStringLiteral("0.00"));   // numbers kept as text
    r.setRows(std::vector<QVariantMap>{
        {{QStringLiteral("v"), 1234.5}, {QStringLiteral("codigo"), 17}, {QStringLiteral("texto"), QStringLiteral("2,5")}},
        {{QStringLiteral("v"), 0.5}, {QStringLiteral("codigo"), 7891000315507LL}, {QStringLiteral("texto"), QStringLiteral("x")}},
        {{QStringLiteral("v"), 1000000}, {QStringLiteral("codigo"), QVariant()}, {QStringLiteral("texto"), QStringLiteral("1.000,25")}},
    });
    PreparedReport p = r.prepare();
    QCOMPARE(p.pageCount(), 1);
    const QStringList t = p.texts(0);
    for (const char *s : {"1.234,50", "R$ 1.234,50", "0,50", "R$ 0,50", "1.000.000,00", "R$ 1.000.000,00",
                          "0000000000017", "7891000315507", "2469,00", "1,00", "2000000,00", "2,5", "x"})
        QVERIFY2(t.contains(QString::fromUtf8(s)), s);
    QVERIFY2(t.contains(QStringLiteral("1.001.235,00")), qPrintable(p.pageText(0)));   // sum
    QVERIFY(t.contains(QStringLiteral("3")));                                          // count
    QVERIFY(t.contains(QStringLiteral("2.002.470,00")));                               // sum of an expression
    QVERIFY(t.contains(QStringLiteral("1002,75")));                                    // text that is no number is skipped
    QCOMPARE(formatValue(QVariant()), QString());
    QCOMPARE(formatValue(QDate(2026, 12, 9)), QStringLiteral("09/12/2026"));
    QCOMPARE(formatValue(QStringLiteral("ABC"), QStringLiteral("0.00")), QStringLiteral("ABC"));
}

void TestReport::groupsAndSubDetail()
{
    // Orders grouped by customer; each order lists its items as a sub-detail.
    Report r;
    Group &g = r.addGroup(QStringLiteral("cliente"));
    g.header.setHeight(5).field({0, 0, 60, 5}, QStringLiteral("cliente"));
    g.footer.setHeight(5).expression({0, 0, 60, 5}, [](const RowContext &c) {
        return QStringLiteral("FIM ") + c.value(QStringLiteral("cliente")).toString(); });
    g.footer.sum({100, 0, 40, 5}, QStringLiteral("total"), QStringLiteral("0.00"));
    r.detail().setHeight(5).field({10, 0, 30, 5}, QStringLiteral("pedido"));
    SubDetail &items = r.addSubDetail();
    items.header.setHeight(5).label({20, 0, 30, 5}, QStringLiteral("Itens"));
    items.band.setHeight(5).field({20, 0, 60, 5}, QStringLiteral("descricao"));
    items.band.expression({90, 0, 30, 5}, [](const RowContext &c) {
        return QStringLiteral("%1/%2").arg(c.masterValue(QStringLiteral("pedido")).toInt()).arg(c.subLine()); });
    items.footer.setHeight(5).sum({120, 0, 30, 5}, QStringLiteral("qtd"), QStringLiteral("0.0")).setSumOver(0);
    items.rows = [](const RowContext &master) {
        std::vector<QVariantMap> rows;
        const int pedido = master.value(QStringLiteral("pedido")).toInt();
        for (int i = 1; i <= pedido; ++i)
            rows.push_back({{QStringLiteral("descricao"), QStringLiteral("ITEM %1.%2").arg(pedido).arg(i)},
                            {QStringLiteral("qtd"), 1.5}});
        return std::unique_ptr<RowSource>(new MapRows(std::move(rows)));
    };
    r.summary().setHeight(5).sum({120, 0, 30, 5}, QStringLiteral("qtd"), QStringLiteral("0.0")).setSumOver(0);
    r.summary().count({150, 0, 30, 5}, QStringLiteral("00"));
    r.setRows(std::vector<QVariantMap>{
        {{QStringLiteral("cliente"), QStringLiteral("ANA")}, {QStringLiteral("pedido"), 1}, {QStringLiteral("total"), 10}},
        {{QStringLiteral("cliente"), QStringLiteral("ANA")}, {QStringLiteral("pedido"), 2}, {QStringLiteral("total"), 5.5}},
        {{QStringLiteral("cliente"), QStringLiteral("BIA")}, {QStringLiteral("pedido"), 3}, {QStringLiteral("total"), 1}},
    });
    PreparedReport p = r.prepare();
    QCOMPARE(p.pageCount(), 1);
    const QStringList expected{
        QStringLiteral("ANA"), QStringLiteral("1"), QStringLiteral("Itens"), QStringLiteral("ITEM 1.1"), QStringLiteral("1/1"),
        QStringLiteral("1.5"),
        QStringLiteral("2"), QStringLiteral("Itens"), QStringLiteral("ITEM 2.1"), QStringLiteral("2/1"),
        QStringLiteral("ITEM 2.2"), QStringLiteral("2/2"), QStringLiteral("3.0"),
        QStringLiteral("FIM ANA"), QStringLiteral("15.50"),
        QStringLiteral("BIA"), QStringLiteral("3"), QStringLiteral("Itens"), QStringLiteral("ITEM 3.1"), QStringLiteral("3/1"),
        QStringLiteral("ITEM 3.2"), QStringLiteral("3/2"), QStringLiteral("ITEM 3.3"), QStringLiteral("3/3"), QStringLiteral("4.5"),
        QStringLiteral("FIM BIA"), QStringLiteral("1.00"),
        QStringLiteral("9.0"), QStringLiteral("03")};
    QStringList got = p.texts(0);
    // Masks print with the decimal comma; compare with '.' swapped for the check above.
    for (QString &s : got)
        s.replace(u',', u'.');
    QCOMPARE(got, expected);
    // Items print below one another, never on top of each other.
    const PageItem *a = findText(p, 0, QStringLiteral("ITEM 2.1"));
    const PageItem *b = findText(p, 0, QStringLiteral("ITEM 2.2"));
    QVERIFY(a && b && b->y >= a->y + 5 - 0.01);
}

void TestReport::wordWrapGrowsTheBand()
{
    Report r;
    const QString memo = QStringLiteral("Garantia de noventa dias para peças e serviços executados nesta oficina, "
                                        "contados da data de entrega do veículo ao cliente.\nVolte sempre!");
    r.title().setHeight(10).richText({0, 0, 60, 5}, memo);
    r.title().label({0, 5, 60, 5}, QStringLiteral("ABAIXO"));
    r.title().label({100, 0, 60, 5}, QStringLiteral("AO LADO"));
    r.summary().setHeight(5).label({0, 0, 60, 5}, QStringLiteral("RESUMO"));
    PreparedReport p = r.prepare();
    QStringList lines;
    double lastBottom = 0;
    for (const PageItem &it : p.pages[0].items)
        if (it.kind == PageItem::Text && it.text != QLatin1String("ABAIXO") && it.text != QLatin1String("AO LADO")
            && it.text != QLatin1String("RESUMO")) {
            lines << it.text;
            lastBottom = std::max(lastBottom, double(it.y + it.h));
        }
    QVERIFY2(lines.size() >= 3, qPrintable(lines.join(u'|')));
    QCOMPARE(lines.join(u' ').simplified(), QString(memo).replace(u'\n', u' ').simplified());
    QCOMPARE(lines.last(), QStringLiteral("Volte sempre!"));
    const PageItem *below = findText(p, 0, QStringLiteral("ABAIXO"));
    const PageItem *beside = findText(p, 0, QStringLiteral("AO LADO"));
    const PageItem *next = findText(p, 0, QStringLiteral("RESUMO"));
    QVERIFY(below && beside && next);
    QVERIFY2(below->y >= lastBottom - 0.01, "text under a growing element is pushed down");
    QCOMPARE(beside->y, float(r.page().contentRect().top()));       // beside it: not moved
    QVERIFY(next->y >= below->y + below->h - 0.01);                 // the band grew
    // HTML memos print as their text.
    Report h;
    h.title().richText({0, 0, 100, 5}, QStringLiteral("<p><b>Obrigado</b> pela <i>preferência</i></p>"));
    QCOMPARE(h.prepare().texts(0), QStringList{QStringLiteral("Obrigado pela preferência")});
    // Old RTF memos too.
    Report f;
    f.title().richText({0, 0, 150, 5}, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Servi\\'e7o "
                                                       "garantido\\par Volte\\b  sempre\\b0 !}"));
    QCOMPARE(f.prepare().texts(0), (QStringList{QStringLiteral("Serviço garantido"), QStringLiteral("Volte sempre!")}));
}

void TestReport::bandTallerThanAPageIsSplit()
{
    Report r;
    QStringList paragraphs;
    for (int i = 1; i <= 120; ++i)
        paragraphs << QStringLiteral("LINHA %1").arg(i);
    r.detail().richText({0, 0, 150, 5}, paragraphs.join(u'\n'));
    r.pageFooter().setHeight(5).pageNumber({0, 0, 50, 5}, QStringLiteral("%1/%2"));
    r.setRows(std::vector<QVariantMap>{{}});
    PreparedReport p = r.prepare();
    QVERIFY(p.pageCount() >= 2);
    QStringList all;
    for (int i = 0; i < p.pageCount(); ++i) {
        const QRectF c = r.page().contentRect();
        for (const PageItem &it : p.pages[size_t(i)].items) {
            if (it.text.startsWith(QLatin1String("LINHA"))) {
                all << it.text;
                QVERIFY(it.y + it.h <= c.bottom() - 5 + 0.01);
            }
        }
        QVERIFY(p.texts(i).contains(QStringLiteral("%1/%2").arg(i + 1).arg(p.pageCount())));
    }
    QCOMPARE(all, paragraphs);
}

void TestReport::pictures()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(png));
    const QString junk = dir.filePath(QStringLiteral("quebrada.jpg"));
    {
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("isto não é uma imagem");
    }
    const QString missing = dir.filePath(QStringLiteral("nao_existe.jpg"));

    Report r;
    Element &logo = r.title().picture({0, 0, 40, 40});
    QString error;
    QVERIFY(!logo.loadPicture(missing, &error));
    QCOMPARE(error, QStringLiteral("Arquivo não encontrado: %1").arg(missing));
    QVERIFY(!logo.loadPicture(junk, &error));
    QCOMPARE(error, QStringLiteral("Não foi possível carregar a imagem: %1").arg(junk));
    QVERIFY(logo.image().isNull());
    QVERIFY(logo.loadPicture(QString(), &error, png));            // empty path: the default picture
    QVERIFY(!logo.image().isNull());
    QVERIFY(logo.loadPicture(png, &error));

    // Per-row pictures: a missing file shows the default one.
    r.detail().setHeight(20).pictureField({0, 0, 20, 20}, QStringLiteral("foto"), png);
    r.setRows(std::vector<QVariantMap>{{{QStringLiteral("foto"), png}}, {{QStringLiteral("foto"), missing}},
                                       {{QStringLiteral("foto"), QString()}}});
    PreparedReport p = r.prepare();
    int images = 0;
    for (const PageItem &it : p.pages[0].items) {
        if (it.kind != PageItem::Image)
            continue;
        ++images;
        QVERIFY(it.image >= 0 && size_t(it.image) < p.images.size());
        // Aspect kept: 2:1 picture in a square box.
        QVERIFY(qAbs(it.w / it.h - 2.0) < 0.01);
    }
    QCOMPARE(images, 4);
    QCOMPARE(p.images.size(), size_t(2));    // the logo, and the file once for all rows
}

void TestReport::datesAndTimes()
{
    Report r;
    r.title().setHeight(5).systemDate({0, 0, 40, 5});
    r.title().systemTime({50, 0, 40, 5});
    r.title().systemDate({100, 0, 80, 5}, QStringLiteral("dd/mm/yyyy hh:nn"));
    const QDateTime before = QDateTime::currentDateTime();
    PreparedReport p = r.prepare();
    const QDateTime after = QDateTime::currentDateTime();
    const QStringList t = p.texts(0);
    QCOMPARE(t.size(), 3);
    QVERIFY(t[0] == before.toString(QStringLiteral("dd/MM/yyyy")) || t[0] == after.toString(QStringLiteral("dd/MM/yyyy")));
    const QTime printed = QTime::fromString(t[1], QStringLiteral("hh:mm:ss"));
    QVERIFY(printed.isValid());
    QVERIFY(qAbs(printed.secsTo(before.time())) <= 2);
    QVERIFY(QDateTime::fromString(t[2], QStringLiteral("dd/MM/yyyy hh:mm")).isValid());
}

void TestReport::emptyReportStillHasAPage()
{
    Report r;
    listing(r, 0);
    PreparedReport p = r.prepare();
    QCOMPARE(p.pageCount(), 1);
    QVERIFY(p.texts(0).contains(QStringLiteral("Página 1 de 1")));
    QVERIFY(p.texts(0).contains(QStringLiteral("0,00")));
    QVERIFY(p.csvRows.empty());
}

void TestReport::datasetRowsAndLinkedDetail()
{
    // Master cursor walked by the report; the detail cursor follows it the way
    // a linked table does (here: re-filtered on every master move).
    QTemporaryDir dir;
    brelvo::data::DatabasePtr db;
    try {
        db = brelvo::data::Database::open(dir.path(), true);
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
    MemoryDataset master(db, {QStringLiteral("Codigo"), QStringLiteral("Nome")},
                         {{1, QStringLiteral("ANA")}, {2, QStringLiteral("BIA")}, {3, QStringLiteral("CAIO")}});
    const QList<QVariantList> vehicles{{1, QStringLiteral("GOL")}, {1, QStringLiteral("UNO")}, {3, QStringLiteral("KA")}};
    master.open();
    Report r;
    r.detail().setHeight(5).field({0, 0, 50, 5}, QStringLiteral("nome"));
    SubDetail &sd = r.addSubDetail();
    sd.band.setHeight(5).field({10, 0, 50, 5}, QStringLiteral("MODELO"));
    sd.band.field({70, 0, 50, 5}, QStringLiteral("Nome"));         // not in the detail cursor: the master's
    sd.rows = [&](const RowContext &m) {
        std::vector<QVariantMap> rows;
        for (const QVariantList &v : vehicles)
            if (v[0] == m.value(QStringLiteral("Codigo")))
                rows.push_back({{QStringLiteral("Modelo"), v[1]}});
        return std::unique_ptr<RowSource>(new MapRows(std::move(rows)));
    };
    r.summary().setHeight(5).count({0, 0, 20, 5});
    r.summary().count({30, 0, 20, 5}).setSumOver(0);
    r.setRows(&master);
    PreparedReport p = r.prepare();
    QCOMPARE(p.texts(0), (QStringList{QStringLiteral("ANA"), QStringLiteral("GOL"), QStringLiteral("ANA"),
                                      QStringLiteral("UNO"), QStringLiteral("ANA"), QStringLiteral("BIA"),
                                      QStringLiteral("CAIO"), QStringLiteral("KA"), QStringLiteral("CAIO"),
                                      QStringLiteral("3"), QStringLiteral("3")}));
    QVERIFY(master.eof());

    // A detail Dataset given directly is walked from its first row for each master row.
    Report d;
    d.detail().setHeight(5).field({0, 0, 50, 5}, QStringLiteral("Nome"));
    MemoryDataset linked(db, {QStringLiteral("Modelo")}, {{QStringLiteral("X")}, {QStringLiteral("Y")}});
    linked.open();
    d.addSubDetail().dataset = &linked;
    d.addSubDetail();                      // a sub-detail without rows prints nothing
    d.subDetail(0).band.setHeight(5).field({10, 0, 50, 5}, QStringLiteral("Modelo"));
    d.setRows(&master);
    const QStringList t = d.prepare().texts(0);
    QCOMPARE(t.count(QStringLiteral("X")), 3);
    QCOMPARE(t.count(QStringLiteral("Y")), 3);
    QCOMPARE(t.first(), QStringLiteral("ANA"));
}

void TestReport::valuesStayInTheirColumns()
{
    // The customer list: a long address must not run into the district, a long
    // city not into the state, whatever the alignment.
    Report r;
    customerColumns(r, true);
    const QString address = QStringLiteral("RUA DOUTOR JOSÉ BONIFÁCIO DE ANDRADA E SILVA, 1234 - FUNDOS - APARTAMENTO 501");
    const QString city = QStringLiteral("SÃO JOSÉ DOS CAMPOS DO NORTE DE MINAS GERAIS");
    auto row = [](const QString &nome, const QString &endereco, const QString &cidade) {
        return QVariantMap{{"Nome", nome}, {"CIC", "123.456.789-00"}, {"RG", "MG-12.345.678"}, {"CEP", "12345-678"},
                           {"Endereco", endereco}, {"CARRO", "JARDIM DAS FLORES DO CAMPO BELO"},
                           {"Cidade", cidade}, {"UF", "MG"}};
    };
    r.setRows(std::vector<QVariantMap>{
        row(QStringLiteral("MARIA DA CONCEIÇÃO DOS SANTOS PEREIRA DE ALBUQUERQUE NETO"), address, city),
        row(QStringLiteral("ANA"), QStringLiteral("RUA A"), QStringLiteral("UBÁ"))});
    const PreparedReport p = r.prepare();
    std::map<float, std::vector<const PageItem *>> lines;
    for (const PageItem &it : p.pages[0].items)
        if (it.kind == PageItem::Text)
            lines[it.y].push_back(&it);
    QCOMPARE(int(lines.size()), 2);
    for (auto &[y, items] : lines) {
        QCOMPARE(int(items.size()), 8);
        std::sort(items.begin(), items.end(), [](auto *a, auto *b) { return a->x < b->x; });
        double previousRight = -1;
        for (const PageItem *it : items) {
            const double w = textWidthMm(p, *it);
            const double left = it->align == Align::Right ? it->x + it->w - w : it->x;
            QVERIFY2(left >= it->x - 0.01 && left + w <= it->x + it->w + 0.01,
                     qPrintable(QStringLiteral("%1 leaves its column").arg(it->text)));
            QVERIFY2(left >= previousRight - 0.01, qPrintable(QStringLiteral("%1 overlaps").arg(it->text)));
            previousRight = left + w;
        }
    }
    // Cut texts show it; short ones print whole; the spreadsheet keeps them whole.
    QStringList texts = p.texts(0);
    const auto cut = std::find_if(texts.begin(), texts.end(), [](auto &t) { return t.startsWith(QLatin1String("RUA DOUTOR")); });
    QVERIFY(cut != texts.end() && cut->endsWith(u'…') && cut->size() < address.size());
    QVERIFY(texts.contains(QStringLiteral("RUA A")) && texts.contains(QStringLiteral("UBÁ")));
    QCOMPARE(p.csvRows[0][4], address);
    QCOMPARE(p.csvRows[0][6], city);
    // Digits are never cut: the CPF fits its column by printing smaller.
    QVERIFY(texts.contains(QStringLiteral("123.456.789-00")));
}

void TestReport::numbersShrinkAndLabelsUseTheirRoom()
{
    Report r;
    const int normal = r.font(9);
    r.detail().setHeight(5).field({0, 0, 12, 5}, QStringLiteral("Valor"), QStringLiteral("R$ ###,##0.00"), normal)
        .setAlign(Align::Right);
    r.detail().field({12, 0, 60, 5}, QStringLiteral("Nome"), QString(), normal);
    // A caption with free room after it prints whole; one that would run into a value is cut.
    r.summary().setHeight(12).label({80, 0, 10, 5}, QStringLiteral("Total Registro Encontrados:"), normal);
    r.summary().label({0, 6, 10, 5}, QStringLiteral("Total Geral Acumulado:"), normal);
    r.summary().sum({12, 6, 30, 5}, QStringLiteral("Valor"), QStringLiteral("R$ ###,##0.00"), normal);
    r.setRows(std::vector<QVariantMap>{{{"Valor", 1234567.89}, {"Nome", "X"}}});
    const PreparedReport p = r.prepare();
    const PageItem *amount = findText(p, 0, QStringLiteral("R$ 1.234.567,89"));
    QVERIFY2(amount, qPrintable(p.pageText(0)));
    QVERIFY(p.fonts.at(amount->font).pointSizeF() < 9);
    QVERIFY(textWidthMm(p, *amount) <= 12.01);
    const PageItem *free = findText(p, 0, QStringLiteral("Total Registro Encontrados:"));
    QVERIFY(free);
    QCOMPARE(p.fonts.at(free->font).pointSizeF(), 9.0);
    bool cutCaption = false;
    for (const QString &t : p.texts(0))
        cutCaption |= t.startsWith(QLatin1String("Total")) && t.endsWith(u'…') && t.size() < 20;
    QVERIFY2(cutCaption, qPrintable(p.pageText(0)));
}

void TestReport::columnKinds_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("decimals");
    const auto K = [](CellKind k) { return int(k); };
    QTest::newRow("amount in R$") << QVariant(1234.56) << "R$ ###,##0.00" << K(CellKind::Money) << -1;
    QTest::newRow("amount, grouped, 2 decimals") << QVariant(1234.56) << "###,##0.00" << K(CellKind::Money) << -1;
    QTest::newRow("zero-padded code") << QVariant(123LL) << "0000000000000" << K(CellKind::Identifier) << -1;
    QTest::newRow("short code") << QVariant(7) << "000" << K(CellKind::Identifier) << -1;
    QTest::newRow("quantity") << QVariant(1.5) << "" << K(CellKind::Number) << -1;
    QTest::newRow("percent") << QVariant(2.5) << "0.00" << K(CellKind::Number) << 2;
    QTest::newRow("whole number") << QVariant(12) << "" << K(CellKind::Number) << -1;
    QTest::newRow("date") << QVariant(QDate(2024, 3, 15)) << "" << K(CellKind::Date) << -1;
    QTest::newRow("date with a time mask") << QVariant(QDate(2024, 3, 15)) << "dd/mm/yyyy hh:nn" << K(CellKind::DateTime) << -1;
    QTest::newRow("date and time") << QVariant(QDateTime(QDate(2024, 3, 15), QTime(8, 30))) << "" << K(CellKind::DateTime) << -1;
    QTest::newRow("date and time as date") << QVariant(QDateTime(QDate(2024, 3, 15), QTime(8, 30))) << "dd/mm/yyyy" << K(CellKind::Date) << -1;
    QTest::newRow("time") << QVariant(QTime(8, 30)) << "" << K(CellKind::Time) << -1;
    QTest::newRow("text") << QVariant(QStringLiteral("PARAFUSO")) << "" << K(CellKind::Text) << -1;
    QTest::newRow("digits as text") << QVariant(QStringLiteral("0000000000123")) << "" << K(CellKind::Text) << -1;
    QTest::newRow("text through an amount mask") << QVariant(QStringLiteral("12,5")) << "###,##0.00" << K(CellKind::Money) << -1;
    QTest::newRow("yes/no") << QVariant(true) << "" << K(CellKind::Text) << -1;
}

void TestReport::columnKinds()
{
    QFETCH(QVariant, value);
    QFETCH(QString, mask);
    QFETCH(int, kind);
    QFETCH(int, decimals);
    Report r;
    r.detail().setHeight(5).field({0, 0, 60, 5}, QStringLiteral("V"), mask);
    r.setRows(std::vector<QVariantMap>{{{"V", QVariant()}}, {{"V", value}}, {{"V", QStringLiteral("abc")}}});
    const PreparedReport p = r.prepare();
    QCOMPARE(p.columns.size(), size_t(1));
    // Decided once, from the first value there is; a later odd value does not change it.
    QCOMPARE(int(p.columns[0].kind), kind);
    QCOMPARE(p.columns[0].decimals, decimals);
    QCOMPARE(p.rowValues.size(), size_t(3));
    QCOMPARE(p.rowValues[1][0], value);
}

void TestReport::columnKindsFromTheCursorAndOverrides()
{
    using brelvo::data::FieldType;
    QTemporaryDir dir;
    auto db = brelvo::data::Database::open(dir.path(), true);
    MemoryDataset ds(db, {"Codigo", "Valor", "Qtd", "Data", "Descricao"},
                     {{123.0, 10.0, 1.5, QDate(2024, 3, 15), QStringLiteral("123")}});
    ds.types = {{"Codigo", FieldType::Number}, {"Valor", FieldType::Money}, {"Qtd", FieldType::Number},
                {"Data", FieldType::Date}};
    ds.open();
    Report r;
    Band &d = r.detail().setHeight(5);
    d.field({0, 0, 30, 5}, QStringLiteral("Codigo"), QStringLiteral("0000000000000"));
    d.field({30, 0, 20, 5}, QStringLiteral("Valor"));            // money by its type, with no mask
    d.field({50, 0, 20, 5}, QStringLiteral("Qtd"));
    d.field({70, 0, 20, 5}, QStringLiteral("Data"));
    d.field({90, 0, 20, 5}, QStringLiteral("Descricao"));
    // Where the mask cannot tell: a text of amounts, a number that is a code.
    d.expression({110, 0, 20, 5}, [](const RowContext &) { return QVariant(QStringLiteral("1.234,56")); })
        .setCellKind(CellKind::Money);
    d.expression({130, 0, 30, 5}, [](const RowContext &) { return QVariant(7891000315507.0); })
        .setCellKind(CellKind::Identifier);
    d.field({160, 0, 20, 5}, QStringLiteral("Qtd"), QStringLiteral("0.000")).setCellKind(CellKind::Number);
    r.setRows(&ds);
    const PreparedReport p = r.prepare();
    std::vector<CellKind> kinds;
    for (const SheetColumn &c : p.columns)
        kinds.push_back(c.kind);
    QCOMPARE(kinds, (std::vector<CellKind>{CellKind::Identifier, CellKind::Money, CellKind::Number, CellKind::Date,
                                           CellKind::Text, CellKind::Money, CellKind::Identifier, CellKind::Number}));
    QCOMPARE(p.columns[7].decimals, 3);
    QCOMPARE(p.csvRows[0][0], QStringLiteral("0000000000123"));
    QCOMPARE(p.csvRows[0][3], QStringLiteral("15/03/2024"));
}

void TestReport::sheetCaptionsHeadingAndTotals()
{
    auto stockListing = [](Report &r) {
        const int bold = r.font(9, true);
        r.title().setHeight(16).label({0, 0, 190, 8}, QStringLiteral("Relatório Estoque"), bold, Align::Center);
        r.title().label({0, 9, 100, 5}, QStringLiteral("Período de: 01/03/2024 a 31/03/2024"));
        Band &cols = r.columnHeader().setHeight(7);
        cols.label({0, 1, 32, 5}, QStringLiteral("Codigo"), bold);
        cols.label({34, 1, 76, 5}, QStringLiteral("Descrição"), bold);
        cols.label({170, 1, 20, 5}, QStringLiteral("Valor Un."), bold, Align::Right);
        Band &d = r.detail().setHeight(5);
        d.field({0, 0, 32, 5}, QStringLiteral("Codigo"), QStringLiteral("0000000000000"));
        d.field({34, 0, 76, 5}, QStringLiteral("Descricao"));
        d.field({112, 0, 20, 5}, QStringLiteral("Qtd"));
        d.field({170, 0, 20, 5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
        Band &sum = r.summary().setHeight(16);
        sum.label({0, 3, 50, 5}, QStringLiteral("Total Registro Encontrados:"), bold);
        sum.count({52, 3, 20, 5});
        sum.label({115, 3, 25, 5}, QStringLiteral("Total Geral:"), bold);
        sum.sum({140, 3, 50, 5}, QStringLiteral("Valor"), QStringLiteral("R$ #####0.00"), bold).setAlign(Align::Right);
        sum.label({0, 10, 20, 5}, QStringLiteral("Fim"));
        r.setRows(std::vector<QVariantMap>{{{"Codigo", 123LL}, {"Descricao", "PARAFUSO"}, {"Qtd", 2.0}, {"Valor", 10.0}},
                                           {{"Codigo", 45LL}, {"Descricao", "PORCA"}, {"Qtd", 1.5}, {"Valor", 20.5}}});
    };
    Report r(QStringLiteral("Relatório Estoque"));
    stockListing(r);
    PreparedReport p = r.prepare();
    // Captions from the header above each column, else the field's name.
    QCOMPARE(p.csvHeader, (QStringList{"Codigo", "Descrição", "Qtd", "Valor Un."}));
    QCOMPARE(p.sheetHeading, QStringList{QStringLiteral("Período de: 01/03/2024 a 31/03/2024")});
    // The summary's values stand under the columns they are printed beneath.
    QCOMPARE(p.totals.size(), size_t(2));
    const std::vector<SheetCell> &line = p.totals[0];
    QCOMPARE(line.size(), size_t(4));
    QCOMPARE(line[0].column, 0);
    QCOMPARE(line[0].text, QStringLiteral("Total Registro Encontrados:"));
    QCOMPARE(line[1].column, 1);
    QCOMPARE(int(line[1].kind), int(CellKind::Number));
    QCOMPARE(line[1].value.toInt(), 2);
    QCOMPARE(line[2].column, 2);
    QCOMPARE(line[2].text, QStringLiteral("Total Geral:"));
    QCOMPARE(line[3].column, 3);
    QCOMPARE(int(line[3].kind), int(CellKind::Money));
    QCOMPARE(line[3].value.toDouble(), 30.5);
    QCOMPARE(p.totals[1].size(), size_t(1));
    QCOMPARE(p.totals[1][0].text, QStringLiteral("Fim"));

    Report withPeriod(QStringLiteral("Relatório Estoque"));
    stockListing(withPeriod);
    withPeriod.setPeriod(QDate(2024, 3, 1), QDate(2024, 3, 31));
    QCOMPARE(withPeriod.prepare().sheetHeading, QStringList{QStringLiteral("Período: 01/03/2024 a 31/03/2024")});

    // A block per row with its captions beside the values: the captions name the columns.
    Report block(QStringLiteral("Fornecedor"));
    Band &d = block.detail().setHeight(12);
    d.field({18, 6, 50, 5}, QStringLiteral("Telefone"));
    d.label({0, 6, 18, 5}, QStringLiteral("Telefone:"));
    d.label({0, 0, 14, 5}, QStringLiteral("Nome:"));
    d.field({14, 0, 110, 5}, QStringLiteral("Nome"));
    d.field({130, 0.5, 40, 5}, QStringLiteral("Contato"));
    block.setRows(std::vector<QVariantMap>{{{"Nome", "AUTO PEÇAS"}, {"Telefone", "(11) 5555-1234"}, {"Contato", "JOÃO"}}});
    p = block.prepare();
    QCOMPARE(p.csvHeader, (QStringList{"Nome", "Contato", "Telefone"}));
    QCOMPARE(p.csvRows[0], (QStringList{"AUTO PEÇAS", "JOÃO", "(11) 5555-1234"}));
}

QTEST_MAIN(TestReport)
#include "test_report.moc"
