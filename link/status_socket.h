#pragma once

#include "link/platform/udp_socket.h"
#include "link/platform/wakeup_event.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace brenvik {

// The socket on which a multiviewer's reports arrive; owned by the status receiver, which closes it
// as it ends.
class StatusSocket {
public:
    explicit StatusSocket(UdpSocket socket) : m_socket(std::move(socket)) {}
    std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer, Ipv4Address* from = nullptr) {
        return m_socket.ReceiveFrom(buffer, from);
    }
    bool WaitReadable(std::chrono::milliseconds timeout) { return m_socket.WaitReadable(timeout); }
    // Ends early, false, once `wakeup` is notified.
    bool WaitReadable(std::chrono::milliseconds timeout, const WakeupEvent& wakeup) {
        return m_socket.WaitReadable(timeout, &wakeup);
    }
    std::optional<std::uint16_t> LocalPort() const { return m_socket.LocalPort(); }

private:
    UdpSocket m_socket;
};

} // namespace brenvik
