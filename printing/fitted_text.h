// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace printing {

// Draws the text in the painter's font, a fixed-pitch one, with its baseline
// starting at `origin`, so that it ends within `room` device units and puts
// no ink outside `row` (the band of its row on the page). `natural` is the
// width its columns take in the fixed-pitch font.
//  - Glyphs taken from another, proportional font (for a script the
//    fixed-pitch font lacks) can be wider than their columns: such a text is
//    condensed to fit them.
//  - A figure given less room than its columns (wider than a whole row) is
//    condensed likewise.
//  - Stacked combining marks can reach far above or below their letter:
//    whatever leaves the row is clipped.
// Plain ASCII that fits is drawn as it is, with no measuring: most runs are.
void drawWithin(QPainter &painter, const QPointF &origin, const QString &text, double room, double natural,
                const QRectF &row);

} // namespace printing
