#include "link/frame.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace brenvik {
namespace {

// The frames the scanner handed over, in order, until the handler accepted one.
struct ScanLog {
    std::vector<Frame> seen;
    bool ended = false;
};

ScanLog Scan(const Frame& stream, std::uint8_t acceptedOpcode) {
    ScanLog log;
    log.ended = ScanSerialFrames(stream, [&](std::span<const std::uint8_t> frame) {
        log.seen.emplace_back(frame.begin(), frame.end());
        return frame[frame_offset::kOpcode] == acceptedOpcode;
    });
    return log;
}

Frame Concat(std::initializer_list<Frame> parts) {
    Frame all;
    for (const Frame& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::array<std::uint8_t, 3> kSomePayload{0x01, 0x02, 0x03};
const Frame kReply = BuildFrame(0xA1, 0x01, 0, 0xFF, kSomePayload);
const Frame kOther = BuildFrame(0xA1, 0x01, 0, 0x33, kSomePayload);

Frame WithWrongTerminator(Frame frame) {
    frame.back() = 0xAF;
    return frame;
}

Frame WithLength(Frame frame, std::uint16_t length) {
    frame[frame_offset::kLength] = static_cast<std::uint8_t>(length & 0xFF);
    frame[frame_offset::kLength + 1] = static_cast<std::uint8_t>(length >> 8);
    return frame;
}

struct ScannerCase {
    const char* name;
    Frame stream;
    bool ended;
    std::vector<Frame> seen;
};

// Names the case in test output, so test names do not carry the bytes of the case.
void PrintTo(const ScannerCase& scannerCase, std::ostream* out) {
    *out << scannerCase.name;
}

class SerialScanner : public ::testing::TestWithParam<ScannerCase> {};

TEST_P(SerialScanner, FindsWholeFramesOnly) {
    const ScanLog log = Scan(GetParam().stream, 0xFF);
    EXPECT_EQ(log.ended, GetParam().ended);
    EXPECT_EQ(log.seen, GetParam().seen);
}

// A tiny "frame" whose terminator sits where its too-small length says: header only.
const Frame kTinyLength = Frame{0xA5, 0x6C, 0x06, 0x00, 0xA1, 0xAE};

INSTANTIATE_TEST_SUITE_P(
    Streams, SerialScanner,
    ::testing::Values(
        ScannerCase{"Empty", {}, false, {}},
        ScannerCase{"StrayBytesBeforeAFrame",
                    Concat({Frame{0x00, 0xA5, 0x13, 0xA5, 0x6D, 0x7F}, kReply}),
                    true,
                    {kReply}},
        ScannerCase{
            "WrongTerminatorThenAFrame", Concat({WithWrongTerminator(kOther), kReply}), true, {kReply}},
        ScannerCase{"IncompleteFrame", Frame(kReply.begin(), kReply.end() - 1), false, {}},
        ScannerCase{"LoneSyncAtTheEnd", Frame{0x00, 0xA5}, false, {}},
        ScannerCase{"LengthBelow20", Concat({kTinyLength, kReply}), true, {kReply}},
        ScannerCase{"UnhandledFrameIsSkipped", Concat({kOther, kReply}), true, {kOther, kReply}},
        ScannerCase{"SyncRepeated", Concat({Frame{0xA5}, kReply}), true, {kReply}},
        ScannerCase{"LengthPastTheData", WithLength(kReply, 0x0117), false, {}}),
    [](const ::testing::TestParamInfo<ScannerCase>& info) { return std::string(info.param.name); });

TEST(SerialScannerPasses, IncompleteThenCompleteIsFoundOnTheLaterPass) {
    Frame stream(kReply.begin(), kReply.begin() + 10);
    EXPECT_FALSE(Scan(stream, 0xFF).ended);
    stream.insert(stream.end(), kReply.begin() + 10, kReply.end());
    const ScanLog log = Scan(stream, 0xFF);
    EXPECT_TRUE(log.ended);
    EXPECT_EQ(log.seen, std::vector<Frame>{kReply});
}

TEST(SerialScannerPasses, UsesBothLengthBytes) {
    // 300 bytes: the low length byte alone (0x2C) would point at a payload byte, not the terminator.
    const std::vector<std::uint8_t> payload(280, 0x55);
    const Frame longFrame = BuildFrame(0xA1, 0x01, 0, 0xFF, payload);
    const ScanLog log = Scan(longFrame, 0xFF);
    EXPECT_TRUE(log.ended);
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_EQ(log.seen[0].size(), 300u);
}

} // namespace
} // namespace brenvik
