#include "FileList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/stat.h>

namespace brelvo::backup {

namespace {

bool matchFrom(const QString &p, qsizetype pi, const QString &n, qsizetype ni)
{
    // Iterative match with single back-tracking point for '*'.
    qsizetype starP = -1, starN = -1;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == u'?' || p[pi].toCaseFolded() == n[ni].toCaseFolded())) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == u'*') {
            starP = pi++;
            starN = ni;
        } else if (starP >= 0) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

struct Builder {
    const FileListOptions &opt;
    QStringList out;
    QSet<QString> seen;
    QString archiveKey;
    QSet<QString> excluded;

    explicit Builder(const FileListOptions &o) : opt(o)
    {
        if (!o.excludeArchive.isEmpty())
            archiveKey = QFileInfo(o.excludeArchive).absoluteFilePath();
        for (const QString &n : o.excludeNames)
            excluded.insert(n.toCaseFolded());
    }

    void handle(const QString &rawMask)
    {
        QString mask = rawMask.trimmed();
        bool recurse = false;
        if (mask.endsWith(QLatin1String(" /s"), Qt::CaseInsensitive)) {
            mask = mask.left(mask.size() - 3).trimmed();
            recurse = true;
        }
        if (mask.isEmpty())
            return;
        const QFileInfo mi(mask);
        QString folder = mi.path();
        QString pattern = mi.fileName();
        if (mask.endsWith(u'/')) {
            folder = mask;
            pattern = QStringLiteral("*.*");
        }
        const QDir dir(folder);
        if (!dir.exists())
            return;
        if (recurse) {
            const QFileInfoList subs = dir.entryInfoList(
                QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                QDir::Name);
            for (const QFileInfo &s : subs)
                handle(s.absoluteFilePath() + u'/' + pattern + QLatin1String(" /s"));
        }
        const QFileInfoList files =
            dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QFileInfo &f : files) {
            if (!maskMatches(pattern, f.fileName()))
                continue;
            if (excluded.contains(f.fileName().toCaseFolded()))
                continue;
            const QString full = f.absoluteFilePath();
            if (seen.contains(full) || full == archiveKey)
                continue;
            // Reading a FIFO or a device would hang or never end.
            struct stat st {};
            if (::stat(QFile::encodeName(full).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
                seen.insert(full);
                if (opt.skipped)
                    opt.skipped(full);
                continue;
            }
            if (opt.accept && !opt.accept(full))
                continue;
            seen.insert(full);
            out.append(full);
        }
    }
};

} // namespace

bool maskMatches(const QString &pattern, const QString &name)
{
    if (matchFrom(pattern, 0, name, 0))
        return true;
    if (pattern.endsWith(QLatin1String(".*")) && !name.contains(u'.'))
        return matchFrom(pattern.left(pattern.size() - 2), 0, name, 0);
    return false;
}

QStringList buildFileList(const QStringList &masks, const FileListOptions &options)
{
    Builder b(options);
    for (const QString &m : masks)
        b.handle(m);
    return b.out;
}

} // namespace brelvo::backup
