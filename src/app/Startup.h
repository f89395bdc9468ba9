#pragma once
// Work done once when the program starts: the private working folder, the
// working text files, the date settings and the single running copy.

#include "data/Database.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLockFile;

namespace brelvo::app {

// Folder of the running executables, with a trailing '/' (other programs
// are started from it).
QString programDir();
// Folder of the program's files (PRIV, the working files, the default
// database), with a trailing '/': see core/AppPaths.h.
QString filesDir();

// The eight working text files, in the order they are created.
QStringList workingFileNames();

// CriarDir: creates <dir>/PRIV when missing. Returns false (after telling the
// user "Não foi possível criar o sub-diretório MeuSubDir.") when it cannot.
bool createPrivateDir(const QString &dir);

// CriarArquivo: when "lista_saida.txt" is absent from `dir`, creates (or
// empties) the eight working files and returns true; otherwise touches
// nothing and returns false. Creation errors are ignored.
bool createWorkingFiles(const QString &dir);

// Opens the database of the alias DBBrelvoVendas (created on the first start)
// with its private folder in `dir`. When it cannot be opened (a restoration
// of a backup holds the folder and has not ended within about a second, a
// damaged database, ...) `beforeMessage` runs, the user is told why, and null
// is returned: the program then ends without having touched the database.
// A server that asks for a password gets it from an input box, asked again
// while the server refuses it; Cancel ends as a failure to open.
data::DatabasePtr openProgramDatabase(const QString &dir, const std::function<void()> &beforeMessage = {});

// Process-wide locale: Brazilian Portuguese, dates "dd/MM/yyyy".
void applyDateSettings();

// One running copy per desktop session. The lock lives in the user's runtime
// folder (per session) and is an OS-level lock file with the owner's pid, so a
// crashed copy never leaves it stuck.
class SingleInstance {
public:
    static constexpr const char *kName = "BrelvoVendas";
    // `folder` empty: the user's runtime folder.
    explicit SingleInstance(const QString &folder = QString());
    ~SingleInstance();
    // True when this process now holds the lock (or already did).
    bool tryAcquire();
    bool isHeld() const;
    QString lockPath() const;
    void release();
private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

// The refusal shown to a second copy.
void showAlreadyRunning();

} // namespace brelvo::app
