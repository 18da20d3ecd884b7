#include "link/console_link.h"
#include "unit/link/fake_serial_port.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <future>
#include <thread>

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
    EXPECT_TRUE(m_link.Send(m_unit, kQuery));
    EXPECT_TRUE(m_link.Send(m_unit, kLayout));
    const auto first = NextAtUnit();
    const auto second = NextAtUnit();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->first, kQuery);
    EXPECT_EQ(second->first, kLayout);
    EXPECT_EQ(first->second, (Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}));
    EXPECT_EQ(second->second.port, m_endpoints.localPort);
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(LanLink, ManySendsArriveInTheOrderTheyWereQueued) {
    constexpr int kSends = 20;
    for (int i = 0; i < kSends; ++i) {
        ASSERT_TRUE(m_link.Send(m_unit, BuildFrame(kTypeMultiviewer, 0x01, 1, 0x33,
                                                   std::array<std::uint8_t, 1>{static_cast<std::uint8_t>(i)})));
    }
    for (int i = 0; i < kSends; ++i) {
        const auto arrived = NextAtUnit();
        ASSERT_TRUE(arrived) << "frame " << i;
        EXPECT_EQ(arrived->first[frame_offset::kPayload], i);
    }
}

TEST_F(LanLink, NoUnitSelectedAsksForOneAndSendsNothing) {
    EXPECT_FALSE(m_link.Send(std::nullopt, kQuery));
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});
    // The next command goes out, and it is the first to arrive.
    EXPECT_TRUE(m_link.Send(m_unit, kLayout));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kLayout);
    EXPECT_FALSE(UnitHasMore());
}

TEST_F(LanLink, HeldLocalPortDropsCommandsSilentlyAndRefusesExchanges) {
    {
        auto holder = UdpSocket::Create();
        ASSERT_TRUE(holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.localPort}));
        EXPECT_TRUE(m_link.Send(m_unit, kQuery));
        const auto outcome = test::Await<ExchangeOutcome>([&](auto done) {
            m_link.StartExchange(m_unit, Exchange{kQuery, false, {}, 100ms, {}, 100ms, done}, {});
        });
        EXPECT_EQ(outcome, ExchangeOutcome::SocketUnavailable);
        ASSERT_TRUE(m_link.WaitUntilIdle(kArrival));
    }
    EXPECT_TRUE(m_messages.Errors().empty());
    EXPECT_TRUE(m_link.Send(m_unit, kLayout));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kLayout);
}

TEST_F(LanLink, CommandsAfterTheStatusSocketOpenedStillGoToTheUnitPort) {
    auto status = m_link.OpenStatusSocket(m_unit);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->LocalPort(), m_endpoints.statusPort);
    EXPECT_TRUE(m_link.Send(m_unit, kQuery));
    const auto arrived = NextAtUnit();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->first, kQuery);
}

TEST_F(LanLink, StatusSocketNeedsAUnitAndAFreePort) {
    EXPECT_FALSE(m_link.OpenStatusSocket(std::nullopt));
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});
    auto first = m_link.OpenStatusSocket(m_unit);
    ASSERT_TRUE(first);
    EXPECT_FALSE(m_link.OpenStatusSocket(m_unit));
}

