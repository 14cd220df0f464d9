// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

// A relay in front of a scheduler's unix socket that behaves as the roads
// between a program and its print server do.
//
// Cut: the first connection whose client has sent more than `cutAfterBytes`
// is closed at both ends, as a scheduler restart or a flaky link does; every
// later connection is relayed whole. With `goneAfterCut`, the upload goes
// through whole and the connection is cut as the scheduler answers it; every
// later connection is then closed at once, as if the scheduler had gone: the
// scheduler holds the whole document, and the job cannot be cancelled.
//
// Late: every piece of the scheduler's answers is passed on `answerDelay`
// after the piece before it (or after it came, for the first), as a busy
// server or a slow link trickles an answer out; nothing is lost.
class Relay {
public:
    struct Cut {
        long afterBytes = -1; // never
        bool goneAfterCut = false;
    };

    Relay(const QString &listenPath, const QString &targetPath, Cut cut);
    Relay(const QString &listenPath, const QString &targetPath, std::chrono::milliseconds answerDelay);
    ~Relay();
    Relay(const Relay &) = delete;
    Relay &operator=(const Relay &) = delete;

    bool listening() const { return m_listener >= 0; }
    bool hasCut() const { return m_cut; }

private:
    Relay(const QString &listenPath, const QString &targetPath, Cut cut, std::chrono::milliseconds answerDelay);
    void relay();

    QString m_target;
    Cut m_cutRule;
    std::chrono::milliseconds m_delay;
    int m_listener = -1;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_cut = false;
    std::thread m_thread;
};
