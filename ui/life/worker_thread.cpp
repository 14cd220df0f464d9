// SPDX-License-Identifier: MIT
#include "ui/life/worker_thread.h"

#include <utility>

namespace ui {

WorkerThread::WorkerThread(std::function<void()> work, std::function<void()> onEnd)
    : m_thread([this, work = std::move(work), onEnd = std::move(onEnd)] {
          std::exception_ptr failure;
          try {
              work();
          } catch (...) {
              failure = std::current_exception();
          }
          {
              const std::lock_guard lock(m_mutex);
              m_failure = failure;
              m_ended = true;
              m_endedSignal.notify_all();
          }
          if (onEnd)
              onEnd();
      })
{
}

bool WorkerThread::ended()
{
    const std::lock_guard lock(m_mutex);
    return m_ended;
}

bool WorkerThread::endedBy(Clock::time_point until)
{
    std::unique_lock lock(m_mutex);
    return m_endedSignal.wait_until(lock, until, [this] { return m_ended; });
}

void WorkerThread::finish()
{
    m_thread.join();
    if (m_failure)
        std::rethrow_exception(std::exchange(m_failure, nullptr));
}

} // namespace ui
