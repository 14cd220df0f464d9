// SPDX-License-Identifier: MIT
#pragma once

namespace ui {
class Program;
}

namespace forms {

// Sends the charter lines still waiting in the print document as the
// program ends; when that fails, tells the clerk, since they cannot be kept.
void printWaitingLinesAtEnd(ui::Program &program);

} // namespace forms
