#include "app/MenuCommands.h"

#include "core/Widgets.h"

#include <QAction>
#include <QPushButton>

namespace brelvo::app {

MenuCommands::MenuCommands(QWidget *window) : QObject(window), m_window(window) {}

QString MenuCommands::notWiredHint()
{
    return QStringLiteral("Em desenvolvimento");
}

void MenuCommands::bind(const QString &command, QObject *control, const QString &hint, std::function<void()> click)
{
    m_bound[command].append(control);
    if (!hint.isEmpty())
        m_hints[control] = hint;
    if (auto *a = qobject_cast<QAction *>(control)) {
        connect(a, &QAction::triggered, this, [this, command, click] {
            if (click)
                click();
            else
                run(command);
        });
    } else if (auto *b = qobject_cast<QPushButton *>(control)) {
        connect(b, &QPushButton::clicked, this, [this, command, click] {
            if (click)
                click();
            else
                run(command);
        });
    }
    refresh(command);
}

void MenuCommands::refresh(const QString &command)
{
    const bool wired = m_handlers.contains(command);
    for (QObject *c : m_bound.value(command)) {
        const QString hint = wired ? m_hints.value(c) : notWiredHint();
        if (auto *a = qobject_cast<QAction *>(c)) {
            a->setEnabled(wired);
            a->setToolTip(hint.isEmpty() ? a->text().remove(QLatin1Char('&')) : hint);
        } else if (auto *w = qobject_cast<QWidget *>(c)) {
            w->setEnabled(wired);
            w->setToolTip(hint);
        }
    }
}

void MenuCommands::setHandler(const QString &command, std::function<void()> handler)
{
    if (handler)
        m_handlers[command] = std::move(handler);
    else
        m_handlers.remove(command);
    refresh(command);
}

bool MenuCommands::hasHandler(const QString &command) const
{
    return m_handlers.contains(command);
}

bool MenuCommands::run(const QString &command)
{
    auto it = m_handlers.constFind(command);
    if (it == m_handlers.constEnd())
        return false;
    const std::function<void()> fn = it.value();   // a handler may replace itself
    core::guarded(m_window, fn);
    return true;
}

void MenuCommands::addUnboundCommand(const QString &command)
{
    if (!m_unbound.contains(command))
        m_unbound << command;
}

QStringList MenuCommands::commands() const
{
    QStringList all = m_bound.keys();
    for (const QString &c : m_unbound)
        if (!all.contains(c))
            all << c;
    return all;
}

} // namespace brelvo::app
