#pragma once
// Every engine failure reaches callers as a DbError whose text is a Portuguese
// message ready to be shown in a message box.

#include <QString>
#include <stdexcept>

namespace brelvo::data {

class DbError : public std::runtime_error {
public:
    enum class Kind { Generic, TableNotFound, FieldNotFound, RecordLocked, KeyViolation,
                      WrongPassword, NotOpen, InvalidValue, SqlError, Busy,
                      // a server asks for a password that was not given or not accepted
                      PasswordNeeded };
    DbError(Kind kind, const QString &message);
    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }
private:
    Kind m_kind;
    QString m_message;
};

} // namespace brelvo::data
