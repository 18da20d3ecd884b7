#pragma once

#include "link/platform/serial_device.h"
#include "link/platform/wakeup_event.h"
#include "link/serial_port_link.h"

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace brenvik {

// The rates the units' serial line runs at, slowest first: the ones the configuration page offers.
inline constexpr std::array<unsigned, 5> kSerialBaudRates{9600, 19200, 38400, 57600, 115200};

// The console's serial port: one port, 8N1, opened for this program alone, with a thread that
// watches the port for arriving bytes. Reads wait at most 100 ms of silence after a byte and 500 ms
// in all, so a reply that stops short hands back what came. Open, Close, Read, Write and InputCount
// are called from one thread at a time (the console's link thread); the watching thread only waits
// on the port and calls the receive notification.
class CnComm : public SerialPortLink {
public:
    // A name this long is refused before the system is asked.
    static constexpr std::size_t kMaxNameLength = 62;
    static constexpr std::chrono::milliseconds kReadInterval{100};
    static constexpr std::chrono::milliseconds kReadTotal{500};

    CnComm() = default;
    ~CnComm() override;
    CnComm(const CnComm&) = delete;
    CnComm& operator=(const CnComm&) = delete;

    // Closes a port that is open, then opens `name` at `baud` (one of kSerialBaudRates) and
    // starts the watching thread. False, with the port closed, when any step fails.
    bool Open(const std::string& name, unsigned baud);
    // Ends the watching thread (at once: it waits on a stop event beside the port), drops what
    // waits in both directions and closes the port; a closed port is left alone.
    void Close();
    const std::string& Name() const { return m_name; }

    bool IsOpen() const override { return m_handle != platform::kNoSerialHandle; }
    int InputCount() override;
    std::size_t Read(std::uint8_t* buffer, std::size_t count) override;
    // Returns once every byte has been handed to the port (or the port refused more).
    std::size_t Write(const std::uint8_t* bytes, std::size_t count) override;

    // Called on the watching thread while received bytes wait unread, about every 10 ms; set
    // before Open. The console registers none.
    void SetReceiveNotification(std::function<void()> notify) { m_notifyReceived = std::move(notify); }
    // Whether the watching thread runs.
    bool Watching() const { return m_watching.load(); }

private:
    void StartWatching();
    void StopWatching();
    void WatchLoop(platform::SerialHandle handle);

    // Written on the thread that opens and closes the port (the link thread); read from any thread.
    std::atomic<platform::SerialHandle> m_handle{platform::kNoSerialHandle};
    std::string m_name;
    std::function<void()> m_notifyReceived;

    WakeupEvent m_stopWatching;
    std::atomic<bool> m_watching{false};
    std::thread m_watcher;
};

} // namespace brenvik
