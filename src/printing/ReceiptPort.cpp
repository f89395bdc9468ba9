#include "printing/ReceiptPort.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace brelvo::printing {

bool resolvePort(const QString &porta, PortTarget *target, QString *error, const QString &deviceFolder)
{
    auto fail = [error](const QString &msg) {
        if (error)
            *error = msg;
        return false;
    };
    QString name = porta.trimmed();
    if (name.isEmpty())
        return fail(QStringLiteral("Porta Impressora Não fiscal não foi informada!"));
    if (name.endsWith(u':'))
        name.chop(1);
    if (name.compare(QLatin1String("PRN"), Qt::CaseInsensitive) == 0)
        name = QStringLiteral("LPT1");
    static const QRegularExpression rx(QStringLiteral("^(LPT|COM|USB)(\\d*)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = rx.match(name);
    if (m.hasMatch()) {
        const QString kind = m.captured(1).toUpper();
        bool ok = true;
        const int n = m.captured(2).isEmpty() && kind == u"USB" ? 1 : m.captured(2).toInt(&ok);
        if (!ok || n < 1 || n > 99)
            return fail(QStringLiteral("A porta da impressora \"%1\" não existe.").arg(porta.trimmed()));
        const QString index = QString::number(n - 1);
        const QString dev = deviceFolder.endsWith(u'/') ? deviceFolder : deviceFolder + u'/';
        auto either = [](const QString &first, const QString &second) {
            return !QFileInfo::exists(first) && QFileInfo::exists(second) ? second : first;
        };
        if (kind == u"LPT")
            target->path = either(dev + QStringLiteral("lp") + index, dev + QStringLiteral("usb/lp") + index);
        else if (kind == u"COM")
            target->path = either(dev + QStringLiteral("ttyS") + index, dev + QStringLiteral("ttyUSB") + index);
        else
            target->path = dev + QStringLiteral("usb/lp") + index;
        target->device = true;
        return true;
    }
    if (!QDir::isAbsolutePath(name))
        return fail(QStringLiteral("A porta da impressora \"%1\" não é válida: informe uma porta (LPT1, COM1, "
                                   "USB001) ou o caminho completo de um arquivo.").arg(porta.trimmed()));
    target->path = QDir::cleanPath(name);
    target->device = target->path == QLatin1String("/dev") || target->path.startsWith(QLatin1String("/dev/"));
    return true;
}

QString receiptDevicePath(const QString &porta)
{
    PortTarget t;
    return resolvePort(porta, &t) ? t.path : QString();
}

// Portuguese texts of the errors a port is likely to give.
static QString systemError(int err)
{
    switch (err) {
    case ENOENT: return QStringLiteral("arquivo ou dispositivo não encontrado");
    case EACCES: case EPERM: return QStringLiteral("acesso negado");
    case EBUSY: return QStringLiteral("dispositivo ocupado");
    case ENOSPC: return QStringLiteral("não há espaço no dispositivo");
    case EIO: return QStringLiteral("erro de entrada/saída");
    case ENXIO: case ENODEV: return QStringLiteral("dispositivo não conectado");
    case ENOTTY: return QStringLiteral("o nome não indica um dispositivo de impressora");
    case EISDIR: return QStringLiteral("o nome indica uma pasta");
    case ENOTDIR: return QStringLiteral("caminho inválido");
    case EROFS: return QStringLiteral("dispositivo somente leitura");
    case EFBIG: return QStringLiteral("arquivo grande demais");
    case ETIMEDOUT: return QStringLiteral("a impressora não respondeu (tempo esgotado)");
    case EPIPE: return QStringLiteral("conexão com o dispositivo interrompida");
    default: return QString::fromLocal8Bit(std::strerror(err));
    }
}

bool writeToPort(const QString &porta, const QByteArray &bytes, QString *error, int timeoutMs)
{
    PortTarget target;
    if (!resolvePort(porta, &target, error))
        return false;
    return writeToTarget(target, porta, bytes, error, timeoutMs);
}

bool writeToTarget(const PortTarget &target, const QString &porta, const QByteArray &bytes, QString *error,
                   int timeoutMs)
{
    const QString device = target.path;
    auto fail = [&](const QString &what, int err) {
        if (error) {
            const QString where = device == porta.trimmed() ? QStringLiteral("\"%1\"").arg(porta.trimmed())
                                                            : QStringLiteral("\"%1\" (%2)").arg(porta.trimmed(), device);
            *error = QStringLiteral("%1 porta da impressora %2: %3.").arg(what, where, systemError(err));
        }
        return false;
    };

    // A device is opened as it is: a printer that is not there must not
    // leave a plain file in its place.
    const QByteArray path = QFile::encodeName(device);
    const int create = target.device ? 0 : O_CREAT | O_TRUNC;
    int fd;
    do {
        fd = ::open(path.constData(), O_WRONLY | create | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (target.device && err == ENOENT)
            return fail(QStringLiteral("Não foi possível abrir a"), ENODEV);
        return fail(QStringLiteral("Não foi possível abrir a"), err);
    }

    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (target.device && !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("Não foi possível abrir a"), ENOTTY);
    }
    if (::isatty(fd)) {
        termios tio {};
        if (::tcgetattr(fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::cfsetispeed(&tio, B9600);
            ::cfsetospeed(&tio, B9600);
            tio.c_cflag |= CLOCAL | CREAD;
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }

    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            const int err = errno;
            ::close(fd);
            return fail(QStringLiteral("Erro ao gravar na"), err);
        }
        // The device is not taking data: wait for it, up to the time-out.
        // (Some printer drivers report ready at once: pause so as not to spin.)
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) {
            ::close(fd);
            return fail(QStringLiteral("Erro ao gravar na"), ETIMEDOUT);
        }
        pollfd pfd {fd, POLLOUT, 0};
        if (::poll(&pfd, 1, int(std::min<qint64>(left, 200))) > 0 && (pfd.revents & (POLLERR | POLLHUP))) {
            ::close(fd);
            return fail(QStringLiteral("Erro ao gravar na"), pfd.revents & POLLHUP ? EPIPE : EIO);
        }
        ::usleep(5000);
    }
    if (regular && ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(QStringLiteral("Erro ao gravar na"), err);
    }
    if (::isatty(fd))
        ::tcdrain(fd);
    if (::close(fd) != 0 && errno != EINTR)
        return fail(QStringLiteral("Erro ao fechar a"), errno);
    return true;
}

} // namespace brelvo::printing
