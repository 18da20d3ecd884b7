#pragma once

#include <cstdint>
#include <string>

namespace brenvik {

// Where the console's datagrams go and where it listens. The product uses the units' fixed ports;
// tests and the demo pass their own so that they run on loopback beside each other.
struct Endpoints {
    std::string broadcastAddress = "255.255.255.255"; // discovery requests go here
    std::uint16_t localPort = 7000;                   // discovery and command sockets bind here
    std::uint16_t unitPort = 7000;                    // units take discovery and commands here
    std::uint16_t statusPort = 7001;                  // the status socket binds here; units report to it
};

} // namespace brenvik
