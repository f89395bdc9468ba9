#include "app/Startup.h"

#include "core/AppPaths.h"
#include "core/DialogService.h"
#include "core/ServerPassword.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>

namespace brelvo::app {

QString programDir()
{
    QString d = core::executableFolder();
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

QString filesDir()
{
    QString d = core::programFolder();
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

QStringList workingFileNames()
{
    return {QStringLiteral("emitente_cpf.txt"), QStringLiteral("emitente_end.txt"),
            QStringLiteral("emitente_nome.txt"), QStringLiteral("emitente_rg.txt"),
            QStringLiteral("lista_credor.txt"), QStringLiteral("lista_receber.txt"),
            QStringLiteral("lista_saida.txt"), QStringLiteral("receber_credor.txt")};
}

bool createPrivateDir(const QString &dir)
{
    QDir base(dir);
    if (base.exists(QStringLiteral("PRIV")) && QFileInfo(base.filePath(QStringLiteral("PRIV"))).isDir())
        return true;
    if (base.mkpath(QStringLiteral("PRIV")))
        return true;
    core::dialogs().information(nullptr, QString(),
                                QStringLiteral("Não foi possível criar o sub-diretório MeuSubDir."));
    return false;
}

bool createWorkingFiles(const QString &dir)
{
    const QDir base(dir);
    if (QFile::exists(base.filePath(QStringLiteral("lista_saida.txt"))))
        return false;
    for (const QString &name : workingFileNames()) {
        QFile f(base.filePath(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.close();
    }
    return true;
}

data::DatabasePtr openProgramDatabase(const QString &dir, const std::function<void()> &beforeMessage)
{
    const QString location = data::Database::aliasFolder(QString::fromLatin1(data::Database::kDefaultAlias));
    for (bool asked = false;; asked = true) {
        try {
            data::DatabasePtr db = data::Database::open(location, true);
            db->setPrivateDir(dir + QStringLiteral("PRIV"));
            return db;
        } catch (const data::DbError &e) {
            // A server without the password: asked for, then tried again.
            if (e.kind() == data::DbError::Kind::PasswordNeeded && core::askServerPassword(location, asked))
                continue;
            const QString text = e.kind() == data::DbError::Kind::PasswordNeeded
                ? core::noServerPasswordMessage(location) : e.message();
            if (beforeMessage)
                beforeMessage();
            core::dialogs().error(nullptr, QStringLiteral("Erro"), text);
            return nullptr;
        }
    }
}

void applyDateSettings()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

SingleInstance::SingleInstance(const QString &folder)
{
    QString dir = folder;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    m_path = QDir(dir).filePath(QString::fromLatin1(kName) + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: only a lock whose owner process is gone is taken over.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    if (!m_held)
        m_held = m_lock->tryLock(0);
    return m_held;
}

bool SingleInstance::isHeld() const { return m_held; }
QString SingleInstance::lockPath() const { return m_path; }

void SingleInstance::release()
{
    if (m_held)
        m_lock->unlock();
    m_held = false;
}

void showAlreadyRunning()
{
    core::dialogs().information(nullptr, QStringLiteral("Atenção"),
                                QStringLiteral("Atenção o programa já está aberto!."));
}

} // namespace brelvo::app
