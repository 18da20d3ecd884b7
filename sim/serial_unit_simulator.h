#pragma once

#include "link/platform/udp_socket.h"
#include "link/platform/wakeup_event.h"
#include "sim/unit_config.h"
#include "sim/unit_simulator.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brenvik::sim {

// One simulated unit on a serial line: a pseudo-terminal whose other end the console opens as its
// serial port (PortPath()), and the unit itself, the same model as on the LAN, behind it.
//
//     SerialUnitSimulator unit(config);        // config.address: the loopback address it uses inside
//     if (!unit.Start()) { ... unit.StartError() ... }
//     console.Open(unit.PortPath(), 115200);   // then search, query, command over the serial line
//
// Inside, a relay thread reads the frames the console writes on the line and hands each to the unit
// as a datagram on loopback; whatever the unit answers goes back onto the line, paced at
// `pacingBaud` (10 bits a byte) as a real line would carry it, or at once with 0. The unit listens
// on ports of its own and hears no broadcast, so a LAN search does not find it.
class SerialUnitSimulator {
public:
    explicit SerialUnitSimulator(UnitConfig config, unsigned pacingBaud = 0);
    ~SerialUnitSimulator();
    SerialUnitSimulator(const SerialUnitSimulator&) = delete;
    SerialUnitSimulator& operator=(const SerialUnitSimulator&) = delete;

    bool Start();
    const std::string& StartError() const { return m_startError; }
    void Stop();

    // The path the console opens, e.g. /dev/pts/3.
    const std::string& PortPath() const { return m_portPath; }
    SimulatedUnit& Unit() { return m_simulator->Unit(0); }
    UnitSimulator& Simulator() { return *m_simulator; }

private:
    bool OpenLine();
    void Relay();
    void ForwardFrames();
    void WriteLine(std::span<const std::uint8_t> bytes);

    UnitConfig m_config;
    unsigned m_pacingBaud;
    std::unique_ptr<UnitSimulator> m_simulator;
    std::optional<UdpSocket> m_socket; // the relay's end on loopback
    Ipv4Address m_unitAddress;
    int m_master = -1;
    int m_slave = -1; // held open so that the line stays up between the console's opens
    std::string m_portPath;
    std::string m_startError;
    std::vector<std::uint8_t> m_fromConsole; // relay thread: bytes not yet part of a whole frame
    WakeupEvent m_stop;
    std::thread m_thread;
};

} // namespace brenvik::sim
