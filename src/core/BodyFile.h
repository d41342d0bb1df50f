#pragma once

#include <QString>

// Body texts saved from the wizard's body step: the text, then CR LF.
namespace BodyFile {

// The whole file; a final CR LF (the one the writer adds) is dropped, nothing else.
bool read(const QString &path, QString *body, QString *error = nullptr);
// The body followed by CR LF, replacing the file whole.
bool write(const QString &path, const QString &body, QString *error = nullptr);

} // namespace BodyFile
