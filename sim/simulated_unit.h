#pragma once

#include "link/endpoints.h"
#include "link/frame.h"
#include "link/platform/udp_socket.h"
#include "sim/unit_behaviour.h"
#include "sim/unit_config.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace brenvik::sim {

class UnitSimulator;

// One unit of the simulator: its identity, its own socket (bound to its address and the unit
// port, so the console sees that address as the sender), its behaviour and a record of every
// datagram it received.
class SimulatedUnit {
public:
    SimulatedUnit(UnitConfig config, std::unique_ptr<UnitBehaviour> behaviour, const Endpoints& endpoints);

    const UnitConfig& Config() const { return m_config; }
    // The unit's own address at the unit port.
    Ipv4Address Address() const;
    const Endpoints& GetEndpoints() const { return m_endpoints; }
    UnitBehaviour* Behaviour() const { return m_behaviour.get(); }

    // One datagram from the unit's own socket. Call on the simulator thread (from OnDatagram or
    // through UnitSimulator::Invoke).
    bool SendTo(const Ipv4Address& to, std::span<const std::uint8_t> bytes);
    // One datagram to the status port of the console that spoke to the unit last; false while no
    // console has spoken to it yet.
    bool SendReport(std::span<const std::uint8_t> bytes);
    // The sender of the last datagram the unit received, at the port it sent from.
    std::optional<Ipv4Address> LastConsole() const;

    // Every datagram the unit received, discovery requests included, in arrival order. Safe from
    // any thread.
    std::vector<Frame> Received() const;
    // When each datagram of Received() arrived, in the same order: the moment the simulator
    // thread took it from the socket.
    std::vector<std::chrono::steady_clock::time_point> ReceivedAt() const;
    std::size_t ReceivedCount() const;
    // Waits until at least `count` datagrams have arrived; false when `timeout` passed first.
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const;
    void ClearReceived();

private:
    friend class UnitSimulator;
    bool Open();
    int Handle() const;
    // Records the datagram, answers a discovery request or hands the datagram to the behaviour.
    void Deliver(std::span<const std::uint8_t> bytes, const Ipv4Address& from);

    UnitConfig m_config;
    std::unique_ptr<UnitBehaviour> m_behaviour;
    Endpoints m_endpoints;
    std::optional<UdpSocket> m_socket;

    mutable std::mutex m_receivedMutex; // guards m_received, m_receivedAt and m_lastConsole
    mutable std::condition_variable m_receivedChanged;
    std::vector<Frame> m_received;
    std::vector<std::chrono::steady_clock::time_point> m_receivedAt;
    std::optional<Ipv4Address> m_lastConsole;
};

} // namespace brenvik::sim
