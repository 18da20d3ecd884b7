#pragma once

#include "link/endpoints.h"

#include <cstdint>

namespace brenvik::test {

// Endpoints for one test on loopback: three free UDP ports of its own (console local port, unit
// port, status port) and the loopback broadcast address, so tests run side by side and never
// send a datagram off this machine.
Endpoints LoopbackEndpoints();

// A UDP port that nothing on this machine holds right now.
std::uint16_t FreeUdpPort();

} // namespace brenvik::test
