#include "printing/RangeFormatter.h"

#include "core/Clock.h"
#include "richtext/HeadersFooters.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

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

namespace {

// Lays a document out on the layout device at that width, its indents already scaled to it.
void layOut(QTextDocument *document, int width)
{
    document->setUseDesignMetrics(true);
    document->documentLayout()->setPaintDevice(RangeFormatter::layoutDevice());
    document->setDocumentMargin(0);
    document->setTextWidth(width);
    document->documentLayout()->documentSize(); // lays the whole document out now
}

// What a part may hold, in twips as guessed before its layout (see blockHeightGuess): an eighth
// of 2^23, where the layout already fails on the spacing between paragraphs (on lines of text it
// fails at 2^25), so that a guess eight times short still lays out.
constexpr double kPartHeightGuess = double(1 << 23) / 8;

// A height no paragraph's layout exceeds in practice: every character on lines of its largest
// font as if no more than 600 / points of them fitted on a line (50 at 12 points, where a line
// holds some 90), each line half as tall again as its font, a fixed line height taken as it is,
// pictures stacked, and the spacing above and below.
double blockHeightGuess(const QTextBlock &block, const QFont &defaultFont)
{
    const double twipsPerPixel = 1440.0 / 96.0;
    const QTextBlockFormat format = block.blockFormat();
    double points = std::max(defaultFont.pointSizeF(), 1.0);
    double pictures = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat charFormat = it.fragment().charFormat();
        points = std::max(points, charFormat.fontPointSize());
        if (charFormat.isImageFormat())
            pictures += std::max(charFormat.toImageFormat().height(), 0.0) * twipsPerPixel;
    }
    const double lines = 1 + block.length() * points / 600.0;
    double lineHeight = points * 20 * 1.5;
    if (format.lineHeightType() == QTextBlockFormat::FixedHeight ||
        format.lineHeightType() == QTextBlockFormat::MinimumHeight)
        lineHeight = std::max(lineHeight, format.lineHeight() * twipsPerPixel);
    return lines * lineHeight + pictures +
           (std::max(format.topMargin(), 0.0) + std::max(format.bottomMargin(), 0.0)) * twipsPerPixel;
}

} // namespace

RangeFormatter::RangeFormatter(const QTextDocument &document, int areaWidth)
    : copy(document.clone()), width(std::max(areaWidth, 1))
{
    const double scale = layoutDevice()->logicalDpiX() / 96.0;
    scaleParagraphIndents(copy.get(), scale);
    splitIntoParts();
    if (const HeadersFooters *original = HeadersFooters::of(&document)) {
        original->copyTo(copy.get());
        decorations = HeadersFooters::of(copy.get());
        for (const HeadersFooters::Kind kind : HeadersFooters::kKinds) {
            if (QTextDocument *part = decorations->part(kind)) {
                scaleParagraphIndents(part, scale);
                layOut(part, width);
            }
        }
    }
    double top = 0;
    for (int index = 0; index < int(parts.size()); ++index) {
        Part &part = parts[size_t(index)];
        if (index > 0) {
            // A layout leaves out the spacing below its last paragraph and above its first; in
            // the whole letter the larger of the two stands between them.
            const QTextBlockFormat above = copy->findBlock(part.offset - 1).blockFormat();
            const QTextBlockFormat below = copy->findBlock(part.offset).blockFormat();
            top += std::max({above.bottomMargin(), below.topMargin(), 0.0}) * scale;
        }
        part.top = top;
        collectFrame(part.document->rootFrame(), index);
        top += part.document->documentLayout()->documentSize().height();
    }
    if (units.isEmpty())
        units.append(Unit{});
}

RangeFormatter::~RangeFormatter() = default;

int RangeFormatter::textLength() const
{
    return copy->characterCount() - 1;
}

