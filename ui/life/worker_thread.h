// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace ui {

// Runs some work on a thread of its own, started as it is made, while the
// thread that made it waits in its own way (handling events, or asking the
// work to give up); destroyed, it waits for the work to end. The end is
// handed over under a mutex of the standard library, plain to the thread
// sanitizer.
class WorkerThread {
public:
    using Clock = std::chrono::steady_clock;

    // `onEnd`, if any, runs on the worker once the work has ended, to wake
    // the waiting thread.
    explicit WorkerThread(std::function<void()> work, std::function<void()> onEnd = {});
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Whether the work has ended, at once or waiting until `until` at most.
    bool ended();
    bool endedBy(Clock::time_point until);
    // Waits for the work to end and throws here what it threw.
    void finish();

private:
    std::mutex m_mutex;
    std::condition_variable m_endedSignal;
    bool m_ended = false;
    std::exception_ptr m_failure;
    std::jthread m_thread; // last: started once the rest is there
};

} // namespace ui
