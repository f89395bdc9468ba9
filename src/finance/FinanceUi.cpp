#include "finance/FinanceUi.h"

#include "core/Widgets.h"

#include <QLineEdit>

namespace brelvo::finance {

core::ClickLabel *clickLabel(const QString &name, const QString &text, const QString &hint, QWidget *parent)
{
    auto *l = new core::ClickLabel(text, parent);
    l->setObjectName(name);
    l->setToolTip(hint);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

QLineEdit *dateBox(const QString &name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setInputMask(QStringLiteral("99/99/9999;_"));
    e->setMaximumWidth(100);
    core::homeOnFocus(e);
    return e;
}

} // namespace brelvo::finance
