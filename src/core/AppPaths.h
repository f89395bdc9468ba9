#pragma once
// Where the program's own files live: the ones it writes (pick lists, PRIV,
// ini files, the maker list) and the defaults it ships (placeholder pictures,
// receipt frames). Every window asks here instead of building paths itself.

#include <QString>

namespace brelvo::core {

// The folder the program's files live in: the executable's folder unless a
// test or the start-up code chose another.
QString programFolder();
void setProgramFolder(const QString &folder);

// A file the program reads and writes ("lista_receber.txt", "cep.ini").
QString workFile(const QString &name);
// A default file shipped with the program ("sem_img.jpg").
QString sharedFile(const QString &name);

} // namespace brelvo::core
