#pragma once

#include <QPointF>

// Screen pixels and twips both ways, at the screen's logical resolution (the same as
// Twips::toPixels uses for the window layouts).
namespace TwipsConversion {
double pixelsPerTwip();
int toPixels(int twips);
int fromPixels(int pixels);
QPointF fromPixels(QPointF pixels);
} // namespace TwipsConversion
