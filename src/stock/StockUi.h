#pragma once
// Small widgets and helpers shared by the stock windows.

#include <QLabel>
#include <QLineEdit>
#include <QObject>

class QWidget;

namespace brelvo::stock {

// Edits that force upper case as the user types.
void forceUpper(QLineEdit *edit);

// A label that reports clicks (the "Codigo" label, the product photo).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();
protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

// Text of a product code as every window shows it: 13 digits, zero-padded.
QString codeText(const QVariant &codigo);

} // namespace brelvo::stock
