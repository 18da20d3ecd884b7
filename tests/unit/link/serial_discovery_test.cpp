#include "link/console_link.h"
#include "link/discovery.h"
#include "tests/support/await.h"
#include "tests/support/loopback_ports.h"
#include "tests/support/recording_messages.h"
#include "tests/unit/link/fake_serial_port.h"

#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>

namespace brenvik {
namespace {

Frame UnitFrame(std::uint8_t opcode, const std::string& data) {
    std::vector<std::uint8_t> payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return BuildFrame(0xA1, 0x01, 0, opcode, payload);
}

const Frame kReply = UnitFrame(0xFF, "16CH Monitorgrid-0-\x01\x02\x03\x04");

Frame Concat(std::initializer_list<Frame> parts) {
    Frame all;
    for (const Frame& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Frame Noise(std::size_t count) {
    Frame noise(count);
    for (std::size_t i = 0; i < count; ++i) {
        // Sync bytes among the noise, so that the search meets false starts all along.
        noise[i] = i % 7 == 0 ? kSync1 : (i % 7 == 1 ? kSync2 : static_cast<std::uint8_t>(i));
    }
    return noise;
}

Frame FromHex(const std::string& hex) {
    Frame bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// A unit on the serial line that answers the request with the given pieces: each look at the input
// count brings the next piece, as a reply arrives in parts on a real line. Used on the link thread
// alone.
class AnsweringPort : public test::FakeSerialPort {
public:
    explicit AnsweringPort(std::vector<Frame> pieces) : m_script(std::move(pieces)) {}
    int InputCount() override {
        if (m_answering && !m_pieces.empty()) {
            Arrive(m_pieces.front());
            m_pieces.pop_front();
        }
        return FakeSerialPort::InputCount();
    }
    std::size_t Write(const std::uint8_t* bytes, std::size_t count) override {
        m_answering = true;
        m_pieces.assign(m_script.begin(), m_script.end());
        return FakeSerialPort::Write(bytes, count);
    }

private:
    std::vector<Frame> m_script;
    std::deque<Frame> m_pieces;
    bool m_answering = false;
};

struct SearchCase {
    const char* name;
    std::vector<Frame> pieces;
    DiscoveryResult::Outcome outcome;
};

void PrintTo(const SearchCase& searchCase, std::ostream* out) {
    *out << searchCase.name;
}

class SerialSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SerialSearch, FindsTheReplyInWhatTheLineBrings) {
    test::RecordingMessages messages;
    AnsweringPort port(GetParam().pieces);
    ConsoleLink link(test::LoopbackEndpoints(), messages);
    link.SetMode(LinkMode::Serial);
    link.AttachSerialPort(&port);
    const auto result = test::Await<DiscoveryResult>([&](auto done) {
        StartDiscovery(link, {}, done, kLanDiscoveryWindow, std::chrono::milliseconds(300));
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, GetParam().outcome);
    const Frame& written = port.Written();
    ASSERT_EQ(written.size(), 27u);
    EXPECT_EQ(written[frame_offset::kLinkByte], 0x00);
    EXPECT_EQ(written[frame_offset::kOpcode], kOpcodeDiscovery);
    if (GetParam().outcome == DiscoveryResult::Outcome::Found) {
        ASSERT_EQ(result->units.size(), 1u);
        EXPECT_EQ(result->units[0].modelName, u"16CH Monitorgrid");
        EXPECT_EQ(result->units[0].entry.typeCode, 0xA1);
        EXPECT_EQ(result->units[0].entry.unitAddress, 0x01);
        EXPECT_TRUE(result->units[0].entry.Ip().empty());
    }
}

const Frame kPartial(kReply.begin(), kReply.begin() + 11);

INSTANTIATE_TEST_SUITE_P(
    Lines, SerialSearch,
    ::testing::Values(
        SearchCase{"WholeReply", {kReply}, DiscoveryResult::Outcome::Found},
        SearchCase{"ReplySplitAcrossReads",
                   {Frame(kReply.begin(), kReply.begin() + 3), Frame(kReply.begin() + 3, kReply.begin() + 20),
                    Frame(kReply.begin() + 20, kReply.end())},
                   DiscoveryResult::Outcome::Found},
        SearchCase{"NoiseBeforeTheReply", {Noise(40), kReply}, DiscoveryResult::Outcome::Found},
        SearchCase{"MoreThanTheAccumulationBeforeTheReply",
                   {Noise(700), Noise(700), kReply},
                   DiscoveryResult::Outcome::Found},
        SearchCase{"StraySyncJustBeforeTheReply", {FromHex("A56C"), kReply}, DiscoveryResult::Outcome::Found},
        SearchCase{"UnitResetMidFrame", {kPartial, kReply}, DiscoveryResult::Outcome::Found},
        SearchCase{"OtherFramesOnly", {UnitFrame(0x33, "\x28")}, DiscoveryResult::Outcome::NoneFound},
        SearchCase{"Silence", {}, DiscoveryResult::Outcome::NoneFound}));

// A reply that a stray sync pair comes right before: the scan moves on by one byte, not past the
// start of the reply.
TEST(ScanSerialReplies, FindsAFrameThatBeginsInsideADroppedCandidate) {
    const Frame reply = FromHex("A56C1F00900700000000000000000000FF00426F782D302D010203048304AE");
    for (const char* prefix : {"A56C", "A56C00", "A56C0000", "A56CFFFF00"}) {
        const SerialScanResult result = ScanSerialReplies(Concat({FromHex(prefix), reply}));
        EXPECT_TRUE(result.over) << prefix;
        EXPECT_EQ(result.modelName, u"Box") << prefix;
    }
}

TEST(SerialSearchPort, ClosedPortReportsItAndWritesNothing) {
    test::RecordingMessages messages;
    AnsweringPort port({kReply});
    port.SetOpen(false);
    ConsoleLink link(test::LoopbackEndpoints(), messages);
    link.SetMode(LinkMode::Serial);
    link.AttachSerialPort(&port);
    const auto result = test::Await<DiscoveryResult>([&](auto done) { StartDiscovery(link, {}, done); });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->outcome, DiscoveryResult::Outcome::SerialPortClosed);
    EXPECT_TRUE(port.Written().empty());
}

TEST(SerialSearchState, AWholeStateFrameEndsTheSearchForTheCoreToRead) {
    test::RecordingMessages messages;
    const Frame state = BuildFrame(0xA1, 0x01, 0, 0x32, Frame(790, 0x11));
    AnsweringPort port({state});
    ConsoleLink link(test::LoopbackEndpoints(), messages);
    link.SetMode(LinkMode::Serial);
    link.AttachSerialPort(&port);
    const auto result = test::Await<DiscoveryResult>([&](auto done) { StartDiscovery(link, {}, done); });
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->units.empty());
    EXPECT_EQ(result->stateFrame, state);
}

} // namespace
} // namespace brenvik
