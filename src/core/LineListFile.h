#pragma once

#include "core/ListLimits.h"

#include <QString>
#include <QStringList>

// The reference-list format: one entry per line, every line ended by CR LF, no empty entry.
// On reading, empty lines are skipped and CR LF, lone CR or lone LF end a line.
namespace LineListFile {

// At most ListLimits::kMaxEntries entries of at most ListLimits::kMaxEntryLength characters are
// taken; *cut, when given, counts what was left out. A caller that may write the list back must
// not do so unseen by the user when something was left out.
bool read(const QString &path, QStringList *entries, QString *error = nullptr, ListLimits::Cut *cut = nullptr);

// Writes every non-empty entry, in order, one per line. A line end inside an entry would split
// it in two on the next read, so it is written as a space.
bool write(const QString &path, const QStringList &entries, QString *error = nullptr);

} // namespace LineListFile
