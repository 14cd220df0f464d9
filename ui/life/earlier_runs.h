// SPDX-License-Identifier: MIT
#pragma once

// Charter lines an earlier run of the program accepted and never printed (it
// was killed, the power went, the computer froze): found in the journals it
// left (printing/unprinted_journal.h) and printed at start, each journal as
// a document of its own with that run's summary after its lines, as Print
// Summary would have printed it. Lines that went out as a job CUPS took are
// not printed again. This run's totals and lists stay as they are.
namespace forms {
class Owner;
}

namespace ui {

// Prints them, then tells the clerk in one message box how many lines from
// when were printed; or, when the printer cannot take them, that they are
// kept for the next start and where a PDF of them is. A journal that is not
// one the program can read is set aside and the clerk told. Nothing is shown
// when no earlier run left lines.
void printEarlierRuns(forms::Owner &owner);

} // namespace ui
