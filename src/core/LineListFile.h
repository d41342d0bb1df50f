#pragma once

#include <QString>
#include <QStringList>

// The reference-list format: one entry per line, every line ended by CR LF, no empty entry.
// On reading, empty lines are skipped and CR LF, lone CR or lone LF end a line.
namespace LineListFile {

bool read(const QString &path, QStringList *entries, QString *error = nullptr);

// Writes every non-empty entry, in order, one per line. A line end inside an entry would split
// it in two on the next read, so it is written as a space.
bool write(const QString &path, const QStringList &entries, QString *error = nullptr);

} // namespace LineListFile
