// SPDX-License-Identifier: MIT
#pragma once

#include "ui/forms/owner.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;

namespace printing {
struct PrintOutcome;
}

namespace platform {
class PlatformError;
}
namespace ui {
class Announcer;
}

namespace forms {

// The window the program starts with and the hub of its commands: opens the
// charter entry, prints the summary and the yacht list, shows About, exits.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Created hidden by its owner on first reference.
    explicit frmMain(Owner &owner);
    // Tells the clerk what stopped a command (ui::guarded).
    void commandStopped(const platform::PlatformError *fault);

    QMenu *mnuFile = nullptr;
    QAction *mnuFileNewCharter = nullptr;
    QAction *mnuSpace1 = nullptr;
    QAction *mnuFilePrintSummary = nullptr;
    QAction *mnuFilePrintYachtType = nullptr;
    QAction *mnuSpace2 = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpAbout = nullptr;
    QLabel *Image1 = nullptr;

    void mnuFileNewCharter_Click();
    void mnuFilePrintSummary_Click();
    void mnuFilePrintYachtType_Click();
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    // Reports a document that did not go out, or that a stopped printer
    // holds; true when it went out.
    bool printed(const printing::PrintOutcome &outcome);
    // Tells a screen reader that a document went to the printer, without
    // moving the focus.
    void tellSent(const printing::PrintOutcome &outcome, const QString &sentence);
    // While a document is on its way (events are handled meanwhile, a screen
    // reader's press among them), a command that prints runs once it has
    // gone; true when `handler` was put off so.
    bool putOffWhileSending(void (frmMain::*handler)());

    Owner &m_owner;
    ui::Announcer *m_announcer = nullptr;
};

} // namespace forms
