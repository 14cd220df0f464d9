// SPDX-License-Identifier: MIT
#include "printing/job_watch.h"

#include "printing/cups_client.h"

#include <chrono>

namespace printing {
namespace {

using namespace std::chrono_literals;

// A printer drops a job it cannot print within a moment of taking it, so the
// first answers are asked for often; a job that waits longer (a busy or
// stopped printer) is asked about less.
constexpr auto kOftenFor = 30s;
constexpr auto kOften = 1s;
constexpr auto kSeldom = 5s;

JobEnd endOf(const cups::JobStatus &status)
{
    constexpr int kCompleted = 9; // IPP job-state; 0 is a job CUPS no longer knows
    JobEnd end;
    end.printedWhole = status.state == kCompleted || status.state == 0;
    if (!end.printedWhole) {
        end.pagesPrinted = status.pagesPrinted;
        end.reasons = status.reasons;
        end.printerMessage = status.printerMessage;
    }
    return end;
}

} // namespace

JobWatch::JobWatch(int jobId, std::function<void(const JobEnd &)> ended)
    : m_jobId(jobId), m_ended(std::move(ended)), m_thread([this] { run(); })
{
}

JobWatch::~JobWatch()
{
    std::unique_lock lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
    // A question on its way is ended by shutting its connection; asked again
    // in case libcups was just reconnecting.
    while (!m_wake.wait_for(lock, 100ms, [this] { return m_finished; })) {
        lock.unlock();
        cups::interrupt(this);
        lock.lock();
    }
    lock.unlock();
    m_thread.join();
}

bool JobWatch::pause(std::chrono::milliseconds time)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, time, [this] { return m_stop; });
}

void JobWatch::run()
{
    const auto started = std::chrono::steady_clock::now();
    std::optional<JobEnd> end;
    // The first question at once: a job dropped as it was taken is known then.
    for (bool going = true; going && !end;) {
        try {
            if (const auto status = cups::jobStatus(m_jobId, this); status && status->ended())
                end = endOf(*status);
        } catch (const PrinterError &) {
            // The module is gone: nothing more can be known.
            break;
        }
        if (!end)
            going = pause(std::chrono::steady_clock::now() - started < kOftenFor ? kOften : kSeldom);
    }
    if (end)
        m_ended(*end);
    const std::lock_guard lock(m_mutex);
    m_finished = true;
    m_wake.notify_all();
}

} // namespace printing
