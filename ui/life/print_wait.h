// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"
#include "ui/widgets/login_dialog.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QProgressDialog;
class QWidget;

namespace ui {

// Watches one document go out. From the moment it is made, the clerk's keys
// and clicks are set aside unread, so nothing can be printed twice; once the
// job has taken longer than a moment, a modal progress window says what the
// program waits for. The windows keep repainting throughout, also while the
// print service is slow to answer. Without a widget application (tests, the
// benchmark) it only runs what it is given.
class PrintProgress final : public printing::PrintWatcher {
public:
    static constexpr std::chrono::milliseconds kDefaultDelay{500};

    struct Words {
        std::function<QString()> waiting;                           // for the print service
        std::function<QString(int pagesDone, int pageCount)> pages; // while pages are prepared
        std::function<LoginWords(const QString &printer, bool again)> login; // for a print server's login
    };

    explicit PrintProgress(Words words, std::chrono::milliseconds delay = kDefaultDelay);
    ~PrintProgress() override;
    PrintProgress(const PrintProgress &) = delete;
    PrintProgress &operator=(const PrintProgress &) = delete;

    void pageDone(int pagesDone, int pageCount) override;
    // Runs `work` on a thread of its own and handles the program's events
    // until it has finished, however long that takes.
    void waitFor(const std::function<void()> &work) override;
    // Asks the clerk in a modal window, on the program's main thread even
    // when `work` above asks from its own; the clerk's keys and clicks reach
    // that window.
    std::optional<printing::PrinterLogin> askLogin(const printing::LoginRequest &request) override;

    // The dialog while it is shown, else null.
    const QProgressDialog *dialog() const { return m_dialog.get(); }

private:
    class InputHold;

    void show(const QString &label, int value, int maximum);
    // Asks the clerk what askLogin() was asked on another thread, if anything.
    void answerLoginRequest();

    Words m_words;
    std::chrono::milliseconds m_delay;
    QElapsedTimer m_clock;
    std::unique_ptr<InputHold> m_inputHold;
    std::unique_ptr<QProgressDialog> m_dialog;
    QPointer<QWidget> m_returnTo; // the window that had the keyboard before
    std::mutex m_loginMutex;
    std::condition_variable m_loginDone;
    std::function<void()> m_loginRequest; // from the thread that talks to the print service
    bool m_loginAnswered = false;
};

} // namespace ui
