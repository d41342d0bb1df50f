#pragma once

#include <QString>

// The program folder holds every data file. It is the executable's folder (a portable layout);
// for an installed program (the executable in <prefix>/bin, the installation content in
// <prefix>/share/quillo), or when the executable's folder cannot be written, it is a per-user
// folder, seeded with what the installation ships.
namespace ProgramFolder {

QString path();

// Tests and tools point the program at a folder of their own; an empty path restores the
// normal rule.
void setOverride(const QString &folder);
QString overrideFolder();

// The installation content that an installed program ships beside its executable's folder
// (<prefix>/share/quillo for <prefix>/bin); empty when the executable is not installed that way.
QString installedContentFolder(const QString &executableFolder);

// The rule behind path(), for a given executable folder and per-user folder: the folder to use,
// the per-user one created and seeded when it is the one chosen.
QString resolveFor(const QString &executableFolder, const QString &userFolder);

// Copies into target every file of source that target lacks, keeping the tree; existing files
// are never overwritten. Used to seed the per-user folder.
void seed(const QString &source, const QString &target);

} // namespace ProgramFolder
