// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <atomic>
#include <thread>

// A relay in front of a scheduler's unix socket that breaks one connection
// in the middle of an upload, as a scheduler restart or a flaky link to a
// print server does: the first connection whose client has sent more than
// `cutAfterBytes` is closed at both ends. Every later connection is relayed
// whole. With `goneAfterCut`, the upload goes through whole and the
// connection is cut as the scheduler answers it; every later connection is
// then closed at once, as if the scheduler had gone: the scheduler holds the
// whole document, and the job cannot be cancelled.
class CuttingProxy {
public:
    CuttingProxy(const QString &listenPath, const QString &targetPath, long cutAfterBytes, bool goneAfterCut = false);
    ~CuttingProxy();
    CuttingProxy(const CuttingProxy &) = delete;
    CuttingProxy &operator=(const CuttingProxy &) = delete;

    bool listening() const { return m_listener >= 0; }
    bool hasCut() const { return m_cut; }

private:
    void relay();

    QString m_target;
    long m_cutAfter;
    bool m_goneAfterCut;
    int m_listener = -1;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_cut = false;
    std::thread m_thread;
};
