#pragma once

#include <QPointF>
#include <QRect>

#include <limits>

// Twips (1440 to the inch) are the unit of the letters, of the page arithmetic and of the window
// layouts, which were designed in them. Every conversion between twips and pixels is here.
namespace Twips {

inline constexpr double kPerInch = 1440.0;

// --- The screen: device-independent pixels at the screen's logical resolution ---------------
// The screen's logical dots per inch; 96 when there is no screen.
double screenDpi();
double pixelsPerTwip();
int toPixels(int twips);
int fromPixels(int pixels);
QPointF fromPixels(QPointF pixels);
QRect toPixels(int left, int top, int width, int height);

// --- Documents: a QTextDocument measures in pixels at 96 per inch, 15 twips each ------------
inline constexpr double kPerDocumentPixel = kPerInch / 96.0;
constexpr int fromDocumentPixels(double pixels)
{
    const double twips = pixels * kPerDocumentPixel + (pixels < 0 ? -0.5 : 0.5);
    // A damaged file may give a picture any size: beyond what an int holds, the nearest end.
    if (!(twips == twips))
        return 0;
    if (twips >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (twips <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return int(twips);
}
constexpr double toDocumentPixels(double twips)
{
    return twips / kPerDocumentPixel;
}

} // namespace Twips
