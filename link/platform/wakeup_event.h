#pragma once

namespace brenvik {

// A signal a thread can wait on beside a socket, so that stopping it never waits for a time-out.
// Once notified it stays set until Reset; a waiter sees it at once. The only file beside udp_socket.cpp that
// touches the platform's waiting primitives.
class WakeupEvent {
public:
    WakeupEvent();
    ~WakeupEvent();
    WakeupEvent(const WakeupEvent&) = delete;
    WakeupEvent& operator=(const WakeupEvent&) = delete;

    // Safe from any thread, also from a stop callback.
    void Notify();
    bool Notified() const;
    // Clears the notices so far; for a waiter that wakes for each new piece of work.
    void Reset();
    int Handle() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace brenvik
