#pragma once

#include <QList>
#include <QString>

#include <functional>

class QPrinter;
class QTextDocument;

// Error number of a print that the printer refused or could not start.
inline constexpr int PrinterErrorNumber = 482;

// Prints the letter on the current printer (Printing::currentPrinter()) as one job, on A4
// paper, inside the margins (twips from the sheet's edges; callers pass LetterMargin on every
// side). Pages follow one another as the range formatter cuts them; a page on which nothing
// fits (an object taller than the area) is the last one. Lets the windows repaint between pages.
//
// Throws QuilloError, with a French description, when the printer cannot be used or refuses the
// job (PrinterErrorNumber), when another print is running, or when the margins do not fit the
// sheet. Nothing is printed then, except the pages already sent.
void Print_RTF(const QTextDocument &document, int left, int top, int right, int bottom);

// The same on a given printer (a PDF file in the tests, for instance).
void Print_RTF(QPrinter &printer, const QTextDocument &document, int left, int top, int right, int bottom);
// Several letters as one job, each starting on a new sheet: what a printer writing to a file
// needs, since one job per letter would leave only the last letter in the file.
void Print_RTF(QPrinter &printer, const QList<const QTextDocument *> &letters, int left, int top, int right,
               int bottom);

namespace Printing {
// Told after each job the printer accepted, with a sentence saying where it went ("Lettre
// envoyée à l'imprimante « … ».", "Lettres …" for a job of several letters) for the windows'
// status lines; the program sets it at start.
inline std::function<void(const QString &confirmation)> jobSent;
} // namespace Printing

// True when the letter holds nothing to print: its text, trimmed of blanks, is empty.
bool isBlankLetter(const QTextDocument &document);
