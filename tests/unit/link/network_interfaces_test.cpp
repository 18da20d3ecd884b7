#include "link/platform/network_interfaces.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brenvik {
namespace {

InterfaceAddress Address(std::string name, unsigned index, std::uint8_t last, bool up, bool loopback,
                         bool broadcast) {
    return {std::move(name), index,    Ipv4Address{{10, 0, static_cast<std::uint8_t>(index), last}, 0}, up,
            loopback,        broadcast};
}

// The search goes out of every interface that can carry a broadcast to units, once each.
TEST(BroadcastInterfaces, UpNonLoopbackBroadcastInterfacesEachOnceWithTheirFirstAddress) {
    const std::vector<InterfaceAddress> listed{
        Address("lo", 1, 1, true, true, false),     // loopback
        Address("eth0", 2, 5, true, false, true),   // chosen
        Address("eth0:1", 2, 6, true, false, true), // an alias of eth0: already chosen
        Address("eth1", 3, 7, false, false, true),  // down
        Address("tun0", 4, 8, true, false, false),  // point-to-point, no broadcast
        Address("gone", 0, 9, true, false, true),   // no index: vanished while listed
        Address("eth2", 5, 10, true, false, true),  // chosen
    };
    const std::vector<BroadcastInterface> expected{{2, Ipv4Address{{10, 0, 2, 5}, 0}},
                                                   {5, Ipv4Address{{10, 0, 5, 10}, 0}}};
    EXPECT_EQ(ChooseBroadcastInterfaces(listed), expected);
}

TEST(BroadcastInterfaces, TheHostListsItsLoopbackInterface) {
    const auto listed = ListInterfaceAddresses();
    ASSERT_FALSE(listed.empty());
    const bool hasLoopback = std::any_of(listed.begin(), listed.end(), [](const InterfaceAddress& address) {
        return address.loopback && address.index != 0 && address.address.octets[0] == 127;
    });
    EXPECT_TRUE(hasLoopback);
}

} // namespace
} // namespace brenvik
