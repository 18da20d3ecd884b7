#pragma once

#include "link/frame.h"
#include "link/platform/udp_socket.h"
#include "sim/simulated_unit.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <thread>
#include <vector>

namespace brenvik::sim {

// What the console makes of a flood's signal reports.
enum class FloodContent : std::uint8_t {
    Applied, // windows 0..15 in turn: each report changes the record and redraws the preview
    Dropped, // window index 16: each report reaches the UI thread and stops at its range check
};

// What a flood sends: signal reports at a steady rate and, every so often, a "default loaded"
// report (0x0B), after which a console reads the unit's whole state again.
struct FloodPlan {
    int reportsPerSecond = 20000;
    std::chrono::milliseconds duration{30000};
    std::chrono::milliseconds settingsReplacedEvery{0}; // 0: never
    FloodContent content = FloodContent::Applied;
};

// A unit flooding the console's status port from a thread of its own, so that the simulator
// thread stays free to take the console's commands the moment they arrive:
//
//     ReportFlood flood(simulator.Unit(0), {20000, 30s, 1000ms});
//     if (!flood.Start()) { ... }   // the unit must have heard from a console already
//     ...                           // ends by itself after the plan's duration
//     flood.Stop();                 // or earlier; the destructor stops too
//
// The thread sends a burst every millisecond, as many reports as the steady clock says are due,
// so the rate holds even when a burst comes late. The reports go from the unit's own address (a
// port of the flood's own, so commands still reach the unit's socket) to the status port of the
// console that spoke to the unit last, read once at Start.
class ReportFlood {
public:
    ReportFlood(const SimulatedUnit& unit, FloodPlan plan);
    ~ReportFlood();
    ReportFlood(const ReportFlood&) = delete;
    ReportFlood& operator=(const ReportFlood&) = delete;

    // False when no console has spoken to the unit yet or the socket cannot be bound.
    bool Start();
    // Stops and joins the thread within a millisecond.
    void Stop();
    // True once the plan's duration has passed or Stop was called.
    bool Finished() const { return m_finished.load(); }

    std::size_t ReportsSent() const { return m_reportsSent.load(); }
    std::size_t SettingsReplacedSent() const { return m_replacedSent.load(); }

private:
    void Run(std::stop_token stop, Ipv4Address console);

    const SimulatedUnit& m_unit;
    const FloodPlan m_plan;
    std::vector<Frame> m_reports; // sent in turn
    Frame m_settingsReplaced;
    std::optional<UdpSocket> m_socket;
    std::atomic<bool> m_finished{false};
    std::atomic<std::size_t> m_reportsSent{0};
    std::atomic<std::size_t> m_replacedSent{0};
    std::jthread m_thread; // last: joined before everything above goes
};

} // namespace brenvik::sim
