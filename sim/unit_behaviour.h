#pragma once

#include "link/platform/udp_socket.h"

#include <cstdint>
#include <span>

namespace brenvik::sim {

class SimulatedUnit;

// What a simulated unit does with the datagrams it receives, apart from answering discovery,
// which every unit does by itself from its UnitConfig.
//
// A unit model (the multiviewer's, the matrix switcher's) derives from this class and is handed
// to UnitSimulator::AddUnit together with the unit's UnitConfig:
//
//     class MultiviewerModel : public UnitBehaviour {
//         void OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
//                         const Ipv4Address& from) override {
//             ...                                  // decode the command, change the model
//             unit.SendTo(from, reply);            // e.g. the 809-byte answer to query 0x0A
//             unit.SendReport(report);             // a report to the console's status port
//         }
//     };
//     simulator.AddUnit(config, std::make_unique<MultiviewerModel>());
//
// OnDatagram runs on the simulator's own thread, once per datagram that reached the unit: sent to
// its own address, or a broadcast heard by the simulator's listener. Discovery requests (opcode
// 0xFF) are answered by the framework and do not reach the behaviour. State that a test reads or
// changes while the simulator runs is touched through UnitSimulator::Invoke, which runs a task on
// that same thread, so a behaviour needs no lock of its own.
class UnitBehaviour {
public:
    virtual ~UnitBehaviour() = default;
    virtual void OnDatagram(SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                            const Ipv4Address& from) = 0;
};

} // namespace brenvik::sim
