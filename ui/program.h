// SPDX-License-Identifier: MIT
#pragma once

// The running program and who owns what:
//
//   Program (created by main, or by a test)
//     ├─ RunningTotals        the charters accepted since start (core/accounting)
//     ├─ RegionalFormat       numbers and money by the user's settings (core/platform)
//     ├─ PrintService         the one current print document and its printer (printing)
//     ├─ MessageBoxPresenter  how the windows' message boxes are shown (ui/message_boxes.h)
//     ├─ EndOfDay             its end, and the lines still waiting then (ui/life)
//     └─ frmMain, frmCharter, frmAbout   one instance each, created hidden on
//                             first reference, destroyed newest first (ui/forms);
//                             they reach the program as their forms::Owner

#include "core/accounting/running_totals.h"
#include "core/platform/regional_format.h"
#include "printing/print_service.h"
#include "ui/forms/owner.h"
#include "ui/life/end_of_day_printing.h"
#include "ui/message_boxes.h"

#include <QIcon>

#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace forms {
class frmMain;
}

namespace ui {

class Program final : public forms::Owner {
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

    accounting::RunningTotals &totals() override { return m_totals; }
    const platform::RegionalFormat &format() override;
    printing::PrintService &printer() override { return *m_printer; }
    MessageBoxPresenter &messageBoxes() override { return *m_messageBoxes; }
    // Message boxes that must be seen and that the end closed, shown again
    // once the event loop has stopped; with no display left, their texts
    // (and those of such boxes still open) for standard error.
    void showMessagesCutShort() { m_realBoxes.presentCutShort(); }
    QStringList unreadMessages() const { return m_realBoxes.unread(); }
    // The icon of every window, in the sizes window managers draw.
    const QIcon &icon() override;

    forms::frmMain &frmMain();
    forms::frmCharter &frmCharter() override;
    forms::frmAbout &frmAbout() override;
    bool hasCharterWindow() const { return m_charter != nullptr; }
    void showMainWindow() override;

    // Runs the program until it ends, however it ends (Exit, the system's
    // signals, the session manager, the display gone), the waiting lines
    // printed or saved at every end; returns the exit status.
    int run();

    // Ends the program (EndOfDay::end).
    void end() override { m_endOfDay.end(); }
    EndOfDay &endOfDay() { return m_endOfDay; }

private:
    template <typename Form> Form &window(Form *&instance);

    explicit Program(Parts parts);

    accounting::RunningTotals m_totals;
    std::unique_ptr<platform::RegionalFormat> m_format;
    std::unique_ptr<printing::PrintService> m_printer;
    QMessageBoxPresenter m_realBoxes;
    MessageBoxPresenter *m_messageBoxes;
    EndOfDay m_endOfDay;
    QIcon m_icon;

    forms::frmMain *m_main = nullptr;
    forms::frmCharter *m_charter = nullptr;
    forms::frmAbout *m_about = nullptr;
    std::vector<std::unique_ptr<QWidget>> m_windowsInCreationOrder;
    bool m_printsEarlierRuns = false; // a journal of its own, so earlier runs' too
};

} // namespace ui
