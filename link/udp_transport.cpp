#include "link/udp_transport.h"

#include "link/platform/network_interfaces.h"

#include <array>

namespace brenvik {

namespace {

constexpr std::chrono::milliseconds kLanSendPause{10};
constexpr const char* kNoUnitMessage = "Please choose a device";
// A whole rack answers a search at once, and a multiviewer reports in bursts. The default queue
// holds about 256 small datagrams on loopback and fewer from some network drivers, so the
// broadcast and status sockets ask for room for several times that.
constexpr int kBurstReceiveBuffer = 1 << 20;
// Large enough for every reply a unit sends: the 809-byte state answer is the longest.
constexpr std::size_t kReplyBufferSize = 1500;

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
    if (!socket->Bind(Ipv4Address{{}, port}) || !socket->SetNonBlocking()) {
        return std::nullopt;
    }
    return socket;
}

constexpr std::array<std::uint8_t, 4> kLimitedBroadcast{255, 255, 255, 255};

// A search sent to 255.255.255.255 leaves through one interface only, the one the routing table
// picks; a control network on a second network card would never hear it. So the same datagram
// goes out of every interface that can broadcast, from the same socket, and the replies of every
// network come back to it. With no such interface it is sent once, as the routing table decides.
// A directed broadcast (a test's 127.255.255.255) already names its network and is sent once.
void SendRequest(UdpSocket& socket, const Ipv4Address& peer, std::span<const std::uint8_t> request) {
    const auto interfaces = peer.octets == kLimitedBroadcast
                                ? ChooseBroadcastInterfaces(ListInterfaceAddresses())
                                : std::vector<BroadcastInterface>{};
    if (interfaces.empty()) {
        socket.SendTo(peer, request);
        return;
    }
    for (const BroadcastInterface& via : interfaces) {
        socket.SendToVia(peer, request, via.index, via.address);
    }
}

// An exchange on the LAN: its socket holds the local port until the exchange ends.
class UdpExchange : public OpenExchange {
public:
    UdpExchange(UdpSocket socket, std::uint16_t unitPort)
        : m_socket(std::move(socket)), m_unitPort(unitPort) {}

    void Wait(std::chrono::milliseconds timeout, const WakeupEvent& wakeup) override {
        m_socket.WaitReadable(timeout, &wakeup);
    }

    bool Collect(const Exchange& exchange, std::chrono::steady_clock::time_point deadline) override {
        // Everything that waits is taken before the next wait, so a burst of other datagrams does
        // not push the reply past the window; and the window ends on time however many keep coming.
        Ipv4Address from;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto received = m_socket.ReceiveFrom(m_buffer, &from);
            if (!received) {
                return false;
            }
            if (exchange.takeDatagram && exchange.takeDatagram(std::span(m_buffer).first(*received), from)) {
                return true;
            }
        }
        return false;
    }

    bool CarriesSends() const override { return true; }

    bool Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) override {
        const auto peer = unit ? Ipv4Address::Parse(unit->Ip(), m_unitPort) : std::nullopt;
        return peer && m_socket.SendTo(*peer, bytes);
    }

private:
    UdpSocket m_socket;
    std::uint16_t m_unitPort;
    std::array<std::uint8_t, kReplyBufferSize> m_buffer{};
};

} // namespace

UdpTransport::UdpTransport(Endpoints endpoints, OperatorMessages& messages)
    : m_endpoints(std::move(endpoints)), m_messages(messages) {}

std::chrono::milliseconds UdpTransport::SendPause() const {
    return kLanSendPause;
}

bool UdpTransport::AcceptsSend(const std::optional<DeviceEntry>& unit) {
    if (!unit) {
        m_messages.ShowError(kNoUnitMessage);
        return false;
    }
    // A unit found over the serial line has no address; there is nowhere to send to.
    return Ipv4Address::Parse(unit->Ip(), m_endpoints.unitPort).has_value();
}

bool UdpTransport::AcceptsExchange(const std::optional<DeviceEntry>& unit, const Exchange& exchange) {
    return exchange.broadcast || AcceptsSend(unit);
}

bool UdpTransport::Send(const std::optional<DeviceEntry>& unit, std::span<const std::uint8_t> bytes) {
    const auto peer = unit ? Ipv4Address::Parse(unit->Ip(), m_endpoints.unitPort) : std::nullopt;
    if (!peer) {
        return false;
    }
    auto socket = OpenBound(m_endpoints.localPort, false, false);
    return socket && socket->SendTo(*peer, bytes);
}

std::unique_ptr<OpenExchange> UdpTransport::Begin(const std::optional<DeviceEntry>& unit,
                                                  const Exchange& exchange) {
    const auto peer = exchange.broadcast
                          ? Ipv4Address::Parse(m_endpoints.broadcastAddress, m_endpoints.unitPort)
                      : unit ? Ipv4Address::Parse(unit->Ip(), m_endpoints.unitPort)
                             : std::nullopt;
    if (!peer) {
        return nullptr;
    }
    auto socket = OpenBound(m_endpoints.localPort, exchange.broadcast, exchange.broadcast);
    if (!socket) {
        return nullptr;
    }
    // A request refused by the socket still opens the window: the unit stays silent, as when the
    // datagram is lost on the way.
    SendRequest(*socket, *peer, exchange.request);
    return std::make_unique<UdpExchange>(std::move(*socket), m_endpoints.unitPort);
}

std::optional<StatusSocket> UdpTransport::OpenStatusSocket(const std::optional<DeviceEntry>& unit) {
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
