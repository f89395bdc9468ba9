// Two desks on one database: customers, suppliers and employees added at the
// same moment get different numbers, and a deleted customer's vehicles do not
// pass to the next customer who is given that number.

#include "RegTest.h"

#include "core/FakeDialogService.h"
#include "registries/TF_Fornecedor.h"
#include "registries/TFormCadastro.h"
#include "registries/TFormFuncionario.h"

#include <QLineEdit>
#include <QPushButton>

using namespace brelvo;
using namespace brelvo::registries;
using data::Table;

namespace {

using regtest::child;
using regtest::click;

// Both desks press "new", type a name and save, one after the other.
template <typename Window>
void bothDesksAdd(Window &a, Window &b, const char *save)
{
    click(&a, "btnNovo");
    click(&b, "btnNovo");
    regtest::type(child<QLineEdit>(&a, "edtNome"), QStringLiteral("desk a"));
    regtest::type(child<QLineEdit>(&b, "edtNome"), QStringLiteral("desk b"));
    click(&a, save);
    click(&b, save);
}

QStringList numbersByName(const data::DatabasePtr &db, const QString &table)
{
    QStringList out;
    for (const QString &name : {QStringLiteral("DESK A"), QStringLiteral("DESK B")}) {
        Table t(db, table);
        t.open();
        out << (t.locate(QStringLiteral("Nome"), {name}) ? t.asString(QStringLiteral("Codigo")) : QStringLiteral("?"));
    }
    return out;
}

} // namespace

class TestDesks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void customersAddedAtOnce()
    {
        regtest::Fresh fresh;
        core::ScopedFakeDialogs dialogs;
        auto other = data::Database::open(fresh.db->folder(), false);
        TFormCadastro a(fresh.db, true), b(other, true);
        bothDesksAdd(a, b, "btnGravar");
        QCOMPARE(numbersByName(fresh.db, QStringLiteral("tbCliente.DB")), (QStringList{"1", "2"}));
        // The second desk shows the number its customer was stored with.
        QCOMPARE(b.TabelaCadastro()->asInteger(QStringLiteral("Codigo")), 2);
    }

    void suppliersAddedAtOnce()
    {
        regtest::Fresh fresh;
        core::ScopedFakeDialogs dialogs;
        auto other = data::Database::open(fresh.db->folder(), false);
        TF_Fornecedor a(fresh.db), b(other);
        bothDesksAdd(a, b, "btnSalvar");
        QCOMPARE(numbersByName(fresh.db, QStringLiteral("tbfornecedor.db")), (QStringList{"1", "2"}));
        QCOMPARE(b.TbFornecedor()->asInteger(QStringLiteral("Codigo")), 2);
    }

    void employeesAddedAtOnce()
    {
        regtest::Fresh fresh;
        core::ScopedFakeDialogs dialogs;
        auto other = data::Database::open(fresh.db->folder(), false);
        TFormFuncionario a(fresh.db), b(other);
        bothDesksAdd(a, b, "btnSalvar");
        QCOMPARE(numbersByName(fresh.db, QStringLiteral("tbFunciocario.db")), (QStringList{"1", "2"}));
        QCOMPARE(b.TbFuncionario()->asInteger(QStringLiteral("Codigo")), 2);
    }

    void deletedCustomersVehiclesAreNotInherited()
    {
        regtest::Fresh fresh;
        core::ScopedFakeDialogs dialogs;
        {
            Table c(fresh.db, QStringLiteral("tbCliente.DB"));
            c.open();
            regtest::addRow(c, {{"Codigo", 1}, {"Nome", "PRIMEIRO"}});
            regtest::addRow(c, {{"Codigo", 2}, {"Nome", "SEGUNDO"}});
            Table v(fresh.db, QStringLiteral("TCadastroCarros.db"));
            v.open();
            regtest::addRow(v, {{"Link", 1}, {"Modelo", "GOL"}});
            regtest::addRow(v, {{"Link", 2}, {"Modelo", "UNO"}});
            regtest::addRow(v, {{"Link", 2}, {"Modelo", "PALIO"}});
        }
        TFormCadastro w(fresh.db, true);
        w.TabelaCadastro()->setIndexName(QStringLiteral("byCodigo"));
        w.TabelaCadastro()->last();
        QCOMPARE(w.TbCadastroCarros()->recordCount(), 2);
        dialogs->answerQuestion(core::Answer::Yes);
        click(&w, "btnDeletar");
        QCOMPARE(regtest::columnOf(fresh.db, QStringLiteral("TCadastroCarros.db"), QStringLiteral("Modelo")),
                 QStringList{"GOL"});

        click(&w, "btnNovo");
        QCOMPARE(w.TabelaCadastro()->asInteger(QStringLiteral("Codigo")), 2);
        regtest::type(child<QLineEdit>(&w, "edtNome"), QStringLiteral("novo"));
        click(&w, "btnGravar");
        QCOMPARE(w.TabelaCadastro()->asString(QStringLiteral("Nome")), QStringLiteral("NOVO"));
        QVERIFY(w.TbCadastroCarros()->isEmpty());
    }
};

QTEST_MAIN(TestDesks)
#include "test_desks.moc"
