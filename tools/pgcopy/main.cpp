// brelvo-pgcopy: copies the SQLite database of a folder into a new, empty
// PostgreSQL database and checks the copy table by table. The folder is only
// read. Exit status 0 when the copy checks out.
//
//   brelvo-pgcopy --de /srv/brelvo/dados --para postgresql://brelvo@servidor:5432/brelvo

#include "data/Database.h"
#include "data/DatabaseCopy.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brelvo-pgcopy"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Copia o banco de dados de uma pasta (SQLite) para um banco PostgreSQL novo e confere a cópia."));
    parser.addHelpOption();
    const QCommandLineOption from(QStringLiteral("de"), QStringLiteral("Pasta do banco de origem."), QStringLiteral("PASTA"));
    const QCommandLineOption to(QStringLiteral("para"),
                                QStringLiteral("Endereço do banco de destino (postgresql://usuario@servidor:porta/banco)."),
                                QStringLiteral("URI"));
    const QCommandLineOption checkOnly(QStringLiteral("conferir"), QStringLiteral("Só confere uma cópia já feita."));
    parser.addOption(from);
    parser.addOption(to);
    parser.addOption(checkOnly);
    parser.process(app);

    QTextStream out(stdout), err(stderr);
    if (!parser.isSet(from) || !parser.isSet(to) || !brelvo::data::Database::isServer(parser.value(to))) {
        err << "brelvo-pgcopy: informe --de PASTA e --para postgresql://usuario@servidor:porta/banco\n";
        return 2;
    }
    // The folder is the SQLite file itself, whatever server the environment names.
    qunsetenv(brelvo::data::Database::kFolderServerVariable);
    try {
        using brelvo::data::Database;
        if (!Database::exists(parser.value(from))) {
            err << "Banco de dados não encontrado em " << parser.value(from) << "\n";
            return 1;
        }
        brelvo::data::keepSourcesUntouched();
        auto source = Database::open(parser.value(from), false);
        QElapsedTimer timer;
        timer.start();
        brelvo::data::CopyReport report;
        if (parser.isSet(checkOnly)) {
            auto target = Database::open(parser.value(to), false);
            report = brelvo::data::compareDatabases(*source, *target);
        } else {
            auto target = Database::open(parser.value(to), true);
            report = brelvo::data::copyDatabase(*source, *target, [&out](const QString &table, qint64 rows) {
                if (rows < 0)
                    out << "  " << table << " copiada\n";
                else
                    out << "  " << table << ": " << rows << " registros...\n";
                out.flush();
            });
        }
        for (const QString &line : report.lines())
            out << line << "\n";
        out << QStringLiteral("Tempo: %1 s\n").arg(timer.elapsed() / 1000.0, 0, 'f', 1);
        return report.ok() ? 0 : 1;
    } catch (const brelvo::data::DbError &e) {
        err << e.message() << "\n";
        return 1;
    }
}
