// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"

#include <QStringView>

#include <cstddef>
#include <map>
#include <vector>

namespace reports {

// A piece of a printed line as it lands on one row of paper.
struct RowPiece {
    int column = 1;   // in the row, counted from 1
    QStringView text; // without blanks at either end
    int width = 0;    // the columns the text takes
    // The columns it is given: its width, but the whole row for a figure
    // wider than a row, which is drawn condensed into it.
    int room = 0;
};
using Row = std::vector<RowPiece>;

// Lays the document's lines onto rows of `columns` columns, for paper too
// narrow for the reports' lines:
//  - The columns before `firstColumn` are left out, as far as they are blank
//    on every line (the reports' indent). A line whose printed text ends
//    within the row is one row, every run at its own column: on paper wide
//    enough the page is exactly the document.
//  - Any other line of several runs (a charter's fields) is folded between
//    runs onto more rows, the same way for every such line of the document:
//    the runs that start in the same band of columns share a row, in their
//    order, each band after the first beginning its row with its leftmost
//    run. So every record has the same rows with the same fields at the
//    same columns, right-aligned figures staying right-aligned.
//  - A line of one run (a heading, a labelled figure, a long name the
//    column rule put on a line of its own) moves left as far as it must to
//    fit, together with every other one-run line starting at its column.
//  - A run wider than a whole row is broken at blanks onto rows of its own,
//    and between characters where a word is wider than the row; a figure
//    never is: a word of it wider than the row is given the row whole.
// The document must outlive it, unchanged.
class RowFolding {
public:
    RowFolding(const PrintDocument &document, int columns, int firstColumn = 1);

    int columns() const { return m_columns; }
    // The document's columns left out before each row's first.
    int offset() const { return m_offset; }
    // Whether the line is one row, every run at its column less offset().
    bool fits(std::size_t line) const;
    // Whether every line does.
    bool fitsAll() const { return m_fitsAll; }
    int rowCount(std::size_t line) const;
    std::vector<Row> rows(std::size_t line) const;

private:
    struct Band {
        int first;  // the document's column the band starts at
        int origin; // the document's column shown in the row's first column
    };

    std::vector<PrintedPart> printedParts(std::size_t line) const;
    bool endsWithinRow(const std::vector<PrintedPart> &parts) const;
    int singleRunColumn(int column) const;
    void wrap(const PrintedPart &part, std::vector<Row> &rows) const;

    const PrintDocument &m_document;
    int m_columns;
    int m_offset = 0;
    bool m_fitsAll = true;
    std::vector<Band> m_bands;
    std::map<int, int> m_singleRunColumns; // where one-run lines starting at a column go
};

} // namespace reports
