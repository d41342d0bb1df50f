#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>

class QImage;
class QMimeData;
class QTextCursor;
class QTextDocument;
class QTextEdit;

// What the editor's commands do to the rich text of a letter, apart from any window: the
// formatting of a selection as the tool bar shows it, case conversion that keeps the formatting,
// the clipboard's forms of a selection, and pictures.
namespace RichEditing {

// The formatting of a selection, one value per attribute; an attribute that differs across the
// selection is absent (the tool bar shows it released, the font dialog does not open).
struct SelectionFormat
{
    enum Alignment { Left = 0, Right = 1, Center = 2, Justified = 3 };
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> strikeOut;
    std::optional<Alignment> alignment;
    std::optional<bool> bullet;
    std::optional<double> indent; // left indent of the paragraphs, in document units
    std::optional<QString> fontName;
    std::optional<double> fontSize; // points
    std::optional<QColor> color;    // invalid colour: the automatic text colour
};

// The formatting of the editor's selection; without a selection, the format the next typed
// character gets and the paragraph of the caret.
SelectionFormat selectionFormat(const QTextEdit *edit);

// Upper or lower case for the letters from position from to position to, keeping every
// character's format. Returns the end of the converted range (a letter such as "ß" may grow
// into two).
int convertCase(QTextDocument *document, int from, int to, bool upper);

// Makes every justified paragraph of the whole letter plainly justified, whatever its length
// (the paragraph request of the rich-text layer stops at 16-bit positions).
void justify(QTextDocument *document);

// Moves the left indent of the paragraphs of the selection by delta document units, never below
// zero. Returns false and changes nothing when the paragraphs have different indents.
bool shiftIndent(QTextEdit *edit, double delta);

// Bullets on or off for the paragraphs of the selection; off also clears the hanging indent.
void setBullet(QTextEdit *edit, bool on);

// The selection as the clipboard carries it between letters and to other programs: RTF under
// the names the common word processors look for, and plain text.
QMimeData *mimeDataFor(const QTextCursor &selection);
// Inserts a picture at the cursor, replacing the selection, no wider than maxWidth document
// units (the picture keeps its proportions).
void insertImage(QTextCursor &cursor, const QImage &image, double maxWidth);

} // namespace RichEditing
