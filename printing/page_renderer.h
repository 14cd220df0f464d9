// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"
#include "printing/print_service.h"

#include <QFont>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

#include <optional>

class QPagedPaintDevice;
class QPainter;
class QIODevice;

namespace reports {
class RowFolding;
}

// Puts a PrintDocument on paper. The document model knows only columns and
// lines; this is the one place that knows fonts, pages and device units. The
// program's printer and the tests' PDF files go through the same code.
namespace printing {

using reports::PrintDocument;
using reports::PrintLine;
using reports::PrintRun;
using reports::PrintRunView;

// Documents are printed in the system's fixed-pitch font, so that a column
// is one character advance and columns line up on paper: at 10 points where
// the reports' lines (to column 74) fit across the paper, else as large as
// fits them, but never below 7 points, the least that stays legible.
inline constexpr double kPrintPointSize = 10.0;
inline constexpr double kLeastPrintPointSize = 7.0;
QFont printFont(double pointSize = kPrintPointSize);

// The margin asked of every page, never less than the device can print.
inline constexpr double kPageMarginMillimetres = 15.0;
// On paper too narrow for the reports' lines at 10 points within those
// margins, they go down to the printer's own unprintable edges; where the
// printer does not say what those are, to this.
inline constexpr double kNarrowPaperMarginMillimetres = 3.0;

// Sets the device's paper and margins for printing a document: the program's
// margins, or more where the printer cannot print (`printerEdges`, in
// millimetres, when it says), or less on narrow paper as above. Call before
// painting.
void preparePage(QPagedPaintDevice &device, const QPageSize &pageSize = QPageSize(QPageSize::A4),
                 const std::optional<QMarginsF> &printerEdges = std::nullopt);

// The usual paper of the user's region: Letter where it measures in US
// units, else A4.
QPageSize regionalPaper();

// Writes the PDF of a document to `out`, as every sender and the saved file
// make it: named (its title, and the program and its version as its
// creator), laid out on the paper given (preparePage) and painted with the
// renderer below. `destination` names where the pages go, for the progress
// the watcher is told of.
void writePdf(QIODevice &out, const reports::PrintDocument &document, const QString &title, const QPageSize &paper,
              const std::optional<QMarginsF> &printerEdges, const QString &destination, PrintWatcher *watcher = nullptr);

// The character grid of one page, in the device's units.
struct PageGrid {
    double advance = 0;    // width of one column
    double lineHeight = 0; // from one row to the next
    double ascent = 0;     // from the top of a row to its baseline
    int columns = 1;       // columns across the printable width
    int rows = 1;          // rows down the printable height
};

class PageRenderer {
public:
    // Measures the grid on the device as it is set up now, and chooses the
    // size of the print.
    explicit PageRenderer(QPagedPaintDevice &device);

    const PageGrid &grid() const { return m_grid; }
    const QFont &font() const { return m_font; }
    // Whether the paper is too narrow for the reports' lines at 10 points:
    // then the reports' indent is left out, and lines that still do not fit
    // are folded onto more rows (reports::RowFolding), never cut.
    bool narrow() const { return m_narrow; }

    int pageCount(const PrintDocument &document) const;

    // Paints the document with a painter already active on the device,
    // starting a new page whenever one is full, or before a statement's rows
    // (a charter folded onto several rows, a label and its figure) that
    // would not fit on what is left of it, unless they fill a page on their
    // own. Column c of a row starts (c - 1) advances right of the left
    // margin. Throws PrinterError when the device cannot start a new page.
    void render(const PrintDocument &document, QPainter &painter, PrintWatcher *watcher = nullptr) const;

private:
    reports::RowFolding rowsOf(const PrintDocument &document) const;
    int pageCount(const PrintDocument &document, const reports::RowFolding &rows) const;
    // Whether the page must turn before `line`, `row` rows into it.
    bool turnsBefore(const PrintDocument &document, const reports::RowFolding &rows, std::size_t line, int row) const;

    QPagedPaintDevice &m_device;
    QFont m_font;
    PageGrid m_grid;
    bool m_narrow = false;
};

// Paints the whole document onto the device as one job: begins, renders and
// ends. `destination` names the device in its errors. Throws PrinterError
// when the device does not start, cannot turn a page or does not finish.
void paintDocument(QPagedPaintDevice &device, const PrintDocument &document, const QString &destination,
                   PrintWatcher *watcher = nullptr);

} // namespace printing
