#pragma once
// Small controls the finance windows share.

#include <QString>

class QLineEdit;
class QWidget;

namespace brelvo::core {
class ClickLabel;
}

namespace brelvo::finance {

// A caption that acts when clicked (pointing-hand cursor, a hint).
core::ClickLabel *clickLabel(const QString &name, const QString &text, const QString &hint, QWidget *parent);
// An unbound date box with the mask "99/99/9999"; nothing typed reads "__/__/____".
QLineEdit *dateBox(const QString &name, QWidget *parent);

} // namespace brelvo::finance
