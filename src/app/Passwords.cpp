#include "app/Passwords.h"

#include "core/DialogService.h"
#include "core/Format.h"
#include "data/Dataset.h"
#include "data/Statement.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace brelvo::app {

namespace {
int g_iterations = kDefaultPasswordIterations;
constexpr int kHashBytes = 32;
constexpr int kSaltBytes = 16;

QByteArray derive(const QString &plain, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, plain.toUtf8(), salt,
                                              iterations, kHashBytes);
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

void registerUsersPassword(const data::DatabasePtr &db)
{
    db->addPassword(QString::fromLatin1(kUsersTablePassword));
}
} // namespace

int passwordIterations() { return g_iterations; }
void setPasswordIterations(int iterations) { g_iterations = iterations > 0 ? iterations : 1; }

QString hashPassword(const QString &plain, int iterations)
{
    if (iterations <= 0)
        iterations = g_iterations;
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < salt.size(); ++i)
        salt[i] = static_cast<char>(QRandomGenerator::system()->bounded(256));
    const QByteArray key = derive(plain, salt, iterations);
    return QStringLiteral("pbkdf2$sha256$%1$%2$%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool verifyPassword(const QString &stored, const QString &typed)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 5 || parts[0] != QLatin1String("pbkdf2") || parts[1] != QLatin1String("sha256"))
        return false;
    bool ok = false;
    const int iterations = parts[2].toInt(&ok);
    if (!ok || iterations <= 0)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[3].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[4].toLatin1());
    if (salt.isEmpty() || expected.size() != kHashBytes)
        return false;
    return sameBytes(derive(typed, salt, iterations), expected);
}

void storeUserPassword(const data::DatabasePtr &db, qint64 id, const QString &plain)
{
    registerUsersPassword(db);
    data::Query q(db);
    q.setSql(QStringLiteral("UPDATE USUARIOS SET SenhaHash = :vHash, SENHA = :vVazio WHERE ID = :vId"));
    q.setParam(QStringLiteral("vHash"), plain.isEmpty() ? QString() : hashPassword(plain));
    q.setParam(QStringLiteral("vVazio"), QString());
    q.setParam(QStringLiteral("vId"), id);
    q.execSql();
}

QString storedUserHash(const data::DatabasePtr &db, qint64 id)
{
    registerUsersPassword(db);
    data::Query q(db);
    q.setSql(QStringLiteral("SELECT SenhaHash FROM USUARIOS WHERE ID = :vId"));
    q.setParam(QStringLiteral("vId"), id);
    q.open();
    return q.isEmpty() ? QString() : q.asString(QStringLiteral("SenhaHash"));
}

void migrateUserPasswords(data::Database &db)
{
    // Runs inside the data layer's migration transaction. The table password
    // is only lent to the migration: the session registers it at log-in.
    const data::DatabasePtr self = db.shared_from_this();
    const QString tablePassword = QString::fromLatin1(kUsersTablePassword);
    const bool lent = !db.hasPassword(tablePassword);
    db.addPassword(tablePassword);
    struct GiveBack {
        data::Database &db;
        QString password;
        bool lent;
        ~GiveBack()
        {
            if (lent)
                db.removePassword(password);
        }
    } giveBack{db, tablePassword, lent};
    bool hasColumn = false;
    for (const data::FieldDef &f : db.fields(QStringLiteral("USUARIOS.DB")))
        hasColumn = hasColumn || f.name.compare(QLatin1String("SenhaHash"), Qt::CaseInsensitive) == 0;
    if (!hasColumn)
        data::Statement(self, QStringLiteral("ALTER TABLE USUARIOS ADD COLUMN SenhaHash TEXT")).run();

    QList<QPair<qint64, QString>> plain;
    data::ForwardQuery sel(self, QStringLiteral("SELECT ID, SENHA FROM \"USUARIOS.DB\" WHERE SENHA IS NOT NULL AND SENHA <> ''"));
    while (sel.next())
        plain.append({sel.value(0).toLongLong(), sel.value(1).toString()});
    data::Statement up(self, QStringLiteral("UPDATE \"USUARIOS.DB\" SET SenhaHash = :vHash, SENHA = '' WHERE ID = :vId"));
    for (const auto &[id, text] : plain) {
        up.setParam(QStringLiteral("vHash"), hashPassword(text));
        up.setParam(QStringLiteral("vId"), id);
        up.run();
    }
}

bool supervisorPasswordMatches(const data::DatabasePtr &db, const QString &typed)
{
    registerUsersPassword(db);
    data::Table users(db, QStringLiteral("USUARIOS.DB"));
    users.open();
    users.first();
    if (users.isEmpty())
        return false;
    const QString hash = storedUserHash(db, users.asInteger(QStringLiteral("ID")));
    return verifyPassword(hash, core::lower(typed));
}

bool checkSupervisorPassword(QWidget *parent, const data::DatabasePtr &db)
{
    for (;;) {
        QString typed;
        if (!core::dialogs().input(parent, QStringLiteral("Senha do Administrador"),
                                   QStringLiteral("Senha do Usuário KOV:"), &typed, true))
            return false;
        bool ok = false;
        try {
            ok = supervisorPasswordMatches(db, typed);
        } catch (const data::DbError &e) {
            core::dialogs().error(parent, QStringLiteral("Erro"), e.message());
            return false;
        }
        if (ok)
            return true;
        core::dialogs().warning(parent, QStringLiteral("Atenção"),
                                QStringLiteral("Senha Do Administrador Errada! Digite a Senha do Usuário KOV "
                                               "Corretamente para continuar!"));
    }
}

} // namespace brelvo::app

namespace brelvo::app {

void registerPasswordMigration()
{
    data::Database::registerMigration(2, [](data::Database &db) { migrateUserPasswords(db); });
}

} // namespace brelvo::app
