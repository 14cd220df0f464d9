// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>

#include <chrono>
#include <memory>

class QProgressDialog;

namespace platform {

// Shows how far a print job has got once it has run longer than a moment,
// and keeps the program's windows repainting while it runs. Without a
// widget application (tests, the benchmark) it only counts.
class PrintProgress {
public:
    static constexpr std::chrono::milliseconds kDefaultDelay{500};

    explicit PrintProgress(std::chrono::milliseconds delay = kDefaultDelay);
    ~PrintProgress();
    PrintProgress(const PrintProgress &) = delete;
    PrintProgress &operator=(const PrintProgress &) = delete;

    // After each finished page.
    void pageDone(int pagesDone, int pageCount);

    // The dialog while it is shown, else null.
    const QProgressDialog *dialog() const { return m_dialog.get(); }

private:
    std::chrono::milliseconds m_delay;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace platform
