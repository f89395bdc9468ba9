#pragma once
// Forces upper or lower case as the user types (names and logins upper case,
// passwords lower case).

#include <QValidator>

class QLineEdit;

namespace brelvo::app {

class CaseValidator : public QValidator {
    Q_OBJECT
public:
    enum class Case { Upper, Lower };
    explicit CaseValidator(Case c, QObject *parent = nullptr) : QValidator(parent), m_case(c) {}
    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    static void install(QLineEdit *edit, Case c);
private:
    Case m_case;
};

} // namespace brelvo::app
