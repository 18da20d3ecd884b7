#include "link/task_queue.h"

#include <algorithm>

namespace brenvik {

void TaskQueue::Post(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_ready.push_back(std::move(task));
    }
    m_posted.notify_all();
}

void TaskQueue::PostAfter(std::chrono::milliseconds delay, std::function<void()> task) {
    std::lock_guard lock(m_mutex);
    m_timed.push_back({Clock::now() + delay, std::move(task)});
}

std::function<void()> TaskQueue::Take(Clock::time_point until) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto now = Clock::now();
        // A timer that has run out goes before what was posted after it was due.
        const auto due = std::min_element(m_timed.begin(), m_timed.end(),
                                          [](const Timed& a, const Timed& b) { return a.due < b.due; });
        if (due != m_timed.end() && due->due <= now) {
            auto task = std::move(due->task);
            m_timed.erase(due);
            return task;
        }
        if (!m_ready.empty()) {
            auto task = std::move(m_ready.front());
            m_ready.pop_front();
            return task;
        }
        if (now >= until) {
            return {};
        }
        const auto wakeAt = due != m_timed.end() ? std::min(due->due, until) : until;
        m_posted.wait_until(lock, wakeAt);
    }
}

bool TaskQueue::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto until = Clock::now() + bound;
    while (!done()) {
        auto task = Take(until);
        if (!task) {
            return done();
        }
        task();
    }
    return true;
}

void TaskQueue::RunPending() {
    while (auto task = Take(Clock::now())) {
        task();
    }
}

} // namespace brenvik
