// SPDX-License-Identifier: MIT
#include "ui/widgets/print_progress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressDialog>

namespace ui {

PrintProgress::PrintProgress(Label label, std::chrono::milliseconds delay) : m_label(std::move(label)), m_delay(delay)
{
    m_clock.start();
}

PrintProgress::~PrintProgress() = default;

void PrintProgress::pageDone(int pagesDone, int pageCount)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (!m_dialog) {
        if (pagesDone >= pageCount || m_clock.elapsed() < m_delay.count())
            return;
        // Not modal: a modal progress dialog runs every pending event from
        // setValue(), clicks included, and a click could start printing again
        // in the middle of this job. Clicks wait until the job is out instead.
        m_dialog = std::make_unique<QProgressDialog>();
        m_dialog->setWindowTitle(QCoreApplication::applicationName());
        m_dialog->setCancelButton(nullptr);
        m_dialog->setMinimumDuration(0);
        m_dialog->setRange(0, pageCount);
        m_dialog->show();
    }
    m_dialog->setLabelText(m_label(pagesDone, pageCount));
    m_dialog->setValue(pagesDone);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace ui
