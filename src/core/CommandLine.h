#pragma once
// "--help" and "--version" of the programs, answered before any window (and
// any display) is needed. Other arguments are left to Qt.

#include <QString>
#include <optional>

namespace brelvo::core {

struct ProgramInfo {
    QString name;          // "Brelvo"
    QString summary;       // one line of what the program does
    QString details;       // paragraphs shown below the options
};

// The program's version, "1.0.0".
QString versionString();

QString helpText(const ProgramInfo &info);
QString versionText(const ProgramInfo &info);

// When the arguments ask for help or the version, writes it to standard
// output and returns the exit code; otherwise returns nothing.
std::optional<int> answerCommandLine(int argc, char **argv, const ProgramInfo &info);

} // namespace brelvo::core
