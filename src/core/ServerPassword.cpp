#include "core/ServerPassword.h"

#include "core/DialogService.h"
#include "data/Database.h"

namespace brelvo::core {

bool askServerPassword(const QString &uri, bool refused)
{
    QString user, server;
    data::Database::serverLogin(uri, &user, &server);
    QString label = QStringLiteral("Senha do usuário %1 no servidor %2:").arg(user, server);
    if (refused)
        label.prepend(QStringLiteral("A senha não foi aceita.\n"));
    QString password;
    if (!dialogs().input(nullptr, QStringLiteral("Senha do banco de dados"), label, &password, true))
        return false;
    data::Database::setServerPassword(uri, password);
    return true;
}

QString noServerPasswordMessage(const QString &uri)
{
    QString user, server;
    data::Database::serverLogin(uri, &user, &server);
    return QStringLiteral("Sem a senha do usuário %1 o banco de dados do servidor %2 não pode ser aberto.")
        .arg(user, server);
}

} // namespace brelvo::core
