#pragma once

#include <QString>

// Body texts saved from the wizard's body step: the text, then CR LF.
namespace BodyFile {

// A body is a letter's text: a file larger than this is not one, and would freeze the body
// field while it is read.
inline constexpr qint64 kMaxBytes = 1024 * 1024;

// The whole file; a final CR LF (the one the writer adds) is dropped, nothing else. A file larger
// than kMaxBytes, or one that is not text (a NUL, or control characters beyond one in a hundred:
// a picture, a program, a word-processor file), is refused with a French message naming it;
// *body is changed only on success.
bool read(const QString &path, QString *body, QString *error = nullptr);
// The body followed by CR LF, replacing the file whole.
bool write(const QString &path, const QString &body, QString *error = nullptr);

} // namespace BodyFile
