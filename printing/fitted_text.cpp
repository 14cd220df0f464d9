// SPDX-License-Identifier: MIT
#include "printing/fitted_text.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace printing {

void drawWithin(QPainter &painter, const QRectF &cell, double baseline, const QString &text, double natural)
{
    // Every fixed-pitch font has the ASCII characters, one advance each, all
    // within the font's line: most runs need no measuring, which would double
    // the time a long day takes.
    const bool ascii = std::ranges::all_of(text, [](QChar c) { return c.unicode() < 0x80; });
    const double room = cell.width();
    // A hair of rounding in the advances is no reason to condense.
    const auto fits = [room](double width) { return width <= room * 1.0001 || room <= 0; };
    if (ascii && fits(natural)) {
        painter.drawText(QPointF(cell.left(), baseline), text);
        return;
    }
    // Otherwise measured with the fallback fonts the painter will use.
    const double width = ascii ? natural : QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
    painter.save();
    // The row's band, with room on either side for ink that overhangs.
    if (!ascii)
        painter.setClipRect(cell.adjusted(-cell.height(), 0, cell.height(), 0), Qt::IntersectClip);
    painter.translate(cell.left(), baseline);
    if (!fits(width))
        painter.scale(room / width, 1.0);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

} // namespace printing
