// Receipt and promissory-note texts and layouts, read from the prepared pages.
#include "core/AppPaths.h"
#include "documents/DocumentPrintouts.h"

#include <QtTest>
#include <QTemporaryDir>

using namespace brelvo;
using namespace brelvo::documents;
using printing::PageItem;
using printing::PreparedReport;

namespace {

ReciboTextos reciboExemplo()
{
    ReciboTextos r;
    r.codigo = QStringLiteral("000007");
    r.valor = QStringLiteral("1.555,23");
    r.recebiDe = QStringLiteral("MARIA D'ÁVILA");
    r.cpfPagador = QStringLiteral("123.456.789-09");
    r.endereco = QStringLiteral("RUA DAS FLORES, 10");
    r.importancia = QStringLiteral("Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos.");
    r.referente = QStringLiteral("CONSERTO DO FREIO");
    r.cidade = QStringLiteral("CAMPINAS");
    r.uf = QStringLiteral("SP");
    r.diaMes = QStringLiteral("07 de janeiro de 2009");
    r.emitente = QStringLiteral("AUTO PEÇAS BRELVO");
    r.cpfEmitente = QStringLiteral("12.345.678/0001-90");
    r.rgEmitente = QStringLiteral("111.222.333.444");
    r.enderecoEmitente = QStringLiteral("AV. BRASIL, 500");
    r.observacao = QStringLiteral("PAGO EM DINHEIRO");
    return r;
}

NotaTextos notaExemplo()
{
    NotaTextos n;
    n.codigo = QStringLiteral("000001");
    n.valor = QStringLiteral("300,00");
    n.ou = QStringLiteral("Trezentos Reais.");
    n.pagarei = QStringLiteral("AUTO PEÇAS BRELVO");
    n.aos = QStringLiteral("CINCO DE MARÇO");
    n.dia = QStringLiteral("05");
    n.mes = QStringLiteral("Março");
    n.ano = QStringLiteral("2025");
    n.cidade = QStringLiteral("CAMPINAS");
    n.uf = QStringLiteral("SP");
    n.dataExtenso = QStringLiteral("07 de janeiro de 2025");
    n.emitente = QStringLiteral("JOÃO DA SILVA");
    n.cpfEmitente = QStringLiteral("987.654.321-00");
    n.enderecoEmitente = QStringLiteral("RUA B, 2");
    n.msg = QStringLiteral("PARCELA 1/3");
    return n;
}

const QDateTime kAgora(QDate(2024, 3, 9), QTime(14, 5, 7));

std::vector<const PageItem *> textosIguais(const PreparedReport &p, const QString &texto)
{
    std::vector<const PageItem *> out;
    for (const PageItem &it : p.pages.at(0).items)
        if (it.kind == PageItem::Text && it.text == texto)
            out.push_back(&it);
    return out;
}

int contar(const PreparedReport &p, PageItem::Kind kind)
{
    int n = 0;
    for (const PageItem &it : p.pages.at(0).items)
        n += it.kind == kind;
    return n;
}

QImage imagemDoArquivo(const QString &path)
{
    QImage img(path);
    return img.convertToFormat(QImage::Format_ARGB32);
}

bool temImagem(const PreparedReport &p, const QImage &procurada)
{
    for (const PageItem &it : p.pages.at(0).items)
        if (it.kind == PageItem::Image && p.images.at(size_t(it.image)).convertToFormat(QImage::Format_ARGB32) == procurada)
            return true;
    return false;
}

} // namespace

