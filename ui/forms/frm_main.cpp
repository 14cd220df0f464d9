// SPDX-License-Identifier: MIT
#include "ui/forms/frm_main.h"

#include "core/accounting/running_totals.h"
#include "core/reports/layouts.h"
#include "printing/print_service.h"
#include "printing/program_info.h"
#include "ui/forms/clerk_words.h"
#include "ui/forms/msg_box.h"
#include "ui/forms/frm_about.h"
#include "ui/forms/frm_charter.h"
#include "ui/command_guard.h"
#include "ui/message_boxes.h"
#include "ui/widgets/combo_box.h"
#include "ui/widgets/program_icon.h"
#include "ui/widgets/screen_reader.h"
#include "ui/widgets/twips.h"
#include "ui/widgets/window_setup.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

namespace forms {

frmMain::frmMain(Owner &owner) : m_owner(owner)
{
    ui::setUpWindow(*this, "frmMain", program_info::title(), owner.icon());
    // What a screen reader says as the window comes back: which window,
    // and the keys that work in it.
    setAccessibleName(words::mainWindowName());
    setAccessibleDescription(words::mainWindowKeys());
    createMenus();
    menuBar()->setAccessibleName(words::mainMenuName());
    // The yacht list prints only while no charter line waits for a summary.
    connect(&owner.printer(), &printing::PrintService::waitingLinesChanged, this,
            [this](bool waiting) { mnuFilePrintYachtType->setEnabled(!waiting); });
    mnuFilePrintYachtType->setEnabled(!owner.printer().hasWaitingLines());
    // A document the printer dropped after taking it is told when it is known.
    connect(&owner.printer(), &printing::PrintService::jobDropped, this, [this](const printing::DroppedJob &dropped) {
        ui::tellOutcome(m_owner.messageBoxes(), words::jobDropped(dropped));
    });

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(ui::twipsRect(1200, 840, 1560, 1560));
    Image1->setScaledContents(true);
    Image1->setPixmap(ui::loadProgramIcon({128}).pixmap(Image1->size()));
    Image1->setAccessibleName(words::pictureName());
    m_announcer = new ui::Announcer(client);

    resize(ui::twipsSize(4725, 3825) + QSize(0, menuBar()->sizeHint().height()));
}

void frmMain::createMenus()
{
    const auto action = [this](QMenu *menu, const char *name, const QString &caption, void (frmMain::*handler)()) {
        return ui::addMenuItem(*menu, this, name, caption, handler);
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileNewCharter = action(mnuFile, "mnuFileNewCharter", QStringLiteral("&New Charter"), &frmMain::mnuFileNewCharter_Click);
    mnuSpace1 = mnuFile->addSeparator();
    mnuSpace1->setObjectName(QStringLiteral("mnuSpace1"));
    mnuFilePrintSummary = action(mnuFile, "mnuFilePrintSummary", QStringLiteral("&Print Summary"), &frmMain::mnuFilePrintSummary_Click);
    mnuFilePrintYachtType = action(mnuFile, "mnuFilePrintYachtType", QStringLiteral("Print &Yacht Types"), &frmMain::mnuFilePrintYachtType_Click);
    mnuSpace2 = mnuFile->addSeparator();
    mnuSpace2->setObjectName(QStringLiteral("mnuSpace2"));
    mnuFileExit = action(mnuFile, "mnuFileExit", QStringLiteral("E&xit"), &frmMain::mnuFileExit_Click);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = action(mnuHelp, "mnuHelpAbout", QStringLiteral("&About"), &frmMain::mnuHelpAbout_Click);
}

void frmMain::mnuFileNewCharter_Click()
{
    hide();
    m_owner.frmCharter().showModal();
}

void frmMain::mnuFilePrintSummary_Click()
{
    if (putOffWhileSending(&frmMain::mnuFilePrintSummary_Click))
        return;
    const accounting::RunningTotals &totals = m_owner.totals();
    if (totals.charterCount() == 0) {
        MsgBox(m_owner, words::noDataToSummarize(), vbOKOnly, words::errorTitle());
        return;
    }
    const auto figures = totals.summaryFigures(m_owner.format());
    // Print Yacht Types comes back by itself once no line waits.
    const printing::PrintOutcome outcome = m_owner.printer().printAndEndDoc(
        reports::summary(figures.averageText, figures.revenueText), words::jobChartersAndSummary());
    if (printed(outcome))
        tellSent(outcome, words::summarySent(outcome.printer));
}

void frmMain::mnuFilePrintYachtType_Click()
{
    if (putOffWhileSending(&frmMain::mnuFilePrintYachtType_Click))
        return;
    const QStringList types = m_owner.frmCharter().cboYacht->entries();
    const printing::PrintOutcome outcome =
        m_owner.printer().printAndEndDoc(reports::yachtList(types), words::jobYachtList());
    if (printed(outcome))
        tellSent(outcome, words::yachtListSent(outcome.printer));
}

void frmMain::mnuFileExit_Click()
{
    m_owner.end();
}

void frmMain::mnuHelpAbout_Click()
{
    ui::showModalOver(m_owner.frmAbout(), *this);
}

void frmMain::commandStopped(const platform::PlatformError *fault)
{
    MsgBox(m_owner, words::commandStopped(fault), vbExclamation);
}


bool frmMain::printed(const printing::PrintOutcome &outcome)
{
    ui::MessageBoxPresenter &boxes = m_owner.messageBoxes();
    if (outcome.error)
        ui::tellOutcome(boxes, words::documentNotPrinted(*outcome.error));
    else if (outcome.delivery == printing::Delivery::HeldByStoppedPrinter)
        ui::tellOutcome(boxes, words::printerStopped(outcome.printer, outcome.printerMessage));
    else if (outcome.delivery == printing::Delivery::HeldInQueue)
        ui::tellOutcome(boxes, words::printerHoldsJob(outcome.printer));
    return static_cast<bool>(outcome);
}

void frmMain::tellSent(const printing::PrintOutcome &outcome, const QString &sentence)
{
    // A document the printer holds was told of in a message box.
    if (outcome.delivery == printing::Delivery::Printed)
        m_announcer->announce(sentence);
}

bool frmMain::putOffWhileSending(void (frmMain::*handler)())
{
    printing::PrintService &printer = m_owner.printer();
    if (!printer.isSending())
        return false;
    printer.afterSending(this, ui::guarded(this, handler));
    return true;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, as Exit does, even though
    // the hidden entry window still exists.
    event->accept();
    mnuFileExit_Click();
}

} // namespace forms
