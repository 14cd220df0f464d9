// SPDX-License-Identifier: MIT
#pragma once

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>

#include <algorithm>

// Window geometry is given in twips, 1/1440 inch, and turned into logical
// pixels at the screen's logical resolution, as fonts given in points are:
// 15 twips to a pixel at the standard 96 dots per inch. A desktop's larger
// text raises that resolution where Qt does not scale the whole window
// instead (QT_ENABLE_HIGHDPI_SCALING=0, a scale factor rounded down), and
// the windows then grow with their text; they never shrink below their
// standard size. High-DPI scaling turns logical into device pixels.
namespace ui {

inline constexpr int kStandardDpi = 96;

// The primary screen's logical dots per inch, 96 at the least.
inline int logicalDpi()
{
    const QScreen *screen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    return screen != nullptr ? std::max(kStandardDpi, qRound(screen->logicalDotsPerInchY())) : kStandardDpi;
}

constexpr int twipsToPixels(int twips, int dpi = kStandardDpi) { return (twips * dpi + 720) / 1440; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    const int dpi = logicalDpi();
    return {twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(width, dpi), twipsToPixels(height, dpi)};
}

inline QSize twipsSize(int width, int height)
{
    const int dpi = logicalDpi();
    return {twipsToPixels(width, dpi), twipsToPixels(height, dpi)};
}

} // namespace ui
