#pragma once
// A DialogService for tests: records every dialog and answers from scripts.

#include "core/DialogService.h"

#include <QList>
#include <QMap>
#include <QQueue>
#include <QString>
#include <functional>

namespace brelvo::core {

class FakeDialogService : public DialogService {
public:
    enum class Kind { Information, Warning, Error, Question, Input, OpenFile, SaveFile, Exec, ExecNamed };

    struct Call {
        Kind kind;
        QString title;
        QString text;            // message, question, input label, file filter
        MsgIcon icon = MsgIcon::None;
        QString name;            // dialog objectName / class, or the execNamed name
        QString answer;          // what was answered, as text
        bool unexpected = false; // no scripted answer was available
        QString dir;             // file dialogs: the folder (and name) proposed
        QString filter;          // save dialog: the filter offered first
    };

    // Scripted answers, consumed in order, one queue per kind of dialog.
    void answerQuestion(Answer a) { m_questions.enqueue(a); }
    void answerInput(const QString &value) { m_inputs.enqueue({true, value}); }
    void cancelInput() { m_inputs.enqueue({false, QString()}); }
    void answerFile(const QString &path) { m_files.enqueue({path, QString()}); }   // "" = cancelled
    // A save dialog answered with a path and the filter the user picked.
    void answerFile(const QString &path, const QString &filter) { m_files.enqueue({path, filter}); }

    // Handlers for modal windows. exec(QDialog*) looks the dialog up by its
    // objectName, then its class name (with and without namespace);
    // execNamed by name, then window objectName, then window class. The
    // handler returns the result code. Without a handler: rejected (0).
    using DialogHandler = std::function<int(QDialog *)>;
    using NamedHandler = std::function<int(QWidget *window, void *object)>;
    void onDialog(const QString &key, DialogHandler handler) { m_dialogHandlers[key] = std::move(handler); }
    void onNamed(const QString &key, NamedHandler handler) { m_namedHandlers[key] = std::move(handler); }

    // What happened.
    const QList<Call> &calls() const { return m_calls; }
    QList<Call> callsOf(Kind kind) const;
    int count(Kind kind) const { return int(callsOf(kind).size()); }
    // Texts of every message box shown (information, warning, error, question).
    QStringList messages() const;
    const Call *last() const { return m_calls.isEmpty() ? nullptr : &m_calls.last(); }
    void clearCalls() { m_calls.clear(); }

    // Problems a test should fail on: dialogs that found no scripted answer
    // and scripted answers never used. Empty when all went as scripted.
    QStringList problems() const;
    bool clean() const { return problems().isEmpty(); }
    QList<Call> unexpectedCalls() const;

    // Strict mode: a dialog without a scripted answer throws std::logic_error
    // (after recording it) instead of answering No / cancel.
    void setStrict(bool on) { m_strict = on; }

    void information(QWidget *parent, const QString &title, const QString &text) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    void error(QWidget *parent, const QString &title, const QString &text) override;
    Answer question(QWidget *parent, const QString &title, const QString &text,
                    MsgIcon icon = MsgIcon::Question, Answer defaultAnswer = Answer::Yes) override;
    Answer questionYesNoCancel(QWidget *parent, const QString &title, const QString &text) override;
    bool input(QWidget *parent, const QString &title, const QString &label,
               QString *value, bool password = false) override;
    QString openFile(QWidget *parent, const QString &title, const QString &dir,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &dir,
                     const QString &filter, const QString &defaultSuffix = QString(),
                     QString *selectedFilter = nullptr) override;
    int exec(QDialog *dialog) override;
    int execNamed(const QString &name, QWidget *window, void *object) override;

private:
    void unexpected(Call &call);
    QString fileAnswer(Kind kind, const QString &title, const QString &dir, const QString &filter,
                       QString *selectedFilter);

    QList<Call> m_calls;
    QQueue<Answer> m_questions;
    QQueue<std::pair<bool, QString>> m_inputs;
    QQueue<std::pair<QString, QString>> m_files;   // path, chosen filter
    QMap<QString, DialogHandler> m_dialogHandlers;
    QMap<QString, NamedHandler> m_namedHandlers;
    bool m_strict = false;
};

QString kindName(FakeDialogService::Kind kind);

// Installs a FakeDialogService for the life of the object and restores the
// previous service afterwards.
class ScopedFakeDialogs {
public:
    ScopedFakeDialogs();
    ~ScopedFakeDialogs();
    ScopedFakeDialogs(const ScopedFakeDialogs &) = delete;
    ScopedFakeDialogs &operator=(const ScopedFakeDialogs &) = delete;

    FakeDialogService &fake() { return *m_fake; }
    FakeDialogService *operator->() { return m_fake; }

private:
    FakeDialogService *m_fake;
    std::unique_ptr<DialogService> m_previous;
};

} // namespace brelvo::core
