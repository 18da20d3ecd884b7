#include "link/udp_channel.h"

namespace brenvik {

namespace {

constexpr Ipv4Address kAnyAddress{};
constexpr const char* kNoUnitMessage = "Please choose a device";
// A whole rack answers a search at once, and a multiviewer reports in bursts. The default queue
// holds about 256 small datagrams on loopback and fewer from some network drivers, so the
// broadcast and status sockets ask for room for several times that.
constexpr int kBurstReceiveBuffer = 1 << 20;

// A non-blocking socket bound to the wildcard address at `port`; nothing when the port is taken.
// `burst`: the socket takes many datagrams at once and gets a larger queue.
std::optional<UdpSocket> OpenBound(std::uint16_t port, bool broadcast, bool burst) {
    auto socket = UdpSocket::Create();
    if (!socket) {
        return std::nullopt;
    }
    if (broadcast && !socket->EnableBroadcast()) {
        return std::nullopt;
    }
    if (burst) {
        // A smaller queue than asked for still works, so a refusal is not a failure.
        socket->SetReceiveBufferSize(kBurstReceiveBuffer);
    }
    Ipv4Address local = kAnyAddress;
    local.port = port;
    if (!socket->Bind(local) || !socket->SetNonBlocking()) {
        return std::nullopt;
    }
    return socket;
}

} // namespace

CommandSocket::CommandSocket(std::unique_lock<std::mutex> slot, UdpSocket socket, Ipv4Address peer)
    : m_slot(std::move(slot)), m_socket(std::move(socket)), m_peer(peer) {}

bool CommandSocket::Send(std::span<const std::uint8_t> bytes) {
    return m_socket.SendTo(m_peer, bytes);
}

std::optional<std::size_t> CommandSocket::Receive(std::span<std::uint8_t> buffer) {
    return m_socket.ReceiveFrom(buffer, &m_peer);
}

UdpChannel::UdpChannel(Endpoints endpoints, OperatorMessages& messages)
    : m_endpoints(std::move(endpoints)), m_messages(messages) {}

std::optional<CommandSocket> UdpChannel::OpenBroadcastSocket() {
    const auto peer = Ipv4Address::Parse(m_endpoints.broadcastAddress, m_endpoints.unitPort);
    if (!peer) {
        return std::nullopt;
    }
    std::unique_lock slot(m_commandSlot);
    auto socket = OpenBound(m_endpoints.localPort, true, true);
    if (!socket) {
        return std::nullopt;
    }
    return CommandSocket(std::move(slot), std::move(*socket), *peer);
}

std::optional<CommandSocket> UdpChannel::OpenCommandSocket(const std::optional<DeviceEntry>& unit) {
    // Checked before the slot is taken, so that the operator's message box never holds up another
    // thread's exchange.
    if (!unit) {
        m_messages.ShowError(kNoUnitMessage);
        return std::nullopt;
    }
    // A unit found over the serial line has no address; there is nowhere to send to.
    const auto peer = Ipv4Address::Parse(unit->Ip(), m_endpoints.unitPort);
    if (!peer) {
        return std::nullopt;
    }
    std::unique_lock slot(m_commandSlot);
    auto socket = OpenBound(m_endpoints.localPort, false, false);
    if (!socket) {
        return std::nullopt;
    }
    return CommandSocket(std::move(slot), std::move(*socket), *peer);
}

std::optional<StatusSocket> UdpChannel::OpenStatusSocket(const std::optional<DeviceEntry>& unit) {
    if (!unit) {
        m_messages.ShowError(kNoUnitMessage);
        return std::nullopt;
    }
    auto socket = OpenBound(m_endpoints.statusPort, false, true);
    if (!socket) {
        return std::nullopt;
    }
    return StatusSocket(std::move(*socket));
}

} // namespace brenvik
