#pragma once
// A fresh database with products, stock entries and customers (the order
// tests' fixture), the till window over it with the dialogs answered by the
// fake, and ways to read back the sales and items stored.

#include "orders/OrderFixture.h"

#include "core/FakeDialogService.h"
#include "sales/TFormFrenteCaixa.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace salestest {

using Kind = brelvo::core::FakeDialogService::Kind;
using brelvo::core::Answer;

struct Db : ordertest::Db {
    // A stored sale with its items, as an earlier run of the till leaves it.
    qint64 sale(int codVenda, const char *finalizada, double desconto = 0)
    {
        return add("tbVendas.db", {{"CodVenda", codVenda}, {"Finalizada", QString::fromLatin1(finalizada)},
                                   {"VenOs", QStringLiteral("PV")}, {"VLDesconto", desconto},
                                   {"ForPagamento", QStringLiteral("DINHEIRO")}, {"DtVenda", QDate::currentDate()}});
    }
    qint64 saleItem(qint64 link, int codVenda, double code, const char *descricao, double qtd, double valorUni)
    {
        return add("tbItems.DB", {{"Link", link}, {"CodVenda", codVenda}, {"CodBarra", code},
                                  {"Descricao", ordertest::u(descricao)}, {"Qtd", qtd}, {"ValorUni", valorUni},
                                  {"Monitorar", QStringLiteral("S")}});
    }
    // A field of the sale numbered `codVenda` (null when there is none).
    QVariant saleField(int codVenda, const char *field)
    {
        brelvo::data::Table t(db, QStringLiteral("tbVendas.db"));
        t.open();
        if (!t.locate(QStringLiteral("CodVenda"), {double(codVenda)}))
            return QVariant();
        return t.value(QString::fromLatin1(field));
    }
    QList<double> saleNumbers()
    {
        brelvo::data::Table t(db, QStringLiteral("tbVendas.db"));
        t.open();
        QList<double> n;
        for (t.first(); !t.eof(); t.next())
            n << t.asFloat(QStringLiteral("CodVenda"));
        return n;
    }
    int itemsOf(qint64 link)
    {
        brelvo::data::Table t(db, QStringLiteral("tbItems.DB"));
        t.open();
        t.setFilter(QStringLiteral("Link = %1").arg(link));
        t.setFiltered(true);
        return t.recordCount();
    }
};

// The till as the operator MARIA sees it; the supervisor password is "KOV".
struct Till {
    brelvo::core::ScopedFakeDialogs fake;
    Db db;
    std::unique_ptr<brelvo::sales::TFormFrenteCaixa> w;

    void open()
    {
        w = std::make_unique<brelvo::sales::TFormFrenteCaixa>(
            db.db, QStringLiteral("MARIA"),
            [](const QString &typed) { return typed.toUpper() == QLatin1String("KOV"); });
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the till window did not become active");
    }
    template <typename T = QLineEdit>
    T *get(const char *name)
    {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        if (!c)
            qFatal("control %s not found", name);
        return c;
    }
    QString text(const char *label) { return get<QLabel>(label)->text(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(get("mskCodigo"), Qt::Key(k), mods); }
    void type(const char *box, const QString &text)
    {
        QLineEdit *e = get(box);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    void enter(const char *box) { QTest::keyClick(get(box), Qt::Key_Return); }
    // The customer panel confirmed with nobody named, as an anonymous sale starts.
    void consumidor() { key(Qt::Key_F9); }
    // The quantity, then the code typed (or scanned) and Enter.
    void sell(const QString &code, const QString &qtd = QString())
    {
        if (!qtd.isEmpty())
            type("mskQuantidade", qtd);
        type("mskCodigo", code);
        enter("mskCodigo");
    }
    int items() { return w->TbItems()->recordCount(); }
    double field(const char *name) { return w->TbVendas()->asFloat(QString::fromLatin1(name)); }
    QString lastMessage()
    {
        const QStringList m = fake->messages();
        return m.isEmpty() ? QString() : m.last();
    }
};

} // namespace salestest
