// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;

namespace platform {
class FormRegistry;
}

namespace forms {

// The window the program starts with and the hub of its commands: opens the
// charter entry, prints the summary and the yacht list, shows About, exits.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // The program's one main window, created hidden on first reference.
    static frmMain &instance();
    static bool exists();

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
    friend class platform::FormRegistry;
    frmMain();

    void createMenus();
};

} // namespace forms
