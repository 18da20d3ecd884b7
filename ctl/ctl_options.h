#pragma once

#include "link/discovery.h"
#include "link/endpoints.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenvik::ctl {

// The options every command shares, wherever they stand on the command line, and the words that
// are left for the command itself (its name, its arguments and its own options, in order).
struct CtlOptions {
    std::optional<std::string> unit;                   // --unit ADDRESS: the unit's IPv4 address
    std::optional<std::string> serialPort;             // --serial PORT: talk over this serial line instead
    unsigned baud = 115200;                            // --baud N
    Endpoints endpoints;                               // --port, --local-port, --status-port, --broadcast
    std::uint8_t unitAddress = 1;                      // --unit-address N: offset 5 of every frame
    std::optional<std::array<std::uint8_t, 4>> unitId; // --id HEX: the identifier reports carry
    std::chrono::milliseconds discoveryWindow = kLanDiscoveryWindow; // --wait MS
    bool json = false;
    bool help = false;
    bool man = false;
    std::vector<std::string> words;
};

// Throws UsageError for an option without its value, or a value it cannot take.
CtlOptions ParseCtlOptions(const std::vector<std::string>& args);

} // namespace brenvik::ctl
