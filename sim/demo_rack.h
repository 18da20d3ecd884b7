#pragma once

#include "sim/unit_simulator.h"

#include <cstdint>

namespace brenvik::sim {

// The rack the demo and the review images show: a multiviewer ("16CH Monitorgrid") with named
// inputs, labels, meters and signals, a matrix switcher ("PQT0642") and a unit of type 0x90,
// which has no page. Adds the three units to a simulator that has not started yet.
void AddDemoRack(UnitSimulator& simulator, std::uint8_t multiviewerSwitcherMode = 0);

} // namespace brenvik::sim
