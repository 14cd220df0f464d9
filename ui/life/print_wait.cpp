// SPDX-License-Identifier: MIT
#include "ui/life/print_wait.h"

#include "ui/life/worker_thread.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <utility>

namespace ui {

// Sets the clerk's keys and clicks aside while it exists: they are dropped,
// not delivered later, so a key pressed in impatience cannot start printing
// again once the job is out.
class PrintProgress::InputHold final : public QObject {
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

    // While a modal window of its own asks the clerk something, input goes
    // there; the modality keeps it from the other windows.
    void pause(bool paused) { m_paused = paused; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (m_paused)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }

private:
    bool m_paused = false;
};

namespace {

// Ends the main thread's wait for events, from any thread, without posting
// anything.
void wakeMainThread()
{
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(qApp->thread()))
        dispatcher->wakeUp();
}

bool haveWidgets() { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }

// The window the clerk was working in: the one whose menu started printing
// rather than the menu itself.
QWidget *workingWindow()
{
    QWidget *window = QApplication::activeWindow();
    while (window != nullptr && window->windowType() == Qt::Popup && window->parentWidget() != nullptr)
        window = window->parentWidget()->window();
    return window;
}

} // namespace

PrintProgress::PrintProgress(Words words, std::chrono::milliseconds delay) : m_words(std::move(words)), m_delay(delay)
{
    m_clock.start();
    if (haveWidgets()) {
        m_inputHold = std::make_unique<InputHold>();
        m_returnTo = workingWindow();
    }
}

PrintProgress::~PrintProgress()
{
    m_dialog.reset();
    // The window the clerk printed from has the keyboard again before the
    // next key is read; not every window system hands it back by itself.
    if (m_returnTo && m_returnTo->isVisible() && !m_returnTo->isActiveWindow()) {
        m_returnTo->activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void PrintProgress::show(const QString &label, int value, int maximum)
{
    if (m_dialog && m_dialog->labelText() == label && m_dialog->value() == value && m_dialog->maximum() == maximum)
        return;
    if (!m_dialog) {
        if (m_clock.elapsed() < m_delay.count())
            return;
        m_dialog = std::make_unique<QProgressDialog>();
        m_dialog->setObjectName(QStringLiteral("PrintProgress"));
        m_dialog->setWindowTitle(QCoreApplication::applicationName());
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setCancelButton(nullptr);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->show();
    }
    m_dialog->setLabelText(label);
    m_dialog->setRange(0, maximum); // 0 to 0: busy, with no count
    m_dialog->setValue(value);
}

void PrintProgress::pageDone(int pagesDone, int pageCount)
{
    if (!haveWidgets())
        return;
    if (m_dialog || pagesDone < pageCount)
        show(m_words.pages(pagesDone, pageCount), pagesDone, pageCount);
    QCoreApplication::processEvents();
}

void PrintProgress::waitFor(const std::function<void()> &work)
{
    if (!haveWidgets()) {
        work();
        return;
    }
    WorkerThread worker(work, wakeMainThread);
    // Wakes it too, so that the window appears when it is due.
    QTimer tick;
    tick.start(50);
    while (!worker.ended()) {
        show(m_words.waiting(), 0, 0);
        answerLoginRequest();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    worker.finish();
}

void PrintProgress::answerLoginRequest()
{
    std::function<void()> ask;
    {
        const std::lock_guard lock(m_loginMutex);
        ask = std::exchange(m_loginRequest, nullptr);
    }
    if (!ask)
        return;
    ask();
    const std::lock_guard lock(m_loginMutex);
    m_loginAnswered = true;
    m_loginDone.notify_all();
}

std::optional<printing::PrinterLogin> PrintProgress::askLogin(const printing::LoginRequest &request)
{
    if (!haveWidgets() || !m_words.login)
        return std::nullopt;
    std::optional<printing::PrinterLogin> login;
    const auto ask = [&] {
        QWidget *over = m_dialog ? static_cast<QWidget *>(m_dialog.get()) : m_returnTo.data();
        LoginDialog dialog(m_words.login(request.printer, request.again), request.user, over);
        if (m_inputHold)
            m_inputHold->pause(true);
        if (dialog.exec() == QDialog::Accepted)
            login = dialog.takeLogin();
        if (m_inputHold)
            m_inputHold->pause(false);
    };
    if (QThread::currentThread() == qApp->thread()) {
        ask();
        return login;
    }
    // The main thread is in waitFor() meanwhile, handling events: it runs
    // the question there. Handed over under a mutex of the standard library,
    // so that the hand-over is plain to the thread sanitizer as well.
    std::unique_lock lock(m_loginMutex);
    m_loginRequest = ask;
    m_loginAnswered = false;
    wakeMainThread();
    m_loginDone.wait(lock, [this] { return m_loginAnswered; });
    return login;
}

} // namespace ui
