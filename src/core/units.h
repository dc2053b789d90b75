#pragma once
// Layout tables are written in twips, the unit the window designs were drawn in.
// 15 twips make one device-independent pixel at 96 DPI; Qt's high-DPI scaling
// takes it from there, so a 150 % projector shows the same layout, larger.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace qh {

inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel, halves away from zero.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

constexpr QPoint twipsPoint(int x, int y)
{
    return QPoint(twipsToPixels(x), twipsToPixels(y));
}

// Font sizes are given in points; a point is 4/3 pixel at 96 DPI. Fonts are set
// in pixels so text keeps its proportion to the twip layout on every platform
// (macOS would otherwise take a point for a pixel).
constexpr int pointsToPixels(double points)
{
    return static_cast<int>(points * 4.0 / 3.0 + 0.5);
}

} // namespace qh
