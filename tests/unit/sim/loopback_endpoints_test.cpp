#include "sim/loopback_endpoints.h"

#include "link/platform/udp_socket.h"

#include <gtest/gtest.h>

namespace brenvik::sim {
namespace {

TEST(LoopbackEndpoints, ThreeRisingPortsOnTheLoopbackBroadcast) {
    const auto endpoints = LoopbackEndpoints(40000);
    ASSERT_TRUE(endpoints.has_value());
    EXPECT_EQ(endpoints->broadcastAddress, "127.255.255.255");
    EXPECT_GE(endpoints->localPort, 40000);
    EXPECT_LT(endpoints->localPort, endpoints->unitPort);
    EXPECT_LT(endpoints->unitPort, endpoints->statusPort);
}

TEST(LoopbackEndpoints, SkipsAPortSomeoneHolds) {
    const auto held = FreeUdpPort(41000);
    ASSERT_TRUE(held.has_value());
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder.has_value());
    ASSERT_TRUE(holder->Bind(Ipv4Address{{127, 0, 0, 1}, *held}));

    const auto endpoints = LoopbackEndpoints(*held);
    ASSERT_TRUE(endpoints.has_value());
    EXPECT_GT(endpoints->localPort, *held);
}

// Only two ports lie above 65533: the search ends at the top of the range, where it used to wrap
// round to port 0, which a bind turns into whatever port the system picks.
TEST(LoopbackEndpoints, NothingWhenTheRangeRunsOutOfPorts) {
    EXPECT_FALSE(LoopbackEndpoints(65534).has_value());
    EXPECT_FALSE(LoopbackEndpoints(65535).has_value());
}

TEST(FreeUdpPort, NeverPortZero) {
    EXPECT_NE(FreeUdpPort(0, 2), std::optional<std::uint16_t>(0));
}

} // namespace
} // namespace brenvik::sim