class TestPrintouts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The shipped pictures lie beside the test executable.
        QVERIFY(QFileInfo::exists(arquivoMolduraRecibo()));
        QVERIFY(QFileInfo::exists(arquivoFundoNota()));
        QVERIFY(QFileInfo::exists(arquivoLogoPadrao()));
    }

    // ---------------------------------------------------------------- texts
    void dateInWords()
    {
        QCOMPARE(dataPorExtenso(QDate(2009, 1, 7)), QStringLiteral("07 de janeiro de 2009"));
        QCOMPARE(dataPorExtenso(QDate(2024, 3, 31)), QStringLiteral("31 de março de 2024"));
        QCOMPARE(dataPorExtenso(QDate()), QString());
    }

    void readValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "1555,23" << true << 1555.23;
        QTest::newRow("thousands dot") << "1.555,23" << true << 1555.23;
        QTest::newRow("millions") << "1.000.000,00" << true << 1000000.0;
        QTest::newRow("currency sign") << "R$ 1.555,23" << true << 1555.23;
        QTest::newRow("blanks") << "  12,5 " << true << 12.5;
        QTest::newRow("zero") << "0" << true << 0.0;
        QTest::newRow("whole") << "300" << true << 300.0;
        QTest::newRow("negative") << "-5" << true << -5.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("two commas") << "1,555,23" << false << 0.0;
        QTest::newRow("broken group") << "1.55,23" << false << 0.0;
        QTest::newRow("trailing letter") << "12a" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void readValue()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(double, value);
        QString erro = QStringLiteral("x");
        const auto v = lerValor(typed, &erro);
        QCOMPARE(v.has_value(), ok);
        if (ok) {
            QCOMPARE(*v, value);
            QVERIFY(erro.isEmpty());
        } else {
            QVERIFY(erro.contains(QStringLiteral("não é um valor válido")));
        }
    }

    void formatValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1555,23") << 1555.23 << "1.555,23";
        QTest::newRow("0") << 0.0 << "0,00";
        QTest::newRow("0,5") << 0.5 << "0,50";
        QTest::newRow("999999,99") << 999999.99 << "999.999,99";
        QTest::newRow("1000000") << 1000000.0 << "1.000.000,00";
        QTest::newRow("-5") << -5.0 << "-5,00";
    }
    void formatValue()
    {
        QFETCH(double, value);
        QFETCH(QString, shown);
        QCOMPARE(formatarValor(value), shown);
        // What the box shows reads back as the same amount.
        QCOMPARE(lerValor(shown).value_or(-12345), value);
    }

    void numbers()
    {
        QCOMPARE(numeroDocumento(1), QStringLiteral("000001"));
        QCOMPARE(numeroDocumento(123456), QStringLiteral("123456"));
        QCOMPARE(numeroDocumento(1234567), QStringLiteral("1234567"));
    }

    void receiptTexts()
    {
        const ReciboTextos r = reciboExemplo();
        QCOMPARE(reciboNumero(r), QStringLiteral("Nº 000007"));
        QCOMPARE(reciboValor(r), QStringLiteral("***1.555,23***"));
        QCOMPARE(reciboDeclaracao(r),
                 QStringLiteral("Recebi(emos) de: MARIA D'ÁVILA - CPF/CNPJ n° 123.456.789-09, A importância supra de: "
                                "***Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e Três Centavos.*** - "
                                "Referente a: CONSERTO DO FREIO."));
        QCOMPARE(reciboLinhaImportancia(r),
                 QStringLiteral("A importância supra de: ***Um Mil, e Quinhentos e Cinqüenta e Cinco Reais, e Vinte e "
                                "Três Centavos.*** "));
        QCOMPARE(reciboLocalEData(r), QStringLiteral("CAMPINAS - SP, 07 de janeiro de 2009"));
    }

    void noteTexts()
    {
        const NotaTextos n = notaExemplo();
        QCOMPARE(notaNumero(n), QStringLiteral("Nº 000001"));
        QCOMPARE(notaValor(n), QStringLiteral("***300,00***"));
        QCOMPARE(notaLinhaQuantia(n),
                 QStringLiteral("Ou a sua Ordem a quantia de ***** Trezentos Reais. *****  Em moeda corrente deste País "));
        QCOMPARE(notaLinhaVencimento(n), QStringLiteral("Vencimento, 05 de Março de 2025"));
        QCOMPARE(notaLocalEData(n), QStringLiteral("CAMPINAS - SP, 07 de janeiro de 2025"));
        QCOMPARE(notaPagavelEm(n), QStringLiteral("CAMPINAS - SP"));
    }

    // ---------------------------------------------------------------- receipt layouts
    // Two copies on one page, split by the line at 140 mm; only the first
    // carries the printing date and time.
    void personalisedTwoCopies()
    {
        QString erro;
        const auto p = prepararRecibo(reciboExemplo(), ModeloRecibo::Personalizado, QString(), &erro, kAgora);
        QVERIFY2(p, qPrintable(erro));
        QCOMPARE(p->pageCount(), 1);
        QCOMPARE(contar(*p, PageItem::Image), 0);
        const double corte = 10 + 140;      // margin + line position
        const auto carimbos = textosIguais(*p, QStringLiteral("09/03/2024 14:05:07"));
        QCOMPARE(carimbos.size(), size_t(1));
        QVERIFY(carimbos[0]->y < corte);
        for (const QString &t : {QStringLiteral("Nº 000007"), QStringLiteral("RECIBO"), QStringLiteral("***1.555,23***"),
                                 QStringLiteral("CAMPINAS - SP, 07 de janeiro de 2009"),
                                 QStringLiteral("AUTO PEÇAS BRELVO"), QStringLiteral("RG/IE Nº 111.222.333.444"),
                                 QStringLiteral("CPF/CNPJ Nº 12.345.678/0001-90")}) {
            const auto v = textosIguais(*p, t);
            QVERIFY2(v.size() == 2, qPrintable(t));
            QVERIFY2(v[0]->y < corte && v[1]->y > corte, qPrintable(t));
        }
        // Where the paragraph wraps depends on the fonts installed.
        const QString pagina = p->pageText(0).simplified();
        QCOMPARE(pagina.count(QStringLiteral("CONSERTO DO FREIO")), 2);
        QCOMPARE(pagina.count(QStringLiteral("irrevogável")), 2);
        // The separating line across the page.
        bool linha = false;
        for (const PageItem &it : p->pages[0].items)
            linha |= it.kind == PageItem::Line && qAbs(it.y - corte) < 0.5 && it.w > 180 && qAbs(it.h) < 0.01;
        QVERIFY(linha);
    }

    // Long texts wrap, and the second copy moves down as a whole instead of
    // printing over the first or spilling onto a second page.
    void personalisedLongTextsStayApart()
    {
        ReciboTextos r = reciboExemplo();
        r.referente = QString(200, QLatin1Char('X')).replace(QRegularExpression(QStringLiteral("X{9}")), QStringLiteral("SERVICOS "));
        r.recebiDe = QStringLiteral("FULANO DE TAL ").repeated(15).trimmed();
        QString erro;
        const auto p = prepararRecibo(r, ModeloRecibo::Personalizado, QString(), &erro, kAgora);
        QVERIFY2(p, qPrintable(erro));
        QCOMPARE(p->pageCount(), 1);
        const auto numeros = textosIguais(*p, QStringLiteral("Nº 000007"));
        QCOMPARE(numeros.size(), size_t(2));
        double fimPrimeira = 0;
        for (const PageItem &it : p->pages[0].items)
            if (it.kind == PageItem::Text && it.y < numeros[1]->y)
                fimPrimeira = std::max(fimPrimeira, double(it.y + it.h));
        QVERIFY(fimPrimeira <= numeros[1]->y + 0.01);
        for (const PageItem &it : p->pages[0].items)
            QVERIFY2(it.y + it.h <= 297 - 10 + 0.01, qPrintable(it.text));
    }

    void standardOneCopy_data()
    {
        QTest::addColumn<int>("modelo");
        QTest::addColumn<int>("copias");
        QTest::newRow("1 via") << int(ModeloRecibo::Padrao1Via) << 1;
        QTest::newRow("2 vias") << int(ModeloRecibo::Padrao2Vias) << 2;
    }
    // Frame and logo in every copy; with no logo set, the default picture.
    // The printing stamp at the top of the first copy and at the foot.
    void standardOneCopy()
    {
        QFETCH(int, modelo);
        QFETCH(int, copias);
        QString erro;
        const auto p = prepararRecibo(reciboExemplo(), ModeloRecibo(modelo), QString(), &erro, kAgora);
        QVERIFY2(p, qPrintable(erro));
        QCOMPARE(p->pageCount(), 1);
        QCOMPARE(contar(*p, PageItem::Image), 2 * copias);
        QVERIFY(temImagem(*p, imagemDoArquivo(arquivoLogoPadrao())));
        QVERIFY(temImagem(*p, imagemDoArquivo(arquivoMolduraRecibo())));
        const auto carimbos = textosIguais(*p, QStringLiteral("09/03/2024 14:05:07"));
        QCOMPARE(carimbos.size(), size_t(2));
        QVERIFY(carimbos[0]->y < 40);
        QVERIFY(carimbos[1]->y > 280);
        QCOMPARE(textosIguais(*p, QStringLiteral("Nº 000007")).size(), size_t(copias));
        QCOMPARE(textosIguais(*p, QStringLiteral("MARIA D'ÁVILA")).size(), size_t(copias));
        QCOMPARE(textosIguais(*p, QStringLiteral("PAGO EM DINHEIRO")).size(), size_t(copias));
        QCOMPARE(textosIguais(*p, reciboLinhaImportancia(reciboExemplo())).size(), size_t(copias));
        if (copias == 2) {
            // The second copy 135 mm below the first.
            const auto payer = textosIguais(*p, QStringLiteral("MARIA D'ÁVILA"));
            QVERIFY(qAbs(payer[1]->y - payer[0]->y - 135) < 0.01);
        }
        for (const PageItem &it : p->pages[0].items)
            QVERIFY2(it.y + it.h <= 297 - 5 + 0.01, qPrintable(it.text));
    }

    void standardWithOwnLogo()
    {
        QTemporaryDir dir;
        QImage logo(64, 40, QImage::Format_ARGB32);
        logo.fill(Qt::red);
        const QString path = dir.filePath(QStringLiteral("minha logo.png"));
        QVERIFY(logo.save(path));
        QString erro;
        const auto p = prepararRecibo(reciboExemplo(), ModeloRecibo::Padrao2Vias, path, &erro, kAgora);
        QVERIFY2(p, qPrintable(erro));
        QVERIFY(temImagem(*p, logo));
        QVERIFY(!temImagem(*p, imagemDoArquivo(arquivoLogoPadrao())));
    }

    // A logo that cannot be read: a message and no pages.
    void unreadableLogo()
    {
        QTemporaryDir dir;
        const QString falsa = dir.filePath(QStringLiteral("logo.png"));
        QFile f(falsa);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("isto não é uma imagem");
        f.close();
        QString erro;
        QVERIFY(!prepararRecibo(reciboExemplo(), ModeloRecibo::Padrao1Via, falsa, &erro, kAgora));
        QCOMPARE(erro, QStringLiteral("Não foi possível carregar a imagem: ") + falsa);
        QVERIFY(!prepararRecibo(reciboExemplo(), ModeloRecibo::Padrao1Via, dir.filePath("nao_existe.png"), &erro, kAgora));
        QVERIFY(erro.startsWith(QStringLiteral("Arquivo não encontrado: ")));
        // The personalised layout prints no picture and does not care.
        QVERIFY(prepararRecibo(reciboExemplo(), ModeloRecibo::Personalizado, falsa, &erro, kAgora));
    }

    // ---------------------------------------------------------------- note layout
    void noteLayout()
    {
        QString erro;
        const auto p = prepararNota(notaExemplo(), &erro);
        QVERIFY2(p, qPrintable(erro));
        QCOMPARE(p->pageCount(), 1);
        QVERIFY(temImagem(*p, imagemDoArquivo(arquivoFundoNota())));
        const auto venc = textosIguais(*p, QStringLiteral("Vencimento, 05 de Março de 2025"));
        QCOMPARE(venc.size(), size_t(1));
        // Below the 13.5 mm title band, at the top of the framed band.
        QVERIFY(qAbs(venc[0]->y - (10 + 13.5 + 8.5)) < 0.01);
        const QString pagina = p->pageText(0);
        for (const QString &t : {QStringLiteral("NOTA PROMISSÓRIA"), QStringLiteral("Nº 000001"),
                                 QStringLiteral("***300,00***"), QStringLiteral("CINCO DE MARÇO"),
                                 QStringLiteral("AUTO PEÇAS BRELVO"), QStringLiteral("JOÃO DA SILVA"),
                                 QStringLiteral("987.654.321-00"), QStringLiteral("CAMPINAS - SP, 07 de janeiro de 2025"),
                                 QStringLiteral("CAMPINAS - SP"), QStringLiteral("PARCELA 1/3"),
                                 QStringLiteral("assinatura"), QStringLiteral("Trezentos Reais.")})
            QVERIFY2(pagina.contains(t), qPrintable(t));
        // The frame around the band.
        bool moldura = false;
        for (const PageItem &it : p->pages[0].items)
            moldura |= it.kind == PageItem::Frame && qAbs(it.h - 99.5) < 0.01;
        QVERIFY(moldura);
    }

    // Without its background picture the note is not printed.
    void noteWithoutBackground()
    {
        QTemporaryDir dir;
        core::setProgramFolder(dir.path());
        QString erro;
        QVERIFY(!prepararNota(notaExemplo(), &erro));
        QVERIFY(erro.contains(QStringLiteral("np_fundo.png")));
        core::setProgramFolder(QString());
    }
};

QTEST_MAIN(TestPrintouts)
#include "test_printouts.moc"
