#pragma once

#include <QString>

// The program folder holds every data file. It is the executable's folder (a portable layout);
// when that folder cannot be written (an installation under /usr or Program Files) it is a
// per-user folder, seeded on first use with what the installation ships.
namespace ProgramFolder {

QString path();

// Tests and tools point the program at a folder of their own; an empty path restores the
// normal rule.
void setOverride(const QString &folder);
QString overrideFolder();

// Copies into target every file of source that target lacks, keeping the tree; existing files
// are never overwritten. Used to seed the per-user folder.
void seed(const QString &source, const QString &target);

} // namespace ProgramFolder
