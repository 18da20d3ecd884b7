#include "fake_serial_port.h"
#include "link/console_link.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <fstream>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kArrival{2000};

const Frame kQuery = BuildFrame(kTypeMultiviewer, 0x01, 1, 0x0A);
const Frame kLayout = BuildFrame(kTypeMultiviewer, 0x01, 1, 0x33, std::array<std::uint8_t, 1>{0x28});

// A console link on loopback ports of its own, and a socket standing in for the unit at
// 127.0.0.2 on the unit port.
class LanLink : public ::testing::Test {
protected:
    LanLink() : m_endpoints(test::LoopbackEndpoints()), m_link(m_endpoints, m_messages) {
        m_unit.SetIp("127.0.0.2");
        m_unit.typeCode = kTypeMultiviewer;
        m_unitSocket.emplace(*UdpSocket::Create());
        EXPECT_TRUE(m_unitSocket->Bind(Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
    }

    // The next datagram the unit got, and where it came from.
    std::optional<std::pair<Frame, Ipv4Address>> NextAtUnit() {
        if (!m_unitSocket->WaitReadable(kArrival)) {
            return std::nullopt;
        }
        Frame buffer(1500);
        Ipv4Address from;
        const auto size = m_unitSocket->ReceiveFrom(buffer, &from);
        if (!size) {
            return std::nullopt;
        }
        buffer.resize(*size);
        return std::pair{buffer, from};
    }
    bool UnitHasMore() { return m_unitSocket->WaitReadable(0ms); }

    Endpoints m_endpoints;
    test::RecordingMessages m_messages;
    ConsoleLink m_link;
    DeviceEntry m_unit;
    std::optional<UdpSocket> m_unitSocket;
};

TEST_F(LanLink, TwoCommandsInARowEachBindTheLocalPortAgain) {
    EXPECT_TRUE(m_link.SendFrame(m_unit, kQuery));
    EXPECT_TRUE(m_link.SendFrame(m_unit, kLayout));
    const auto first = NextAtUnit();
    const auto second = NextAtUnit();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->first, kQuery);
    EXPECT_EQ(second->first, kLayout);
    EXPECT_EQ(first->second, (Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}));
    EXPECT_EQ(second->second.port, m_endpoints.localPort);
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(LanLink, NoUnitSelectedAsksForOneAndSendsNothing) {
    EXPECT_FALSE(m_link.SendFrame(std::nullopt, kQuery));
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});
    // The command slot is free again: the next command goes out, and it is the first to arrive.
    EXPECT_TRUE(m_link.SendFrame(m_unit, kLayout));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kLayout);
    EXPECT_FALSE(UnitHasMore());
}

TEST_F(LanLink, HeldLocalPortDropsCommandsSilently) {
    {
        auto holder = UdpSocket::Create();
        ASSERT_TRUE(holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.localPort}));
        EXPECT_FALSE(m_link.SendFrame(m_unit, kQuery));
        EXPECT_FALSE(m_link.Udp().OpenBroadcastSocket());
        EXPECT_FALSE(m_link.Udp().OpenCommandSocket(m_unit));
    }
    EXPECT_TRUE(m_messages.Errors().empty());
    EXPECT_TRUE(m_link.SendFrame(m_unit, kLayout));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kLayout);
}

TEST_F(LanLink, CommandsAfterTheStatusSocketOpenedStillGoToTheUnitPort) {
    auto status = m_link.Udp().OpenStatusSocket(m_unit);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->LocalPort(), m_endpoints.statusPort);
    EXPECT_TRUE(m_link.SendFrame(m_unit, kQuery));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kQuery);
}

TEST_F(LanLink, StatusSocketNeedsAUnitAndAFreePort) {
    EXPECT_FALSE(m_link.Udp().OpenStatusSocket(std::nullopt));
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});
    auto first = m_link.Udp().OpenStatusSocket(m_unit);
    ASSERT_TRUE(first);
    EXPECT_FALSE(m_link.Udp().OpenStatusSocket(m_unit));
}

