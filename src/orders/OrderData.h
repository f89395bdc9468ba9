#pragma once
// What the service orders read and write beyond their own cursors: order
// numbers, deleting an order with its items, the queries of the vehicle
// history, the customer's cars and the mechanic, and the stock test.
// Typed text is always bound, never pasted into a query.

#include "data/Dataset.h"

#include <QDate>
#include <QString>
#include <optional>

namespace brelvo::stock {
class StockBalance;
}

namespace brelvo::orders {

// The first number at or after `from` that no order has (an order row that
// lost its number gets one again; new rows are numbered by the data layer).
qint64 firstFreeOrderNumber(const data::DatabasePtr &db, qint64 from);

// Service orders ("PV", any state) of exactly that plate dated from
// 01/01/1900 up to `upTo`, newest first; columns Codigo, Chave, Data_OS,
// HrOS, NomeCliente, Modelo, Placa, Desconto, Total.
void prepareHistory(data::Query &q, const QString &plate, const QDate &upTo);
// Lines of one order: Descricao, Qtd, ValorUni, SubTotal.
void prepareDetails(data::Query &q, qint64 orderChave);
// The registered cars of a customer: Modelo, Anofabrica, AnoModelo,
// Fabricante, Cor, Placa, Combustivel.
void prepareCars(data::Query &q, qint64 customerCode);
// Name of the employee with that code (any role); nullopt when none has it.
std::optional<QString> employeeName(const data::DatabasePtr &db, qint64 code);

// A product for an order line, read by code; nullopt when none has it.
struct ProductForLine {
    double codigo = 0;
    QString descricao;
    double valor = 0;
    QString monitorarEstq;
    QString permiteVenda;
};
std::optional<ProductForLine> findProduct(data::Table &produtos, const QString &typedCode);

// The stock test of an order line: the product's balance (entries minus the
// monitored exits of sales and service orders) against its flags.
bool stockAllows(stock::StockBalance &balance, const ProductForLine &p);

} // namespace brelvo::orders
