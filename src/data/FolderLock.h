#pragma once
// The OS lock on a database folder's lock file. Every program that has the
// database open holds it shared; replacing the database's files holds it
// exclusively. A crashed holder leaves nothing stuck (the lock dies with the
// process), and the last holder to leave removes the lock file.

#include <QString>

namespace brelvo::data::detail {

class FolderLock {
public:
    enum class Mode { Shared, Exclusive };

    FolderLock() = default;
    ~FolderLock() { release(); }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Tries for about `waitMs` milliseconds. False when the folder stays held
    // the conflicting way; throws DbError when the lock file cannot be made.
    bool acquire(const QString &folder, Mode mode, int waitMs);
    void release();
    bool held() const { return m_fd >= 0; }

    // True while any program (this one included) holds the folder's lock.
    static bool inUse(const QString &folder);
    static QString lockPath(const QString &folder);

private:
    QString m_folder;
    int m_fd = -1;
};

// The text shown when a program is kept out while the database is restored.
QString restoringMessage();

} // namespace brelvo::data::detail
