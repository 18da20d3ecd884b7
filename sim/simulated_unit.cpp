#include "sim/simulated_unit.h"

#include "sim/discovery_reply.h"

namespace brenvik::sim {

SimulatedUnit::SimulatedUnit(UnitConfig config, std::unique_ptr<UnitBehaviour> behaviour,
                             const Endpoints& endpoints)
    : m_config(std::move(config)), m_behaviour(std::move(behaviour)), m_endpoints(endpoints) {}

Ipv4Address SimulatedUnit::Address() const {
    return Ipv4Address{m_config.address, m_endpoints.unitPort};
}

bool SimulatedUnit::SendTo(const Ipv4Address& to, std::span<const std::uint8_t> bytes) {
    return m_socket && m_socket->SendTo(to, bytes);
}

bool SimulatedUnit::SendReport(std::span<const std::uint8_t> bytes) {
    auto console = LastConsole();
    if (!console) {
        return false;
    }
    console->port = m_endpoints.statusPort;
    return SendTo(*console, bytes);
}

std::optional<Ipv4Address> SimulatedUnit::LastConsole() const {
    std::lock_guard lock(m_receivedMutex);
    return m_lastConsole;
}

std::vector<Frame> SimulatedUnit::Received() const {
    std::lock_guard lock(m_receivedMutex);
    return m_received;
}

std::vector<std::chrono::steady_clock::time_point> SimulatedUnit::ReceivedAt() const {
    std::lock_guard lock(m_receivedMutex);
    return m_receivedAt;
}

std::size_t SimulatedUnit::ReceivedCount() const {
    std::lock_guard lock(m_receivedMutex);
    return m_received.size();
}

bool SimulatedUnit::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_receivedMutex);
    return m_receivedChanged.wait_for(lock, timeout, [&] { return m_received.size() >= count; });
}

void SimulatedUnit::ClearReceived() {
    std::lock_guard lock(m_receivedMutex);
    m_received.clear();
    m_receivedAt.clear();
}

bool SimulatedUnit::Open() {
    auto socket = UdpSocket::Create();
    // Address reuse lets the unit's socket share the unit port with the simulator's wildcard
    // listener.
    if (!socket || !socket->EnableAddressReuse() || !socket->Bind(Address()) || !socket->SetNonBlocking()) {
        return false;
    }
    m_socket = std::move(socket);
    return true;
}

int SimulatedUnit::Handle() const {
    return m_socket ? m_socket->Handle() : -1;
}

void SimulatedUnit::Deliver(std::span<const std::uint8_t> bytes, const Ipv4Address& from) {
    const auto arrived = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(m_receivedMutex);
        m_received.emplace_back(bytes.begin(), bytes.end());
        m_receivedAt.push_back(arrived);
        m_lastConsole = from;
    }
    m_receivedChanged.notify_all();
    if (IsDiscoveryRequest(bytes)) {
        for (const Frame& answer : DiscoveryAnswers(m_config, bytes[frame_offset::kLinkByte])) {
            SendTo(from, answer);
        }
        return;
    }
    if (m_behaviour) {
        m_behaviour->OnDatagram(*this, bytes, from);
    }
}

} // namespace brenvik::sim