void RangeFormatter::splitIntoParts()
{
    // Cuts before a paragraph of the top level whose predecessor is one too and which is in no
    // list (a list cut in two would number its second half from 1 again).
    const QFont font = copy->defaultFont();
    int from = 0;
    double guess = 0;
    bool afterParagraph = false;
    QList<std::pair<int, int>> ranges;
    QTextFrame *root = copy->rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (!block.isValid()) {
            const QTextFrame *frame = it.currentFrame();
            for (QTextBlock inner = copy->findBlock(frame->firstPosition());
                 inner.isValid() && inner.position() <= frame->lastPosition(); inner = inner.next())
                guess += blockHeightGuess(inner, font);
            afterParagraph = false;
            continue;
        }
        const double height = blockHeightGuess(block, font);
        if (afterParagraph && !block.textList() && guess > 0 && guess + height > kPartHeightGuess) {
            ranges.append({from, block.position() - 1});
            from = block.position();
            guess = 0;
        }
        guess += height;
        afterParagraph = true;
    }
    if (ranges.isEmpty()) {
        layOut(copy.get(), width);
        parts.push_back(Part{nullptr, copy.get(), 0, 0});
        return;
    }
    ranges.append({from, copy->characterCount() - 1});
    for (const auto &[start, end] : std::as_const(ranges))
        addPart(start, end);
}

void RangeFormatter::addPart(int from, int to)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(copy->defaultFont());
    document->setIndentWidth(copy->indentWidth());
    document->setDefaultTextOption(copy->defaultTextOption());
    // A piece that starts with the end of the paragraph before keeps its first paragraph's
    // format; that empty paragraph is then taken away, so that positions match the letter's.
    QTextCursor piece(copy.get());
    piece.setPosition(from > 0 ? from - 1 : 0);
    piece.setPosition(to, QTextCursor::KeepAnchor);
    QTextCursor(document.get()).insertFragment(piece.selection());
    if (from > 0) {
        QTextCursor lead(document.get());
        lead.setPosition(1, QTextCursor::KeepAnchor);
        lead.removeSelectedText();
    }
    // Pictures are resources of the letter, not of the piece.
    for (const QTextFormat &format : document->allFormats()) {
        if (!format.isImageFormat())
            continue;
        const QUrl name(format.toImageFormat().name());
        const QVariant image = copy->resource(QTextDocument::ImageResource, name);
        if (image.isValid())
            document->addResource(QTextDocument::ImageResource, name, image);
    }
    layOut(document.get(), width);
    QTextDocument *laidOut = document.get();
    parts.push_back(Part{std::move(document), laidOut, from, 0});
}

void RangeFormatter::collectFrame(QTextFrame *frame, int part)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child))
                collectTable(table, part);
            else
                collectFrame(child, part);
        } else {
            collectBlock(it.currentBlock(), part);
        }
    }
}

void RangeFormatter::collectBlock(const QTextBlock &block, int part)
{
    const Part &piece = parts[size_t(part)];
    const QTextLayout *layout = block.layout();
    if (!block.isVisible() || !layout || layout->lineCount() == 0)
        return;
    // blockBoundingRect's corner is the layout's origin in the document, parent frames included;
    // the lines are relative to it.
    const double origin = piece.top + piece.document->documentLayout()->blockBoundingRect(block).top();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        Unit unit;
        unit.top = origin + line.y();
        unit.bottom = unit.top + line.height();
        unit.position = piece.offset + block.position() + line.textStart();
        unit.breakBefore = breakPending || (i == 0 && breaksBefore(block.blockFormat()));
        unit.blockNumber = block.blockNumber();
        unit.lineIndex = i;
        unit.part = part;
        breakPending = false;
        units.append(unit);
    }
    breakPending = breaksAfter(block.blockFormat());
}

void RangeFormatter::collectTable(QTextTable *table, int part)
{
    const Part &piece = parts[size_t(part)];
    const int rows = table->rows();
    const int columns = table->columns();
    if (rows == 0 || columns == 0)
        return;
    const QAbstractTextDocumentLayout *layout = piece.document->documentLayout();
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
            units.last().bottom = piece.top + edges[r + 1];
            continue;
        }
        Unit unit;
        unit.top = piece.top + edges[r];
        unit.bottom = piece.top + edges[r + 1];
        unit.position = piece.offset + (rowList[r].position >= 0 ? rowList[r].position : table->firstPosition());
        unit.part = part;
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

