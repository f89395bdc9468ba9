#include "data/FolderLock.h"

#include "data/Database.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelvo::data::detail {

QString restoringMessage()
{
    return QStringLiteral("Uma restauração do Back-up está em andamento no banco de dados.\n"
                          "Aguarde o fim da restauração e abra o programa novamente.");
}

QString FolderLock::lockPath(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(Database::kLockName));
}

bool FolderLock::acquire(const QString &folder, Mode mode, int waitMs)
{
    release();
    const QByteArray path = QFile::encodeName(lockPath(folder));
    const int op = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    // The lock file may be removed by the last holder leaving at this very
    // moment: retry until the lock is held on the file that is really there.
    constexpr int kStepMs = 20;
    for (int waited = 0;; waited += kStepMs) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            throw DbError(DbError::Kind::Generic,
                          QStringLiteral("Não foi possível abrir a pasta do banco de dados: %1").arg(folder));
        if (::flock(fd, op) == 0) {
            struct stat a {}, b {};
            if (::fstat(fd, &a) == 0 && ::stat(path.constData(), &b) == 0 && a.st_ino == b.st_ino
                && a.st_dev == b.st_dev) {
                m_fd = fd;
                m_folder = folder;
                return true;
            }
        }
        ::close(fd);
        if (waited >= waitMs)
            return false;
        ::usleep(kStepMs * 1000);
    }
}

void FolderLock::release()
{
    if (m_fd < 0)
        return;
    // Last holder: take the lock file away so the folder holds the database only.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(QFile::encodeName(lockPath(m_folder)).constData());
    ::close(m_fd);
    m_fd = -1;
}

bool FolderLock::inUse(const QString &folder)
{
    const QByteArray path = QFile::encodeName(lockPath(folder));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A separate open file description: its exclusive lock conflicts with the
    // lock of every holder, this process's own included.
    const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!busy)
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return busy;
}

} // namespace brelvo::data::detail
