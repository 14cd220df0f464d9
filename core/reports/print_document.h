// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_statement.h"
#include "core/reports/text_columns.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reports {

// A stretch of text that starts at a column (counted from 1). Columns count
// characters as a reader sees them (text_columns.h).
struct PrintRun {
    int column = 1;
    QString text;

    int endColumn() const { return column + columnWidth(text); } // first column after it
    bool operator==(const PrintRun &) const = default;
};

// A run as the document keeps it: its text is a view into the document,
// valid until the document changes.
struct PrintRunView {
    int column = 1;
    QStringView text;
    int width = 0;       // the columns the text takes
    bool figure = false; // never to be split (a number or an amount)

    int endColumn() const { return column + width; }
};

// The part of a run that puts ink on paper: without the blanks at either end
// (such as those around a number). Empty for a run of blanks.
struct PrintedPart {
    int column = 1;
    QStringView text;
    int width = 0;
    bool figure = false;
};
PrintedPart printedPart(const PrintRunView &run);

struct PrintLine {
    std::vector<PrintRun> runs; // in column order, never overlapping

    QString plainText() const; // the runs laid out with blanks between them
};

// The lines printed so far, as plain data: it knows nothing of pages, fonts
// or printers. Statements are applied in order; the print position carries
// over from one statement to the next when a statement leaves its line open.
//
// A day's charters wait here until the summary, so the text of every run is
// kept in one buffer, with a few numbers for each run and each line: about a
// third of the memory that a string and a list for each would take.
class PrintDocument {
public:
    // Where the document stood; rollBack() returns to it, dropping whatever
    // was printed since.
    struct Mark {
        std::size_t lineCount = 0;
        std::size_t runCount = 0;
        qsizetype textSize = 0;
        int column = 1;
        bool lineOpen = false;
    };

    void print(const PrintStatement &statement);

    Mark mark() const;
    void rollBack(const Mark &mark);
    // Adds the lines of `later` after these, each starting a line of its
    // own (lines that did not print, put back in front of those since).
    void append(const PrintDocument &later);

    std::size_t lineCount() const { return m_lineStarts.size(); }
    // Whether the line goes on with the statement of the line before (its
    // text was sent on by a column move), rather than beginning one: the
    // lines of one statement are one record on paper.
    bool continuesStatement(std::size_t line) const { return m_continues[line]; }
    bool isEmpty() const { return m_lineStarts.empty(); }
    // The column the next text would start at.
    int currentColumn() const { return m_column; }

    // Line `index`'s runs are those from runsBegin(index) to runsEnd(index).
    std::size_t runsBegin(std::size_t line) const { return m_lineStarts[line]; }
    std::size_t runsEnd(std::size_t line) const
    {
        return line + 1 < m_lineStarts.size() ? m_lineStarts[line + 1] : m_runs.size();
    }
    PrintRunView run(std::size_t index) const
    {
        const StoredRun &stored = m_runs[index];
        return {.column = stored.column,
                .text = QStringView(m_text).mid(stored.textStart, stored.length),
                .width = stored.width,
                .figure = stored.figure};
    }

    // Copies, for tests and the few places that want whole lines.
    PrintLine line(std::size_t index) const;
    std::vector<PrintLine> lines() const;

private:
    struct StoredRun {
        std::int32_t textStart;
        std::int32_t column;
        std::int32_t length;
        std::int32_t width;
        bool figure;
    };

    void startLine(bool continuing);
    void printText(const QString &text, bool figure);
    void moveTo(int column);

    QString m_text;                          // the text of every run, one after another
    std::vector<StoredRun> m_runs;           // in the order printed
    std::vector<std::uint32_t> m_lineStarts; // each line's first run
    std::vector<bool> m_continues;           // each line's continuesStatement()
    int m_column = 1;
    bool m_lineOpen = false; // whether the next element continues the last line
};

// Control characters (and line or paragraph separators) never reach the
// printer raw: each is shown as U+FFFD, keeping every column where it was.
QString printableText(const QString &text);

} // namespace reports
