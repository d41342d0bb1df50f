#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Whole-file text reads and atomic writes in the encoding of the data files (Cp1252.h).
// Failures come back as a French sentence naming the file.
namespace TextFile {

bool read(const QString &path, QString *text, QString *error = nullptr);
// The same, refusing a file of more than maxBytes without reading it whole.
bool read(const QString &path, QString *text, QString *error, qint64 maxBytes);

// Replaces the file whole: a crash or a full disk leaves the old file or the new one.
bool write(const QString &path, const QString &text, QString *error = nullptr);

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line. A final line without
// an end is a line too; nothing follows the last line end.
QStringList splitLines(const QString &text);
// The same lines, handed one by one without being copied (a list of a million lines costs no
// million strings).
void forEachLine(QStringView text, const std::function<void(QStringView line)> &take);

} // namespace TextFile
