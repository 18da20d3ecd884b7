#include "link/console_link.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <thread>

namespace brenvik {
namespace {

// The command socket slot is taken by one operation at a time: commands from two threads all
// bind the one local port in turn, and none is lost to a port that the other thread holds.
TEST(CommandSlot, CommandsFromTwoThreadsTakeTheLocalPortInTurn) {
    constexpr int kPerThread = 6;
    test::RecordingMessages messages;
    const Endpoints endpoints = test::LoopbackEndpoints();
    ConsoleLink link(endpoints, messages);
    auto unitSocket = UdpSocket::Create();
    ASSERT_TRUE(unitSocket && unitSocket->Bind(Ipv4Address{{127, 0, 0, 3}, endpoints.unitPort}));
    DeviceEntry unit;
    unit.SetIp("127.0.0.3");

    std::atomic<int> sent{0};
    auto sender = [&](std::uint8_t opcode) {
        const Frame frame = BuildFrame(kTypeMultiviewer, 1, 1, opcode);
        for (int i = 0; i < kPerThread; ++i) {
            if (link.SendFrame(unit, frame)) {
                ++sent;
            }
        }
    };
    std::thread a(sender, 0x0A);
    std::thread b(sender, 0x0B);
    a.join();
    b.join();
    EXPECT_EQ(sent.load(), 2 * kPerThread);

    int arrived = 0;
    std::array<std::uint8_t, 64> buffer{};
    while (arrived < 2 * kPerThread && unitSocket->WaitReadable(std::chrono::milliseconds(2000))) {
        while (unitSocket->ReceiveFrom(buffer, nullptr)) {
            ++arrived;
        }
    }
    EXPECT_EQ(arrived, 2 * kPerThread);
}

} // namespace
} // namespace brenvik
