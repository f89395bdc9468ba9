#pragma once
// The password of a server database, asked through the dialog service when
// the password file has none or the server refuses it.

#include <QString>

namespace brelvo::core {

// Asks for the password of the server at `uri` ("A senha não foi aceita."
// first when `refused`) and keeps the answer for the program's later
// connections. False when the operator cancels.
bool askServerPassword(const QString &uri, bool refused);

// "Sem a senha do usuário … o banco de dados do servidor … não pode ser aberto."
QString noServerPasswordMessage(const QString &uri);

} // namespace brelvo::core
