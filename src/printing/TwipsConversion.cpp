#include "printing/TwipsConversion.h"

#include "dialogs/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace TwipsConversion {

double pixelsPerTwip()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return (dpi > 0 ? dpi : 96.0) / 1440.0;
}

int toPixels(int twips)
{
    return Twips::toPixels(twips);
}

int fromPixels(int pixels)
{
    return int(std::lround(pixels / pixelsPerTwip()));
}

QPointF fromPixels(QPointF pixels)
{
    return pixels / pixelsPerTwip();
}

} // namespace TwipsConversion
