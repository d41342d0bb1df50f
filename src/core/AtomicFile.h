#pragma once

#include <QByteArray>
#include <QString>

// Every file the program writes is replaced whole: QSaveFile writes a new file beside it, checks
// it, then puts it in place, so a crash or a full disk leaves the old file or the new one, never
// half of one.
namespace AtomicFile {

// Replaces the file at path with bytes. False when it could not, the file left as it was, with
// the system's reason (QSaveFile::errorString) in *reason.
bool replace(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

} // namespace AtomicFile
