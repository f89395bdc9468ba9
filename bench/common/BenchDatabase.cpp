#include "BenchDatabase.h"

#include "GenData.h"

#include <QDir>
#include <QTextStream>

namespace brelvo::bench {

QString benchLocation(std::initializer_list<const char *> variables, const QString &fallback)
{
    for (const char *name : variables) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return fallback;
}

data::DatabasePtr openGenerated(const QString &location)
{
    if (data::Database::isServer(location)) {
        if (!data::Database::exists(location))
            throw data::DbError(data::DbError::Kind::NotOpen,
                                QStringLiteral("Nenhum banco de dados em %1: copie o banco gerado com "
                                               "brelvo-pgcopy --de PASTA --para %1")
                                    .arg(location));
        return data::Database::open(location);
    }
    QDir().mkpath(location);
    if (!data::Database::exists(location)) {
        QTextStream(stderr) << "gerando base em " << location << "...\n";
        const auto r = gendata::generate(location, gendata::Options{},
                                         [](const QString &line) { QTextStream(stderr) << line << '\n'; });
        QTextStream(stderr) << r.rows << " linhas em " << r.elapsedMs << " ms\n";
    }
    return data::Database::open(location);
}

} // namespace brelvo::bench
