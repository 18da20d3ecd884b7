#pragma once

#include "link/ui_dispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace brenvik {

// A UiDispatcher for a program without an event loop (brenvik-ctl, the Qt-free tests): the thread
// that owns the record runs the posted tasks itself, inside RunUntil.
class TaskQueue : public UiDispatcher {
public:
    using Clock = std::chrono::steady_clock;

    void Post(std::function<void()> task) override;
    void PostAfter(std::chrono::milliseconds delay, std::function<void()> task) override;

    // Runs tasks as they become due until `done` holds (checked after each task and at the start),
    // or `bound` has passed; returns whether `done` holds. The owning thread only.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds bound);
    // Runs the tasks that are due now, waiting for none.
    void RunPending();

private:
    struct Timed {
        Clock::time_point due;
        std::function<void()> task;
    };
    // The next task that is due by `until`, waiting for it until then; empty when none came.
    std::function<void()> Take(Clock::time_point until);

    std::mutex m_mutex; // guards m_ready and m_timed
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_ready;
    std::vector<Timed> m_timed; // only the owning thread adds to it
};

} // namespace brenvik
