// SPDX-License-Identifier: MIT
#include "forms/frm_main.h"

#include "accounting/running_totals.h"
#include "forms/frm_about.h"
#include "forms/frm_charter.h"
#include "platform/combo_box.h"
#include "platform/error_report.h"
#include "platform/form_registry.h"
#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/program.h"
#include "platform/program_icon.h"
#include "platform/regional_format.h"
#include "platform/twips.h"
#include "reports/layouts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

namespace forms {
namespace {

// Reports a document that did not go out; true when it did.
bool printed(const platform::PrintOutcome &outcome)
{
    if (!outcome)
        platform::MsgBox(platform::printFailureMessage(outcome), platform::vbExclamation);
    return static_cast<bool>(outcome);
}

} // namespace

frmMain &frmMain::instance() { return platform::FormRegistry::instance().get<frmMain>(); }
bool frmMain::exists() { return platform::FormRegistry::instance().exists<frmMain>(); }

frmMain::frmMain()
{
    platform::setUpWindow(*this, "frmMain", QStringLiteral("Selvaro's Yachts"));
    createMenus();

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(platform::twipsRect(1200, 840, 1560, 1560));
    Image1->setScaledContents(true);
    Image1->setPixmap(platform::programIcon().pixmap(Image1->size()));

    resize(platform::twipsSize(4725, 3825) + QSize(0, menuBar()->sizeHint().height()));
}

void frmMain::createMenus()
{
    const auto action = [this](QMenu *menu, const char *name, const QString &caption, void (frmMain::*handler)()) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, platform::guarded(this, handler));
        return item;
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
    frmCharter::instance().showModal();
}

void frmMain::mnuFilePrintSummary_Click()
{
    const accounting::RunningTotals &totals = accounting::programTotals();
    if (totals.gintCharterCount() == 0) {
        platform::MsgBox(QStringLiteral("No data to summarize"), platform::vbOKOnly, QStringLiteral("Error"));
        return;
    }
    const auto figures = totals.summaryFigures(platform::RegionalFormat::current());
    if (!printed(platform::Printer::instance().printAndEndDoc(reports::summary(figures.averageText, figures.revenueText))))
        return;
    mnuFilePrintYachtType->setEnabled(true);
}

void frmMain::mnuFilePrintYachtType_Click()
{
    const QStringList types = frmCharter::instance().cboYacht->entries();
    printed(platform::Printer::instance().printAndEndDoc(reports::yachtList(types)));
}

void frmMain::mnuFileExit_Click()
{
    platform::End();
}

void frmMain::mnuHelpAbout_Click()
{
    platform::showModalOver(frmAbout::instance(), *this);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, as Exit does, even though
    // the hidden entry window still exists.
    event->accept();
    mnuFileExit_Click();
}

} // namespace forms
