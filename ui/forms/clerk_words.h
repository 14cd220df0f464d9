// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace platform {
class PlatformError;
}
namespace printing {
class PrinterError;
struct PrintOutcome;
}

// Every sentence the clerk can read that the windows do not carry as a
// caption: the validation messages, the answers to faults and the printing
// reports. The layers below name what happened; the words are chosen here.
namespace forms::words {

// Validation, titles and counts.
QString missingDataTitle();
QString errorTitle();
QString enterHours();
QString selectYachtType();
QString selectSize();
QString enterNewYachtType();
QString selectYachtTypeToRemove();
QString yachtTypeCount(int count);
QString noDataToSummarize();

// Faults of the layers below, for a charter that was refused and for any
// other command that could not be done.
QString faultCause(const platform::PlatformError &error);
QString charterRefused(const platform::PlatformError &error);
QString commandStopped(const platform::PlatformError &error);

// Printing.
QString printerFaultCause(const printing::PrinterError &error);
QString documentNotPrinted(const printing::PrinterError &error);
QString printerStopped(const QString &printer);
QString linesNotPrintedAtEnd(const printing::PrinterError &error);
QString printerHoldsJob(const QString &printer);
QString waitingForPrintService();
QString pagesPrepared(int pagesDone, int pageCount);

// The names of the print jobs, as the printer queue shows them.
QString jobChartersAndSummary();
QString jobYachtList();
QString jobChartersAtClosing();

} // namespace forms::words
