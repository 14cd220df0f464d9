// SPDX-License-Identifier: MIT
#include "ui/forms/program_end.h"

#include "ui/forms/clerk_words.h"
#include "ui/program.h"

namespace forms {

void printWaitingLinesAtEnd(ui::Program &program)
{
    const printing::PrintOutcome outcome = program.printer().endDoc(words::jobChartersAtClosing());
    if (!outcome)
        ui::MsgBox(program.messageBoxes(), words::linesNotPrintedAtEnd(*outcome.error), ui::vbExclamation);
}

} // namespace forms
