// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/errors.h"

#include <QString>

#include <cstdint>

namespace printing {

// Why a document did not reach the printer. The windows word it for the
// clerk; this layer only names it.
enum class PrintProblem : std::uint8_t {
    NoPrintService,   // no scheduler answers, or it knows no printer at all
    PrintServerUnreachable, // the print server is another computer (destination), and it does not answer
    NotInstalled,     // the program's own printing module (destination) is missing or cannot be loaded
    NoDefaultPrinter, // printers exist but none is the default
    Refused,          // the queue refused the job; detail holds the scheduler's reason
    LoginNeeded,      // the print server wants a login, and none was given
    CannotPrintDocuments, // the printer takes no document the program makes, ever
    HandOverFailed,   // the job was made but CUPS did not take its whole document
    CouldNotStart,    // the device would not begin
    CouldNotTurnPage, // the device would not start page `page`
    CouldNotFinish,   // the device would not end the job
    NoAnswer,         // the print service did not answer before the program had to end
    Busy,             // another document is on its way to the printer; this one was not sent
};

class PrinterError : public platform::PlatformError {
public:
    explicit PrinterError(PrintProblem problem, QString destination = QString(), QString detail = QString(),
                          int page = 0)
        : platform::PlatformError(platform::Fault::NotPrinted, "the document could not be printed"), m_problem(problem),
          m_destination(std::move(destination)), m_detail(std::move(detail)), m_page(page)
    {
    }

    PrintProblem problem() const { return m_problem; }
    // The printer's name, or the file's path for a PDF file.
    const QString &destination() const { return m_destination; }
    const QString &detail() const { return m_detail; }
    int page() const { return m_page; }

    // CUPS may hold the whole document although the hand-over failed: the
    // job could not be confirmed cancelled, so it may yet print.
    bool mayPrint() const { return m_mayPrint; }
    PrinterError &setMayPrint(bool mayPrint)
    {
        m_mayPrint = mayPrint;
        return *this;
    }

private:
    PrintProblem m_problem;
    QString m_destination;
    QString m_detail;
    int m_page;
    bool m_mayPrint = false;
};

} // namespace printing
