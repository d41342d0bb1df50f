#pragma once

#include "core/ListLimits.h"

#include <QList>
#include <QString>
#include <QStringList>

// The writing assistant's phrase files: one block of lines per drop-down list, in the lists'
// order, each block ended by an empty line. Unlike the reference lists, an empty line is
// meaningful here: it moves on to the next list, so a fragment can never be empty.
namespace PhraseFile {

// Fills listCount lists from the file's blocks. Lists beyond the last block stay empty; blocks
// beyond the last list are not read. On failure every list is empty and error says why. Each list
// takes the fragments ListLimits allows; *cut, when given, counts what was left out of them all.
bool read(const QString &path, int listCount, QList<QStringList> *lists, QString *error = nullptr,
          ListLimits::Cut *cut = nullptr);

// Replaces the file whole with every list's fragments, one per line, each list followed by one
// empty line. An empty fragment would end its block early and shift every later list, so it is
// not written; a line end inside a fragment would split it, so it is written as a space.
bool write(const QString &path, const QList<QStringList> &lists, QString *error = nullptr);

} // namespace PhraseFile
