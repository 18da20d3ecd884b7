#include "link/console_link.h"
#include "link/discovery.h"
#include "link/text_codec.h"
#include "sim/discovery_reply.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

using namespace std::chrono_literals;
using sim::DiscoveryFault;
using sim::UnitConfig;

// Long enough for loopback answers to arrive; the window's own length is tested once at 2000 ms.
constexpr std::chrono::milliseconds kShortWindow{300};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

UnitConfig Unit(std::uint8_t lastOctet, std::uint8_t typeCode, const std::string& name,
                DiscoveryFault fault = DiscoveryFault::None) {
    UnitConfig unit;
    unit.address = {127, 0, 0, lastOctet};
    unit.typeCode = typeCode;
    unit.unitAddress = static_cast<std::uint8_t>(lastOctet + 0x10);
    unit.modelName = Bytes(name);
    unit.unitId = {0x11, 0x22, 0x33, lastOctet};
    unit.fault = fault;
    return unit;
}

DiscoveryResult Discover(UnitLink& link, std::chrono::milliseconds window) {
    const auto result = test::Await<DiscoveryResult>(
        [&](auto done) { StartDiscovery(link, {}, std::move(done), window); });
    EXPECT_TRUE(result);
    return result.value_or(DiscoveryResult{});
}

// Each unit listed as "reported name@address".
std::vector<std::u16string> Listed(const DiscoveryResult& result) {
    std::vector<std::u16string> listed;
    for (const DiscoveredUnit& unit : result.units) {
        listed.push_back(unit.modelName + u"@" + ToU16(unit.entry.Ip()));
    }
    return listed;
}

// The console and a rack of simulated units, each test on loopback ports of its own.
class LanDiscovery : public ::testing::Test {
protected:
    LanDiscovery()
        : m_endpoints(test::LoopbackEndpoints()), m_link(m_endpoints, m_messages), m_sim(m_endpoints) {}

    DiscoveryResult Search(std::initializer_list<UnitConfig> units,
                           std::chrono::milliseconds window = kShortWindow) {
        for (const UnitConfig& unit : units) {
            m_sim.AddUnit(unit);
        }
        EXPECT_TRUE(m_sim.Start()) << m_sim.StartError();
        return Discover(m_link, window);
    }

    Endpoints m_endpoints;
    test::RecordingMessages m_messages;
    ConsoleLink m_link;
    sim::UnitSimulator m_sim;
};

TEST_F(LanDiscovery, UnitsAreListedInArrivalOrderWithTheirReportedNames) {
    const auto result = Search({Unit(2, kTypeMultiviewer, "16CH Monitorgrid"),
                                Unit(3, kTypeMatrixSwitcher, "PQT0642"), Unit(4, 0xA3, "Rack Box")},
                               kLanDiscoveryWindow);
    EXPECT_EQ(result.outcome, DiscoveryResult::Outcome::Found);
    EXPECT_EQ(Listed(result), (std::vector<std::u16string>{u"16CH Monitorgrid@127.0.0.2", u"PQT0642@127.0.0.3",
                                                           u"Rack Box@127.0.0.4"}));
    DeviceEntry first;
    first.SetIp("127.0.0.2");
    first.typeCode = kTypeMultiviewer;
    first.unitAddress = 0x12;
    first.unitId = {0x11, 0x22, 0x33, 0x02};
    EXPECT_EQ(result.units[0].entry, first);
    EXPECT_EQ(result.units[1].entry.typeCode, kTypeMatrixSwitcher);
    EXPECT_TRUE(m_messages.Errors().empty());

    // The request went out once, as a broadcast, stamped with the link byte.
    const auto received = m_sim.Unit(0).Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].size(), 27u);
    EXPECT_EQ(received[0][frame_offset::kLinkByte], 1);
}

TEST_F(LanDiscovery, RepliesFailingTheChecksAreIgnored) {
    const auto result =
        Search({Unit(2, 0x55, "Foreign"), Unit(3, kTypeMultiviewer, "Bad", DiscoveryFault::UnknownTypeCode),
                Unit(4, kTypeMultiviewer, "Bad", DiscoveryFault::WrongHeader),
                Unit(5, kTypeMultiviewer, "Bad", DiscoveryFault::TooShort), Unit(6, 0x90, "Other Unit"),
                Unit(7, kTypeMultiviewer, "Quiet", DiscoveryFault::Silent)});
    EXPECT_EQ(Listed(result), std::vector<std::u16string>{u"Other Unit@127.0.0.6"});
    EXPECT_EQ(result.units[0].entry.typeCode, 0x90);
}

