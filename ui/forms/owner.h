// SPDX-License-Identifier: MIT
#pragma once

class QIcon;

namespace accounting {
class RunningTotals;
}
namespace platform {
class RegionalFormat;
}
namespace printing {
class PrintService;
}
namespace ui {
class MessageBoxPresenter;
}

namespace forms {

class frmAbout;
class frmCharter;

// What the windows ask of the program that owns them (ui::Program, which
// creates them on first reference): its state and services, the other
// windows, and its end. The printing of earlier runs' lines at start
// (ui/life/earlier_runs.h) asks the same.
class Owner {
public:
    virtual accounting::RunningTotals &totals() = 0;
    virtual const platform::RegionalFormat &format() = 0;
    virtual printing::PrintService &printer() = 0;
    virtual ui::MessageBoxPresenter &messageBoxes() = 0;
    // The icon of every window.
    virtual const QIcon &icon() = 0;

    virtual forms::frmCharter &frmCharter() = 0;
    virtual forms::frmAbout &frmAbout() = 0;
    // Shows the main window modeless, for windows that return to it.
    virtual void showMainWindow() = 0;
    // Ends the program (File > Exit).
    virtual void end() = 0;

protected:
    ~Owner() = default;
};

} // namespace forms
