#pragma once

#include "link/platform/udp_socket.h"

#include <span>
#include <string>
#include <vector>

namespace brenvik {

// One IPv4 address of a network interface, as the system lists it.
struct InterfaceAddress {
    std::string name; // "eth1", or an alias label such as "eth1:0"
    unsigned index = 0;
    Ipv4Address address;
    bool up = false;
    bool loopback = false;
    bool broadcast = false;
};

// An interface a search broadcasts out of, with the address its datagram leaves from.
struct BroadcastInterface {
    unsigned index = 0;
    Ipv4Address address;
    bool operator==(const BroadcastInterface&) const = default;
};

// Every IPv4 address of every interface of this host (empty when the system will not tell).
std::vector<InterfaceAddress> ListInterfaceAddresses();

// The interfaces that are up, not loopback and allow broadcast, each once (with its first address),
// in the order listed.
std::vector<BroadcastInterface> ChooseBroadcastInterfaces(std::span<const InterfaceAddress> addresses);

} // namespace brenvik
