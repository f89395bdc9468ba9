#pragma once
// Printouts of the till: the till receipt (plain, or for Daruma printers with
// the bold name and the paper cut) written to the receipt printer's port, the
// A4 order form "Documento sem valor Fiscal" and the exchange voucher, both
// shown in the print preview.

#include "data/Database.h"
#include "printing/PageModel.h"
#include "printing/PrintData.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace brelvo::data { class Dataset; }

namespace brelvo::sales {

struct SaleLine {
    double codBarra = 0;
    QString descricao;
    double qtd = 0;
    double valorUni = 0;
    double subTotal() const { return qtd * valorUni; }
};

// Everything a till receipt prints.
struct SaleReceiptData {
    printing::Issuer issuer;
    double codVenda = 0;
    QDateTime now;
    QString cliente;
    std::vector<SaleLine> items;
    double gross = 0;           // sum of the items
    double desconto = 0;
    double vrVenda = 0;         // the sale's stored total
    QString forPagamento;
    double codVendedor = 0;
    QString operador;
};

// The receipt's bytes: Windows-1252, CR LF line ends, the printer's control
// bytes; daruma prints the company name in bold and ends with the paper cut.
QByteArray saleReceiptBytes(const SaleReceiptData &d, bool daruma);

// What the printouts read of the sale window.
struct SalePrintSource {
    data::DatabasePtr db;
    data::Dataset *sale = nullptr;      // the current sale row
    data::Dataset *items = nullptr;     // its item rows
    QString operador;
    QString customerCodeText;           // the customer-code box as shown
    QString discountText;               // the discount as shown
    // Stores a pending item row before the totals are read (may be empty).
    std::function<void()> storePending;
};

// The items and totals of the current sale, read now (nothing is written).
SaleReceiptData readSaleReceipt(const SalePrintSource &source, const QDateTime &now);

// Re-reads the printer-port row; without a port tells the operator and opens
// the port window. Otherwise writes the receipt and tells how it went.
void printSaleReceipt(QWidget *parent, const SalePrintSource &source);

// The A4 order form of the current sale; without a customer code nothing,
// *error gets "Nenhum dado para impresão! ".
std::optional<printing::PreparedReport> prepareSaleForm(const SalePrintSource &source, QString *error);
void printSaleForm(QWidget *parent, const SalePrintSource &source);

// The exchange voucher ("BÔNUS TROCA E DEVOLUÇÕES").
struct Voucher {
    double valor = 0;
    QString extenso;        // the amount in words
    QString nome;
    QString localData;
    QString obs;
    QString em;             // "Compras" or "Dinheiro"
    QString empresa;        // signs the voucher
    QString logoPath;       // the picture on the left, when the installation has one
};
// The voucher's value and amount-in-words lines, each between "*** " and " ***".
QString voucherValueText(double valor);
QString voucherWordsText(const QString &extenso);
std::optional<printing::PreparedReport> prepareVoucher(const Voucher &v, QString *error);

} // namespace brelvo::sales
