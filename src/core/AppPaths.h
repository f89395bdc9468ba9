#pragma once
// Where the program's own files live: the ones it writes (pick lists, PRIV,
// ini files, the maker list, the default database folder) and the defaults
// it ships (placeholder pictures, receipt frames). Every window asks here
// instead of building paths itself.
//
// Two layouts:
// - portable: the executable's folder is writable and holds the marker file
//   or files of an earlier run; everything lives beside the executable.
// - installed: the files live in the user's data folder (~/.local/share/
//   Brelvo), the database by default in its "dados"; the shipped defaults
//   are read from <prefix>/share/brelvo and copied there on first use.
// Until the start-up calls initProgramPaths() the portable layout in the
// executable's folder holds.

#include <QString>
#include <QStringList>

namespace brelvo::core {

enum class Layout { Portable, Installed };

// Present in a folder, it keeps the programs there portable.
inline constexpr const char *kPortableMarker = "brelvo.portatil";
// Name of the user's data folder, shared by both programs.
inline constexpr const char *kDataFolderName = "Brelvo";

struct ProgramPaths {
    Layout layout = Layout::Portable;
    QString executable;   // the programs themselves
    QString files;        // what the programs write
    QString shared;       // the defaults shipped with them
};

// Files of an earlier run that keep a writable folder portable.
QStringList portableTraces();

// The layout for programs in `executableFolder`; `userDataFolder` and
// `shareFolder` are where an installed copy keeps and reads its files.
ProgramPaths decidePaths(const QString &executableFolder, const QString &userDataFolder,
                         const QString &shareFolder);

// Decides the layout for the running executable, creates the files folder and
// tells the data layer where "aliases.ini" and the default "dados" live.
// Called once by each program at start.
void initProgramPaths();
// Makes `paths` current (tests and initProgramPaths).
void usePaths(const ProgramPaths &paths);
ProgramPaths currentPaths();

// The folder of the running executables (other programs are started from it).
QString executableFolder();

// The folder the program's files live in (see above).
QString programFolder();
// Forces the portable layout in `folder` (tests); empty goes back to the
// executable's folder.
void setProgramFolder(const QString &folder);

// A file the program reads and writes ("lista_receber.txt", "cep.ini").
QString workFile(const QString &name);
// A setting of the user kept across copies of the program, portable or not
// (~/.config/Brelvo/<name>).
QString userConfigFile(const QString &name);
// A default file shipped with the program ("sem_img.jpg", "Veiculos/x.png"),
// as a path in the files folder: installed, a missing copy is made from the
// share folder first; a copy the user changed is kept. When the copy cannot
// be made the shipped file itself is returned.
QString sharedFile(const QString &name);

} // namespace brelvo::core
