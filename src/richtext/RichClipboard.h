#pragma once

#include <QByteArray>
#include <QStringList>

class QMimeData;
class QTextCursor;
class QTextDocument;

// The clipboard formats of rich text. RTF travels under the names the other programs of each
// platform look for ("text/rtf", "application/rtf", "text/richtext", and "Rich Text Format" on
// Windows), with the plain text beside it for the programs that only take text.
class RichClipboard
{
public:
    // The MIME types under which RTF is put on the clipboard and looked for, in order of preference.
    static QStringList rtfMimeTypes();

    // Fills mime with the characters from position from to position to of the document: RTF
    // under every RTF name, and plain text.
    static void setRange(QMimeData *mime, const QTextDocument *document, int from, int to);
    // Fills mime with RTF bytes already written, and their plain text.
    static void setRtf(QMimeData *mime, const QByteArray &rtf, const QString &plainText);

    // The RTF that mime holds, or an empty array.
    static QByteArray rtf(const QMimeData *mime);
    static bool hasRichText(const QMimeData *mime);

    // Replaces the cursor's selection by the clipboard's content: its RTF if any, else its HTML,
    // else its plain text (which takes the format at the cursor). Returns false when mime holds
    // none of these, leaving the document as it was.
    static bool insert(const QMimeData *mime, QTextCursor &cursor);
};
