#pragma once

#include <QString>

class QMenu;
class QPlainTextEdit;
class QPoint;
class QTextDocument;
class QTextEdit;
class QWidget;
class SpellChecker;

// The spelling entries of a text control's context menu, for any control: up to seven
// corrections of the unknown word under the mouse (each replaces the word as one undo step),
// "Ignorer" and "Ajouter au dictionnaire".
namespace SpellingMenu {

// An unknown word of a document: where it is and what it says.
struct Word
{
    int position = -1;
    int length = 0;
    QString text;
    bool isValid() const { return position >= 0 && length > 0; }
};

// The unknown word at position (a document position inside the word or just after it); an
// invalid Word when the word there is right, there is no word, or the checker is not active.
Word misspeltWordAt(QTextDocument *document, int position, SpellChecker *checker);

// Puts the entries for the unknown word at position at the top of menu, followed by a
// separator; returns false, adding nothing, when misspeltWordAt() finds none. A personal word
// list that cannot be written is reported through the dialog seam over dialogParent.
bool addEntries(QMenu *menu, QTextDocument *document, int position, SpellChecker *checker, QWidget *dialogParent);
// The same for the word under point, in the control's viewport coordinates (those of its
// context-menu event). A read-only control gets no entries.
bool addEntries(QMenu *menu, QTextEdit *edit, const QPoint &point, SpellChecker *checker);
bool addEntries(QMenu *menu, QPlainTextEdit *edit, const QPoint &point, SpellChecker *checker);

// Replaces the length characters at position by replacement, as one undo step, in the
// character format of the first character replaced.
void replaceWord(QTextDocument *document, int position, int length, const QString &replacement);

// Gives the control these entries at the top of its context menu, above its own, with the shared
// checker. The underlining belongs to the document: each document the control shows needs its
// SpellHighlighter.
void install(QTextEdit *edit);
void install(QPlainTextEdit *edit);

} // namespace SpellingMenu
