#include "printing/RangeFormatter.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>

namespace {

// Wide enough horizontally for any sheet: pages are only ever cut across.
constexpr double kClipReach = 1.0e6;
// Twips by which the lines' culling keeps clear of the page's top and bottom edges.
constexpr double kEdgeTolerance = 20.0;

bool breaksBefore(const QTextFormat &format)
{
    return format.intProperty(QTextFormat::PageBreakPolicy) & QTextFormat::PageBreak_AlwaysBefore;
}

bool breaksAfter(const QTextFormat &format)
{
    return format.intProperty(QTextFormat::PageBreakPolicy) & QTextFormat::PageBreak_AlwaysAfter;
}

// The text layout scales most lengths to its device (fonts, spacing above and below paragraphs,
// fixed line heights, tab stops, indent levels, tables, pictures) but takes a paragraph's left
// and right margins and its first-line indent as device units as they are. They are stored in
// 96-per-inch pixels, so on the 1440 dpi layout device they are scaled here; otherwise an
// address block indented by 8 cm would print barely half a centimetre in.
void scaleParagraphIndents(QTextDocument *document, double factor)
{
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

} // namespace

QPaintDevice *RangeFormatter::layoutDevice()
{
    // A 1440 dpi image: fonts are sized for it, so the layout's unit is the twip. 56693 dots per
    // metre read back as exactly 1440 dots per inch.
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(56693);
        image.setDotsPerMeterY(56693);
        return image;
    }();
    return &device;
}

RangeFormatter::RangeFormatter(const QTextDocument &document, int areaWidth) : copy(document.clone())
{
    copy->setUseDesignMetrics(true);
    scaleParagraphIndents(copy.get(), layoutDevice()->logicalDpiX() / 96.0);
    copy->documentLayout()->setPaintDevice(layoutDevice());
    copy->setDocumentMargin(0);
    copy->setTextWidth(std::max(areaWidth, 1));
    copy->documentLayout()->documentSize(); // lays the whole copy out now
    collectFrame(copy->rootFrame());
    if (units.isEmpty())
        units.append(Unit{});
}

RangeFormatter::~RangeFormatter() = default;

int RangeFormatter::textLength() const
{
    return copy->characterCount() - 1;
}

void RangeFormatter::collectFrame(QTextFrame *frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child))
                collectTable(table);
            else
                collectFrame(child);
        } else {
            collectBlock(it.currentBlock());
        }
    }
}

void RangeFormatter::collectBlock(const QTextBlock &block)
{
    const QTextLayout *layout = block.layout();
    if (!block.isVisible() || !layout || layout->lineCount() == 0)
        return;
    // blockBoundingRect's corner is the layout's origin in the document, parent frames included;
    // the lines are relative to it.
    const double origin = copy->documentLayout()->blockBoundingRect(block).top();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        Unit unit;
        unit.top = origin + line.y();
        unit.bottom = unit.top + line.height();
        unit.position = block.position() + line.textStart();
        unit.breakBefore = breakPending || (i == 0 && breaksBefore(block.blockFormat()));
        unit.blockNumber = block.blockNumber();
        unit.lineIndex = i;
        breakPending = false;
        units.append(unit);
    }
    breakPending = breaksAfter(block.blockFormat());
}

void RangeFormatter::collectTable(QTextTable *table)
{
    const int rows = table->rows();
    const int columns = table->columns();
    if (rows == 0 || columns == 0)
        return;
    const QAbstractTextDocumentLayout *layout = copy->documentLayout();
    const QRectF tableBounds = layout->frameBoundingRect(table);

    // Each row's content: from the top of its cells' first paragraphs to the bottom of their last.
    // Rows that a cell spans are glued together: a page cannot break through that cell.
    struct Row
    {
        double contentTop = 0;
        double contentBottom = 0;
        int position = -1;
        bool gluedToPrevious = false;
    };
    QList<Row> rowList(rows);
    for (int r = 0; r < rows; ++r) {
        Row &row = rowList[r];
        row.contentTop = tableBounds.bottom();
        row.contentBottom = tableBounds.top();
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid()) {
                ++c;
                continue;
            }
            if (cell.row() == r) {
                const QRectF first = layout->blockBoundingRect(cell.firstCursorPosition().block());
                const QRectF last = layout->blockBoundingRect(cell.lastCursorPosition().block());
                row.contentTop = std::min(row.contentTop, first.top());
                row.contentBottom = std::max(row.contentBottom, last.bottom());
                if (row.position < 0 || cell.firstPosition() < row.position)
                    row.position = cell.firstPosition();
                for (int spanned = r + 1; spanned < std::min(rows, r + cell.rowSpan()); ++spanned)
                    rowList[spanned].gluedToPrevious = true;
            }
            c += std::max(1, cell.columnSpan());
        }
        if (row.position < 0) // every cell comes from above
            row.gluedToPrevious = true;
    }

    // Row edges: the first row starts with the table; the others start above their content by the
    // same border and padding as the first row has, never above the previous row's content.
    const double lead = std::max(0.0, rowList[0].contentTop - tableBounds.top());
    QList<double> edges(rows + 1);
    edges[0] = tableBounds.top();
    for (int r = 1; r < rows; ++r)
        edges[r] = std::max(rowList[r].contentTop - lead, std::max(rowList[r - 1].contentBottom, edges[r - 1]));
    edges[rows] = std::max(tableBounds.bottom(), edges[rows - 1]);

    const bool tableBreaksBefore = breaksBefore(table->format());
    for (int r = 0; r < rows; ++r) {
        if (rowList[r].gluedToPrevious && r > 0 && !units.isEmpty()) {
            units.last().bottom = edges[r + 1];
            continue;
        }
        Unit unit;
        unit.top = edges[r];
        unit.bottom = edges[r + 1];
        unit.position = rowList[r].position >= 0 ? rowList[r].position : table->firstPosition();
        unit.breakBefore = r == 0 && (breakPending || tableBreaksBefore);
        units.append(unit);
    }
    breakPending = breaksAfter(table->format());
}

