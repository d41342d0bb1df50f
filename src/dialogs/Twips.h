#pragma once

#include <QRect>

// Window layouts are drawn in twips (1440 per inch), as the forms were designed; these turn
// them into device-independent pixels at the screen's logical resolution.
namespace Twips {
int toPixels(int twips);
int fromPixels(int pixels);
QRect toPixels(int left, int top, int width, int height);
} // namespace Twips
