#include "core/DialogService.h"
#include "core/FakeDialogService.h"
#include "core/QtDialogService.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <stdexcept>

namespace brelvo::core {

namespace {
std::unique_ptr<DialogService> &current()
{
    static std::unique_ptr<DialogService> service;
    return service;
}

QMessageBox::Icon toIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

void messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

// Runs a non-dialog window modally until it is closed or destroyed.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(QEventLoop *loop) : m_loop(loop) {}
protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Close || e->type() == QEvent::Hide) m_loop->quit();
        return QObject::eventFilter(o, e);
    }
private:
    QEventLoop *m_loop;
};
} // namespace

DialogService &dialogs()
{
    auto &s = current();
    if (!s) s = std::make_unique<QtDialogService>();
    return *s;
}

std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service)
{
    auto previous = std::move(current());
    current() = std::move(service);
    return previous;
}

// ---- QtDialogService ----------------------------------------------------

void QtDialogService::information(QWidget *parent, const QString &title, const QString &text)
{
    messageBox(parent, QMessageBox::Information, title, text);
}

void QtDialogService::warning(QWidget *parent, const QString &title, const QString &text)
{
    messageBox(parent, QMessageBox::Warning, title, text);
}

void QtDialogService::error(QWidget *parent, const QString &title, const QString &text)
{
    messageBox(parent, QMessageBox::Critical, title, text);
}

Answer QtDialogService::question(QWidget *parent, const QString &title, const QString &text,
                                 MsgIcon icon, Answer defaultAnswer)
{
    QMessageBox box(toIcon(icon), title, text, QMessageBox::NoButton, parent);
    const bool okCancel = defaultAnswer == Answer::Ok || defaultAnswer == Answer::Cancel;
    QPushButton *yes = okCancel ? box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole)
                                : box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton *no = okCancel ? box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole)
                               : box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    box.setDefaultButton(defaultAnswer == Answer::No || defaultAnswer == Answer::Cancel ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    const bool accepted = box.clickedButton() == yes;
    if (okCancel) return accepted ? Answer::Ok : Answer::Cancel;
    return accepted ? Answer::Yes : Answer::No;
}

Answer QtDialogService::questionYesNoCancel(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (box.clickedButton() == no) return Answer::No;
    return Answer::Cancel;
}

bool QtDialogService::input(QWidget *parent, const QString &title, const QString &label,
                            QString *value, bool password)
{
    QInputDialog dlg(parent);
    dlg.setWindowTitle(title);
    dlg.setLabelText(label);
    dlg.setTextValue(value ? *value : QString());
    dlg.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Cancelar"));
    if (dlg.exec() != QDialog::Accepted) return false;
    if (value) *value = dlg.textValue();
    return true;
}

