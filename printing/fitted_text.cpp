// SPDX-License-Identifier: MIT
#include "printing/fitted_text.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace printing {

void drawWithin(QPainter &painter, const QPointF &origin, const QString &text, double room)
{
    // Every fixed-pitch font has the ASCII characters, one advance each: most
    // runs need no measuring, which would double the time a long day takes.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    // Otherwise measured with the fallback fonts the painter will use; a hair
    // of rounding in the fixed-pitch font's advances is no reason to condense.
    const double width = ascii ? 0.0 : QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    if (ascii || width <= room * 1.0001 || room <= 0) {
        painter.drawText(origin, text);
        return;
    }
    painter.save();
    painter.translate(origin);
    painter.scale(room / width, 1.0);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace printing
