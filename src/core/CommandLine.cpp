#include "core/CommandLine.h"

#include <cstdio>
#include <cstring>

#ifndef BRELVO_VERSION_STRING
#define BRELVO_VERSION_STRING "0.0.0"
#endif

namespace brelvo::core {

QString versionString() { return QStringLiteral(BRELVO_VERSION_STRING); }

QString helpText(const ProgramInfo &info)
{
    QString t = QStringLiteral("Uso: %1 [opção]\n%2\n\n").arg(info.name, info.summary);
    t += QStringLiteral("Opções:\n"
                        "  -h, --help     mostra esta ajuda e sai\n"
                        "  -v, --version  mostra a versão e sai\n");
    if (!info.details.isEmpty())
        t += QLatin1Char('\n') + info.details.trimmed() + QLatin1Char('\n');
    return t;
}

QString versionText(const ProgramInfo &info)
{
    return QStringLiteral("%1 versão %2\n").arg(info.name, versionString());
}

std::optional<int> answerCommandLine(int argc, char **argv, const ProgramInfo &info)
{
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        QString out;
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h"))
            out = helpText(info);
        else if (!std::strcmp(a, "--version") || !std::strcmp(a, "-v"))
            out = versionText(info);
        else
            continue;
        const QByteArray bytes = out.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace brelvo::core
