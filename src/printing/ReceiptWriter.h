#pragma once
// Till receipts: plain text for the receipt printer, written straight to its
// port. Windows-1252 bytes, every line ended by CR LF, the old printf widths
// ("%-50s" pads and never cuts, "%-28.28s" cuts and pads, "%-12.2m" money
// with 2 decimals in 12 columns) and the printers' control bytes.
//
//   ReceiptPortSettings port;
//   if (!receiptPortReady(window, db, &port)) return;       // message + port window
//   ReceiptWriter w;
//   w.issuerHeader(readIssuer(db), port.isDaruma());
//   w.documentHeader(QStringLiteral("Venda No....: ") + number, QDateTime::currentDateTime(), name);
//   w.itemLine(qtd, descricao, valorUni, subTotal);          // per item
//   w.separatorLine().totals(gross, discount, net);
//   ...
//   w.farewell().emptyLines(5);
//   sendReceipt(window, port.porta, w.bytes(), QStringLiteral("Impressão Enviada com Sucesso!!!"));

#include "data/Database.h"
#include "printing/PrintData.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

namespace brelvo::printing {

class ReceiptWriter {
public:
    static constexpr char SI = 0x0F;    // condensed print on
    static constexpr char DC2 = 0x12;   // condensed print off
    static constexpr char ESC = 0x1B;

    // Texts to embed in a line: ESC E / ESC F (bold on / off).
    static QString boldOn();
    static QString boldOff();
    // 54 hyphens; stays 54 long under "%-50s".
    static QString separator();
    // The row of keyboard symbols closing every receipt: 53 characters, each
    // one byte in Windows-1252.
    static QString decorativeRow();

    // Pieces. write* adds no line end; line* adds CR LF after the text.
    ReceiptWriter &control(char byte);
    ReceiptWriter &write(const QString &format, const QString &text);
    ReceiptWriter &write(const QString &format, double value);
    ReceiptWriter &line(const QString &format, const QString &text);
    ReceiptWriter &line(const QString &format, double value);
    ReceiptWriter &endLine();
    ReceiptWriter &emptyLines(int count);
    ReceiptWriter &separatorLine();

    // Blocks both till receipts share, in their order on paper.
    // SI; name; address - district; city-state - phones; tax numbers; separator.
    // boldName wraps the name in ESC E / ESC F.
    ReceiptWriter &issuerHeader(const Issuer &issuer, bool boldName = false);
    // The number line as given; date and time; the customer; an empty line;
    // the column headings; separator.
    ReceiptWriter &documentHeader(const QString &numberLine, const QDateTime &when, const QString &customer);
    // Quantity (its shortest decimal text, at most 5 characters), description
    // (28 columns), unit price (money in 12 columns), subtotal.
    ReceiptWriter &itemLine(double qtd, const QString &descricao, double valorUni, double subTotal);
    // SUB-TOTAL, DESCONTO and VALOR TOTAL, each caption condensed and the
    // amount in normal print; then SI and the separator.
    ReceiptWriter &totals(double gross, double discount, double net);
    // Separator, thanks, separator, the decorative row.
    ReceiptWriter &farewell();
    // ESC m (the Daruma paper cut) on a line of its own.
    ReceiptWriter &cut();

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The receipt printer's settings (first row of tbPortaImpressora.db).
struct ReceiptPortSettings {
    QString porta;      // trimmed
    QString imprimir;   // "S": receipt printed when a sale is closed
    QString daruma;     // "S": the printer takes the paper-cut command
    bool isDaruma() const { return daruma.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }
    bool printsOnClose() const { return imprimir.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }
};

// Reads the row now (it is never cached).
ReceiptPortSettings readReceiptPortSettings(const data::DatabasePtr &db);

// Reads the settings; when no port is set, tells the operator "Porta
// Impressora Não fiscal não foi informada!", opens the printer-port window
// and returns false.
bool receiptPortReady(QWidget *parent, const data::DatabasePtr &db, ReceiptPortSettings *settings);

// How the printer-port window is opened (the application installs it; the
// printing layer cannot see the settings windows). Returns the previous one.
using PortWindowOpener = std::function<void(QWidget *parent, const data::DatabasePtr &db)>;
PortWindowOpener setReceiptPortWindow(PortWindowOpener opener);

// Writes the bytes to the port. Shows successMessage only when every byte
// reached it; otherwise a Portuguese message saying the receipt was not (or
// not wholly) printed. A device that stops taking data fails after timeoutMs.
bool sendReceipt(QWidget *parent, const QString &porta, const QByteArray &bytes, const QString &successMessage,
                 int timeoutMs = 15000);

} // namespace brelvo::printing
