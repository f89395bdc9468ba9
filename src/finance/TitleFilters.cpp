#include "finance/TitleFilters.h"

#include "core/Format.h"
#include "data/Dataset.h"

#include <QStringList>

namespace brelvo::finance {

namespace {
QString dateLiteral(const QDate &d) { return QLatin1Char('\'') + d.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char('\''); }
} // namespace

bool readDateBox(const QString &text, QDate *date, QString *error)
{
    *date = QDate();
    QString digits;
    for (const QChar c : text)
        if (c.isDigit())
            digits += c;
    if (digits.isEmpty())
        return true;
    const QDate d = digits.size() == 8 ? QDate::fromString(digits, QStringLiteral("ddMMyyyy")) : QDate();
    if (!d.isValid()) {
        if (error)
            *error = QStringLiteral("'%1' não é uma data válida.\nDigite a data como dd/mm/aaaa.").arg(text.trimmed());
        return false;
    }
    *date = d;
    return true;
}

std::optional<DueRange> readRange(const QString &from, const QString &to, QString *error)
{
    DueRange r;
    if (!readDateBox(from, &r.from, error) || !readDateBox(to, &r.to, error))
        return std::nullopt;
    if (!r.isSet())
        return DueRange{};
    return r;
}

QString titleFilter(const DueRange &range, PaidState state, const QString &field, const QString &value)
{
    QStringList parts;
    if (range.isSet()) {
        parts << QStringLiteral("DataVencimento >= ") + dateLiteral(range.from)
              << QStringLiteral("DataVencimento <= ") + dateLiteral(range.to);
    }
    if (!field.isEmpty())
        parts << field + QStringLiteral(" = ") + data::Table::quoted(core::upper(value));
    if (state == PaidState::Open)
        parts << QStringLiteral("DataPagamento = null");
    else if (state == PaidState::Paid)
        parts << QStringLiteral("DataPagamento <> null");
    return parts.join(QStringLiteral(" and "));
}

QString overdueFilter(const QDate &day)
{
    return QStringLiteral("DataVencimento < ") + dateLiteral(day) + QStringLiteral(" and DataPagamento = null");
}

QString reminderFilter(const QDate &day)
{
    return QStringLiteral("DataVencimento >= ") + dateLiteral(day) + QStringLiteral(" and DataVencimento <= ")
           + dateLiteral(day) + QStringLiteral(" and DataPagamento = null");
}

} // namespace brelvo::finance
