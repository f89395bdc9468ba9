#pragma once
// A fresh database and program folder for the finance tests, with rows of
// receivables, payables, service orders and sales written straight to the
// tables, as the other windows would leave them.

#include "core/AppPaths.h"
#include "core/FakeDialogService.h"
#include "data/TestDb.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace fintest {

inline QString u(const char *s) { return QString::fromUtf8(s); }
inline QDate today() { return QDate::currentDate(); }

struct Fixture : testdb::Fresh {
    QTemporaryDir program;
    brelvo::core::ScopedFakeDialogs dialogs;

    Fixture() { brelvo::core::setProgramFolder(program.path()); }
    ~Fixture() { brelvo::core::setProgramFolder(QString()); }

    // A receivable or payable; `paid` invalid = open.
    void title(const char *table, int code, const char *name, double value, const QDate &due,
               const QDate &paid = QDate(), const char *creditor = "")
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Codigo"), double(code));
        t.setValue(QStringLiteral("Fantasia"), u(name));
        if (*creditor)
            t.setValue(QStringLiteral("Nome"), u(creditor));
        t.setValue(QStringLiteral("DataEmissao"), due.addDays(-10));
        t.setValue(QStringLiteral("DataVencimento"), due);
        if (paid.isValid())
            t.setValue(QStringLiteral("DataPagamento"), paid);
        t.setValue(QStringLiteral("Valordocumento"), value);
        t.post();
    }
    void receivable(int code, const char *name, double value, const QDate &due, const QDate &paid = QDate(),
                    const char *creditor = "")
    {
        title("tbreceber.db", code, name, value, due, paid, creditor);
    }
    void payable(int code, const char *name, double value, const QDate &due, const QDate &paid = QDate(),
                 const char *creditor = "")
    {
        title("tbpagar.db", code, name, value, due, paid, creditor);
    }

    // A service order ("PV") or quote ("OC"); returns its key.
    qint64 order(int code, const char *kind, double total, const QDate &day, const char *state = "EM ABERTO",
                 const QDate &paidOn = QDate(), const char *customer = "CLIENTE", double discount = 0)
    {
        brelvo::data::Table t(db, QStringLiteral("TOrdemServico.DB"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Codigo"), double(code));
        t.setValue(QStringLiteral("OsOc"), QString::fromLatin1(kind));
        t.setValue(QStringLiteral("Data"), day);
        t.setValue(QStringLiteral("Andamento"), u(state));
        t.setValue(QStringLiteral("NomeCliente"), u(customer));
        t.setValue(QStringLiteral("VrTotal"), total);
        t.setValue(QStringLiteral("Desconto"), discount);
        t.setValue(QStringLiteral("HrOs"), QTime(9, 30));
        t.setValue(QStringLiteral("ForPagamento"), QStringLiteral("DINHEIRO"));
        if (paidOn.isValid())
            t.setValue(QStringLiteral("DtOs"), paidOn);
        t.post();
        return t.asInteger(QStringLiteral("Chave"));
    }
    void orderItem(qint64 orderKey, const char *description, double qty, double price)
    {
        brelvo::data::Table t(db, QStringLiteral("tbitemsordem.db"));
        t.open();
        testdb::addRow(t, {{"CodVenda", double(orderKey)}, {"Descricao", u(description)}, {"Qtd", qty},
                           {"ValorUni", price}, {"Monitorar", QStringLiteral("S")}});
    }
    void sale(int code, const char *kind, double total, const QDate &day)
    {
        brelvo::data::Table t(db, QStringLiteral("tbVendas.db"));
        t.open();
        testdb::addRow(t, {{"CodVenda", double(code)}, {"VenOs", QString::fromLatin1(kind)}, {"VrVenda", total},
                           {"DtVenda", day}, {"Finalizada", QStringLiteral("S")}});
    }

    // Values of a field over a whole table, in code order.
    QStringList stored(const char *table, const char *field)
    {
        brelvo::data::Table t(db, QString::fromLatin1(table));
        t.setIndexFieldNames(QStringLiteral("Codigo"));
        t.open();
        return testdb::column(t, QString::fromLatin1(field));
    }

    QString file(const char *name) const { return program.filePath(QString::fromLatin1(name)); }
    void writeFile(const char *name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readFile(const char *name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

template <typename T = QWidget>
T *child(QObject *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

inline void click(QObject *w, const char *name) { child<QAbstractButton>(w, name)->click(); }

inline QString text(QObject *w, const char *name) { return child<QLabel>(w, name)->text(); }

} // namespace fintest
