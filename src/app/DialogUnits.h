#pragma once
// Dialog units to pixels. The dialogs are laid out in dialog units of the
// classic 8-point dialog font: about 1.5 pixels per horizontal and 1.625
// per vertical unit at 96 dpi.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cmath>

namespace tryster::app {

inline constexpr double kPixelsPerUnitX = 1.5;
inline constexpr double kPixelsPerUnitY = 1.625;

inline int unitsToPixelsX(double units) { return static_cast<int>(std::lround(units * kPixelsPerUnitX)); }
inline int unitsToPixelsY(double units) { return static_cast<int>(std::lround(units * kPixelsPerUnitY)); }

inline QPoint dluPoint(double x, double y) { return {unitsToPixelsX(x), unitsToPixelsY(y)}; }
inline QSize dluSize(double width, double height) { return {unitsToPixelsX(width), unitsToPixelsY(height)}; }

}  // namespace tryster::app