TEST_F(LanLink, UnitWithoutAnAddressIsNotSentTo) {
    DeviceEntry serialUnit = m_unit;
    serialUnit.SetIp("");
    EXPECT_FALSE(m_link.SendFrame(serialUnit, kQuery));
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(LanLink, CommandSocketReceiveTakesTheSenderAsPeer) {
    auto socket = m_link.Udp().OpenCommandSocket(m_unit);
    ASSERT_TRUE(socket);
    EXPECT_EQ(socket->Peer(), (Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
    ASSERT_TRUE(socket->Send(kQuery));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    ASSERT_TRUE(m_unitSocket->SendTo(arrived->second, kLayout));
    ASSERT_TRUE(socket->WaitReadable(kArrival));
    std::array<std::uint8_t, 128> buffer{};
    const auto size = socket->Receive(buffer);
    ASSERT_EQ(size, kLayout.size());
    EXPECT_EQ(socket->Peer(), (Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
}

// A whole rack answers a search at once, before the console reads any reply: the broadcast
// socket's queue holds them all instead of the kernel's default of about 256 small datagrams.
TEST_F(LanLink, BroadcastSocketQueuesAFullRacksBurstOfAnswers) {
    std::ifstream limit("/proc/sys/net/core/rmem_max");
    int rmemMax = 0;
    if (!(limit >> rmemMax) || rmemMax < (1 << 20)) {
        GTEST_SKIP() << "net.core.rmem_max caps receive queues below 1 MiB here";
    }
    constexpr int kAnswers = 400;
    auto socket = m_link.Udp().OpenBroadcastSocket();
    ASSERT_TRUE(socket);
    auto rack = UdpSocket::Create();
    ASSERT_TRUE(rack);
    const std::vector<std::uint8_t> answer(44, 0x2D);
    for (int i = 0; i < kAnswers; ++i) {
        ASSERT_TRUE(rack->SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}, answer));
    }
    int queued = 0;
    std::array<std::uint8_t, 128> buffer{};
    while (socket->Receive(buffer)) {
        ++queued;
    }
    EXPECT_EQ(queued, kAnswers);
}

class SerialLink : public ::testing::Test {
protected:
    SerialLink() : m_link(test::LoopbackEndpoints(), m_messages) {
        m_link.SetMode(LinkMode::Serial);
        m_link.AttachSerialPort(&m_port);
    }
    test::RecordingMessages m_messages;
    ConsoleLink m_link;
    test::FakeSerialPort m_port;
};

TEST_F(SerialLink, ClosedPortSendsNothingAndSaysNothing) {
    m_port.SetOpen(false);
    EXPECT_FALSE(m_link.SendFrame(std::nullopt, kQuery));
    m_link.AttachSerialPort(nullptr);
    EXPECT_FALSE(m_link.SendFrame(std::nullopt, kQuery));
    EXPECT_FALSE(m_link.SerialPortOpen());
    EXPECT_TRUE(m_port.Written().empty());
    EXPECT_TRUE(m_port.Log().empty());
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(SerialLink, UnaskedBytesAreDrainedBeforeTheFrameIsWritten) {
    m_port.Arrive(std::vector<std::uint8_t>(300, 0x5A));
    EXPECT_TRUE(m_link.SendFrame(std::nullopt, kQuery));
    EXPECT_EQ(m_port.Waiting(), 0u);
    EXPECT_EQ(m_port.Written(), kQuery);
    ASSERT_FALSE(m_port.Log().empty());
    EXPECT_EQ(m_port.Log().back(), "write 20");
    EXPECT_EQ(m_port.Log().front().rfind("read", 0), 0u);
}

TEST_F(SerialLink, SessionIsRefusedWhileThePortIsClosed) {
    EXPECT_TRUE(m_link.OpenSerialSession());
    m_port.SetOpen(false);
    EXPECT_FALSE(m_link.OpenSerialSession());
}

} // namespace
} // namespace brenvik
