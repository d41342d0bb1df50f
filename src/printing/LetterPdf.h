#pragma once

#include "printing/PageGeometry.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

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

// Writes PDF bytes (from render() or a Series) to a file the same way: replaced whole, a French
// message naming the file in *error on failure.
bool save(const QString &path, const QByteArray &pdf, QString *error = nullptr);

// Several letters drawn into one PDF document, then each cut out as a file of its own: the same
// pages as render() gives, but the fonts are prepared once for the whole series rather than once
// per letter, which is most of the cost of a small letter. A series belongs to one thread.
class Series
{
public:
    explicit Series(const Margins &margins = Margins());
    ~Series();
    Series(const Series &) = delete;
    Series &operator=(const Series &) = delete;

    // Draws the letter on the pages after the other letters' (the document may be let go
    // then). False, with a French reason, when the series cannot take it.
    bool add(const QTextDocument &letter, QString *error = nullptr);
    int count() const;

    // The whole PDF file of letter index (from 0, in the order added) with these properties.
    // The first call ends the drawing: no letter can be added afterwards. Empty, with a French
    // reason, when it cannot be made; render() then still can.
    QByteArray file(int index, const Properties &properties, QString *error = nullptr);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// True when the bytes are a whole PDF file: the header, the end-of-file mark, and a cross-
// reference table (with the tables before it) whose objects are where it says. A file cut
// short, or one that is not a PDF, is not complete.
bool isComplete(const QByteArray &bytes);
bool isCompleteFile(const QString &path);

} // namespace LetterPdf
