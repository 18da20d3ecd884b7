#include "link/platform/network_interfaces.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace brenvik {

std::vector<InterfaceAddress> ListInterfaceAddresses() {
    std::vector<InterfaceAddress> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            entry->ifa_name == nullptr) {
            continue;
        }
        InterfaceAddress address;
        address.name = entry->ifa_name;
        // An alias label ("eth1:0") names an address of its interface, not an interface of its own.
        address.index = if_nametoindex(address.name.substr(0, address.name.find(':')).c_str());
        sockaddr_in native{};
        std::memcpy(&native, entry->ifa_addr, sizeof(native));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&native.sin_addr.s_addr);
        std::copy(bytes, bytes + address.address.octets.size(), address.address.octets.begin());
        address.up = (entry->ifa_flags & IFF_UP) != 0;
        address.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        address.broadcast = (entry->ifa_flags & IFF_BROADCAST) != 0;
        addresses.push_back(std::move(address));
    }
    freeifaddrs(list);
    return addresses;
}

std::vector<BroadcastInterface> ChooseBroadcastInterfaces(std::span<const InterfaceAddress> addresses) {
    std::vector<BroadcastInterface> chosen;
    for (const InterfaceAddress& address : addresses) {
        if (!address.up || address.loopback || !address.broadcast || address.index == 0) {
            continue;
        }
        const bool listed = std::any_of(chosen.begin(), chosen.end(), [&](const BroadcastInterface& known) {
            return known.index == address.index;
        });
        if (!listed) {
            chosen.push_back({address.index, address.address});
        }
    }
    return chosen;
}

} // namespace brenvik
