#include "stock/StockUi.h"

#include "core/Format.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

namespace brelvo::stock {

EnterMoves::EnterMoves(QWidget *window) : QObject(window)
{
    window->installEventFilter(this);
    for (QWidget *w : window->findChildren<QWidget *>())
        w->installEventFilter(this);
}

bool EnterMoves::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (key->modifiers() & ~(Qt::KeypadModifier))
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractItemView *>(w)
        || qobject_cast<QPlainTextEdit *>(w))
        return false;
    if (!w->hasFocus())
        return false;
    QWidget *next = w->nextInFocusChain();
    while (next && next != w
           && !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)
                && next->window() == w->window()))
        next = next->nextInFocusChain();
    if (next && next != w)
        next->setFocus(Qt::TabFocusReason);
    return true;
}

void forceUpper(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString up = core::upper(text);
        if (up != text) {
            const int pos = edit->cursorPosition();
            edit->setText(up);
            edit->setCursorPosition(pos);
        }
    });
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        Q_EMIT clicked();
}

QString codeText(const QVariant &codigo)
{
    if (codigo.isNull() || !codigo.isValid())
        return QString();
    return QString::number(qint64(codigo.toDouble() + (codigo.toDouble() >= 0 ? 0.5 : -0.5)))
        .rightJustified(13, QLatin1Char('0'));
}

} // namespace brelvo::stock
