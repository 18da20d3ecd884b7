#pragma once

#include "link/device_table.h"
#include "link/link_transport.h"
#include "link/platform/wakeup_event.h"
#include "link/unit_link.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace brenvik {

// One thing for the link thread to do.
struct LinkOperation {
    enum class Kind : std::uint8_t { Send, Exchange, Task };
    Kind kind = Kind::Send;
    LinkTransport* transport = nullptr; // Send, Exchange: the medium chosen when it was queued
    std::optional<DeviceEntry> unit;
    Frame bytes;                // Send
    Exchange exchange;          // Exchange
    std::stop_token cancel;     // Exchange
    std::function<void()> task; // Task: a change of the link's own state, in queue order
};

// The one thread that talks to the units. It carries out the queued operations in order, keeps
// the pause a unit needs between two frames, and while an exchange waits for its reply it lets the
// sends queued behind it leave through the exchange where the medium allows (the LAN) — also those
// queued behind further exchanges that have not started; sends never pass one another. Destroying
// it cancels the exchanges, lets the sends already queued leave within kStopBudget, and joins.
class LinkThread {
public:
    static constexpr std::chrono::milliseconds kStopBudget{100};

    LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;
    ~LinkThread();

    // Any thread.
    void Queue(LinkOperation operation);
    // Waits until everything queued before the call has been carried out; false on time-out. Never
    // called on the UI thread.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
    using Clock = std::chrono::steady_clock;

    void Run(std::stop_token stop);
    std::optional<LinkOperation> Pop();
    void Carry(LinkOperation& operation, const std::stop_token& stop);
    void RunExchange(LinkOperation& operation, const std::stop_token& stop);
    // The sends queued for this medium leave through the open exchange, in their order, as their
    // pause allows; returns when the next one may leave, or nothing when none waits.
    std::optional<Clock::time_point> CarrySends(OpenExchange& open, LinkTransport& transport);
    // Waits until the pause after the last frame has passed; false when the thread is stopped first.
    bool PaceUntilFree(const std::stop_token& stop);
    void MarkFrameSent(const LinkTransport& transport);
    void FinishOperation();
    void StopAndFlush();

    std::mutex m_mutex; // guards m_queue and m_busy
    std::deque<LinkOperation> m_queue;
    bool m_busy = false;          // an operation popped from the queue is being carried out
    std::condition_variable m_idle; // notified when the queue is empty and nothing is carried out
    WakeupEvent m_wakeup;           // notified on every queued operation, cancel and stop
    Clock::time_point m_nextFrameAt{}; // link thread only: no frame leaves before this
    std::jthread m_thread; // last: started after, and joined before, everything above
};

} // namespace brenvik
