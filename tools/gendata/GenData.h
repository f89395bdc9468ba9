#pragma once
// Test-data generator: provisions a database and fills it with realistic
// rows (customers, vehicles, products, stock entries, sales, service orders,
// receivables and payables). Used by the gendata tool and the benchmarks.

#include <QString>
#include <QtGlobal>
#include <functional>

namespace brelvo::gendata {

struct Options {
    int customers = 20000;
    int vehicles = 25000;
    int products = 50000;
    int replenishments = 200000;
    int sales = 200000;
    int saleItems = 1000000;
    int orders = 50000;
    int orderItems = 250000;
    int receivables = 10000;
    int payables = 10000;
    quint64 seed = 20260101;
    int years = 6;          // sales and orders spread over this many years up to today
};

struct Result {
    qint64 rows = 0;        // rows written
    int orphanSaleItems = 0;
    int orphanOrderItems = 0;
    qint64 elapsedMs = 0;
};

// Progress lines ("tbItems.DB: 1000000 linhas").
using Progress = std::function<void(const QString &)>;

// Provisions a database in `folder` when it holds none and fills it in one
// transaction. Refuses (throws std::runtime_error) a database that already
// holds products or sales. Database failures arrive as brelvo::data::DbError.
Result generate(const QString &folder, const Options &options, const Progress &progress = {});

// EAN-13 check digit of the 12 leading digits (weights 1,3,1,3... from the left).
int ean13CheckDigit(qint64 first12);
// A full 13-digit code from its 12 leading digits.
qint64 ean13(qint64 first12);
bool isValidEan13(qint64 code);

// Brazilian tax numbers with valid check digits, formatted.
QString cpfFromDigits(qint64 nineDigits);   // "123.456.789-09"

} // namespace brelvo::gendata