TEST_F(LanDiscovery, AUnitThatAnswersTwiceIsListedTwice) {
    const auto result = Search({Unit(2, kTypeMultiviewer, "16CH Monitorgrid", DiscoveryFault::AnswerTwice)});
    EXPECT_EQ(Listed(result),
              (std::vector<std::u16string>{u"16CH Monitorgrid@127.0.0.2", u"16CH Monitorgrid@127.0.0.2"}));
}

TEST_F(LanDiscovery, EverySeparatorInOneReplyRecordsAUnit) {
    const auto result = Search({Unit(2, kTypeMultiviewer, "AB-C-D")});
    EXPECT_EQ(Listed(result),
              (std::vector<std::u16string>{u"AB@127.0.0.2", u"AB-C@127.0.0.2", u"AB-C-D@127.0.0.2"}));
    EXPECT_EQ(result.units[0].entry.unitId, (std::array<std::uint8_t, 4>{'D', '-', '0', '-'}));
    EXPECT_EQ(result.units[2].entry.unitId, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x02}));
}

TEST_F(LanDiscovery, NoAnswerListsNoDeviceFound) {
    const auto result = Search({Unit(2, kTypeMultiviewer, "Quiet", DiscoveryFault::Silent)});
    EXPECT_EQ(result.outcome, DiscoveryResult::Outcome::NoneFound);
    EXPECT_TRUE(result.units.empty());
}

// The reply ends "-", byte, "-", checksum, AE: of the identifier's four bytes only three lie in
// the datagram (checksum and terminator); the one past its end reads as zero, never as whatever an
// earlier, longer datagram left in the receive buffer.
TEST_F(LanDiscovery, IdentifierBytesPastTheDatagramReadAsZero) {
    const UnitConfig longName = Unit(2, kTypeMultiviewer, std::string(90, 'L'));
    const UnitConfig cut = Unit(3, kTypeMultiviewer, "Cut", DiscoveryFault::IdentifierPastEnd);
    const Frame cutReply = sim::DiscoveryAnswers(cut, 1).at(0);
    const auto result = Search({longName, cut});
    ASSERT_EQ(result.units.size(), 2u);
    EXPECT_EQ(Listed(result)[1], u"Cut@127.0.0.3");
    const std::array<std::uint8_t, 4> expected{cutReply[cutReply.size() - 3], cutReply[cutReply.size() - 2],
                                               kTerminator, 0x00};
    EXPECT_EQ(result.units[1].entry.unitId, expected);
}

TEST_F(LanDiscovery, MoreThan256AnswersFillTheTableAndTheWindowStillEnds) {
    for (const UnitConfig& unit : sim::FloodUnits(300)) {
        m_sim.AddUnit(unit);
    }
    ASSERT_TRUE(m_sim.Start()) << m_sim.StartError();
    const auto result = Discover(m_link, kShortWindow);
    ASSERT_EQ(result.units.size(), kDeviceTableSize);
    EXPECT_EQ(result.units.front().modelName, u"16CH Monitorgrid");
}

// The main window shows "Create socket err" for this outcome; the search itself says nothing.
TEST_F(LanDiscovery, HeldLocalPortGivesTheSocketErrorOutcome) {
    auto holder = UdpSocket::Create();
    ASSERT_TRUE(holder->Bind(Ipv4Address{{0, 0, 0, 0}, m_endpoints.localPort}));
    const auto result = Search({Unit(2, kTypeMultiviewer, "16CH Monitorgrid")});
    EXPECT_EQ(result.outcome, DiscoveryResult::Outcome::SocketError);
    EXPECT_TRUE(m_messages.Errors().empty());
    EXPECT_TRUE(result.units.empty());
    EXPECT_EQ(m_sim.Unit(0).ReceivedCount(), 0u);
}

TEST_F(LanDiscovery, CommandWithoutSelectionSendsNothingAndTheNextReachesTheUnit) {
    const auto result = Search({Unit(2, kTypeMultiviewer, "16CH Monitorgrid")});
    DeviceTable table;
    ApplyDiscovery(table, result);
    ASSERT_EQ(table.SelectedIndex(), 0);
    m_sim.Unit(0).ClearReceived();

    const Frame query = BuildFrame(kTypeMultiviewer, table.At(0).unitAddress, m_link.LinkByte(), 0x0A);
    table.SetSelectedIndex(-1);
    EXPECT_FALSE(m_link.Send(table.Selected(), query));
    EXPECT_EQ(m_messages.Errors(), std::vector<std::string>{"Please choose a device"});

    table.SetSelectedIndex(0);
    EXPECT_TRUE(m_link.Send(table.Selected(), query));
    ASSERT_TRUE(m_sim.Unit(0).WaitForReceived(1, 2s));
    EXPECT_EQ(m_sim.Unit(0).Received(), std::vector<Frame>{query});
}

} // namespace
} // namespace brenvik
