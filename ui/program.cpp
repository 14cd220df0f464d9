// SPDX-License-Identifier: MIT
#include "ui/program.h"

#include "ui/forms/clerk_words.h"
#include "ui/forms/frm_about.h"
#include "ui/forms/frm_charter.h"
#include "ui/forms/frm_main.h"
#include "ui/widgets/print_progress.h"
#include "ui/widgets/program_icon.h"

#include <QApplication>

namespace ui {

Program::Program() : Program(Parts{}) {}

Program::Program(Parts parts, platform::RegionalFormat format) : Program(std::move(parts))
{
    m_format = std::make_unique<platform::RegionalFormat>(std::move(format));
}

Program::Program(Parts parts)
    : m_printer(std::make_unique<printing::PrintService>(std::move(parts.sender))),
      m_messageBoxes(parts.messageBoxes ? parts.messageBoxes : &m_realBoxes)
{
    m_printer->setWatcherFactory([] {
        return std::make_unique<PrintProgress>(PrintProgress::Words{
            &forms::words::waitingForPrintService, &forms::words::pagesPrepared, &forms::words::printerLogin});
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

void Program::showMainWindow()
{
    frmMain().show();
}

void Program::End()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *shown : windows)
        shown->hide();
    QCoreApplication::exit(0);
}

} // namespace ui
