// SPDX-License-Identifier: MIT
#include "printing/fitted_text.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace printing {

void drawWithin(QPainter &painter, const QPointF &origin, const QString &text, double room, double natural,
                const QRectF &row)
{
    // Every fixed-pitch font has the ASCII characters, one advance each, all
    // within the font's line: most runs need no measuring, which would double
    // the time a long day takes.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    // A hair of rounding in the advances is no reason to condense.
    const auto fits = [room](double width) { return width <= room * 1.0001 || room <= 0; };
    if (ascii && fits(natural)) {
        painter.drawText(origin, text);
        return;
    }
    // Otherwise measured with the fallback fonts the painter will use.
    const double width = ascii ? natural : QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    painter.save();
    if (!ascii)
        painter.setClipRect(row, Qt::IntersectClip);
    painter.translate(origin);
    if (!fits(width))
        painter.scale(room / width, 1.0);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace printing
