#pragma once

#include "link/device_table.h"

#include <array>
#include <cstdint>
#include <vector>

namespace brenvik::sim {

// How a simulated unit misbehaves when it answers a discovery request, so that tests can show the
// console's reply checks at work.
enum class DiscoveryFault : std::uint8_t {
    None,
    WrongHeader,       // the second sync byte is 0x6D instead of 0x6C
    UnknownTypeCode,   // byte 4 of the reply is 0x55, a type code no unit has
    TooShort,          // a 21-byte reply: sync, terminator and type code right, no room for a name
    AnswerTwice,       // the same reply twice in a row
    Silent,            // no reply at all
    IdentifierPastEnd, // "-", byte, "-" and then straight the checksum: the identifier runs past the end
};

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
