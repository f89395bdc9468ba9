#include "finance/PickList.h"

#include "core/Codepage.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace brelvo::finance {

QStringList loadPickList(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = core::fromCp1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList out;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            out << line;
    }
    return out;
}

bool savePickList(const QString &path, const QStringList &names, QString *error)
{
    QSaveFile f(path);
    QByteArray bytes;
    for (const QString &n : names)
        bytes += n.toUtf8() + "\r\n";
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1:\n%2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace brelvo::finance
