// SPDX-License-Identifier: MIT
#pragma once

#include "ui/widgets/login_dialog.h"

#include <QString>

class QDateTime;

namespace platform {
class PlatformError;
}
namespace printing {
class PrinterError;
struct DroppedJob;
struct PrintOutcome;
struct SavedLines;
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
// A command stopped by anything else (memory, a thread that could not start)
// has no fault.
QString commandStopped(const platform::PlatformError *fault);

// Printing.
QString printerFaultCause(const printing::PrinterError &error);
QString documentNotPrinted(const printing::PrinterError &error);
// A stopped printer, with the reason its administrator gave, if any.
QString printerStopped(const QString &printer, const QString &reason);
QString printerHoldsJob(const QString &printer);
// A document the printer took and then dropped, whole or in part.
QString jobDropped(const printing::DroppedJob &dropped);
QString waitingForPrintService();
// The window that asks for the login a print server wants.
ui::LoginWords printerLogin(const QString &printer, bool again);
QString pagesPrepared(int pagesDone, int pageCount);

// What screen readers say: the sentences that tell a charter was accepted
// and a document has gone to the printer, and the names of what has no
// caption of its own, or one a listener cannot place.
QString charterAccepted(const QString &name, const QString &hoursText, const QString &chargeText);
QString summarySent(const QString &printer);
QString yachtListSent(const QString &printer);
QString mainWindowName();
QString mainWindowKeys();
QString mainMenuName();
QString pictureName();
QString yachtTypeFieldName();

// The names of the print jobs, as the printer queue shows them.
QString jobChartersAndSummary();
QString jobYachtList();
QString jobChartersAtClosing();
// Sent when the session manager asks for the program's data: Qt does not
// tell a logout from a checkpoint, after which the program goes on.
QString jobChartersAtSessionSave();

// The lines still waiting as the program ends that the printer could not
// take: the name of the file that keeps them (without ".pdf"), and what the
// clerk is told once they were saved there, or when that failed too; also
// when the display went while they were on their way to the printer.
QString unprintedLinesFileName(const QDateTime &when);
// What the progress window says while they go out at the end.
QString printingAtEnd();
// `nextStart`: the journal keeps them too, and the next start prints them.
QString linesSavedAtEnd(const printing::PrinterError &error, const QString &path, bool nextStart = false);
QString linesLostAtEnd(const printing::PrinterError &error, const printing::SavedLines &file);
QString linesSavedCutShort(const QString &path);
QString linesLostCutShort(const printing::SavedLines &file);

// The journal of unprinted lines (printing/unprinted_journal.h): told once
// when it cannot be written, with the system's error number.
QString linesNotKeptSafe(int systemError);
// An earlier run's lines printed at start, or kept for the next one.
QString jobChartersFromEarlierRun();
QString earlierRunFileName(const QDateTime &firstLine);
QString earlierRunPrinted(int lines, const QDateTime &first, const QDateTime &last, const QStringList &filesRemoved);
QString earlierRunKept(int lines, const QDateTime &first, const QDateTime &last, const printing::PrinterError &error,
                       const printing::SavedLines &file);
QString journalSetAside(const QString &path, const QString &aside);

} // namespace forms::words
