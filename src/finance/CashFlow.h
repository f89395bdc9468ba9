#pragma once
// The cash flow of a period: received receivables and order and sale revenue
// in, paid payables out. Every query takes the period as bound dates, whole
// days inclusive; nothing is written.

#include "data/Dataset.h"

#include <QDate>
#include <QObject>
#include <QString>

namespace brelvo::finance {

struct Period {
    QDate from, to;
    bool isValid() const { return from.isValid() && to.isValid(); }
};

// The calendar month holding `day` (01/02/2028 .. 29/02/2028).
Period monthOf(const QDate &day);

struct CashFigures {
    bool orderRevenueEmpty = true;   // no order in the period: the caption stays empty
    double orderRevenue = 0;         // "PV" orders dated in the period
    double salesRevenue = 0;         // "PV" sales dated in the period
    double otherRevenue = 0;         // orders + sales
    double received = 0;             // receivables paid in the period
    double paid = 0;                 // payables paid in the period
    double totalIn = 0;              // received + other revenue
    double balance() const { return totalIn - paid; }
};

class CashFlow : public QObject {
    Q_OBJECT
public:
    explicit CashFlow(data::DatabasePtr db, QObject *parent = nullptr);

    // Cursors, named as the window's lists know them.
    data::Query *entradas() const { return m_entradas; }       // Cliente, Entrada, Valor
    data::Query *saidas() const { return m_saidas; }           // Cliente, saida, Valor
    data::Query *vendasCaixa() const { return m_vendasCx; }    // TotalVenda
    data::Query *vendasOrdens() const { return m_vendasOs; }   // TotalOrdem
    data::Query *ordens() const { return m_ordens; }           // finalised orders of the period
    data::Query *itens() const { return m_itens; }             // items of one order

    // Lists of entries and exits, then the revenue sums and the totals.
    void analitico(const Period &p);
    // Order and sale revenue of the period.
    void calculoGeral(const Period &p);
    // Sums the two lists and adds the revenue last computed.
    void totalizar();
    // Finalised "PV" orders of the period, newest first.
    void vendasOS(const Period &p);
    // Items of the order whose key is `chave`.
    void detItemsOrdem(qint64 chave);

    const CashFigures &figures() const { return m_fig; }

private:
    static void run(data::Query *q, const Period &p);
    data::DatabasePtr m_db;
    data::Query *m_entradas, *m_saidas, *m_vendasCx, *m_vendasOs, *m_ordens, *m_itens;
    CashFigures m_fig;
};

} // namespace brelvo::finance