TEST_F(LanLink, UnitWithoutAnAddressIsNotSentTo) {
    DeviceEntry serialUnit = m_unit;
    serialUnit.SetIp("");
    EXPECT_FALSE(m_link.Send(serialUnit, kQuery));
    const auto outcome = test::Await<ExchangeOutcome>(
        [&](auto done) { m_link.StartExchange(serialUnit, Exchange{kQuery, false, {}, 100ms, {}, 100ms, done}, {}); });
    EXPECT_EQ(outcome, ExchangeOutcome::NotAddressed);
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(LanLink, ExchangeTakesTheUnitsReplyWithItsSender) {
    std::optional<Ipv4Address> sender;
    Exchange exchange{kQuery, false, [&](std::span<const std::uint8_t> datagram, const Ipv4Address& from) {
                          sender = from;
                          return Frame(datagram.begin(), datagram.end()) == kLayout;
                      },
                      kArrival, {}, kArrival, {}};
    std::promise<ExchangeOutcome> ended;
    exchange.done = [&](ExchangeOutcome outcome) { ended.set_value(outcome); };
    m_link.StartExchange(m_unit, std::move(exchange), {});
    const auto query = NextAtUnit();
    ASSERT_TRUE(query);
    EXPECT_EQ(query->first, kQuery);
    ASSERT_TRUE(m_unitSocket->SendTo(query->second, kLayout));
    auto outcome = ended.get_future();
    ASSERT_EQ(outcome.wait_for(kArrival), std::future_status::ready);
    EXPECT_EQ(outcome.get(), ExchangeOutcome::Completed);
    EXPECT_EQ(sender, (Ipv4Address{{127, 0, 0, 2}, m_endpoints.unitPort}));
}

// A unit that stays silent must not hold the operator's commands back: a command queued while an
// exchange waits for its reply leaves through the exchange's socket before the window ends.
TEST_F(LanLink, CommandsLeaveWhileAnExchangeWaitsForASilentUnit) {
    std::atomic<bool> exchangeEnded{false};
    std::promise<ExchangeOutcome> ended;
    std::stop_source cancel;
    m_link.StartExchange(m_unit,
                         Exchange{kQuery, false, [](auto, const auto&) { return false; }, 5000ms, {}, 5000ms,
                                  [&](ExchangeOutcome outcome) {
                                      exchangeEnded = true;
                                      ended.set_value(outcome);
                                  }},
                         cancel.get_token());
    const auto query = NextAtUnit();
    ASSERT_TRUE(query);
    EXPECT_EQ(query->first, kQuery);
    EXPECT_TRUE(m_link.Send(m_unit, kLayout));
    const auto command = NextAtUnit();
    ASSERT_TRUE(command);
    EXPECT_EQ(command->first, kLayout);
    EXPECT_EQ(command->second.port, m_endpoints.localPort);
    EXPECT_FALSE(exchangeEnded);
    cancel.request_stop();
    auto outcome = ended.get_future();
    ASSERT_EQ(outcome.wait_for(kArrival), std::future_status::ready);
    EXPECT_EQ(outcome.get(), ExchangeOutcome::Cancelled);
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
    std::promise<void> rackAnswered;
    auto answered = rackAnswered.get_future().share();
    int queued = 0;
    Exchange search{BuildDiscoveryRequest(1), true,
                    [&, answered](auto, const auto&) {
                        // The first reply holds the link thread until the whole rack has answered.
                        answered.wait();
                        ++queued;
                        return false;
                    },
                    1000ms, {}, 1000ms, {}};
    // The rack answers once the request is out, so the broadcast socket is bound by then. A
    // broadcast reaches only sockets bound to the wildcard address.
    m_unitSocket.reset();
    auto rack = UdpSocket::Create();
    ASSERT_TRUE(rack && rack->Bind(Ipv4Address{{}, m_endpoints.unitPort}));
    const auto outcome = test::Await<ExchangeOutcome>([&](auto done) {
        search.done = done;
        m_link.StartExchange(std::nullopt, std::move(search), {});
        ASSERT_TRUE(rack->WaitReadable(kArrival));
        const std::vector<std::uint8_t> answer(44, 0x2D);
        for (int i = 0; i < kAnswers; ++i) {
            ASSERT_TRUE(rack->SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}, answer));
        }
        rackAnswered.set_value();
    });
    EXPECT_EQ(outcome, ExchangeOutcome::WindowEnded);
    EXPECT_EQ(queued, kAnswers);
}

