#include "FileAttrs.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <cerrno>
#include <cstdio>

namespace brelvo::backup {

namespace {
constexpr const char *kAttrName = "user.archive";

QByteArray stamp(const QString &path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0)
        return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld.%09ld:%lld", static_cast<long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_size));
    return QByteArray(buf);
}
} // namespace

uint32_t toDosDateTime(const QDateTime &dtIn)
{
    if (!dtIn.isValid())
        return 0;
    const QDateTime dt = dtIn.toLocalTime();
    QDate d = dt.date();
    QTime t = dt.time();
    if (d.year() < 1980) {
        d = QDate(1980, 1, 1);
        t = QTime(0, 0, 0);
    } else if (d.year() > 2107) {
        d = QDate(2107, 12, 31);
        t = QTime(23, 59, 58);
    }
    const uint32_t date = (uint32_t(d.year() - 1980) << 9) | (uint32_t(d.month()) << 5) | uint32_t(d.day());
    const uint32_t time = (uint32_t(t.hour()) << 11) | (uint32_t(t.minute()) << 5) | uint32_t(t.second() / 2);
    return (date << 16) | time;
}

QDateTime fromDosDateTime(uint32_t packed)
{
    const uint32_t date = packed >> 16;
    const uint32_t time = packed & 0xFFFF;
    const QDate d(int(date >> 9) + 1980, int((date >> 5) & 0x0F), int(date & 0x1F));
    const QTime t(int(time >> 11), int((time >> 5) & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

uint32_t fileDosDateTime(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        return 0;
    return toDosDateTime(fi.lastModified());
}

bool archiveFlag(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    char buf[128];
    const ssize_t n = ::getxattr(native.constData(), kAttrName, buf, sizeof buf);
    if (n <= 0)
        return true;
    return QByteArray(buf, int(n)) != stamp(path);
}

bool clearArchiveFlag(const QString &path)
{
    const QByteArray value = stamp(path);
    if (value.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    return ::setxattr(native.constData(), kAttrName, value.constData(), size_t(value.size()), 0) == 0;
}

void setArchiveFlag(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    ::removexattr(native.constData(), kAttrName);
}

} // namespace brelvo::backup