TwipRect RangeFormatter::pageArea(const PageGeometry &geometry, int number) const
{
    TwipRect area = geometry.area;
    if (!decorations)
        return area;
    const TwipRect sheet = geometry.sheet();
    // Neither may take more than a third of the text's room: a header beyond that is cut, the
    // letter is not.
    const int most = geometry.area.height() / 3;
    if (const QTextDocument *header = decorations->headerOn(number)) {
        const double bottom =
            sheet.top + decorations->headerDistance() + header->documentLayout()->documentSize().height();
        area.top = std::clamp(int(std::ceil(bottom)), geometry.area.top, geometry.area.top + most);
    }
    if (const QTextDocument *footer = decorations->footerOn(number)) {
        const double top =
            sheet.bottom - decorations->footerDistance() - footer->documentLayout()->documentSize().height();
        area.bottom = std::clamp(int(std::floor(top)), geometry.area.bottom - most, geometry.area.bottom);
    }
    return area;
}

QList<RangeFormatter::Page> RangeFormatter::pages(const PageGeometry &geometry) const
{
    QList<Page> list;
    int from = 0;
    for (int number = 1;; ++number) {
        const TwipRect area = pageArea(geometry, number);
        list.append({from, area});
        const int next = formatRange(nullptr, from, area);
        // A page on which nothing fitted is the last one: going on would never end.
        if (next >= textLength() || next <= from)
            return list;
        from = next;
    }
}

void RangeFormatter::drawPage(QPainter *painter, const PageGeometry &geometry, const Page &page, int number,
                              int count) const
{
    // In reading order, which is the order a PDF's text is extracted in: header, text, footer.
    const TwipRect sheet = geometry.sheet();
    const double left = geometry.area.left;
    if (const QTextDocument *header = decorations ? decorations->headerOn(number) : nullptr) {
        const QRectF room(-kClipReach, sheet.top, 2 * kClipReach, page.area.top - sheet.top);
        drawDecoration(painter, header, left, sheet.top + decorations->headerDistance(), room, number, count);
    }
    formatRange(painter, page.from, page.area);
    if (!decorations)
        return;
    if (const QTextDocument *footer = decorations->footerOn(number)) {
        const double top =
            sheet.bottom - decorations->footerDistance() - footer->documentLayout()->documentSize().height();
        const QRectF room(-kClipReach, page.area.bottom, 2 * kClipReach, sheet.bottom - page.area.bottom);
        drawDecoration(painter, footer, left, top, room, number, count);
    }
}

void RangeFormatter::drawDecoration(QPainter *painter, const QTextDocument *part, double left, double top,
                                    const QRectF &room, int number, int count) const
{
    // The page numbers and dates of this page in a copy of its own.
    std::unique_ptr<QTextDocument> filled;
    if (RichText::hasPageFields(part)) {
        filled.reset(part->clone());
        RichText::fillPageFields(filled.get(), number, count, Clock::now());
        layOut(filled.get(), width);
        part = filled.get();
    }
    painter->save();
    painter->setClipRect(room, Qt::IntersectClip);
    painter->translate(left, top);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    part->documentLayout()->draw(painter, context);
    painter->restore();
}

int RangeFormatter::drawPages(QPainter *painter, const PageGeometry &geometry,
                              const std::function<bool()> &newPage) const
{
    const QList<Page> list = pages(geometry);
    for (int index = 0; index < list.size(); ++index) {
        if (index > 0 && !newPage())
            return index;
        drawPage(painter, geometry, list[index], index + 1, int(list.size()));
    }
    return int(list.size());
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
        const Part &part = parts[size_t(first.part)];
        const QTextBlock block = part.document->findBlockByNumber(first.blockNumber);
        const QTextLayout *layout = block.layout();
        const QPointF origin =
            part.document->documentLayout()->blockBoundingRect(block).topLeft() + QPointF(0, part.top);
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

    // Each part the page reaches, in the part's own coordinates.
    for (size_t index = size_t(first.part); index < parts.size() && parts[index].top < bottom; ++index) {
        const Part &part = parts[index];
        const double from = std::max(layoutTop, part.top);
        if (bottom - from <= 2 * kEdgeTolerance)
            continue;
        QAbstractTextDocumentLayout::PaintContext context;
        // The layout also draws the lines that only touch the clip's edges: keep clear of them.
        context.clip =
            QRectF(-kClipReach, from - part.top + kEdgeTolerance, 2 * kClipReach, bottom - from - 2 * kEdgeTolerance);
        context.palette.setColor(QPalette::Text, ink);
        painter->save();
        painter->translate(0, part.top);
        part.document->documentLayout()->draw(painter, context);
        painter->restore();
    }
    painter->restore();
}
