#pragma once
// File dates in the packed DOS form and the archive attribute of a file.

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace brelvo::backup {

// Packed DOS date-time (date in the high 16 bits, time in the low 16 bits),
// local time, 2-second resolution. Dates before 1980 are clamped to
// 1980-01-01 00:00:00; dates after 2107 to 2107-12-31 23:59:58.
uint32_t toDosDateTime(const QDateTime &dt);
// Invalid QDateTime when the packed value does not name a real date.
QDateTime fromDosDateTime(uint32_t packed);
// Last-write date of a file in packed form; 0 when the file does not exist.
uint32_t fileDosDateTime(const QString &path);

// The archive attribute: "set" means the file was created or changed since it
// was last stored with the flag cleared.
//
// It is kept as the user extended attribute "user.archive" holding the file's
// modification time (ns) and size at the moment the flag was cleared; the flag
// counts as set when the attribute is absent or no longer matches the file.
// Chosen over a sidecar file because a sidecar would sit in the database
// folder, be picked up by "*.*" and go stale when files are copied without
// it; an extended attribute travels with the file under cp -a, rsync -X and
// tar --xattrs. Where it is lost (plain cp, a file system without xattrs) the
// flag reads as set, so an incremental backup stores the file again: the
// failure mode is an extra copy, never a missed one.
bool archiveFlag(const QString &path);
// Clears the flag; false when the file system refuses the attribute.
bool clearArchiveFlag(const QString &path);
// Sets the flag again (removes the attribute).
void setArchiveFlag(const QString &path);

} // namespace brelvo::backup
