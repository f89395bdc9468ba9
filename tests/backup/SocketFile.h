#pragma once
// Entries of a folder that are not regular files, for the backup tests.

#include <QFile>
#include <QString>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace backuptest {

// A listening Unix socket at `path` for the life of the object.
class SocketFile {
public:
    explicit SocketFile(const QString &path)
    {
        const QByteArray p = QFile::encodeName(path);
        sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        if (size_t(p.size()) >= sizeof addr.sun_path)
            return;
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~SocketFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SocketFile(const SocketFile &) = delete;
    SocketFile &operator=(const SocketFile &) = delete;
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace backuptest
