#include "richtext/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {

double screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

double pixelsPerTwip()
{
    return screenDpi() / kPerInch;
}

int toPixels(int twips)
{
    return int(std::lround(twips * screenDpi() / kPerInch));
}

int fromPixels(int pixels)
{
    return int(std::lround(pixels * kPerInch / screenDpi()));
}

QPointF fromPixels(QPointF pixels)
{
    return pixels / pixelsPerTwip();
}

QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace Twips
