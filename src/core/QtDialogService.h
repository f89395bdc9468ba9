#pragma once
// The on-screen DialogService: message boxes with Portuguese buttons, input
// boxes, file dialogs and modal windows.

#include "core/DialogService.h"

namespace brelvo::core {

class QtDialogService : public DialogService {
public:
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
    // A QDialog is exec()'d; any other window is shown application-modal
    // (maximised when it is a top-level window) until it closes; returns the
    // dialog's result, 0 for other windows.
    int execNamed(const QString &name, QWidget *window, void *object) override;
};

} // namespace brelvo::core
