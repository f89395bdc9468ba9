#pragma once
// Every message box, question, input box, file dialog and modal window goes
// through the current DialogService, so tests answer them without a screen.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;
class QDialog;

namespace brelvo::core {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class Answer { Yes, No, Ok, Cancel };

class DialogService {
public:
    virtual ~DialogService() = default;

    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual void error(QWidget *parent, const QString &title, const QString &text) = 0;
    // Yes/No question; returns Yes or No. With defaultAnswer Ok or Cancel the
    // box offers "OK" and "Cancelar" instead and returns Ok or Cancel.
    virtual Answer question(QWidget *parent, const QString &title, const QString &text,
                            MsgIcon icon = MsgIcon::Question, Answer defaultAnswer = Answer::Yes) = 0;
    // Three-way question with "Sim", "Não" and "Cancelar"; returns Yes, No or
    // Cancel. A service without a third button asks Yes/No.
    virtual Answer questionYesNoCancel(QWidget *parent, const QString &title, const QString &text)
    {
        return question(parent, title, text);
    }
    // Input box: returns false when cancelled.
    virtual bool input(QWidget *parent, const QString &title, const QString &label,
                       QString *value, bool password = false) = 0;
    // File dialogs: empty string when cancelled. filter as in QFileDialog.
    // dir may end in a file name, which the save dialog proposes.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &dir,
                             const QString &filter) = 0;
    // selectedFilter, when given, is the filter shown first and receives the
    // one the user chose.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &dir,
                             const QString &filter, const QString &defaultSuffix = QString(),
                             QString *selectedFilter = nullptr) = 0;
    // Modal windows (QDialog::exec); returns the dialog's result code.
    virtual int exec(QDialog *dialog) = 0;
    // Any other modal presentation identified by a name (print preview, etc.);
    // `object` is what a test may inspect (for example prepared pages).
    virtual int execNamed(const QString &name, QWidget *window, void *object) = 0;
};

// The service in force; a QtDialogService unless a test installed another.
DialogService &dialogs();
// Installs a service (takes ownership); returns the previous one.
std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service);

// Short-hands used by the windows.
inline void showMessage(const QString &text, const QString &title = QString()) { dialogs().information(nullptr, title, text); }

} // namespace brelvo::core
