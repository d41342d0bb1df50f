#pragma once

#include <QtGlobal>

class QPrinter;

// Letters are printed, and previewed, with this margin on each of the four sides, in twips
// (1400 twips, about 2.5 cm). The preview uses the same value so that its lines and pages break
// exactly where the paper's do.
inline constexpr int LetterMargin = 1400;

// A rectangle by its four edges, in twips. Unlike QRect, right and bottom are the edges
// themselves, so width = right - left as the page arithmetic expects.
struct TwipRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    TwipRect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const TwipRect &) const = default;
};

// Distances from the edges of the sheet, in twips.
struct Margins
{
    int left = LetterMargin;
    int top = LetterMargin;
    int right = LetterMargin;
    int bottom = LetterMargin;

    static Margins all(int margin) { return {margin, margin, margin, margin}; }
};

// Where the text of a page goes. A printer draws relative to its printable area, which starts
// at the physical offset from the sheet's corner; the area is the sheet less the margins,
// expressed in printable-area coordinates. All values are twips.
struct PageGeometry
{
    int sheetWidth = 0;
    int sheetHeight = 0;
    int offsetX = 0; // sheet's left edge to the printable area
    int offsetY = 0; // sheet's top edge to the printable area
    int printableWidth = 0;
    int printableHeight = 0;
    TwipRect area; // relative to the printable area

    // The whole printable area: (0, 0, printable width, printable height).
    TwipRect page() const { return {0, 0, printableWidth, printableHeight}; }
    // The area measured from the sheet's corner (where a preview sheet draws it).
    TwipRect areaOnSheet() const { return area.translated(offsetX, offsetY); }
    // The whole sheet, in the area's coordinates: headers and footers stand between its edges
    // and the area.
    TwipRect sheet() const { return {-offsetX, -offsetY, sheetWidth - offsetX, sheetHeight - offsetY}; }
    // The same page measured from the sheet's corner, as a preview sheet draws it.
    PageGeometry onSheet() const
    {
        PageGeometry corner = *this;
        corner.area = areaOnSheet();
        corner.offsetX = corner.offsetY = 0;
        corner.printableWidth = sheetWidth;
        corner.printableHeight = sheetHeight;
        return corner;
    }
};

// The arithmetic of a page: area left = left margin - offset X, top = top margin - offset Y,
// right = sheet width - right margin - offset X, bottom = sheet height - bottom margin - offset Y.
// Throws QuilloError: overflow (6) when a value leaves 32 bits; invalid call (5) when the
// margins leave no room for the text.
PageGeometry pageGeometry(int sheetWidth, int sheetHeight, int offsetX, int offsetY, int printableWidth,
                          int printableHeight, const Margins &margins);

// The same, measured on the printer: its sheet, its physical offsets and its printable area,
// converted from its device pixels to twips and rounded to whole twips.
PageGeometry printerGeometry(const QPrinter &printer, const Margins &margins);

// A length from its currency form (margins of the preview) to whole twips; overflow error past 32 bits.
int roundTwips(double twips);
