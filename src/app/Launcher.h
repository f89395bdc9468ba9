#pragma once
// Starting the outside programs that live beside the executable ("Back-Up",
// "Atualizar", "Pcalculo") without waiting for them.

#include <QString>
#include <functional>

namespace brelvo::app {

// Starts `program` (a bare name) from the program folder, detached, without
// arguments. Returns false, silently, when it is missing or cannot start.
// `dir` empty: the folder of the running executable.
bool startBesideExecutable(const QString &program, const QString &dir = QString());

// Tests replace the starter to see what would be started; returns the previous.
using ProgramStarter = std::function<bool(const QString &path)>;
ProgramStarter setProgramStarter(ProgramStarter starter);

} // namespace brelvo::app

namespace brelvo::app {

// Opens a file with the desktop's default handler (false when it cannot).
bool openWithDesktop(const QString &path);
using DesktopOpener = std::function<bool(const QString &path)>;
DesktopOpener setDesktopOpener(DesktopOpener opener);

} // namespace brelvo::app