QString QtDialogService::openFile(QWidget *parent, const QString &title, const QString &dir,
                                  const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString QtDialogService::saveFile(QWidget *parent, const QString &title, const QString &dir,
                                  const QString &filter, const QString &defaultSuffix, QString *selectedFilter)
{
    QFileDialog dlg(parent, title, dir, filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty()) dlg.setDefaultSuffix(defaultSuffix);
    if (selectedFilter && !selectedFilter->isEmpty()) dlg.selectNameFilter(*selectedFilter);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    if (selectedFilter) *selectedFilter = dlg.selectedNameFilter();
    return dlg.selectedFiles().first();
}

int QtDialogService::exec(QDialog *dialog)
{
    return dialog ? dialog->exec() : QDialog::Rejected;
}

int QtDialogService::execNamed(const QString &, QWidget *window, void *)
{
    if (!window) return 0;
    if (auto *dlg = qobject_cast<QDialog *>(window)) {
        if (!dlg->parentWidget()) dlg->setWindowState(dlg->windowState() | Qt::WindowMaximized);
        return dlg->exec();
    }
    QPointer<QWidget> w(window);
    QEventLoop loop;
    CloseWatcher watcher(&loop);
    w->installEventFilter(&watcher);
    QObject::connect(w, &QObject::destroyed, &loop, &QEventLoop::quit);
    w->setWindowModality(Qt::ApplicationModal);
    if (!w->parentWidget()) w->showMaximized();
    else w->show();
    loop.exec(QEventLoop::DialogExec);
    if (w) w->removeEventFilter(&watcher);
    return 0;
}

// ---- FakeDialogService --------------------------------------------------

QString kindName(FakeDialogService::Kind kind)
{
    using K = FakeDialogService::Kind;
    switch (kind) {
    case K::Information: return QStringLiteral("information");
    case K::Warning: return QStringLiteral("warning");
    case K::Error: return QStringLiteral("error");
    case K::Question: return QStringLiteral("question");
    case K::Input: return QStringLiteral("input");
    case K::OpenFile: return QStringLiteral("openFile");
    case K::SaveFile: return QStringLiteral("saveFile");
    case K::Exec: return QStringLiteral("exec");
    case K::ExecNamed: return QStringLiteral("execNamed");
    }
    return QString();
}

QList<FakeDialogService::Call> FakeDialogService::callsOf(Kind kind) const
{
    QList<Call> out;
    for (const auto &c : m_calls)
        if (c.kind == kind) out.append(c);
    return out;
}

QStringList FakeDialogService::messages() const
{
    QStringList out;
    for (const auto &c : m_calls)
        if (c.kind == Kind::Information || c.kind == Kind::Warning || c.kind == Kind::Error ||
            c.kind == Kind::Question)
            out << c.text;
    return out;
}

QList<FakeDialogService::Call> FakeDialogService::unexpectedCalls() const
{
    QList<Call> out;
    for (const auto &c : m_calls)
        if (c.unexpected) out.append(c);
    return out;
}

QStringList FakeDialogService::problems() const
{
    QStringList out;
    for (const auto &c : m_calls)
        if (c.unexpected)
            out << QStringLiteral("unexpected %1 \"%2\": %3").arg(kindName(c.kind), c.title, c.text);
    if (!m_questions.isEmpty())
        out << QStringLiteral("%1 scripted question answer(s) not used").arg(m_questions.size());
    if (!m_inputs.isEmpty())
        out << QStringLiteral("%1 scripted input(s) not used").arg(m_inputs.size());
    if (!m_files.isEmpty())
        out << QStringLiteral("%1 scripted file name(s) not used").arg(m_files.size());
    return out;
}

void FakeDialogService::unexpected(Call &call)
{
    call.unexpected = true;
    m_calls.append(call);
    qWarning("FakeDialogService: unexpected %s \"%s\": %s", qPrintable(kindName(call.kind)),
             qPrintable(call.title), qPrintable(call.text));
    if (m_strict)
        throw std::logic_error(QStringLiteral("unexpected %1: %2").arg(kindName(call.kind), call.text).toStdString());
}

void FakeDialogService::information(QWidget *, const QString &title, const QString &text)
{
    m_calls.append({Kind::Information, title, text, MsgIcon::Information, {}, {}, false, {}, {}});
}

void FakeDialogService::warning(QWidget *, const QString &title, const QString &text)
{
    m_calls.append({Kind::Warning, title, text, MsgIcon::Warning, {}, {}, false, {}, {}});
}

void FakeDialogService::error(QWidget *, const QString &title, const QString &text)
{
    m_calls.append({Kind::Error, title, text, MsgIcon::Error, {}, {}, false, {}, {}});
}

Answer FakeDialogService::question(QWidget *, const QString &title, const QString &text, MsgIcon icon,
                                   Answer defaultAnswer)
{
    Call call{Kind::Question, title, text, icon, {}, {}, false, {}, {}};
    if (m_questions.isEmpty()) {
        const bool okCancel = defaultAnswer == Answer::Ok || defaultAnswer == Answer::Cancel;
        call.answer = okCancel ? QStringLiteral("Cancelar") : QStringLiteral("Não");
        unexpected(call);
        return okCancel ? Answer::Cancel : Answer::No;
    }
    const Answer a = m_questions.dequeue();
    call.answer = a == Answer::Yes ? QStringLiteral("Sim") : a == Answer::No ? QStringLiteral("Não")
                  : a == Answer::Ok ? QStringLiteral("OK") : QStringLiteral("Cancelar");
    m_calls.append(call);
    return a;
}

Answer FakeDialogService::questionYesNoCancel(QWidget *, const QString &title, const QString &text)
{
    Call call{Kind::Question, title, text, MsgIcon::Question, QStringLiteral("yesNoCancel"), {}, false};
    if (m_questions.isEmpty()) {
        call.answer = QStringLiteral("Cancelar");
        unexpected(call);
        return Answer::Cancel;
    }
    const Answer a = m_questions.dequeue();
    call.answer = a == Answer::Yes ? QStringLiteral("Sim") : a == Answer::No ? QStringLiteral("Não")
                                                                            : QStringLiteral("Cancelar");
    m_calls.append(call);
    return a;
}

bool FakeDialogService::input(QWidget *, const QString &title, const QString &label, QString *value,
                              bool password)
{
    Call call{Kind::Input, title, label, MsgIcon::None, password ? QStringLiteral("password") : QString(), {}, false, {}, {}};
    if (m_inputs.isEmpty()) {
        unexpected(call);
        return false;
    }
    const auto [ok, text] = m_inputs.dequeue();
    call.answer = ok ? text : QStringLiteral("<cancelado>");
    m_calls.append(call);
    if (ok && value) *value = text;
    return ok;
}

QString FakeDialogService::fileAnswer(Kind kind, const QString &title, const QString &dir, const QString &filter,
                                      QString *selectedFilter)
{
    Call call{kind, title, filter, MsgIcon::None, {}, {}, false, {}, {}};
    call.dir = dir;
    if (selectedFilter)
        call.filter = *selectedFilter;
    if (m_files.isEmpty()) {
        unexpected(call);
        return QString();
    }
    const auto [path, chosen] = m_files.dequeue();
    call.answer = path;
    m_calls.append(call);
    // Not told otherwise, the user keeps the filter offered first.
    if (selectedFilter && !path.isEmpty() && !chosen.isEmpty())
        *selectedFilter = chosen;
    return path;
}

QString FakeDialogService::openFile(QWidget *, const QString &title, const QString &dir, const QString &filter)
{
    return fileAnswer(Kind::OpenFile, title, dir, filter, nullptr);
}

QString FakeDialogService::saveFile(QWidget *, const QString &title, const QString &dir, const QString &filter,
                                    const QString &, QString *selectedFilter)
{
    return fileAnswer(Kind::SaveFile, title, dir, filter, selectedFilter);
}

int FakeDialogService::exec(QDialog *dialog)
{
    Call call{Kind::Exec, dialog ? dialog->windowTitle() : QString(), {}, MsgIcon::None, {}, {}, false, {}, {}};
    if (!dialog) {
        m_calls.append(call);
        return QDialog::Rejected;
    }
    const QString cls = QString::fromLatin1(dialog->metaObject()->className());
    const QString shortCls = cls.section(QStringLiteral("::"), -1);
    call.name = dialog->objectName().isEmpty() ? shortCls : dialog->objectName();
    // Recorded before running the handler so nested dialogs keep their order.
    const int at = int(m_calls.size());
    m_calls.append(call);
    for (const QString &key : {dialog->objectName(), cls, shortCls}) {
        if (key.isEmpty()) continue;
        auto it = m_dialogHandlers.find(key);
        if (it != m_dialogHandlers.end()) {
            const int r = it.value()(dialog);
            dialog->setResult(r);
            m_calls[at].answer = QString::number(r);
            return r;
        }
    }
    dialog->setResult(QDialog::Rejected);
    m_calls[at].answer = QStringLiteral("0");
    return QDialog::Rejected;
}

int FakeDialogService::execNamed(const QString &name, QWidget *window, void *object)
{
    Call call{Kind::ExecNamed, window ? window->windowTitle() : QString(), {}, MsgIcon::None, name, {}, false, {}, {}};
    const int at = int(m_calls.size());
    m_calls.append(call);
    QStringList keys{name};
    if (window) {
        const QString cls = QString::fromLatin1(window->metaObject()->className());
        keys << window->objectName() << cls << cls.section(QStringLiteral("::"), -1);
    }
    for (const QString &key : keys) {
        if (key.isEmpty()) continue;
        auto it = m_namedHandlers.find(key);
        if (it != m_namedHandlers.end()) {
            const int r = it.value()(window, object);
            m_calls[at].answer = QString::number(r);
            return r;
        }
    }
    m_calls[at].answer = QStringLiteral("0");
    return 0;
}

ScopedFakeDialogs::ScopedFakeDialogs()
{
    auto fake = std::make_unique<FakeDialogService>();
    m_fake = fake.get();
    m_previous = setDialogService(std::move(fake));
}

ScopedFakeDialogs::~ScopedFakeDialogs()
{
    setDialogService(std::move(m_previous));
}

} // namespace brelvo::core
