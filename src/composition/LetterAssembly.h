#pragma once

#include "composition/LetterFields.h"

#include <QByteArray>

class QTextDocument;

// Building a letter: the template "defaut.rtf" of the program folder, its thirteen placeholders
// replaced by the letter's values.

// Replaces the first occurrence of placeholder (letter case ignored) by value. The value takes
// the placeholder's character format; a line break in it (CR LF, CR or LF) starts a new paragraph
// in the placeholder's paragraph format; an empty value removes the placeholder and leaves the rest
// of its line. bold: the inserted value is made bold. Returns false when there is no occurrence.
bool Replace_Balise(QTextDocument *document, const QString &placeholder, const QString &value, bool bold);

// Loads the template into document and replaces the placeholders in their fixed order, each value
// stripped of leading and trailing spaces (line breaks stay; the body also loses its blank lines
// at both ends). Each search starts at the top, so a placeholder written in an earlier value is
// the one replaced. In the two address blocks ("#exp1" to "#dst3") a value's empty lines are left
// out, and a placeholder whose value is empty and that stood alone in its paragraph takes that
// paragraph away: a block never shows an empty line for an empty field. The letter's headers and
// footers get their placeholders replaced the same way, each on its own. Throws QuilloError when
// the template cannot be read; the document then keeps what it held.
void Build_Lettre(QTextDocument *document, const LetterFields &fields);

// The template "defaut.rtf" as it stands in the program folder, for the letters of a batch: read
// once, the same for every letter even if the file changes meanwhile. Throws QuilloError when it
// cannot be read or is not RTF.
QByteArray readLetterTemplate();

// Build_Lettre with the template already read (see readLetterTemplate). The document is
// replaced whole; it may belong to any thread. Throws QuilloError when the template is not RTF.
void Build_Lettre(QTextDocument *document, const LetterFields &fields, const QByteArray &templateRtf);
