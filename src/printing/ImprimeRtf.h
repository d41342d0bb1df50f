#pragma once

#include "printing/PageGeometry.h"
#include "printing/PrintRtf.h"

#include <QList>

class Imprimer;
class QTextDocument;
class QWidget;

// The preview and print commands of the program's windows.
//
// The wizard's "Aperçu du modèle":
//     Preview_RTF(PPreview(), workingDocument, LetterMargin, false);
// The editor's "Aperçu avant impression" (for a letter that is not blank):
//     Preview_RTF(PPreview(), letter, LetterMargin, true);
// "Configurer l'impression": configurePrinter(window);
// "Imprimer...": printLetterCommand(window, letter);
// "Imprimer tout": printAllLettersCommand(window, letters);

// Cuts the letter into pages on the preview window prepared by manager.Initialise(): page 1
// first, then one NewPage per page that follows, with the margins given (twips; callers pass
// LetterMargin, as for printing, so the preview breaks where the paper does). An error stops
// the pagination with a message titled "Erreur n°" and its number; the pages made stay.
void Paginate_RTF(const QTextDocument &document, double left, double top, double right, double bottom,
                  Imprimer &manager);
void Paginate_RTF(const QTextDocument &document, double left, double top, double right, double bottom);

// A whole preview: Initialise, Paginate_RTF with the margin on every side, the window told where
// the letter came from (fromEditor) and which letter "Imprimer" prints, then Show. Returns when
// the preview window has been closed.
void Preview_RTF(Imprimer &manager, const QTextDocument &document, double margin, bool fromEditor);

// The question every print command asks first; true on "Oui".
bool confirmPrinting(QWidget *parent);
// Prints the letter with Print_RTF; a failure is shown in a message box. True when it was printed.
bool printLetter(QWidget *parent, const QTextDocument &letter, const Margins &margins = Margins());

// The letters that are not blank, in order: one job per letter on a printer; when the printer
// writes to a file, one job holding them all, each from a new page, since a job per letter would
// leave only the last letter in the file. A failure is shown and ends the round. Returns the
// indexes of the letters printed.
QList<int> printLetters(QWidget *parent, const QList<const QTextDocument *> &letters,
                        const Margins &margins = Margins());

// "Imprimer...": the confirmation, then the letter printed unless it is blank.
bool printLetterCommand(QWidget *parent, const QTextDocument &letter);
// "Imprimer tout": one confirmation, then printLetters.
QList<int> printAllLettersCommand(QWidget *parent, const QList<const QTextDocument *> &letters);
// "Configurer" / "Configurer l'impression": the printer set-up dialog on the current printer,
// which every print then uses. False when cancelled.
bool configurePrinter(QWidget *parent);
