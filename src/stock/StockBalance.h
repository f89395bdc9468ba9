#pragma once
// Stock balance of products, derived from the movement tables:
//   entries     = sum of tbReposicao.Qtd for the code
//   sale exits  = sum of tbItems.Qtd, Monitorar "S", of sales whose VenOs is "PV"
//   order exits = sum of tbitemsordem.Qtd, Monitorar "S", of orders whose OsOc is "PV"
//   balance     = entries - sale exits - order exits   (stored in tbProdutos.Estoque)
//   availability= entries - sale exits                  (sale window's add-item check)
// Item rows are joined to their header rows, so orphans never count. The code
// is always bound as a number; "0000000000123" selects code 123.

#include "data/Database.h"

#include <QString>
#include <memory>
#include <optional>

namespace brelvo::stock {

struct StockSums {
    double entries = 0;
    double saleExits = 0;
    double orderExits = 0;
    double balance() const { return entries - saleExits - orderExits; }
    double availability() const { return entries - saleExits; }
};

class StockBalance {
public:
    explicit StockBalance(data::DatabasePtr db);
    ~StockBalance();
    StockBalance(const StockBalance &) = delete;
    StockBalance &operator=(const StockBalance &) = delete;

    // A product code typed or shown as text: blanks are dropped, leading zeros
    // ignored; up to 13 digits. Anything else gives nullopt.
    static std::optional<qint64> parseCode(const QString &text);

    // The three sums (0 for a kind of movement the product never had).
    StockSums sums(qint64 code);
    double balance(qint64 code) { return sums(code).balance(); }
    double availability(qint64 code) { return sums(code).availability(); }
    // Text forms as the windows hold them; an unreadable code has no movement (0).
    double balance(const QString &codeText);
    double availability(const QString &codeText);

    // Computes the balance of one product and writes it into its Estoque.
    // Returns false (and writes nothing) when no product has that code.
    bool store(qint64 code, double *balanceOut = nullptr);

    // Recomputes and stores the balance of every product with one statement in
    // one transaction. Returns the number of product rows written.
    int refreshAll();

    // Low stock: a monitored product whose stored stock is at or below its minimum.
    static bool isLowStock(const QString &monitorarEstq, double estoque, double estoqueMinimo);

    static QString refreshAllSql();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace brelvo::stock
