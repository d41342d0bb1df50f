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

    // True when mime holds something insert() takes.
    static bool canInsert(const QMimeData *mime);
    // Replaces the cursor's selection by the clipboard's content: its RTF if any, else its plain
    // text (which takes the format at the cursor). Returns false when mime holds neither, leaving
    // the document as it was.
    static bool insert(const QMimeData *mime, QTextCursor &cursor);
    // Inserts RTF at the cursor, replacing its selection. The pictures come along under new
    // names: the reader names them from 1 in every document, and a pasted "picture 1" must not
    // take the place of the letter's own.
    static bool insertRtf(QTextCursor &cursor, const QByteArray &rtf);
    // A picture name no other picture of this process has.
    static QString newImageName();
};