int RangeFormatter::unitAt(int position) const
{
    // The last unit starting at or before the position.
    const auto after = std::upper_bound(units.cbegin(), units.cend(), position,
                                        [](int pos, const Unit &unit) { return pos < unit.position; });
    return after == units.cbegin() ? 0 : int(after - units.cbegin()) - 1;
}

int RangeFormatter::formatRange(QPainter *painter, int from, const TwipRect &area) const
{
    const int first = unitAt(from);
    const double top = units[first].top;
    const double limit = top + area.height();
    if (units[first].bottom > limit) {
        // Taller than the whole area: nothing fits, whatever the page. Show what the page holds
        // of it and report no progress, so that the caller stops here.
        if (painter)
            draw(painter, area, units[first], limit);
        return from;
    }
    int last = first;
    while (last + 1 < units.size() && !units[last + 1].breakBefore && units[last + 1].bottom <= limit)
        ++last;
    const bool ends = last + 1 >= units.size();
    if (painter) {
        // Down to where the next page starts (or the area's end): what lies between two lines
        // (a table border, paragraph spacing) is drawn once, on one page or the other.
        double bottom = ends ? limit : std::min(units[last + 1].top, limit);
        draw(painter, area, units[first], std::max(bottom, units[last].bottom));
    }
    return ends ? std::max(textLength(), from) : units[last + 1].position;
}

QList<int> RangeFormatter::pageStarts(const TwipRect &area) const
{
    QList<int> starts{0};
    walkPages(nullptr, area, [&starts](int next) {
        starts.append(next);
        return true;
    });
    return starts;
}

int RangeFormatter::drawPages(QPainter *painter, const TwipRect &area, const std::function<bool()> &newPage) const
{
    return walkPages(painter, area, [&newPage](int) { return newPage(); });
}

int RangeFormatter::walkPages(QPainter *painter, const TwipRect &area,
                              const std::function<bool(int next)> &newPage) const
{
    const int length = textLength();
    int pages = 1;
    int from = 0;
    for (;;) {
        const int next = formatRange(painter, from, area);
        // A page on which nothing fitted is the last one: going on would never end.
        if (next >= length || next <= from)
            return pages;
        from = next;
        if (!newPage(next))
            return pages;
        ++pages;
    }
}

void RangeFormatter::draw(QPainter *painter, const TwipRect &area, const Unit &first, double bottom) const
{
    const double top = first.top;
    painter->save();
    painter->translate(area.left, area.top - top);
    painter->setClipRect(QRectF(-kClipReach, top, 2 * kClipReach, bottom - top), Qt::IntersectClip);
    // Letters print black on white whatever the desktop's colours.
    const QColor ink = Qt::black;

    // A paragraph begun on the previous page: its lines here are drawn one by one. The layout
    // would draw the whole paragraph with the line just above the page too, hidden by the clip
    // but present in a PDF's text (found twice by a search, copied twice).
    double layoutTop = top;
    if (first.lineIndex > 0) {
        const QTextBlock block = copy->findBlockByNumber(first.blockNumber);
        const QTextLayout *layout = block.layout();
        const QPointF origin = copy->documentLayout()->blockBoundingRect(block).topLeft();
        const QBrush background = block.blockFormat().background();
        if (background.style() != Qt::NoBrush)
            painter->fillRect(QRectF(origin.x(), top, layout->boundingRect().width(),
                                     origin.y() + layout->boundingRect().bottom() - top),
                              background);
        painter->setPen(ink);
        for (int i = first.lineIndex; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (origin.y() + line.y() >= bottom)
                break;
            line.draw(painter, origin);
        }
        layoutTop = origin.y() + layout->boundingRect().bottom();
    }

    if (bottom - layoutTop > 2 * kEdgeTolerance) {
        QAbstractTextDocumentLayout::PaintContext context;
        // The layout also draws the lines that only touch the clip's edges: keep clear of them.
        context.clip =
            QRectF(-kClipReach, layoutTop + kEdgeTolerance, 2 * kClipReach, bottom - layoutTop - 2 * kEdgeTolerance);
        context.palette.setColor(QPalette::Text, ink);
        copy->documentLayout()->draw(painter, context);
    }
    painter->restore();
}
