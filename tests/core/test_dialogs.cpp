#include "core/DialogService.h"
#include "core/FakeDialogService.h"
#include "core/QtDialogService.h"
#include "core/Translation.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace brelvo::core;
using K = FakeDialogService::Kind;

class TestDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordsMessages();
    void scriptedAnswersInOrder();
    void unexpectedDialogsDetected();
    void unusedAnswersReported();
    void strictModeThrows();
    void execHandlers();
    void execNamedHandlers();
    void scopedRestores();
    void realBoxesSpeakPortuguese();
    void saveDiscardOrStay();
    void qtOwnTextsInPortuguese();
};

namespace {
// Once the next modal box is up: note its button texts and press `button`.
void pressLater(QStringList *seen, const QString &button, const QString &input = QString())
{
    QTimer::singleShot(20, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto *in = qobject_cast<QInputDialog *>(modal); in && !input.isNull()) in->setTextValue(input);
        QPushButton *target = nullptr;
        for (auto *b : modal->findChildren<QPushButton *>()) {
            *seen << b->text().remove(QLatin1Char('&'));
            if (b->text().remove(QLatin1Char('&')) == button) target = b;
        }
        seen->sort();
        if (target) target->click();
    });
}
} // namespace

void TestDialogs::recordsMessages()
{
    ScopedFakeDialogs f;
    showMessage(QStringLiteral("Registro gravado!"));
    dialogs().warning(nullptr, QStringLiteral("Atenção"), QStringLiteral("Cuidado"));
    dialogs().error(nullptr, QStringLiteral("Erro"), QStringLiteral("Falhou"));
    QCOMPARE(f->calls().size(), 3);
    QCOMPARE(f->calls()[0].kind, K::Information);
    QCOMPARE(f->calls()[0].text, QStringLiteral("Registro gravado!"));
    QCOMPARE(f->calls()[1].title, QStringLiteral("Atenção"));
    QCOMPARE(f->calls()[1].icon, MsgIcon::Warning);
    QCOMPARE(f->calls()[2].kind, K::Error);
    QCOMPARE(f->messages(), QStringList({"Registro gravado!", "Cuidado", "Falhou"}));
    QCOMPARE(f->count(K::Error), 1);
    QVERIFY(f->clean());
}

