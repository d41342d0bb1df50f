#pragma once

#include "printing/PageGeometry.h"

#include <QList>

#include <functional>
#include <memory>
#include <vector>

class HeadersFooters;
class QPainter;
class QPaintDevice;
class QRectF;
class QTextDocument;
class QTextBlock;
class QTextFrame;
class QTextTable;

// Cuts a letter into pages: lays a copy of the document out in lines as wide as the text area,
// then draws, from a given position, the lines that fit in a rectangle and tells where the next
// page starts.
//
// The layout is made once, on a device of 1440 dots per inch with the fonts' design metrics, so
// lengths are twips and the line breaks do not depend on where the page is drawn: the preview
// on the screen and the paper break at the same places.
//
// Pages break between lines of text and between table rows; a paragraph marked to start on a new
// page starts one. The document given is not touched (the editor keeps its own layout).
//
// Qt's text layout counts in fixed-point numbers that end at 2^25 units, some 2,300 pages of
// twips (and fails sooner on paragraph spacing); a document that reaches that end never finishes
// its layout. A long letter is therefore
// laid out in parts, each a document of its own far below that end, stacked one under the other.
// Parts are cut between top-level paragraphs only, never in a table or a list.
//
// The letter's headers and footers (HeadersFooters) are copied and laid out the same way, at the
// text's width: each page shows its own between the sheet's edges and the text, its page numbers
// filled in, and a header taller than the top margin (a footer taller than the bottom one) moves
// the text's edge rather than overlapping it.
class RangeFormatter
{
public:
    RangeFormatter(const QTextDocument &document, int areaWidth);
    ~RangeFormatter();
    RangeFormatter(const RangeFormatter &) = delete;
    RangeFormatter &operator=(const RangeFormatter &) = delete;

    // The last position of the document: a page that reaches it ends the letter.
    int textLength() const;

    // Draws, in area (painter coordinates are twips), the lines from position from on that fit
    // in it, and returns the first position that did not fit: textLength() when the letter ends
    // on this page; from itself when nothing fits at all (a picture or a table row taller than
    // the area), in which case the top of that object is drawn clipped. A null painter measures
    // only.
    int formatRange(QPainter *painter, int from, const TwipRect &area) const;

    // A page of the letter: where its text starts, and the area the text fills on it (the
    // geometry's, less what its header and footer take beyond the margins).
    struct Page
    {
        int from = 0;
        TwipRect area;
    };
    // The letter cut into pages on sheets of that geometry, headers and footers counted; at least
    // one page. Stops after a page on which nothing fitted.
    QList<Page> pages(const PageGeometry &geometry) const;
    // Draws page number (from 1) of count: its header, its text, its footer.
    void drawPage(QPainter *painter, const PageGeometry &geometry, const Page &page, int number, int count) const;

    // The page loop of everything that draws a whole letter (the printer, PDF files): page 1,
    // then, before each page that follows, newPage() (which may throw to stop), each page as
    // pages() cuts them and drawPage() draws them. Returns the number of pages drawn; false from
    // newPage() stops there.
    int drawPages(QPainter *painter, const PageGeometry &geometry, const std::function<bool()> &newPage) const;

    // The device the copies are laid out on: 1440 dots per inch, so one unit is one twip.
    static QPaintDevice *layoutDevice();

private:
    // A piece of the layout that cannot be cut: a line of text, or a table row.
    struct Unit
    {
        double top = 0;
        double bottom = 0;
        int position = 0;
        bool breakBefore = false; // starts a new page
        int blockNumber = -1;     // a line of text: its paragraph (in its part) and its rank there
        int lineIndex = -1;
        int part = 0;
    };

    // A piece of the letter laid out on its own: positions and heights in it are offset by those
    // of the pieces above.
    struct Part
    {
        std::unique_ptr<QTextDocument> owned; // nullptr when the letter is one part: the copy
        QTextDocument *document = nullptr;
        int offset = 0;
        double top = 0;
    };

    // The area of page number's text, and its header and footer drawn around it.
    TwipRect pageArea(const PageGeometry &geometry, int number) const;
    void drawDecoration(QPainter *painter, const QTextDocument *part, double left, double top, const QRectF &room,
                        int number, int count) const;

    void splitIntoParts();
    void addPart(int from, int to);
    void collectFrame(QTextFrame *frame, int part);
    void collectBlock(const QTextBlock &block, int part);
    void collectTable(QTextTable *table, int part);
    int unitAt(int position) const;
    void draw(QPainter *painter, const TwipRect &area, const Unit &first, double bottom) const;

    std::unique_ptr<QTextDocument> copy;
    HeadersFooters *decorations = nullptr; // the copy's, laid out like it; nullptr when none
    int width = 1;
    std::vector<Part> parts;
    QList<Unit> units;
    bool breakPending = false;
};
