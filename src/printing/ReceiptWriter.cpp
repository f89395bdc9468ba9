#include "printing/ReceiptWriter.h"

#include "core/Codepage.h"
#include "core/DialogService.h"
#include "core/Format.h"
#include "data/Dataset.h"
#include "printing/ReceiptPort.h"

namespace brelvo::printing {

using core::formatPrintf;

namespace {
const char *const kLineEnd = "\r\n";

PortWindowOpener &portWindowOpener()
{
    static PortWindowOpener opener;
    return opener;
}
} // namespace

QString ReceiptWriter::boldOn() { return QString(QChar(ESC)) + QLatin1Char('E'); }
QString ReceiptWriter::boldOff() { return QString(QChar(ESC)) + QLatin1Char('F'); }
QString ReceiptWriter::separator() { return QString(54, QLatin1Char('-')); }

QString ReceiptWriter::decorativeRow()
{
    // Windows-1252 and Latin-1 agree on these bytes (0xA8 is the diaeresis).
    static const unsigned char row[] = {
        0x40, 0x23, 0x24, 0x25, 0xA8, 0x26, 0x2A, 0x2A, 0x26, 0xA8, 0x25, 0x25, 0x24, 0x24, 0x23, 0xA8, 0x25, 0x24,
        0x23, 0x40, 0x21, 0x26, 0x25, 0xA8, 0x24, 0x23, 0x40, 0x21, 0x40, 0x23, 0x24, 0x23, 0x24, 0x25, 0xA8, 0x24,
        0x40, 0x23, 0x40, 0x40, 0x24, 0x25, 0x24, 0xA8, 0x25, 0x24, 0x23, 0x40, 0x21, 0x24, 0x24, 0x21, 0x23};
    return QString::fromLatin1(reinterpret_cast<const char *>(row), int(sizeof row));
}

ReceiptWriter &ReceiptWriter::control(char byte)
{
    m_bytes.append(byte);
    return *this;
}

ReceiptWriter &ReceiptWriter::write(const QString &format, const QString &text)
{
    m_bytes.append(core::toCp1252(formatPrintf(format, text)));
    return *this;
}

ReceiptWriter &ReceiptWriter::write(const QString &format, double value)
{
    m_bytes.append(core::toCp1252(formatPrintf(format, value)));
    return *this;
}

ReceiptWriter &ReceiptWriter::line(const QString &format, const QString &text)
{
    return write(format, text).endLine();
}

ReceiptWriter &ReceiptWriter::line(const QString &format, double value)
{
    return write(format, value).endLine();
}

ReceiptWriter &ReceiptWriter::endLine()
{
    m_bytes.append(kLineEnd);
    return *this;
}

ReceiptWriter &ReceiptWriter::emptyLines(int count)
{
    for (int i = 0; i < count; ++i)
        endLine();
    return *this;
}

ReceiptWriter &ReceiptWriter::separatorLine()
{
    return line(QStringLiteral("%-50s"), separator());
}

ReceiptWriter &ReceiptWriter::issuerHeader(const Issuer &is, bool boldName)
{
    const QString s50 = QStringLiteral("%-50s");
    control(SI);
    line(s50, boldName ? boldOn() + is.empresa + boldOff() : is.empresa);
    line(s50, is.end + QStringLiteral(" - ") + is.bairro);
    line(s50, is.cidade + QLatin1Char('-') + is.uf + QStringLiteral(" - Fone: ") + is.telefone + QStringLiteral(" / ")
                  + is.telefone2);
    line(s50, QStringLiteral("CNPJ:") + is.cnpj + QStringLiteral(" - IE:") + is.ie);
    return separatorLine();
}

ReceiptWriter &ReceiptWriter::documentHeader(const QString &numberLine, const QDateTime &when, const QString &customer)
{
    const QString s50 = QStringLiteral("%-50s");
    line(s50, numberLine);
    line(QStringLiteral("%-30s"), QStringLiteral("Data........: ") + core::dateText(when.date()) + QLatin1Char(' ')
                                      + QStringLiteral("Hora: ") + when.time().toString(QStringLiteral("HH:mm:ss")));
    line(s50, QStringLiteral("Cliente.....: ") + customer);
    emptyLines(1);
    line(s50, QStringLiteral("QTDE. PRODUTO                    VALOR UN  VALOR TOTAL"));
    return separatorLine();
}

ReceiptWriter &ReceiptWriter::itemLine(double qtd, const QString &descricao, double valorUni, double subTotal)
{
    write(QStringLiteral("%-6.5s"), core::shortNumber(qtd));
    write(QStringLiteral("%-28.28s"), descricao);
    write(QStringLiteral("%-12.2m"), valorUni);
    return line(QStringLiteral("%-2m"), subTotal);
}

ReceiptWriter &ReceiptWriter::totals(double gross, double discount, double net)
{
    const QString caption = QStringLiteral("%-36.31s");
    const QString amount = QStringLiteral("%2m");
    control(SI).write(caption, QStringLiteral("SUB-TOTAL R$...:")).control(DC2).line(amount, gross);
    control(SI).write(caption, QStringLiteral("DESCONTO R$....:")).control(DC2).line(amount, discount);
    control(SI).write(caption, QStringLiteral("VALOR TOTAL R$.:")).control(DC2).line(amount, net);
    return control(SI).separatorLine();
}

ReceiptWriter &ReceiptWriter::farewell()
{
    separatorLine();
    line(QStringLiteral("%-50s"), QStringLiteral("AGRADECEMOS A PREFERENCIA !"));
    separatorLine();
    return line(QStringLiteral("%-50s"), decorativeRow());
}

ReceiptWriter &ReceiptWriter::cut()
{
    return control(ESC).control('m').endLine();
}

ReceiptPortSettings readReceiptPortSettings(const data::DatabasePtr &db)
{
    ReceiptPortSettings s;
    data::Table t(db, QStringLiteral("tbPortaImpressora.db"));
    t.open();
    t.first();
    if (t.eof())
        return s;
    s.porta = t.asString(QStringLiteral("Porta")).trimmed();
    s.imprimir = t.asString(QStringLiteral("Imprimir"));
    s.daruma = t.asString(QStringLiteral("Daruma"));
    return s;
}

bool receiptPortReady(QWidget *parent, const data::DatabasePtr &db, ReceiptPortSettings *settings)
{
    *settings = readReceiptPortSettings(db);
    if (!settings->porta.isEmpty())
        return true;
    core::dialogs().information(parent, QString(), QStringLiteral("Porta Impressora Não fiscal não foi informada!"));
    if (const PortWindowOpener &open = portWindowOpener())
        open(parent, db);
    return false;
}

PortWindowOpener setReceiptPortWindow(PortWindowOpener opener)
{
    PortWindowOpener previous = std::move(portWindowOpener());
    portWindowOpener() = std::move(opener);
    return previous;
}

bool sendReceipt(QWidget *parent, const QString &porta, const QByteArray &bytes, const QString &successMessage,
                 int timeoutMs)
{
    QString error;
    if (!writeToPort(porta, bytes, &error, timeoutMs)) {
        core::dialogs().error(parent, QStringLiteral("Erro"),
                              error + QStringLiteral("\nO cupom não foi impresso ou saiu incompleto. "
                                                     "Verifique a impressora e imprima novamente."));
        return false;
    }
    core::dialogs().information(parent, QString(), successMessage);
    return true;
}

} // namespace brelvo::printing
