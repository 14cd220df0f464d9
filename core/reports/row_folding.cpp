// SPDX-License-Identifier: MIT
#include "core/reports/row_folding.h"

#include "core/reports/text_columns.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <utility>

namespace reports {

namespace {

// The last column a line puts ink in (0 for none), without copying anything:
// a long day's document is measured once for every page of it.
int lastPrintedColumn(const PrintDocument &document, std::size_t line)
{
    for (std::size_t r = document.runsEnd(line); r-- > document.runsBegin(line);) {
        const PrintedPart part = printedPart(document.run(r));
        if (part.width > 0)
            return part.column + part.width - 1;
    }
    return 0;
}

} // namespace

RowFolding::RowFolding(const PrintDocument &document, int columns, int firstColumn)
    : m_document(document), m_columns(std::max(columns, 1))
{
    int leftmost = std::max(firstColumn, 1);
    for (std::size_t line = 0; line < document.lineCount() && leftmost > 1; ++line)
        for (std::size_t r = document.runsBegin(line); r < document.runsEnd(line); ++r)
            if (const PrintedPart part = printedPart(document.run(r)); part.width > 0)
                leftmost = std::min(leftmost, part.column);
    m_offset = leftmost - 1;
    for (std::size_t line = 0; line < document.lineCount() && m_fitsAll; ++line)
        m_fitsAll = lastPrintedColumn(document, line) - m_offset <= m_columns;
    if (m_fitsAll)
        return;

    // What the lines that do not fit need: the extents of the runs to fold
    // into bands, and the widest one-run line at each column.
    std::vector<std::pair<int, int>> spans;
    std::map<int, int> widestSingleRun;
    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        const std::vector<PrintedPart> parts = printedParts(line);
        if (parts.size() == 1 && parts.front().width <= m_columns) {
            int &widest = widestSingleRun[parts.front().column];
            widest = std::max(widest, parts.front().width);
        }
        if (endsWithinRow(parts) || parts.size() < 2)
            continue;
        for (const PrintedPart &part : parts)
            if (part.width <= m_columns)
                spans.emplace_back(part.column, part.column + part.width - 1);
    }

    for (const auto &[column, widest] : widestSingleRun)
        m_singleRunColumns[column] = std::min(column, m_offset + m_columns - widest + 1);

    // Bands: each as wide as a row allows, starting where a run starts.
    std::ranges::sort(spans);
    m_bands.push_back({INT_MIN, m_offset + 1});
    int lastEnd = m_offset;
    for (const auto &[start, end] : spans) {
        if (std::max(lastEnd, end) - m_bands.back().origin + 1 <= m_columns) {
            lastEnd = std::max(lastEnd, end);
        } else {
            m_bands.push_back({start, start});
            lastEnd = end;
        }
    }
}

std::vector<PrintedPart> RowFolding::printedParts(std::size_t line) const
{
    std::vector<PrintedPart> parts;
    for (std::size_t r = m_document.runsBegin(line); r < m_document.runsEnd(line); ++r) {
        const PrintedPart part = printedPart(m_document.run(r));
        if (part.width > 0)
            parts.push_back(part);
    }
    return parts;
}

bool RowFolding::endsWithinRow(const std::vector<PrintedPart> &parts) const
{
    return parts.empty() || parts.back().column + parts.back().width - 1 - m_offset <= m_columns;
}

int RowFolding::singleRunColumn(int column) const
{
    const auto found = m_singleRunColumns.find(column);
    return found == m_singleRunColumns.end() ? column : found->second;
}

bool RowFolding::fits(std::size_t line) const
{
    if (m_fitsAll)
        return true;
    const std::vector<PrintedPart> parts = printedParts(line);
    if (parts.size() == 1 && singleRunColumn(parts.front().column) != parts.front().column)
        return false;
    return endsWithinRow(parts);
}

int RowFolding::rowCount(std::size_t line) const
{
    return fits(line) ? 1 : static_cast<int>(rows(line).size());
}

std::vector<Row> RowFolding::rows(std::size_t line) const
{
    const std::vector<PrintedPart> parts = printedParts(line);
    std::vector<Row> rows;
    if (parts.empty()) {
        rows.emplace_back();
        return rows;
    }
    const auto piece = [](int column, const PrintedPart &part) {
        return RowPiece{.column = column, .text = part.text, .width = part.width, .room = part.width};
    };
    if (endsWithinRow(parts) && (parts.size() > 1 || singleRunColumn(parts.front().column) == parts.front().column)) {
        Row row;
        for (const PrintedPart &part : parts)
            row.push_back(piece(part.column - m_offset, part));
        rows.push_back(std::move(row));
        return rows;
    }
    if (parts.size() == 1) {
        const PrintedPart &part = parts.front();
        if (part.width <= m_columns)
            rows.push_back({piece(singleRunColumn(part.column) - m_offset, part)});
        else
            wrap(part, rows);
        return rows;
    }

    Row row;
    std::size_t band = 0;
    for (const PrintedPart &part : parts) {
        if (part.width > m_columns) {
            if (!row.empty())
                rows.push_back(std::exchange(row, {}));
            wrap(part, rows);
            continue;
        }
        const auto next = std::ranges::upper_bound(m_bands, part.column, std::ranges::less(), &Band::first);
        const auto partBand = static_cast<std::size_t>(next - m_bands.begin()) - 1;
        if (partBand != band && !row.empty())
            rows.push_back(std::exchange(row, {}));
        band = partBand;
        row.push_back(piece(part.column - m_bands[band].origin + 1, part));
    }
    if (!row.empty())
        rows.push_back(std::move(row));
    return rows;
}

void RowFolding::wrap(const PrintedPart &part, std::vector<Row> &rows) const
{
    const QStringView text = part.text;
    qsizetype rowStart = -1, rowEnd = 0;
    int rowWidth = 0;
    const auto flush = [&] {
        if (rowStart >= 0)
            rows.push_back({RowPiece{.column = 1,
                                     .text = text.sliced(rowStart, rowEnd - rowStart),
                                     .width = rowWidth,
                                     .room = std::min(rowWidth, m_columns)}});
        rowStart = -1;
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype blanks = i;
        while (i < text.size() && text[i] == QLatin1Char(' '))
            ++i;
        const auto gap = static_cast<int>(i - blanks);
        const qsizetype wordStart = i;
        while (i < text.size() && text[i] != QLatin1Char(' '))
            ++i;
        QStringView word = text.sliced(wordStart, i - wordStart);
        const int width = columnWidth(word);
        if (rowStart >= 0 && rowWidth + gap + width <= m_columns) {
            rowWidth += gap + width;
            rowEnd = i;
            continue;
        }
        flush();
        if (width > m_columns && part.figure) {
            rows.push_back({RowPiece{.column = 1, .text = word, .width = width, .room = m_columns}});
            continue;
        }
        // A word wider than the row goes on from row to row.
        qsizetype start = wordStart;
        while (true) {
            TextCut cut = leadingColumns(word, m_columns);
            if (cut.length == 0) // one character wider than the whole row
                cut = leadingColumns(word, 2);
            if (cut.length == word.size()) {
                rowStart = start;
                rowEnd = start + cut.length;
                rowWidth = cut.columns;
                break;
            }
            rows.push_back({RowPiece{.column = 1,
                                     .text = word.first(cut.length),
                                     .width = cut.columns,
                                     .room = std::min(cut.columns, m_columns)}});
            word = word.sliced(cut.length);
            start += cut.length;
        }
    }
    flush();
}

} // namespace reports
