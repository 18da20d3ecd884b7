#pragma once

#include "multiviewer/core/console_view.h"
#include "multiviewer/core/main_window_hooks.h"
#include "multiviewer/core/ui_dispatcher.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace brenvik::test {

// The console page as the core sees it: counts repaints and keeps every page update. UI thread.
class RecordingView : public ConsoleView {
public:
    void RedrawPreview() override { ++redraws; }
    void UpdatePage(const PageUpdate& update) override { updates.push_back(update); }
    void Clear() {
        redraws = 0;
        updates.clear();
    }

    int redraws = 0;
    std::vector<PageUpdate> updates;
};

class RecordingMainWindow : public MainWindowHooks {
public:
    void ShowCustomNameText(const std::u16string& text) override { nameTexts.push_back(text); }
    void ShowLockPicture(int picture) override { lockPictures.push_back(picture); }

    std::vector<std::u16string> nameTexts;
    std::vector<int> lockPictures;
};

// The UI thread of a test: tasks wait in a queue until the test pumps it.
class QueueDispatcher : public UiDispatcher {
public:
    void Post(std::function<void()> task) override {
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
            ++m_posted;
        }
        m_changed.notify_all();
    }

    // Runs every task queued now; returns how many ran.
    int RunPending() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (auto& task : tasks) {
            task();
        }
        return static_cast<int>(tasks.size());
    }

    // Pumps until `done` holds, checking it after every batch; false when `timeout` passed first.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            bool queued = false;
            {
                std::unique_lock lock(m_mutex);
                queued = m_changed.wait_until(lock, deadline, [this] { return !m_tasks.empty(); });
            }
            if (!queued) {
                return done();
            }
            RunPending();
        }
        return true;
    }

    // Waits until `count` tasks have been posted in all, without running them.
    bool WaitPosted(int count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_posted >= count; });
    }

    int Posted() const {
        std::lock_guard lock(m_mutex);
        return m_posted;
    }

private:
    mutable std::mutex m_mutex; // guards m_tasks and m_posted
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_tasks;
    int m_posted = 0;
};

} // namespace brenvik::test
