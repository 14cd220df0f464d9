// SPDX-License-Identifier: MIT
#pragma once

// moc cannot parse the standard library headers the money type needs.
#ifndef Q_MOC_RUN
#include "core/platform/currency.h"
#endif
#include "ui/forms/owner.h"

#include <QDialog>

#include <cstdint>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace platform {
class PlatformError;
}
namespace ui {
class Announcer;
class ComboBox;
}

namespace forms {

// Where the clerk enters charters, one after another: OK validates, prices,
// records and prints the charter and clears the fields for the next one;
// Cancel returns to the main window.
class frmCharter : public QDialog {
    Q_OBJECT
public:
    // Created hidden by its owner on first reference.
    explicit frmCharter(Owner &owner);
    // Tells the clerk what stopped a command (ui::guarded).
    void commandStopped(const platform::PlatformError *fault);

    QMenuBar *menuBar = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuEditAddYachtType = nullptr;
    QAction *mnuEditRemoveYachtType = nullptr;
    QAction *mnuEditDisplayCountofYachtTypes = nullptr;

    QGroupBox *Frame1 = nullptr;
    QLabel *lblHeadName = nullptr;
    QLineEdit *txtName = nullptr;
    QLabel *lblHours = nullptr;
    QLineEdit *txtHours = nullptr;
    QLabel *lblAvailYacht = nullptr;
    ui::ComboBox *cboYacht = nullptr;
    QLabel *lblYacthSize = nullptr;
    ui::ComboBox *cboSize = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCancel = nullptr;

    // The charge of the charter accepted last.
    platform::Currency mcurCharge;
    bool m_toldNotKeptSafe = false; // the journal could not be written: said once a run

    // Shows the window modally; returns once it is hidden again.
    void showModal();

    void Form_Activate();
    void cmdOK_Click();
    void cmdClear_Click();
    void cmdCancel_Click();
    void mnuEditAddYachtType_Click();
    void mnuEditRemoveYachtType_Click();
    void mnuEditDisplayCountofYachtTypes_Click();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    // The hourly rate of a size, as the rate table has it; pricing reads
    // the table itself.
    static platform::Currency RateForSize(const std::int16_t &size);

    void createMenu();
    void createControls();
    // Prices the hours read from the hours field, as validated.
    bool acceptCharter(double hours);
    void noteWindowActivated(QWindow *window);

    Owner &m_owner;
    // Tells a screen reader of each charter accepted.
    ui::Announcer *m_announcer = nullptr;

    // Whether the next activation counts as coming to this window: true after
    // it is shown or after another window of the program had the focus, false
    // when one of its own message boxes closes or another application hands
    // the focus back.
    bool m_activationPending = false;
};

} // namespace forms
