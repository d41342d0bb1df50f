#pragma once

#include <QString>
#include <QTextCursor>

class QTextDocument;

// Find and replace in a document, for "Rechercher le suivant" and "Remplacer…". The search
// stays within a paragraph. Typed apostrophes and spaces match their typographic forms: "l'an"
// finds "l’an", and a space finds a no-break space (French letters put them before ":" and
// inside "M. Dupont").
namespace TextSearch {

struct Options
{
    bool matchCase = false; // "Respecter la casse"
    bool wholeWord = false; // "Mot entier": no letter or digit touches either end
};

// The next occurrence of text that starts at or after position from, selected; when none
// follows, the first one from the start of the document (*wrapped tells). A null cursor when
// text is empty or does not occur.
QTextCursor findNext(const QTextDocument *document, const QString &text, int from, Options options,
                     bool *wrapped = nullptr);

// Whether the selection of cursor is exactly one occurrence of text.
bool isOccurrence(const QTextCursor &cursor, const QString &text, Options options);

struct ReplaceResult
{
    bool replaced = false; // the selection was an occurrence and was replaced
    QTextCursor next;      // the following occurrence (searched as findNext does), or null
};

// "Remplacer": replaces the selection of cursor by replacement when it is an occurrence of text
// (one undo step), then finds the next occurrence after it. When the selection is not an
// occurrence, only finds the next one from the cursor.
ReplaceResult replaceOne(QTextCursor cursor, const QString &text, const QString &replacement, Options options);

// "Remplacer tout": replaces every occurrence in the document as one undo step and returns how
// many. Each replacement is passed over, so a replacement containing text is not replaced again.
int replaceAll(QTextDocument *document, const QString &text, const QString &replacement, Options options);

} // namespace TextSearch
