#pragma once

#include "link/frame.h"
#include "sim/unit_config.h"

#include <cstdint>
#include <span>

namespace brenvik::sim {

// A frame as a unit sends it: the unit's own type code and unit address at 4 and 5, its
// identifier at offsets 10..13, the opcode at 16, offset 17 zero and the data from offset 18.
Frame BuildUnitFrame(const UnitConfig& unit, std::uint8_t linkByte, std::uint8_t opcode,
                     std::span<const std::uint8_t> data);

// Writes the checksum again after bytes of a finished frame were changed.
void StampChecksum(Frame& frame);

} // namespace brenvik::sim