// The window is the window, flood or not: datagrams that keep arriving never hold an exchange open.
TEST_F(LanLink, AFloodOfDatagramsDoesNotHoldASearchPastItsWindow) {
    std::atomic<bool> flooding{true};
    const auto flood = [&] {
        auto socket = UdpSocket::Create();
        const std::vector<std::uint8_t> junk(40, 0x2D);
        // Bounded: the flood stops by itself if the test fails before it ends it.
        for (int sent = 0; flooding && sent < 2'000'000; ++sent) {
            socket->SendTo(Ipv4Address{{127, 0, 0, 1}, m_endpoints.localPort}, junk);
        }
    };
    // Three senders keep the socket from ever running dry on loopback.
    std::array<std::jthread, 3> senders{std::jthread(flood), std::jthread(flood), std::jthread(flood)};
    std::atomic<int> taken{0};
    const auto outcome = test::Await<ExchangeOutcome>(
        [&](auto done) {
            m_link.StartExchange(std::nullopt,
                                 Exchange{BuildDiscoveryRequest(1), true,
                                          [&](auto, const auto&) {
                                              // A collector slower than the flood, as on a loaded
                                              // machine: the queue never runs dry.
                                              const auto until = std::chrono::steady_clock::now() + 50us;
                                              while (std::chrono::steady_clock::now() < until) {
                                              }
                                              ++taken;
                                              return false;
                                          },
                                          200ms, {}, 200ms, done},
                                 {});
        },
        // Well short of what the flood lasts; before the mend the search ended only with the flood.
        1500ms);
    flooding = false;
    EXPECT_EQ(outcome, ExchangeOutcome::WindowEnded);
}

class SerialLink : public ::testing::Test {
protected:
    SerialLink() : m_link(test::LoopbackEndpoints(), m_messages) {
        m_link.SetMode(LinkMode::Serial);
        m_link.AttachSerialPort(&m_port);
    }
    test::RecordingMessages m_messages;
    test::FakeSerialPort m_port; // before the link, whose thread uses it until the link goes
    ConsoleLink m_link;
};

TEST_F(SerialLink, ClosedPortSendsNothingAndSaysNothing) {
    m_port.SetOpen(false);
    EXPECT_FALSE(m_link.Send(std::nullopt, kQuery));
    m_link.AttachSerialPort(nullptr);
    ASSERT_TRUE(m_link.WaitUntilIdle(kArrival));
    m_port.SetOpen(true);
    EXPECT_FALSE(m_link.Send(std::nullopt, kQuery));
    ASSERT_TRUE(m_link.WaitUntilIdle(kArrival));
    EXPECT_TRUE(m_port.Written().empty());
    EXPECT_TRUE(m_port.Log().empty());
    EXPECT_TRUE(m_messages.Errors().empty());
}

TEST_F(SerialLink, UnaskedBytesAreDrainedBeforeTheFrameIsWritten) {
    m_port.Arrive(std::vector<std::uint8_t>(300, 0x5A));
    EXPECT_TRUE(m_link.Send(std::nullopt, kQuery));
    ASSERT_TRUE(m_link.WaitUntilIdle(kArrival));
    EXPECT_EQ(m_port.Waiting(), 0u);
    EXPECT_EQ(m_port.Written(), kQuery);
    ASSERT_FALSE(m_port.Log().empty());
    EXPECT_EQ(m_port.Log().back(), "write 20");
    EXPECT_EQ(m_port.Log().front().rfind("read", 0), 0u);
}

TEST_F(SerialLink, ExchangesNeedAUnitAndAnOpenPort) {
    const auto exchange = [&](const std::optional<DeviceEntry>& unit) {
        return test::Await<ExchangeOutcome>(
            [&](auto done) { m_link.StartExchange(unit, Exchange{kQuery, false, {}, 50ms, {}, 50ms, done}, {}); });
    };
    EXPECT_EQ(exchange(std::nullopt), ExchangeOutcome::NotAddressed);
    EXPECT_EQ(exchange(DeviceEntry{}), ExchangeOutcome::WindowEnded);
    m_port.SetOpen(false);
    EXPECT_EQ(exchange(DeviceEntry{}), ExchangeOutcome::PortClosed);
    EXPECT_TRUE(m_messages.Errors().empty());
}

} // namespace
} // namespace brenvik
