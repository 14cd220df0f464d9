// SPDX-License-Identifier: MIT
#include "platform/program.h"

#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/program_icon.h"
#include "platform/shared_access_keys.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QDialog>
#include <QWindow>
#include <QFont>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyle>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace platform {

QString programTitle() { return QStringLiteral(SELVARO_TITLE); }

void End()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

void sendWaitingLinesAtEnd()
{
    const PrintOutcome outcome = Printer::instance().endDoc();
    if (!outcome) {
        MsgBox(QStringLiteral("The charter lines still waiting could not be printed before the program ended.\n\n%1")
                   .arg(outcome.problem),
               vbExclamation);
    }
}

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

} // namespace

void endOnTerminationSignals()
{
    if (g_endRequest[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_endRequest.data()) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_endRequest[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t taken = ::read(g_endRequest[1], &byte, 1);
        End();
    });
    struct sigaction action = {};
    action.sa_handler = requestEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}

QFont uiFont(double points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(available.center());
    window.move(frame.topLeft());
}

// Watches a window's showing: centres it before it first appears (the show
// event comes before the window is mapped) and hands it the keyboard.
class ShowingWatcher final : public QObject {
public:
    explicit ShowingWatcher(QWidget &window) : QObject(&window), m_window(window) { window.installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            if (!m_placed) {
                centreOnScreen(m_window);
                m_placed = true;
            }
            takeFocus(m_window);
        }
        return false;
    }

private:
    QWidget &m_window;
    bool m_placed = false;
};

} // namespace

void setUpWindow(QWidget &window, const char *name, const QString &caption, const QColor &background)
{
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    window.setWindowIcon(programIcon());
    if (background.isValid()) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, background);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
    }
    new ShowingWatcher(window);
    installSharedAccessKeys();
}

void takeFocus(QWidget &window)
{
    window.raise();
    window.activateWindow();
}

} // namespace platform

namespace platform {

void showModalOver(QDialog &dialog, QWidget &owner)
{
    // Window managers keep a transient window above its owner.
    dialog.winId();
    if (dialog.windowHandle() != nullptr && owner.windowHandle() != nullptr)
        dialog.windowHandle()->setTransientParent(owner.windowHandle());
    dialog.exec();
    if (owner.isVisible())
        owner.activateWindow();
}

} // namespace platform
