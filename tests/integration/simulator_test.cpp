#include "link/console_link.h"
#include "sim/unit_frame.h"
#include "sim/unit_list_parser.h"
#include "sim/unit_simulator.h"
#include "support/await.h"
#include "support/loopback_ports.h"
#include "support/recording_messages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brenvik {
namespace {

using namespace std::chrono_literals;

// A behaviour that answers every frame with an echo of its opcode and counts what it saw.
class EchoBehaviour : public sim::UnitBehaviour {
public:
    void OnDatagram(sim::SimulatedUnit& unit, std::span<const std::uint8_t> bytes,
                    const Ipv4Address& from) override {
        ++m_seen;
        const std::array<std::uint8_t, 1> data{static_cast<std::uint8_t>(m_seen)};
        unit.SendTo(from, sim::BuildUnitFrame(unit.Config(), 1, bytes[frame_offset::kOpcode], data));
    }
    int m_seen = 0; // touched on the simulator thread only
};

TEST(UnitSimulator, BehaviourAnswersFromTheUnitsOwnAddressAndReportsToTheStatusPort) {
    const Endpoints endpoints = test::LoopbackEndpoints();
    test::RecordingMessages messages;
    ConsoleLink link(endpoints, messages);
    sim::UnitSimulator simulator(endpoints);
    sim::UnitConfig config;
    config.address = {127, 0, 0, 9};
    config.unitId = {9, 8, 7, 6};
    auto& unit = simulator.AddUnit(config, std::make_unique<EchoBehaviour>());
    ASSERT_TRUE(simulator.Start()) << simulator.StartError();

    DeviceEntry entry;
    entry.SetIp("127.0.0.9");
    Frame answer;
    Ipv4Address sender;
    Exchange exchange{BuildFrame(kTypeMultiviewer, 1, 1, 0x0A), false,
                      [&](std::span<const std::uint8_t> datagram, const Ipv4Address& from) {
                          answer.assign(datagram.begin(), datagram.end());
                          sender = from;
                          return true;
                      },
                      2s, {}, 2s, {}};
    const auto outcome = test::Await<ExchangeOutcome>([&](auto done) {
        exchange.done = done;
        link.StartExchange(entry, std::move(exchange), {});
    });
    ASSERT_EQ(outcome, ExchangeOutcome::Completed);
    ASSERT_EQ(answer.size(), 22u);
    EXPECT_EQ(sender, (Ipv4Address{{127, 0, 0, 9}, endpoints.unitPort}));
    const Frame& buffer = answer;
    EXPECT_EQ(buffer[frame_offset::kOpcode], 0x0A);
    EXPECT_EQ(buffer[frame_offset::kUnitData], 1);
    EXPECT_TRUE(
        std::equal(config.unitId.begin(), config.unitId.end(), buffer.begin() + frame_offset::kUnitId));

    auto status = link.OpenStatusSocket(entry);
    ASSERT_TRUE(status);
    int seen = 0;
    bool reported = false;
    const Frame report = sim::BuildUnitFrame(config, 1, 0x33, std::array<std::uint8_t, 1>{0x28});
    simulator.Invoke([&] {
        seen = static_cast<EchoBehaviour*>(unit.Behaviour())->m_seen;
        reported = unit.SendReport(report);
    });
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(reported);
    ASSERT_TRUE(status->WaitReadable(2s));
    Ipv4Address from;
    std::array<std::uint8_t, 64> reportBuffer{};
    EXPECT_EQ(status->Receive(reportBuffer, &from), report.size());
    EXPECT_EQ(from.octets, config.address);
}

TEST(UnitSimulator, InvokeRunsOnceWhetherRunningOrNot) {
    sim::UnitSimulator simulator(test::LoopbackEndpoints());
    int runs = 0;
    simulator.Invoke([&] { ++runs; });
    ASSERT_TRUE(simulator.Start());
    simulator.Invoke([&] { ++runs; });
    EXPECT_THROW(simulator.AddUnit(sim::UnitConfig{}), std::logic_error);
    simulator.Stop();
    simulator.Invoke([&] { ++runs; });
    EXPECT_EQ(runs, 3);
}

TEST(UnitSimulator, StartFailsForAnAddressThisMachineDoesNotHave) {
    sim::UnitSimulator simulator(test::LoopbackEndpoints());
    sim::UnitConfig config;
    config.address = {192, 0, 2, 1};
    simulator.AddUnit(config);
    EXPECT_FALSE(simulator.Start());
    EXPECT_NE(simulator.StartError().find("192.0.2.1"), std::string::npos);
}

TEST(UnitListParser, ReadsUnitsAndRefusesMalformedOnes) {
    sim::UnitListParser parser;
    const auto unit = parser.ParseUnit("127.0.0.5,0x82,0x10,PQT0642,0A0b0C0D,twice");
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->address, (std::array<std::uint8_t, 4>{127, 0, 0, 5}));
    EXPECT_EQ(unit->typeCode, 0x82);
    EXPECT_EQ(unit->unitAddress, 0x10);
    EXPECT_EQ(unit->modelName, (std::vector<std::uint8_t>{'P', 'Q', 'T', '0', '6', '4', '2'}));
    EXPECT_EQ(unit->unitId, (std::array<std::uint8_t, 4>{0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_EQ(unit->fault, sim::DiscoveryFault::AnswerTwice);
    EXPECT_EQ(parser.ParseUnit("127.0.0.5,A1,1,X,0A0B0C0D")->typeCode, 0xA1);

    for (const char* bad :
         {"127.0.0.5,A1,1,X", "127.0.0.300,A1,1,X,0A0B0C0D", "127.0.0.5,1A1,1,X,0A0B0C0D",
          "127.0.0.5,A1,256,X,0A0B0C0D", "127.0.0.5,A1,1,X,0A0B0C", "127.0.0.5,A1,1,X,0A0B0C0D,odd"}) {
        EXPECT_FALSE(parser.ParseUnit(bad)) << bad;
        EXPECT_FALSE(parser.Error().empty());
    }

    std::istringstream file(
        "# rack\n127.0.0.2,A1,1,16CH Monitorgrid,01020304\n\n127.0.0.3,82,1,PQT0642,05060708\r\n");
    const auto units = parser.ParseFile(file);
    ASSERT_TRUE(units);
    ASSERT_EQ(units->size(), 2u);
    EXPECT_EQ((*units)[1].typeCode, 0x82);
}

} // namespace
} // namespace brenvik
