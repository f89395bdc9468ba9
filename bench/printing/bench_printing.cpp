// Prepares and paints to PDF a listing of 100 000 detail lines; prints wall
// times and the peak resident size. Usage: bench_printing [lines] [out.pdf]

#include "printing/Report.h"
#include "printing/ReportPainter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <sys/resource.h>

using namespace brelvo::printing;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString pdf = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::temp().filePath(QStringLiteral("bench_printing.pdf"));

    QElapsedTimer clock;
    clock.start();
    Report r(QStringLiteral("Lista de Preços"));
    const int bold = r.font(10, true);
    r.title().setHeight(12).label({0, 0, 190, 8}, QStringLiteral("Lista de Preços"), r.font(14, true), Align::Center);
    r.title().systemDate({150, 8, 40, 4});
    r.columnHeader().setHeight(6).label({0, 0, 30, 5}, QStringLiteral("Codigo Barra"), bold);
    r.columnHeader().label({32, 0, 100, 5}, QStringLiteral("Descrição Produto"), bold);
    r.columnHeader().label({134, 0, 20, 5}, QStringLiteral("Unidade Medida"), bold);
    r.columnHeader().label({160, 0, 30, 5}, QStringLiteral("Preço Venda"), bold, Align::Right);
    r.columnHeader().line({0, 5.5}, {190, 5.5});
    Band &d = r.detail().setHeight(4.5);
    d.field({0, 0, 30, 4.5}, QStringLiteral("Codigo"), QStringLiteral("0000000000000"));
    d.field({32, 0, 100, 4.5}, QStringLiteral("Descricao"));
    d.field({134, 0, 20, 4.5}, QStringLiteral("Unidade"));
    d.field({160, 0, 30, 4.5}, QStringLiteral("Valor"), QStringLiteral("###,##0.00")).setAlign(Align::Right);
    r.summary().setHeight(8).label({100, 1, 50, 5}, QStringLiteral("Total Registro Encontrados:"), bold);
    r.summary().count({160, 1, 30, 5}).setAlign(Align::Right);
    r.pageFooter().setHeight(6).pageNumber({140, 1, 50, 5}).setAlign(Align::Right);
    static const char *units[] = {"UN", "PC", "LT", "KG", "CX"};
    r.setRows([lines](int i, QVariantMap &row) {
        if (i >= lines)
            return false;
        row.insert(QStringLiteral("Codigo"), 7890000000000LL + i);
        row.insert(QStringLiteral("Descricao"), QStringLiteral("PRODUTO DE TESTE NÚMERO %1 - ÓLEO 5W30").arg(i + 1));
        row.insert(QStringLiteral("Unidade"), QString::fromLatin1(units[i % 5]));
        row.insert(QStringLiteral("Valor"), (i % 1000) * 1.37 + 0.5);
        return true;
    });
    PreparedReport p = r.prepare();
    const qint64 prepared = clock.elapsed();
    rusage mid {};
    getrusage(RUSAGE_SELF, &mid);
    const double cpuPrepared = mid.ru_utime.tv_sec + mid.ru_stime.tv_sec
                               + (mid.ru_utime.tv_usec + mid.ru_stime.tv_usec) / 1e6;
    QString error;
    if (!writePdf(p, pdf, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const qint64 total = clock.elapsed();
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    const double cpu = ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    std::printf("lines %d pages %d prepare %.2f s (cpu %.2f s) paint+pdf %.2f s total %.2f s (cpu %.2f s) "
                "peak RSS %.1f MB pdf %.1f MB\n",
                lines, p.pageCount(), prepared / 1000.0, cpuPrepared, (total - prepared) / 1000.0, total / 1000.0,
                cpu, ru.ru_maxrss / 1024.0, QFileInfo(pdf).size() / 1048576.0);
    return total < 10000 && ru.ru_maxrss < 300 * 1024 ? 0 : 2;
}
