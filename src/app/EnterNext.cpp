#include "app/EnterNext.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace brelvo::app {

void EnterNext::install(QWidget *window)
{
    auto *filter = new EnterNext(window);
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)
            || (qobject_cast<QAbstractButton *>(w) && !qobject_cast<QPushButton *>(w)))
            w->installEventFilter(filter);
    }
}

bool EnterNext::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if ((ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && ke->modifiers() == Qt::NoModifier) {
            auto *w = static_cast<QWidget *>(watched);
            // A combo's line edit belongs to the combo.
            if (auto *combo = qobject_cast<QComboBox *>(w->parentWidget()); combo && combo->lineEdit() == w)
                w = combo;
            QWidget *next = w->nextInFocusChain();
            while (next && next != w
                   && (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() || !next->isVisibleTo(w->window())
                       || next->window() != w->window() || next->focusProxy()))
                next = next->nextInFocusChain();
            if (next && next != w)
                next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brelvo::app