void TestDialogs::scriptedAnswersInOrder()
{
    ScopedFakeDialogs f;
    f->answerQuestion(Answer::Yes);
    f->answerQuestion(Answer::No);
    f->answerInput(QStringLiteral("kov"));
    f->cancelInput();
    f->answerFile(QStringLiteral("/tmp/a.bck"));
    f->answerFile(QString());

    QCOMPARE(dialogs().question(nullptr, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR ESTE REGISTRO?")),
             Answer::Yes);
    QCOMPARE(dialogs().question(nullptr, QStringLiteral("Sair"), QStringLiteral("Deseja sair?")), Answer::No);
    QString v = QStringLiteral("old");
    QVERIFY(dialogs().input(nullptr, QStringLiteral("Senha"), QStringLiteral("Digite"), &v, true));
    QCOMPARE(v, QStringLiteral("kov"));
    QVERIFY(!dialogs().input(nullptr, QStringLiteral("Senha"), QStringLiteral("Digite"), &v));
    QCOMPARE(v, QStringLiteral("kov"));   // cancel leaves the value alone
    QCOMPARE(dialogs().openFile(nullptr, QStringLiteral("Abrir"), QString(), QStringLiteral("*.bck")),
             QStringLiteral("/tmp/a.bck"));
    QCOMPARE(dialogs().saveFile(nullptr, QStringLiteral("Salvar"), QString(), QStringLiteral("*.bck")), QString());

    QCOMPARE(f->callsOf(K::Question)[0].title, QStringLiteral("Exclusão"));
    QCOMPARE(f->callsOf(K::Question)[1].answer, QStringLiteral("Não"));
    QCOMPARE(f->callsOf(K::Input)[0].name, QStringLiteral("password"));
    QCOMPARE(f->count(K::SaveFile), 1);
    QVERIFY2(f->clean(), qPrintable(f->problems().join('\n')));
}

void TestDialogs::unexpectedDialogsDetected()
{
    ScopedFakeDialogs f;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unexpected question"));
    QCOMPARE(dialogs().question(nullptr, QStringLiteral("T"), QStringLiteral("Apagar?")), Answer::No);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unexpected input"));
    QString v;
    QVERIFY(!dialogs().input(nullptr, QStringLiteral("T"), QStringLiteral("L"), &v));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unexpected openFile"));
    QCOMPARE(dialogs().openFile(nullptr, QStringLiteral("T"), QString(), QString()), QString());
    QVERIFY(!f->clean());
    QCOMPARE(f->unexpectedCalls().size(), 3);
    QVERIFY(f->problems().first().contains(QStringLiteral("Apagar?")));
}

void TestDialogs::unusedAnswersReported()
{
    ScopedFakeDialogs f;
    f->answerQuestion(Answer::Yes);
    f->answerFile(QStringLiteral("x"));
    QCOMPARE(f->problems().size(), 2);
    dialogs().question(nullptr, QString(), QStringLiteral("q"));
    QCOMPARE(f->problems().size(), 1);
}

void TestDialogs::strictModeThrows()
{
    ScopedFakeDialogs f;
    f->setStrict(true);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unexpected question"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dialogs().question(nullptr, QString(), QStringLiteral("q")));
    QCOMPARE(f->unexpectedCalls().size(), 1);
}

void TestDialogs::execHandlers()
{
    ScopedFakeDialogs f;
    QDialog named;
    named.setObjectName(QStringLiteral("TFConsulta"));
    auto *edit = new QLineEdit(&named);
    edit->setObjectName(QStringLiteral("edtBusca"));
    f->onDialog(QStringLiteral("TFConsulta"), [](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("edtBusca"))->setText(QStringLiteral("VELA"));
        return int(QDialog::Accepted);
    });
    QCOMPARE(dialogs().exec(&named), int(QDialog::Accepted));
    QCOMPARE(edit->text(), QStringLiteral("VELA"));
    QCOMPARE(named.result(), int(QDialog::Accepted));

    // By class name when the object has no name.
    QDialog byClass;
    f->onDialog(QStringLiteral("QDialog"), [](QDialog *) { return 7; });
    QCOMPARE(dialogs().exec(&byClass), 7);

    // Unhandled: rejected, and recorded.
    FakeDialogService plain;
    QDialog other;
    other.setObjectName(QStringLiteral("TFOutro"));
    QCOMPARE(plain.exec(&other), int(QDialog::Rejected));
    QCOMPARE(plain.calls().size(), 1);
    QCOMPARE(plain.calls()[0].name, QStringLiteral("TFOutro"));
    QCOMPARE(f->count(K::Exec), 2);
}

void TestDialogs::execNamedHandlers()
{
    ScopedFakeDialogs f;
    int pages = 3;
    void *seen = nullptr;
    f->onNamed(QStringLiteral("preview"), [&](QWidget *, void *obj) {
        seen = obj;
        return 1;
    });
    QCOMPARE(dialogs().execNamed(QStringLiteral("preview"), nullptr, &pages), 1);
    QCOMPARE(seen, static_cast<void *>(&pages));
    QWidget w;
    w.setObjectName(QStringLiteral("TFormRelatorio"));
    f->onNamed(QStringLiteral("TFormRelatorio"), [](QWidget *win, void *) { return win ? 2 : -1; });
    QCOMPARE(dialogs().execNamed(QStringLiteral("outro"), &w, nullptr), 2);
    QCOMPARE(dialogs().execNamed(QStringLiteral("nada"), nullptr, nullptr), 0);
    QCOMPARE(f->callsOf(K::ExecNamed).last().name, QStringLiteral("nada"));
}

