// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QString>

class QPainter;

namespace printing {

// Draws the text with its left end at `origin`, in the painter's font, a
// fixed-pitch one, so that it ends within `room` device units. Glyphs taken
// from another, proportional font (for a script the fixed-pitch font lacks)
// can be wider than the columns the text was given; such a text is condensed
// to fit them. Any other text is drawn as it is.
void drawWithin(QPainter &painter, const QPointF &origin, const QString &text, double room);

} // namespace printing
