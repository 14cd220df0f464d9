// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"

#include <QString>

namespace printing {

// What became of lines that could not be printed and were to be kept in a
// file instead.
struct SavedLines {
    bool saved = false;
    QString path;   // the file written; when none was, the name last tried
    // When not saved: the system's error number (errno), or 0 when the
    // document could not be laid out. The windows word it.
    int systemError = 0;
};

// Where such files go: the user's documents folder, or the home folder when
// there is none. It is never created, since the program writes nothing but
// the file itself.
QString unprintedLinesFolder();

// Where HOME is unset (services, some su sessions; Qt would then take "/"),
// sets it to the home the user database names, so that Qt and libcups find
// the user's folders. Call before any thread starts.
void fillInHome();

// Writes the document as a PDF, page for page as the printer would have
// received it, into `folder` as "<baseName>.pdf", or "<baseName> (2).pdf"
// and so on when that name is taken. It is written whole under a hidden
// temporary name and on disk before it takes its name, which never replaces
// an existing file, not even one another program creates at the same
// moment; a file that cannot be written whole is removed again, and the
// system's error is kept (ENOSPC for a full disk).
SavedLines saveUnprintedLines(const reports::PrintDocument &document, const QString &folder, const QString &baseName);

} // namespace printing
