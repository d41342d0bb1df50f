#pragma once

#include "printing/PageGeometry.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QTextDocument;

// A letter as a PDF file: the pages the printer gets (A4, the same margins, the same page
// breaks, drawn by the range formatter), its fonts embedded, its text extractable in reading
// order, declared PDF/A-1b so that it can be archived as sent.
namespace LetterPdf {

// What the file says about itself (a viewer's document properties).
struct Properties
{
    QString title;     // the letter's object, or the recipient's name when it has none
    QString author;    // the sender's name
    QDateTime created; // when the letter was written; now when not valid
};

// "Quillane 1.0.0": the program named as the files' creator.
QString creator();

// The whole PDF file of the letter, inside the margins (twips from the sheet's edges). Empty
// when the letter could not be drawn, with a French reason in *error.
QByteArray render(const QTextDocument &letter, const Properties &properties, QString *error = nullptr,
                  const Margins &margins = Margins());

// Writes the letter's PDF file, replacing it whole: a temporary file beside it renamed at the
// end, so that a failure leaves the old file (or none) and never half of one. False with a
// French message naming the file in *error.
bool write(const QString &path, const QTextDocument &letter, const Properties &properties, QString *error = nullptr,
           const Margins &margins = Margins());

// True when the bytes are a whole PDF file: the header, the end-of-file mark, and a cross-
// reference table (with the tables before it) whose objects are where it says. A file cut
// short, or one that is not a PDF, is not complete.
bool isComplete(const QByteArray &bytes);
bool isCompleteFile(const QString &path);

} // namespace LetterPdf
