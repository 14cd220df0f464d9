// SPDX-License-Identifier: MIT
#include "ui/program.h"

#include "printing/program_info.h"
#include "ui/forms/clerk_words.h"
#include "ui/forms/frm_about.h"
#include "ui/forms/frm_charter.h"
#include "ui/forms/frm_main.h"
#include "ui/life/display_gone.h"
#include "ui/life/earlier_runs.h"
#include "ui/life/end_requests.h"
#include "ui/life/print_wait.h"
#include "ui/widgets/program_icon.h"

#include <QApplication>

#include <utility>

namespace ui {

Program::Program() : Program(Parts{})
{
    QApplication::setApplicationName(program_info::title());
    QApplication::setApplicationVersion(program_info::version());
    // Lets docks tie the running window to its desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.selvaro.Yachts"));
    // Closing a window is handled by the windows themselves: the hidden entry
    // window must not keep the program alive, nor end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Every charter on disk until CUPS has taken it.
    m_printer->setJournal(std::make_unique<printing::UnprintedJournal>(printing::journalFolder()));
    m_printsEarlierRuns = true;
}

Program::Program(Parts parts, platform::RegionalFormat format) : Program(std::move(parts))
{
    m_format = std::make_unique<platform::RegionalFormat>(std::move(format));
}

Program::Program(Parts parts)
    : m_printer(std::make_unique<printing::PrintService>(std::move(parts.sender))),
      m_messageBoxes(parts.messageBoxes ? parts.messageBoxes : &m_realBoxes),
      m_endOfDay(*m_printer, *m_messageBoxes, m_realBoxes)
{
    m_printer->setWatcherFactory([] {
        return std::make_unique<PrintProgress>(PrintProgress::Words{.waiting = &forms::words::waitingForPrintService,
                                                                    .pages = &forms::words::pagesPrepared,
                                                                    .login = &forms::words::printerLogin});
    });
}

Program::~Program()
{
    // Windows go first, newest first, while the services they use still exist.
    while (!m_windowsInCreationOrder.empty())
        m_windowsInCreationOrder.pop_back();
}

const platform::RegionalFormat &Program::format()
{
    if (!m_format)
        m_format = std::make_unique<platform::RegionalFormat>(platform::RegionalFormat::fromEnvironment());
    return *m_format;
}

const QIcon &Program::icon()
{
    // The larger pictures are for launchers, which take them from the
    // installed icon theme; a window that carries them all sends a quarter
    // of a megabyte to the X server as it is shown.
    if (m_icon.isNull())
        m_icon = loadProgramIcon({16, 32, 48, 64});
    return m_icon;
}

template <typename Form> Form &Program::window(Form *&instance)
{
    if (instance == nullptr) {
        auto created = std::make_unique<Form>(*this);
        instance = created.get();
        m_windowsInCreationOrder.push_back(std::move(created));
    }
    return *instance;
}

forms::frmMain &Program::frmMain() { return window(m_main); }
forms::frmCharter &Program::frmCharter() { return window(m_charter); }
forms::frmAbout &Program::frmAbout() { return window(m_about); }

int Program::run()
{
    // Ended by the system, the program still sends the lines waiting; so
    // does the session manager at a logout, whatever window is open.
    endOnTerminationSignals([this] { end(); });
    endOnQuitRequest([this] { end(); });
    // Before a logout it sends them without ending.
    m_endOfDay.commitWaitingLinesOnSessionRequest();
    // With the display gone (the X server, the Wayland compositor), Qt ends
    // the program at once, past the end below; the lines still go out, and
    // no window is touched.
    const DisplayGoneHook displayGone([this] { m_endOfDay.printWaitingLinesWithoutDisplay(); });
    // What an earlier run left unprinted, once the main window is up.
    if (m_printsEarlierRuns)
        QMetaObject::invokeMethod(
            qApp, [this] { printEarlierRuns(*this); }, Qt::QueuedConnection);
    const int status = QApplication::exec();
    m_endOfDay.printWaitingLinesAtEnd();
    return status;
}

void Program::showMainWindow()
{
    frmMain().show();
}

} // namespace ui
