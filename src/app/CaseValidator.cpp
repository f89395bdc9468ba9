#include "app/CaseValidator.h"

#include "core/Format.h"

#include <QLineEdit>

namespace brelvo::app {

QValidator::State CaseValidator::validate(QString &input, int &pos) const
{
    fixup(input);
    if (pos > input.size())
        pos = int(input.size());
    return Acceptable;
}

void CaseValidator::fixup(QString &input) const
{
    input = m_case == Case::Upper ? core::upper(input) : core::lower(input);
}

void CaseValidator::install(QLineEdit *edit, Case c)
{
    edit->setValidator(new CaseValidator(c, edit));
}

} // namespace brelvo::app
