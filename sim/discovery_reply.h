#pragma once

#include "link/frame.h"
#include "sim/unit_config.h"

#include <span>
#include <vector>

namespace brenvik::sim {

// The answer of a unit to a discovery request:
//   A5 6C len | type | address | link | 00.. with the identifier at 10..13 | FF at 16 | 00 |
//   model name from 18 | "-" | one byte | "-" | identifier, 4 bytes | checksum | AE
Frame BuildDiscoveryReply(const UnitConfig& config, std::uint8_t linkByte);

// The datagrams the unit sends in answer to one request, after its fault: none, one or two.
std::vector<Frame> DiscoveryAnswers(const UnitConfig& config, std::uint8_t linkByte);

// Whether the bytes are a discovery request that a unit answers.
bool IsDiscoveryRequest(std::span<const std::uint8_t> bytes);

} // namespace brenvik::sim
