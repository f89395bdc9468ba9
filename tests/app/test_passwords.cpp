// Password hashes, the migration of plain-text passwords and the supervisor check.

#include "AppFixture.h"

#include "app/Passwords.h"
#include "core/FakeDialogService.h"


using namespace brelvo;

namespace {
QString plainSenha(const data::DatabasePtr &db, const QString &login)
{
    data::Query q(db);
    q.setSql(QStringLiteral("SELECT SENHA FROM USUARIOS WHERE LOGIN = :l"));
    q.setParam(QStringLiteral("l"), login);
    q.open();
    return q.asString(QStringLiteral("SENHA"));
}
QString hashOf(const data::DatabasePtr &db, const QString &login)
{
    data::Query q(db);
    q.setSql(QStringLiteral("SELECT SenhaHash FROM USUARIOS WHERE LOGIN = :l"));
    q.setParam(QStringLiteral("l"), login);
    q.open();
    return q.asString(QStringLiteral("SenhaHash"));
}
} // namespace

class PasswordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { app::setPasswordIterations(1); }

    void hashesAreSaltedAndCompareExactly()
    {
        const QString a = app::hashPassword(QStringLiteral("segredo"), 50);
        const QString b = app::hashPassword(QStringLiteral("segredo"), 50);
        QVERIFY(a != b);   // random salt
        const QStringList parts = a.split(QLatin1Char('$'));
        QCOMPARE(parts.size(), 5);
        QCOMPARE(parts[0], QStringLiteral("pbkdf2"));
        QCOMPARE(parts[2], QStringLiteral("50"));
        QVERIFY(!a.contains(QStringLiteral("segredo")));
        QVERIFY(app::verifyPassword(a, QStringLiteral("segredo")));
        QVERIFY(app::verifyPassword(b, QStringLiteral("segredo")));
        QVERIFY(!app::verifyPassword(a, QStringLiteral("SEGREDO")));
        QVERIFY(!app::verifyPassword(a, QStringLiteral("segredo ")));
        QVERIFY(!app::verifyPassword(a, QString()));
        // The stored iteration count is the one used, whatever the current default.
        app::setPasswordIterations(7);
        QVERIFY(app::verifyPassword(a, QStringLiteral("segredo")));
        app::setPasswordIterations(1);
        QCOMPARE(app::hashPassword(QStringLiteral("x")).split(QLatin1Char('$'))[2], QStringLiteral("1"));
        // Accented passwords.
        QVERIFY(app::verifyPassword(app::hashPassword(QStringLiteral("açaí")), QStringLiteral("açaí")));
    }

    void malformedStoredTextsNeverMatch()
    {
        const QString good = app::hashPassword(QStringLiteral("kov"));
        QStringList bad = {QString(), QStringLiteral("kov"), QStringLiteral("pbkdf2$sha256$x$a$b"),
                           QStringLiteral("pbkdf2$md5$1$") + good.section(QLatin1Char('$'), 3)};
        QString truncated = good;
        truncated.chop(4);
        bad << truncated;
        for (const QString &s : bad)
            QVERIFY2(!app::verifyPassword(s, QStringLiteral("kov")), qPrintable(s));
    }

    void newDatabaseHasHashedBuiltInAdministrator()
    {
        apptest::AppDb a;
        QCOMPARE(a.db->schemaVersion(), 2);
        QCOMPARE(plainSenha(a.db, QStringLiteral("KOV")), QString());
        QVERIFY(app::verifyPassword(hashOf(a.db, QStringLiteral("KOV")), QStringLiteral("kov")));
    }

    void migrationHashesOldPlainPasswords()
    {
        QTemporaryDir dir;
        // A database made before hashing: base schema only.
        data::Database::unregisterMigration(2);
        {
            auto db = data::Database::open(dir.path(), true);
            db->addPassword(QStringLiteral("8642"));
            QCOMPARE(db->schemaVersion(), 1);
            QCOMPARE(plainSenha(db, QStringLiteral("KOV")), QStringLiteral("kov"));
            data::Table t(db, QStringLiteral("USUARIOS.DB"));
            t.open();
            t.append();
            t.setValue(QStringLiteral("LOGIN"), QStringLiteral("ANA"));
            t.setValue(QStringLiteral("SENHA"), QStringLiteral("ana 1"));
            t.setValue(QStringLiteral("STATUS"), QStringLiteral("S"));
            t.post();
            t.append();
            t.setValue(QStringLiteral("LOGIN"), QStringLiteral("SEM"));
            t.setValue(QStringLiteral("STATUS"), QStringLiteral("S"));
            t.post();
        }
        app::registerPasswordMigration();
        auto db = data::Database::open(dir.path(), false);
        // The migration borrowed the table password and gave it back.
        QVERIFY(!db->hasPassword(QStringLiteral("8642")));
        db->addPassword(QStringLiteral("8642"));
        QCOMPARE(db->schemaVersion(), 2);
        QCOMPARE(plainSenha(db, QStringLiteral("KOV")), QString());
        QCOMPARE(plainSenha(db, QStringLiteral("ANA")), QString());
        QVERIFY(app::verifyPassword(hashOf(db, QStringLiteral("KOV")), QStringLiteral("kov")));
        QVERIFY(app::verifyPassword(hashOf(db, QStringLiteral("ANA")), QStringLiteral("ana 1")));
        QVERIFY(!app::verifyPassword(hashOf(db, QStringLiteral("ANA")), QStringLiteral("ana")));
        QCOMPARE(hashOf(db, QStringLiteral("SEM")), QString());
        // Opening again changes nothing.
        const QString before = hashOf(db, QStringLiteral("KOV"));
        db.reset();
        db = data::Database::open(dir.path(), false);
        db->addPassword(QStringLiteral("8642"));
        QCOMPARE(hashOf(db, QStringLiteral("KOV")), before);

        // And the login still works with the old password.
        core::ScopedFakeDialogs fake;
        app::TFormMenu menu(db);
        apptest::scriptLogin(fake.fake(), QStringLiteral("ANA"), QStringLiteral("ana 1"));
        QVERIFY(menu.runLogin());
        QCOMPARE(menu.loggedUser().login, QStringLiteral("ANA"));
    }

    void supervisorPasswordIgnoresCaseAndUsesFirstRow()
    {
        apptest::AppDb a;
        a.addUser(QStringLiteral("OUTRO"), QStringLiteral("OUTRO"), QStringLiteral("outra"), QStringLiteral("S"),
                  QStringLiteral("S"));
        QVERIFY(app::supervisorPasswordMatches(a.db, QStringLiteral("KOV")));
        QVERIFY(app::supervisorPasswordMatches(a.db, QStringLiteral("kov")));
        QVERIFY(app::supervisorPasswordMatches(a.db, QStringLiteral("Kov")));
        QVERIFY(!app::supervisorPasswordMatches(a.db, QStringLiteral("OUTRA")));
        QVERIFY(!app::supervisorPasswordMatches(a.db, QString()));

        core::ScopedFakeDialogs fake;
        fake->answerInput(QStringLiteral("errada"));
        fake->answerInput(QStringLiteral("KOV"));
        QVERIFY(app::checkSupervisorPassword(nullptr, a.db));
        QCOMPARE(fake->messages(),
                 QStringList{QStringLiteral("Senha Do Administrador Errada! Digite a Senha do Usuário KOV "
                                            "Corretamente para continuar!")});
        fake->clearCalls();
        fake->cancelInput();
        QVERIFY(!app::checkSupervisorPassword(nullptr, a.db));
        QVERIFY(fake->messages().isEmpty());
        QVERIFY(fake->clean());
    }
};

QTEST_MAIN(PasswordsTest)
#include "test_passwords.moc"
