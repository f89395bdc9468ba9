#pragma once
// A provisioned database (passwords hashed with one iteration to keep tests
// fast) and helpers to add users and log in through the fake dialogs.

#include "app/Passwords.h"
#include "app/TFLogin.h"
#include "app/TFormMenu.h"
#include "core/FakeDialogService.h"
#include "data/Database.h"
#include "data/Dataset.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace apptest {

using brelvo::data::DatabasePtr;

struct AppDb {
    QTemporaryDir dir;
    DatabasePtr db;
    AppDb()
    {
        brelvo::app::setPasswordIterations(1);
        brelvo::app::registerPasswordMigration();
        db = brelvo::data::Database::open(dir.path(), true);
        db->addPassword(QStringLiteral("8642"));
    }

    qint64 addUser(const QString &nome, const QString &login, const QString &senha,
                   const QString &status = QStringLiteral("S"), const QString &admin = QStringLiteral("N"))
    {
        brelvo::data::Table t(db, QStringLiteral("USUARIOS.DB"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("NOME"), nome);
        t.setValue(QStringLiteral("LOGIN"), login);
        t.setValue(QStringLiteral("STATUS"), status);
        t.setValue(QStringLiteral("ADMIN"), admin);
        t.post();
        const qint64 id = t.asInteger(QStringLiteral("ID"));
        brelvo::app::storeUserPassword(db, id, senha);
        return id;
    }

    // Sets one permission field of the single Checkbox.db row (null allowed).
    void setPermission(const QString &field, const QVariant &value)
    {
        brelvo::data::Table t(db, QStringLiteral("Checkbox.db"));
        t.open();
        t.first();
        t.edit();
        t.setValue(field, value);
        t.post();
    }
};

// Answers the login dialog with name and password and presses OK.
inline void scriptLogin(brelvo::core::FakeDialogService &fake, const QString &name, const QString &pass)
{
    fake.onDialog(QStringLiteral("FLogin"), [name, pass](QDialog *d) {
        d->findChild<QComboBox *>(QStringLiteral("ValorNome"))->setEditText(name);
        d->findChild<QLineEdit *>(QStringLiteral("ValorSenha"))->setText(pass);
        d->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        return d->result();
    });
}

} // namespace apptest
