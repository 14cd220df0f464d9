// SPDX-License-Identifier: MIT
#include "ui/life/end_requests.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace ui {
namespace {

// The signal handler only writes a byte here; the event loop reads it and
// ends the program outside the handler, where that is safe.
std::array<int, 2> g_endRequest = {-1, -1};

void requestEnd(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_endRequest[0], &byte, 1);
    errno = savedErrno;
}

class QuitRequest final : public QObject {
public:
    QuitRequest(std::function<void()> end, QObject *parent) : QObject(parent), m_end(std::move(end)) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit)
            return false;
        m_end();
        return true;
    }

private:
    std::function<void()> m_end;
};

} // namespace

void endOnQuitRequest(std::function<void()> end)
{
    QCoreApplication *application = QCoreApplication::instance();
    application->installEventFilter(new QuitRequest(std::move(end), application));
}

void endOnTerminationSignals(std::function<void()> end)
{
    if (g_endRequest[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_endRequest.data()) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_endRequest[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [end = std::move(end)] {
        char byte = 0;
        [[maybe_unused]] const ssize_t taken = ::read(g_endRequest[1], &byte, 1);
        end();
    });
    struct sigaction action = {};
    action.sa_handler = requestEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}

} // namespace ui
