#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace brenvik {

// The console lays its windows out in 96-dpi units and scales each number by itself: x and widths
// by the horizontal logical dpi, y and heights by the vertical one, divided by 96 and truncated.
// Picture buttons keep their pixel size. Qt's own scaling is switched off, so this is the only
// scaling there is; tests build windows at 96 and 144 dpi by passing the value.
struct ScreenScale {
    int dpiX = 96;
    int dpiY = 96;

    int X(int value) const { return value * dpiX / 96; }
    int Y(int value) const { return value * dpiY / 96; }
    QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const { return {X(x), Y(y), X(width), Y(height)}; }
    // A scaled position with a size that stays in pixels.
    QRect PlacedPixels(int x, int y, int width, int height) const { return {X(x), Y(y), width, height}; }
};

} // namespace brenvik
