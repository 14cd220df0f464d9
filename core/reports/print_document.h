// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_statement.h"

#include <QString>

#include <cstddef>
#include <vector>

namespace reports {

// A stretch of text that starts at a column (counted from 1).
struct PrintRun {
    int column = 1;
    QString text;

    int endColumn() const { return column + static_cast<int>(text.size()); } // first column after it
    bool operator==(const PrintRun &) const = default;
};

struct PrintLine {
    std::vector<PrintRun> runs; // in column order, never overlapping

    QString plainText() const; // the runs laid out with blanks between them
};

// The lines printed so far, as plain data: it knows nothing of pages, fonts
// or printers. Statements are applied in order; the print position carries
// over from one statement to the next when a statement leaves its line open.
class PrintDocument {
public:
    // Where the document stood; rollBack() returns to it, dropping whatever
    // was printed since.
    struct Mark {
        std::size_t lineCount = 0;
        std::size_t runsInLastLine = 0;
        int column = 1;
        bool lineOpen = false;
    };

    void print(const PrintStatement &statement);

    Mark mark() const;
    void rollBack(const Mark &mark);

    const std::vector<PrintLine> &lines() const { return m_lines; }
    bool isEmpty() const { return m_lines.empty(); }
    // The column the next text would start at.
    int currentColumn() const { return m_column; }

private:
    void startLine();
    void printText(const QString &text);
    void moveTo(int column);

    std::vector<PrintLine> m_lines;
    int m_column = 1;
    bool m_lineOpen = false; // whether the next element continues the last line
};

// Control characters (and line or paragraph separators) never reach the
// printer raw: each is shown as U+FFFD, keeping every column where it was.
QString printableText(const QString &text);

} // namespace reports
