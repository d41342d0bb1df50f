#pragma once

// The pieces of a letter's PDF file that LetterPdf.cpp and PdfSplit.cpp share; not for use
// outside the printing layer.

#include "printing/LetterPdf.h"

#include <QByteArray>
#include <QDateTime>

namespace LetterPdf::Parts {

// "Quillane 1.0.0 (Qt 6.4.2)".
QString producer();

// The document information dictionary ("<< /Title … >>"): title, author, creator, producer,
// dates.
QByteArray information(const Properties &properties, const QDateTime &created);

// The metadata packet of a PDF/A-1b file: the same title, author, creator, producer and dates as
// the document information, and the declaration of the archive level.
QByteArray xmpPacket(const Properties &properties, const QDateTime &created);

// The pages first to first + count - 1 (from 0) of a PDF file that Qt's writer made, as a file
// of their own: their objects and what they use (fonts, graphic states, the colour profile),
// numbered anew, with a catalog, the information and the metadata of properties. Empty when
// the file is not laid out as expected.
QByteArray extractPages(const QByteArray &pdf, int first, int count, const Properties &properties,
                        const QDateTime &created);

} // namespace LetterPdf::Parts
