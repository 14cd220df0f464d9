// SPDX-License-Identifier: MIT
#pragma once

// The running program and who owns what:
//
//   Program (created by main, or by a test)
//     ├─ RunningTotals        the charters accepted since start (core/accounting)
//     ├─ RegionalFormat       numbers and money by the user's settings (core/platform)
//     ├─ PrintService         the one current print document and its printer (printing)
//     ├─ MessageBoxPresenter  how the windows' message boxes are shown (ui/message_boxes.h)
//     └─ frmMain, frmCharter, frmAbout   one instance each, created hidden on
//                             first reference, destroyed newest first (ui/forms)

#include "core/accounting/running_totals.h"
#include "core/platform/regional_format.h"
#include "printing/print_service.h"
#include "ui/life/lines_kept_at_end.h"
#include "ui/message_boxes.h"

#include <QIcon>

#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace forms {
class frmAbout;
class frmCharter;
class frmMain;
}

namespace ui {

class Program {
public:
    struct Parts {
        // Where documents go; the default printer when null.
        std::unique_ptr<printing::DocumentSender> sender;
        // How message boxes are shown; real QMessageBoxes when null.
        MessageBoxPresenter *messageBoxes = nullptr;
    };

    // The program as a clerk runs it, named to the desktop: the default
    // printer, real message boxes and the regional settings of the
    // environment, read when the first number is formatted (building ICU's
    // formatters takes a few milliseconds that start-up need not wait for).
    Program();
    Program(Parts parts, platform::RegionalFormat format);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    accounting::RunningTotals &totals() { return m_totals; }
    const platform::RegionalFormat &format();
    printing::PrintService &printer() { return *m_printer; }
    MessageBoxPresenter &messageBoxes() { return *m_messageBoxes; }
    // Message boxes that must be seen and that the end closed, shown again
    // once the event loop has stopped; with no display left, their texts
    // (and those of such boxes still open) for standard error.
    void showMessagesCutShort() { m_realBoxes.presentCutShort(); }
    QStringList unreadMessages() const { return m_realBoxes.unread(); }
    // The icon of every window, in the sizes window managers draw.
    const QIcon &icon();

    forms::frmMain &frmMain();
    forms::frmCharter &frmCharter();
    forms::frmAbout &frmAbout();
    bool hasCharterWindow() const { return m_charter != nullptr; }
    // Shows the main window modeless, for windows that return to it.
    void showMainWindow();

    // Runs the program until it ends, however it ends (Exit, the system's
    // signals, the session manager, the display gone), the waiting lines
    // printed or saved at every end; returns the exit status.
    int run();

    // Ends the program: every line CUPS has not taken is put on disk first,
    // then every window is hidden and the event loop stops; nothing is
    // asked. A document on its way goes out first, and what became of it is
    // told (the progress window stays meanwhile). Asked again once ending,
    // it changes nothing.
    void end();
    bool isEnding() const { return m_ending; }
    // Puts every line CUPS has not taken on disk, unless the file kept at
    // the end holds exactly those already, so that a kill before CUPS takes
    // them loses none.
    const printing::SavedLines &keepUnprintedLinesSafe();
    // That file, while it exists.
    LinesKeptAtEnd &linesKeptAtEnd() { return m_keptAtEnd; }

private:
    template <typename Form> Form &window(Form *&instance);

    explicit Program(Parts parts);
    // Stops the event loop once no document is on its way.
    void exitWhenIdle();

    accounting::RunningTotals m_totals;
    std::unique_ptr<platform::RegionalFormat> m_format;
    std::unique_ptr<printing::PrintService> m_printer;
    QMessageBoxPresenter m_realBoxes;
    MessageBoxPresenter *m_messageBoxes;
    QIcon m_icon;

    forms::frmMain *m_main = nullptr;
    forms::frmCharter *m_charter = nullptr;
    forms::frmAbout *m_about = nullptr;
    std::vector<std::unique_ptr<QWidget>> m_windowsInCreationOrder;
    bool m_ending = false;
    bool m_printsEarlierRuns = false; // a journal of its own, so earlier runs' too
    LinesKeptAtEnd m_keptAtEnd;
};

} // namespace ui
