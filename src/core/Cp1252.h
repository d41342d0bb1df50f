#pragma once

#include <QByteArray>
#include <QString>

// The text encoding of every data file: Windows-1252, one byte per character, all 256 bytes
// meaningful (the five bytes Windows leaves unassigned map to the C1 control characters, as
// Windows itself maps them, so any byte sequence survives a read and a write).
namespace Cp1252 {

// The encodings a data file may come in. Only Windows1252 and Utf8WithMark are ever written.
enum class FileEncoding { Windows1252, Utf8, Utf8WithMark, Utf16LE, Utf16BE };

// Decodes a file's bytes; *found, when given, tells which encoding was taken. A byte-order mark
// decides first: UTF-8, or UTF-16 little- or big-endian (what a Windows editor saves as
// "Unicode"). Without a mark, bytes that form valid UTF-8 with at least one multi-byte sequence
// are read as UTF-8 too (a file saved by a modern editor); French text in Windows-1252
// practically never forms valid UTF-8. Everything else is Windows-1252. Every reader of a text
// file goes through here, so that they all agree on what a file says.
QString decodeFile(const QByteArray &bytes, FileEncoding *found = nullptr);

// Windows-1252 bytes of text; false when some character has no Windows-1252 byte.
bool fits(const QString &text);
QByteArray encode(const QString &text); // characters that do not fit become '?'
QString decode(const QByteArray &bytes);

// The bytes a writer puts in a file: Windows-1252 when every character fits, else UTF-8 with a
// byte-order mark, so that nothing typed is ever lost.
QByteArray encodeFile(const QString &text);

} // namespace Cp1252
