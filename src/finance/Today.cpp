#include "finance/Today.h"

namespace brelvo::finance {

namespace {
QDate g_fixed;
}

QDate today() { return g_fixed.isValid() ? g_fixed : QDate::currentDate(); }

ScopedToday::ScopedToday(const QDate &day) : m_previous(g_fixed) { g_fixed = day; }

ScopedToday::~ScopedToday() { g_fixed = m_previous; }

} // namespace brelvo::finance
