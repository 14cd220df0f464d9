// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QProgressDialog;

namespace ui {

// Shows how far a print job has got once it has run longer than a moment,
// and keeps the program's windows repainting while it runs. Without a
// widget application (tests, the benchmark) it only counts.
class PrintProgress final : public printing::PageProgress {
public:
    static constexpr std::chrono::milliseconds kDefaultDelay{500};
    // The dialog's text for pages done of pages in all.
    using Label = std::function<QString(int pagesDone, int pageCount)>;

    explicit PrintProgress(Label label, std::chrono::milliseconds delay = kDefaultDelay);
    ~PrintProgress() override;
    PrintProgress(const PrintProgress &) = delete;
    PrintProgress &operator=(const PrintProgress &) = delete;

    // After each finished page.
    void pageDone(int pagesDone, int pageCount) override;

    // The dialog while it is shown, else null.
    const QProgressDialog *dialog() const { return m_dialog.get(); }

private:
    Label m_label;
    std::chrono::milliseconds m_delay;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace ui
