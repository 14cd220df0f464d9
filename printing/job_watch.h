// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace printing {

// Follows one job CUPS took until it ends, on a thread of its own: that one
// job's state is asked for every second at first, then every few seconds,
// for as long as the program runs, a print server that does not answer
// included. Once the job is completed, canceled or aborted (or CUPS no
// longer knows it, which a scheduler keeping no history does to completed
// jobs), `ended` is called once, on that thread.
class JobWatch final : public JobFollow {
public:
    JobWatch(int jobId, std::function<void(const JobEnd &)> ended);
    // Stops asking, ending a question on its way.
    ~JobWatch() override;
    JobWatch(const JobWatch &) = delete;
    JobWatch &operator=(const JobWatch &) = delete;

private:
    void run();
    // Waits before the next question; false once asked to stop.
    bool pause(std::chrono::milliseconds time);

    int m_jobId;
    std::function<void(const JobEnd &)> m_ended;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace printing
