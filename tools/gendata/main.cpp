// gendata: provisions a database in a folder and fills it with test data.

#include "GenData.h"

#include "data/Database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gendata"));

    brelvo::gendata::Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Cria um banco de dados de teste com dados realistas."));
    parser.addHelpOption();
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Pasta do banco (obrigatória)."), QStringLiteral("DIR"));
    parser.addOption(folder);

    struct Count { const char *name; int *target; };
    const Count counts[] = {
        {"customers", &o.customers}, {"vehicles", &o.vehicles}, {"products", &o.products},
        {"replenishments", &o.replenishments}, {"sales", &o.sales}, {"sale-items", &o.saleItems},
        {"orders", &o.orders}, {"order-items", &o.orderItems}, {"receivables", &o.receivables},
        {"payables", &o.payables}, {"years", &o.years},
    };
    std::vector<QCommandLineOption> countOptions;
    for (const Count &c : counts) {
        countOptions.emplace_back(QString::fromLatin1(c.name),
                                  QStringLiteral("Quantidade (padrão %1).").arg(*c.target), QStringLiteral("N"));
        parser.addOption(countOptions.back());
    }
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Semente do gerador."), QStringLiteral("S"));
    parser.addOption(seed);
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.isSet(folder)) {
        err << "gendata: informe --folder DIR\n";
        return 2;
    }
    for (size_t i = 0; i < countOptions.size(); ++i) {
        if (!parser.isSet(countOptions[i]))
            continue;
        bool ok = false;
        const int v = parser.value(countOptions[i]).toInt(&ok);
        if (!ok || v < 0) {
            err << "gendata: valor inválido para --" << counts[i].name << "\n";
            return 2;
        }
        *counts[i].target = v;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        o.seed = parser.value(seed).toULongLong(&ok);
        if (!ok) {
            err << "gendata: semente inválida\n";
            return 2;
        }
    }

    QTextStream out(stdout);
    try {
        const auto r = brelvo::gendata::generate(parser.value(folder), o, [&out](const QString &line) {
            out << line << Qt::endl;
        });
        out << "Concluído: " << r.rows << " linhas em " << QString::number(r.elapsedMs / 1000.0, 'f', 1)
            << " s (itens órfãos: " << r.orphanSaleItems << " de vendas, " << r.orphanOrderItems
            << " de ordens)" << Qt::endl;
    } catch (const brelvo::data::DbError &e) {
        err << "gendata: " << e.message() << "\n";
        return 1;
    } catch (const std::exception &e) {
        err << "gendata: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
