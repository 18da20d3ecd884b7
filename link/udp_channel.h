#pragma once

#include "link/device_table.h"
#include "link/endpoints.h"
#include "link/operator_messages.h"
#include "link/platform/udp_socket.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <span>

namespace brenvik {

// The socket in the command socket slot: the discovery broadcast socket or a command socket.
// Holding one owns the slot (and local port) exclusively; destroying it closes the socket and
// leaves the slot empty, which is CloseCommandSocket.
class CommandSocket {
public:
    CommandSocket(std::unique_lock<std::mutex> slot, UdpSocket socket, Ipv4Address peer);

    // One datagram to the peer address.
    bool Send(std::span<const std::uint8_t> bytes);
    // One datagram if one waits; the sender becomes the peer address, as in the console's shared
    // address buffer.
    std::optional<std::size_t> Receive(std::span<std::uint8_t> buffer);
    bool WaitReadable(std::chrono::milliseconds timeout) { return m_socket.WaitReadable(timeout); }
    const Ipv4Address& Peer() const { return m_peer; }

private:
    std::unique_lock<std::mutex> m_slot;
    UdpSocket m_socket;
    Ipv4Address m_peer;
};

// The socket on which a multiviewer's reports arrive; owned by the status receiver.
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

// The console's UDP side: the broadcast socket for discovery, one short-lived command socket per
// command, and the status socket. No address-reuse option is set, so the local port is held by
// one socket at a time.
class UdpChannel {
public:
    UdpChannel(Endpoints endpoints, OperatorMessages& messages);

    const Endpoints& GetEndpoints() const { return m_endpoints; }

    // Bound to the local port with broadcasts allowed; peer = broadcast address, unit port.
    // Nothing when the socket cannot be created or bound (the caller tells the operator).
    std::optional<CommandSocket> OpenBroadcastSocket();
    // Peer = the unit, unit port. With no unit: "Please choose a device" and nothing.
    std::optional<CommandSocket> OpenCommandSocket(const std::optional<DeviceEntry>& unit);
    // Bound to the status port. With no unit: "Please choose a device" and nothing.
    std::optional<StatusSocket> OpenStatusSocket(const std::optional<DeviceEntry>& unit);

private:
    Endpoints m_endpoints;
    OperatorMessages& m_messages;
    std::mutex m_commandSlot; // guards the command socket slot: one open–use–close at a time
};

} // namespace brenvik
