#pragma once
// Passwords of USUARIOS.DB are kept as salted PBKDF2-SHA256 hashes in the
// column SenhaHash, text "pbkdf2$sha256$<iterations>$<salt b64>$<hash b64>";
// SENHA stays in the layout and is left blank.
//
// The hash is taken over the password exactly as it was typed into the users
// or password window (those boxes force lower case). So:
//  - the login hashes the typed text as is: case and trailing characters count;
//  - the supervisor check lower-cases what was typed before hashing, which
//    accepts the password in any letter case.

#include "data/Database.h"

#include <QString>

class QWidget;

namespace brelvo::app {

constexpr int kDefaultPasswordIterations = 100000;
// Table password registered before USUARIOS.DB is opened.
inline const char *const kUsersTablePassword = "8642";

// Iterations used for new hashes; tests lower it to stay fast.
int passwordIterations();
void setPasswordIterations(int iterations);

QString hashPassword(const QString &plain, int iterations = -1);
// False for an empty or malformed stored text.
bool verifyPassword(const QString &stored, const QString &typed);

// Writes the hash of `plain` for the user row `id` and blanks SENHA.
void storeUserPassword(const data::DatabasePtr &db, qint64 id, const QString &plain);
// Hash of the user row `id` ("" when none).
QString storedUserHash(const data::DatabasePtr &db, qint64 id);

// Schema version 2: adds SenhaHash, hashes every plain SENHA and blanks it.
// Registered with the data layer by registerPasswordMigration().
void migrateUserPasswords(data::Database &db);
void registerPasswordMigration();

// The supervisor password: that of the first row of USUARIOS.DB (the built-in
// administrator); letter case does not matter.
bool supervisorPasswordMatches(const data::DatabasePtr &db, const QString &typed);

// Asks for the supervisor password through the dialog service until it matches
// (true) or the user cancels (false). A wrong password is told with
// "Senha Do Administrador Errada! ..." and asked again.
bool checkSupervisorPassword(QWidget *parent, const data::DatabasePtr &db);

} // namespace brelvo::app
