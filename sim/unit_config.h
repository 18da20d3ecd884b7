#pragma once

#include "sim/discovery_fault.h"
#include "link/device_table.h"

#include <array>
#include <cstdint>
#include <vector>

namespace brenvik::sim {

// One unit on the simulated network: who it is and how it answers a search.
struct UnitConfig {
    std::array<std::uint8_t, 4> address{127, 0, 0, 2}; // its own address; the unit port comes from Endpoints
    std::uint8_t typeCode = kTypeMultiviewer;
    std::uint8_t unitAddress = 1;
    std::vector<std::uint8_t> modelName; // sent byte for byte after offset 18 of the discovery reply
    std::array<std::uint8_t, 4> unitId{};
    DiscoveryFault fault = DiscoveryFault::None;
};

} // namespace brenvik::sim
