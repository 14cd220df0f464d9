// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"

#include <QString>

#include <ostream>
#include <vector>

class QPagedPaintDevice;

// Reads a PDF back the way a person would search it: every word with its
// box, as pdftotext (poppler) extracts it, then maps the boxes back onto the
// printed grid of columns and rows.
namespace testing_pdf {

struct Word {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // points from the page's top left
};

struct Page {
    double width = 0, height = 0;
    std::vector<Word> words;
};

// Runs `pdftotext -bbox` on the file. An empty result with `error` set when
// the tool is missing or fails.
std::vector<Page> readWords(const QString &pdfPath, QString *error = nullptr);

// The page's words as printed rows, top to bottom, each row left to right:
// words that share a baseline, whatever font drew them (a script the
// fixed-pitch font lacks comes from a fallback font of other proportions).
std::vector<std::vector<Word>> rowsOf(const Page &page);

// The character grid the program's renderer lays on a page, in points.
struct GridInPoints {
    double left = 0, top = 0;  // the printable area's corner
    double width = 0, height = 0; // and its size
    double advance = 0;        // one column
    double lineHeight = 0;     // one row
    int columns = 0, rows = 0; // that fit on a page
};

// The grid of an A4 PDF page as the program sets it up for printing.
GridInPoints a4Grid();
// The grid of whatever device, already set up for printing.
GridInPoints gridOf(QPagedPaintDevice &device);

// A word placed on the grid: page and row from 0, column from 1 as printed.
// Words come in printed order, row by row.
struct PlacedWord {
    int page = 0;
    int row = 0;
    int column = 0;
    QString text;
    bool onGrid = true; // the box starts on a column and row edge, not between
    bool operator==(const PlacedWord &other) const
    {
        return page == other.page && row == other.row && column == other.column && text == other.text;
    }
};

inline void PrintTo(const PlacedWord &word, std::ostream *out)
{
    *out << "page " << word.page << " row " << word.row << " column " << word.column << " \""
         << word.text.toStdString() << '"';
}

std::vector<PlacedWord> placeWords(const std::vector<Page> &pages, const GridInPoints &grid);

// Where the words of a document must land on paper wide enough for its
// lines, worked out from its plain text alone: a row for each line, `rows`
// rows a page.
std::vector<PlacedWord> expectedWords(const reports::PrintDocument &document, int rows);

// Every word that is not exactly on the grid, for a readable failure.
QString offGrid(const std::vector<PlacedWord> &words);

} // namespace testing_pdf
