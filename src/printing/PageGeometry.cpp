#include "printing/PageGeometry.h"

#include "core/QuilloError.h"

#include <QPrinter>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int checked32(qint64 value)
{
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw QuilloError(u"Dépassement de capacité"_s, QuilloError::Overflow);
    return int(value);
}

} // namespace

int roundTwips(double twips)
{
    if (!std::isfinite(twips) || std::abs(twips) > double(std::numeric_limits<int>::max()))
        throw QuilloError(u"Dépassement de capacité"_s, QuilloError::Overflow);
    return checked32(std::llround(twips));
}

PageGeometry pageGeometry(int sheetWidth, int sheetHeight, int offsetX, int offsetY, int printableWidth,
                          int printableHeight, const Margins &margins)
{
    PageGeometry g;
    g.sheetWidth = sheetWidth;
    g.sheetHeight = sheetHeight;
    g.offsetX = offsetX;
    g.offsetY = offsetY;
    g.printableWidth = printableWidth;
    g.printableHeight = printableHeight;
    g.area.left = checked32(qint64(margins.left) - offsetX);
    g.area.top = checked32(qint64(margins.top) - offsetY);
    g.area.right = checked32(qint64(sheetWidth) - margins.right - offsetX);
    g.area.bottom = checked32(qint64(sheetHeight) - margins.bottom - offsetY);
    // Negative or crossing margins would ask the formatter for lines of no width, which fit
    // nowhere: refuse them here with a message rather than print blank sheets.
    if (qint64(g.area.right) - g.area.left <= 0 || qint64(g.area.bottom) - g.area.top <= 0)
        throw QuilloError(u"Les marges ne laissent aucune place au texte sur la feuille."_s, 5);
    return g;
}

PageGeometry printerGeometry(const QPrinter &printer, const Margins &margins)
{
    // Device pixels to twips with the printer's own resolution, as the page set-up reports them.
    const double toTwips = 1440.0 / (printer.resolution() > 0 ? printer.resolution() : 1200);
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    return pageGeometry(roundTwips(paper.width() * toTwips), roundTwips(paper.height() * toTwips),
                        roundTwips((printable.left() - paper.left()) * toTwips),
                        roundTwips((printable.top() - paper.top()) * toTwips), roundTwips(printable.width() * toTwips),
                        roundTwips(printable.height() * toTwips), margins);
}
