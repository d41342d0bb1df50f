#pragma once

#include <QString>
#include <QStringList>

// The names of the files of a batch, made from the recipients' names: every name must be a valid
// file name on Windows as on Linux, and no two letters of a batch may share a file.
namespace BatchFileNames {

// A file name (without its extension) from a recipient's name: the characters that Windows or
// Linux refuse in a name ( < > : " / \ | ? * and control characters) become "_", blanks are
// made single spaces, the dots and spaces Windows drops at the end go, a leading dot (a hidden
// file) becomes "_", a device name of Windows (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9,
// with or without an extension) gets a leading "_", and a long name is cut to 200 bytes. An
// empty result is "Lettre".
QString stem(const QString &name);

// The file names of a batch, in order: stem(name) + "." + extension, a second "Claire Durand"
// becoming "Claire Durand (2)", a third "Claire Durand (3)"; letter case does not tell names
// apart, as on Windows.
QStringList unique(const QStringList &names, const QString &extension);

} // namespace BatchFileNames
