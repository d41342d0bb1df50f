#pragma once

#include "printing/PageGeometry.h"

#include <QList>

#include <functional>
#include <memory>

class QPainter;
class QPaintDevice;
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

    // The first position of every page when the letter is cut in areas of that size; at least
    // one page. Stops after a page on which nothing fitted. The same loop as drawPages(), so the
    // preview (which draws each page later, from its start) breaks where the paper does.
    QList<int> pageStarts(const TwipRect &area) const;

    // The page loop of everything that draws a whole letter (the printer, PDF files): page 1 in
    // area, then, before each page that follows, newPage() (which may throw to stop). Pages
    // break where pageStarts() says. Returns the number of pages drawn; false from newPage()
    // stops there.
    int drawPages(QPainter *painter, const TwipRect &area, const std::function<bool()> &newPage) const;

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
        int blockNumber = -1;     // a line of text: its paragraph and its rank there
        int lineIndex = -1;
    };

    void collectFrame(QTextFrame *frame);
    void collectBlock(const QTextBlock &block);
    void collectTable(QTextTable *table);
    int unitAt(int position) const;
    // The one page loop: formats page after page from the start, calling newPage with the first
    // position of each page that follows (false stops); returns the number of pages formatted.
    int walkPages(QPainter *painter, const TwipRect &area, const std::function<bool(int next)> &newPage) const;
    void draw(QPainter *painter, const TwipRect &area, const Unit &first, double bottom) const;

    std::unique_ptr<QTextDocument> copy;
    QList<Unit> units;
    bool breakPending = false;
};
