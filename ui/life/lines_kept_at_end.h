// SPDX-License-Identifier: MIT
#pragma once

#include "printing/unprinted_lines_file.h"

#include <cstdint>

namespace printing {
class PrintService;
}

namespace ui {

// The file that keeps, while the program ends, every line CUPS has not
// taken (those on their way and those waiting), so that a kill at any moment
// of the end loses none: a PDF in the documents folder
// (printing/unprinted_lines_file.h), written before anything is waited for
// or shown, written anew whenever those lines change, and removed once none
// is left.
class LinesKeptAtEnd {
public:
    // Puts the lines CUPS has not taken on disk, in a file named `baseName`
    // (".pdf" added), unless the file holds exactly those already. Where a
    // new file cannot be written, the one before stands in for it (it may
    // hold lines printed since).
    const printing::SavedLines &keep(const printing::PrintService &printer, const QString &baseName);
    // The file is no longer needed: every line in it printed, or the clerk
    // was told where it is.
    void remove();
    void release() { *this = LinesKeptAtEnd(); }

    bool saved() const { return m_file.saved; }
    const printing::SavedLines &file() const { return m_file; }

private:
    printing::SavedLines m_file;
    std::uint64_t m_version = 0; // of the lines it holds
};

} // namespace ui
