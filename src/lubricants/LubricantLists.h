#pragma once
// The pick lists of the lubricant windows and where the default picture lives.

#include <QString>
#include <QStringList>

namespace brelvo::lubricants {

inline constexpr const char *kTable = "tblubrificante.db";
inline constexpr const char *kOrder = "ByAno";

// The 54 makers in the editor's order (with its "CHAMONIX," entry).
QStringList editorMakers();
// The lookup's order: the six most asked first, then the rest.
QStringList lookupMakers();
QStringList fuelChoices();
QStringList apiClasses();

// The picture shown for a row without one, shipped with the program.
QString defaultPicturePath();
// The file-dialog filter of the picture: the kinds the dialog offers that
// this program can read, all together and one entry per kind.
QString pictureFilter();
// Suffixes (without the dot) the picture dialog accepts.
QStringList pictureSuffixes();

} // namespace brelvo::lubricants
