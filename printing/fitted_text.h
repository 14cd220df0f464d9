// SPDX-License-Identifier: MIT
#pragma once

#include <QRectF>
#include <QString>

class QPainter;

namespace printing {

// Draws the text in the painter's font, a fixed-pitch one, on `baseline`
// within `cell`: the columns it was given on its row. `natural` is the width
// its columns take in the fixed-pitch font.
//  - Glyphs taken from another, proportional font (for a script the
//    fixed-pitch font lacks) can be wider than their columns: such a text is
//    condensed to fit them.
//  - A figure given fewer columns than it takes (wider than a whole row) is
//    condensed likewise.
//  - Stacked combining marks can reach far above or below their letter:
//    whatever leaves the row is clipped.
// Plain ASCII that fits is drawn as it is, with no measuring: most runs are.
void drawWithin(QPainter &painter, const QRectF &cell, double baseline, const QString &text, double natural);

} // namespace printing
