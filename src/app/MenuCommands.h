#pragma once
// The main menu's command registry: each command (named after its menu item
// or button) may be reached from several controls (menu item, button,
// function key). Until a handler is set its controls stay disabled with the
// tooltip "Em desenvolvimento"; setting one enables them all.

#include <QMap>
#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace brelvo::app {

class MenuCommands : public QObject {
    Q_OBJECT
public:
    explicit MenuCommands(QWidget *window);

    // Binds a control (QAction or button) to a command. `hint` is its tooltip
    // once wired. A click (button or menu item) runs `click` when given, else
    // the command.
    void bind(const QString &command, QObject *control, const QString &hint = QString(),
              std::function<void()> click = {});
    void setHandler(const QString &command, std::function<void()> handler);
    bool hasHandler(const QString &command) const;
    // Runs a command's handler (a failure is shown); false when none is set.
    bool run(const QString &command);
    // Every bound command, plus those reached only from code.
    QStringList commands() const;
    void addUnboundCommand(const QString &command);

    static QString notWiredHint();

private:
    void refresh(const QString &command);
    QWidget *m_window;
    QMap<QString, std::function<void()>> m_handlers;
    QMap<QString, QList<QObject *>> m_bound;
    QMap<QObject *, QString> m_hints;
    QStringList m_unbound;
};

} // namespace brelvo::app
