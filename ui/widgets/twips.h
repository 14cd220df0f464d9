// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>

// Window geometry is given in twips, 1/1440 inch: 15 twips to a logical pixel
// at 96 dots per inch. High-DPI scaling turns logical into device pixels.
namespace ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QSize twipsSize(int width, int height) { return {twipsToPixels(width), twipsToPixels(height)}; }

} // namespace ui
