#pragma once

#include "link/endpoints.h"
#include "link/platform/udp_socket.h"
#include "sim/simulated_unit.h"
#include "sim/unit_behaviour.h"
#include "sim/unit_config.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brenvik::sim {

// A rack of simulated units on UDP, run by one thread of its own.
//
//     UnitSimulator simulator(endpoints);                    // unit port, console status port
//     simulator.AddUnit(config);                             // answers discovery only
//     simulator.AddUnit(other, std::make_unique<MyModel>()); // plus a behaviour, see UnitBehaviour
//     if (!simulator.Start()) { ... simulator.StartError() ... }
//     ...                                                    // the console talks to the units
//     simulator.Unit(0).Received();                          // what unit 0 got
//
// Every unit binds its own address at the unit port with address reuse. A broadcast to
// 127.255.255.255 (or 255.255.255.255) reaches only wildcard-bound sockets, so one listener on the
// wildcard address at the unit port hears broadcasts and hands each one to every unit (so does a
// datagram to an address that no unit holds); each unit answers from its own socket, so the
// console sees the unit's own address as the sender. Units are added before Start; the destructor
// stops and joins the thread.
class UnitSimulator {
public:
    explicit UnitSimulator(Endpoints endpoints, bool listenForBroadcasts = true);
    ~UnitSimulator();
    UnitSimulator(const UnitSimulator&) = delete;
    UnitSimulator& operator=(const UnitSimulator&) = delete;

    // Not while the simulator runs (std::logic_error); a unit added after Stop binds on the next Start.
    SimulatedUnit& AddUnit(UnitConfig config, std::unique_ptr<UnitBehaviour> behaviour = nullptr);

    // Binds every socket and starts the thread. False (with StartError) when a socket cannot be
    // bound, e.g. a unit address this machine does not have.
    bool Start();
    const std::string& StartError() const { return m_startError; }
    // Stops and joins the thread; the sockets stay bound until destruction.
    void Stop();
    bool Running() const { return m_running.load(); }

    std::size_t UnitCount() const { return m_units.size(); }
    SimulatedUnit& Unit(std::size_t index) { return *m_units.at(index); }
    const Endpoints& GetEndpoints() const { return m_endpoints; }

    // Runs `task` on the simulator thread and returns when it has run; inline when the simulator
    // does not run or when called from its own thread. The safe way to read or change a
    // behaviour's state, or to make a unit send something unasked, while the simulator runs.
    void Invoke(const std::function<void()>& task);

private:
    void Run();
    void RunPendingTasks();
    void ReceiveOn(UdpSocket& socket, SimulatedUnit* unit);

    Endpoints m_endpoints;
    bool m_listenForBroadcasts;
    std::vector<std::unique_ptr<SimulatedUnit>> m_units;
    std::optional<UdpSocket> m_listener;
    std::string m_startError;

    std::atomic<bool> m_running{false};
    std::thread m_thread;
    std::atomic<std::thread::id> m_threadId{};
    int m_wakeRead = -1; // a pipe that interrupts the thread's poll for Stop and Invoke
    int m_wakeWrite = -1;

    std::mutex m_tasksMutex; // guards m_tasks, m_acceptingTasks and the done flags of queued tasks
    std::condition_variable m_taskDone;
    bool m_acceptingTasks = false;
    struct PendingTask {
        const std::function<void()>* task;
        bool* done;
    };
    std::vector<PendingTask> m_tasks;
};

// Units for a flood test: `count` units with distinct addresses 127.0.1.1, 127.0.1.2, ...
// (250 per third octet: 127.0.1.x, 127.0.2.x, ...), model name "16CH Monitorgrid", identifier the
// unit's number.
std::vector<UnitConfig> FloodUnits(std::size_t count);

} // namespace brenvik::sim
