#pragma once
// The order window on a fresh database: the supervisor check of the program,
// a customer with two cars, employees, products, and short ways to reach the
// window's controls by name.

#include "OrderFixture.h"
#include "app/Passwords.h"
#include "core/DataControls.h"
#include "core/FakeDialogService.h"
#include "orders/TFormOrdem.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace ordertest {

// Passwords are hashed with one iteration in tests; the hash column comes
// with the migration registered here, before any database is opened.
inline void initPasswords()
{
    brelvo::app::setPasswordIterations(1);
    brelvo::app::registerPasswordMigration();
}

struct WindowDb : Db {
    WindowDb()
    {
        db->addPassword(QStringLiteral("8642"));
        customer(7, "JOAO DA SILVA", "123.456.789-09", "(11) 3333-4444", "(11) 99999-0000");
        car(7, "GOL", "AAA1111", 2010, 2011, "VW", "FLEX");
        car(7, "UNO", "BBB2222", 2005, 2006, "FIAT", "ALCOOL");
        employee(3, "CARLOS", "MECÂNICO");
        employee(4, "BEATRIZ", "ATENDENTE");
        employee(5, "ANA", "ATENDENTE");
    }
    // A user who is not the supervisor.
    void operatorUser(const QString &login, const QString &senha)
    {
        brelvo::data::Table t(db, QStringLiteral("USUARIOS.DB"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("NOME"), login);
        t.setValue(QStringLiteral("LOGIN"), login);
        t.setValue(QStringLiteral("STATUS"), QStringLiteral("S"));
        t.setValue(QStringLiteral("ADMIN"), QStringLiteral("S"));
        t.post();
        brelvo::app::storeUserPassword(db, t.asInteger(QStringLiteral("ID")), senha);
    }
};

inline std::unique_ptr<brelvo::orders::TFormOrdem> window(WindowDb &f)
{
    brelvo::orders::OrderWindowContext ctx;
    auto db = f.db;
    ctx.supervisorMatches = [db](const QString &typed) { return brelvo::app::supervisorPasswordMatches(db, typed); };
    return std::make_unique<brelvo::orders::TFormOrdem>(f.db, ctx);
}

template <typename T = QWidget>
T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qWarning("no control %s", name);
    return c;
}
inline QPushButton *button(QWidget &w, const char *name) { return child<QPushButton>(w, name); }
inline QLineEdit *edit(QWidget &w, const char *name) { return child<QLineEdit>(w, name); }

// Replaces a box's text as the user would: select all, type.
inline void retype(QLineEdit *e, const QString &text)
{
    e->setFocus();
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Delete);
    else
        QTest::keyClicks(e, text);
}

// Shows the window and makes it the active one (its keys need that).
inline bool showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

} // namespace ordertest
