#pragma once

class QTextDocument;

// Paper size and margins of a document, in twips (1/1440 inch). QTextDocument has no place of
// its own for them, so they travel as properties of the document object: the reader stores what
// the file says, the writer writes them back, and A4 with 2.5 cm margins stands in when a
// document carries none.
struct PageLayout
{
    int paperWidth = 11906;
    int paperHeight = 16838;
    int marginLeft = 1417;
    int marginRight = 1417;
    int marginTop = 1417;
    int marginBottom = 1417;

    bool operator==(const PageLayout &) const = default;

    // The layout stored on the document, or the A4 default.
    static PageLayout fromDocument(const QTextDocument *document);
    static bool isStoredOn(const QTextDocument *document);
    void storeOn(QTextDocument *document) const;
};
