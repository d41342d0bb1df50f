#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

// The RTF entry points the rest of the program uses: the editor, letter assembly, the export
// and printing. Every error message is French and meant for the user.
namespace RichText {

struct ReadResult
{
    bool ok = true;
    QString error;        // why the document could not be read (whole), when !ok
    QStringList warnings; // what was read but could not be kept as it was
};

// True when the bytes start like an RTF document ("{\rtf", after an optional byte-order mark
// and blank space).
bool looksLikeRtf(const QByteArray &bytes);

// Replaces the document's content by the RTF document in bytes. When the result is not ok the
// document holds what could be read before the fault (nothing when it is not RTF at all).
// The paper size and margins found are stored on the document (see PageLayout), its headers and
// footers attached to it (see HeadersFooters).
ReadResult readRtf(const QByteArray &bytes, QTextDocument *document);

// The whole document as RTF, with its headers and footers.
QByteArray writeRtf(const QTextDocument *document);
// The characters from position from to position to (any order), as RTF: what the clipboard gets
// (the letter's headers and footers stay where they are).
QByteArray writeRtf(const QTextDocument *document, int from, int to);

// Reads an RTF file into the document. On failure returns false with a French message in
// *error; the document is left untouched when the file could not be read at all.
bool loadRtfFile(const QString &path, QTextDocument *document, QString *error = nullptr);
// Writes the document to an RTF file, replacing it whole: a failure leaves the old file as it was.
bool saveRtfFile(const QString &path, const QTextDocument *document, QString *error = nullptr);

} // namespace RichText
