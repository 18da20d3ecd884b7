#pragma once

#include "link/endpoints.h"

#include <cstdint>
#include <optional>

namespace brenvik::sim {

// The first UDP port from `from` upward (at most `span` ports) that nothing on this machine
// holds right now; checked by binding it once on the wildcard address. Port 0 is never one: a
// bind to it takes whatever port the system picks.
std::optional<std::uint16_t> FreeUdpPort(std::uint16_t from, int span = 1000);

// Endpoints for a console and simulated units that all live on this machine: the loopback
// broadcast address and three free ports (console, units, status) from `firstPort` upward.
// Nothing ever leaves the machine. Nothing when three free ports are not to be found there.
std::optional<Endpoints> LoopbackEndpoints(std::uint16_t firstPort);

} // namespace brenvik::sim
