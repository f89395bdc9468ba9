#pragma once
// The day the finance windows take as today (reminders, overdue bills, new
// entries, the cash-flow period). Tests fix it with ScopedToday.

#include <QDate>

namespace brelvo::finance {

QDate today();

class ScopedToday {
public:
    explicit ScopedToday(const QDate &day);
    ~ScopedToday();
    ScopedToday(const ScopedToday &) = delete;
    ScopedToday &operator=(const ScopedToday &) = delete;
private:
    QDate m_previous;
};

} // namespace brelvo::finance