void TestDialogs::scopedRestores()
{
    DialogService *outer = &dialogs();
    {
        ScopedFakeDialogs a;
        QCOMPARE(&dialogs(), static_cast<DialogService *>(&a.fake()));
        {
            ScopedFakeDialogs b;
            QCOMPARE(&dialogs(), static_cast<DialogService *>(&b.fake()));
        }
        QCOMPARE(&dialogs(), static_cast<DialogService *>(&a.fake()));
    }
    QCOMPARE(&dialogs(), outer);
    QVERIFY(dynamic_cast<QtDialogService *>(&dialogs()) != nullptr);
}

void TestDialogs::realBoxesSpeakPortuguese()
{
    QtDialogService qt;
    QStringList seen;
    pressLater(&seen, QStringLiteral("Não"));
    QCOMPARE(qt.question(nullptr, QStringLiteral("Exclusão"), QStringLiteral("DESEJA EXCLUIR?")), Answer::No);
    QCOMPARE(seen, QStringList({QStringLiteral("Não"), QStringLiteral("Sim")}));

    seen.clear();
    pressLater(&seen, QStringLiteral("Sim"));
    QCOMPARE(qt.question(nullptr, QString(), QStringLiteral("?"), MsgIcon::Warning, Answer::No), Answer::Yes);

    seen.clear();
    pressLater(&seen, QStringLiteral("Cancelar"));
    QCOMPARE(qt.question(nullptr, QString(), QStringLiteral("Insira o disco 2"), MsgIcon::Information, Answer::Ok),
             Answer::Cancel);
    QCOMPARE(seen, QStringList({QStringLiteral("Cancelar"), QStringLiteral("OK")}));

    seen.clear();
    pressLater(&seen, QStringLiteral("OK"));
    qt.information(nullptr, QStringLiteral("Aviso"), QStringLiteral("Pronto"));
    QCOMPARE(seen, QStringList({QStringLiteral("OK")}));

    seen.clear();
    QString value;
    pressLater(&seen, QStringLiteral("OK"), QStringLiteral("abc"));
    QVERIFY(qt.input(nullptr, QStringLiteral("Senha"), QStringLiteral("Digite:"), &value, true));
    QCOMPARE(value, QStringLiteral("abc"));
    QCOMPARE(seen, QStringList({QStringLiteral("Cancelar"), QStringLiteral("OK")}));
    seen.clear();
    pressLater(&seen, QStringLiteral("Cancelar"), QStringLiteral("xyz"));
    QVERIFY(!qt.input(nullptr, QStringLiteral("Senha"), QStringLiteral("Digite:"), &value));
    QCOMPARE(value, QStringLiteral("abc"));
}

QTEST_MAIN(TestDialogs)
void TestDialogs::saveDiscardOrStay()
{
    QtDialogService qt;
    const QList<std::pair<QString, Answer>> presses{{QStringLiteral("Sim"), Answer::Yes},
                                                    {QStringLiteral("Não"), Answer::No},
                                                    {QStringLiteral("Cancelar"), Answer::Cancel}};
    for (const auto &[button, answer] : presses) {
        QStringList seen;
        pressLater(&seen, button);
        QCOMPARE(qt.questionYesNoCancel(nullptr, QStringLiteral("Confirmação"), QStringLiteral("Salvar?")), answer);
        QCOMPARE(seen.size(), 3);
        QVERIFY(seen.contains(QStringLiteral("Sim")) && seen.contains(QStringLiteral("Não"))
                && seen.contains(QStringLiteral("Cancelar")));
    }
    // The fake answers from the same queue as the Yes/No questions; nothing scripted means stay.
    FakeDialogService fake;
    fake.answerQuestion(Answer::No);
    QCOMPARE(fake.questionYesNoCancel(nullptr, QString(), QStringLiteral("Salvar?")), Answer::No);
    QCOMPARE(fake.questionYesNoCancel(nullptr, QString(), QStringLiteral("Salvar?")), Answer::Cancel);
    QCOMPARE(fake.unexpectedCalls().size(), 1);
}

void TestDialogs::qtOwnTextsInPortuguese()
{
    QVERIFY(installQtPortuguese(qApp));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QStringLiteral("&Copiar"));
}

#include "test_dialogs.moc"
