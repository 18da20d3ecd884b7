#include "link/frame.h"
#include "link/text_codec.h"

#include "support/hex.h"

#include <gtest/gtest.h>

#include <numeric>
#include <ostream>
#include <string>

namespace brenvik {
namespace {

constexpr std::uint8_t kLan = 1;
constexpr std::uint8_t kSerial = 0;

using test::Hex;

std::tm LocalTime(int year, int month, int day, int weekday, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_wday = weekday;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

struct WorkedExample {
    const char* name;
    Frame built;
    const char* expected;
};

void PrintTo(const WorkedExample& example, std::ostream* out) {
    *out << example.name;
}

class WorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExamples, AreBuiltByteForByte) {
    EXPECT_EQ(GetParam().built, Hex(GetParam().expected));
}

const std::array<std::uint8_t, 1> kLayout40{0x28};
const std::array<std::uint8_t, 1> kBorderOn{0x01};

INSTANTIATE_TEST_SUITE_P(
    Frames, WorkedExamples,
    ::testing::Values(
        WorkedExample{"StateQuery", BuildFrame(0xA1, 0x01, kLan, 0x0A),
                      "A5 6C 14 00 A1 01 01 00 00 00 00 00 00 00 00 00 0A D2 01 AE"},
        WorkedExample{"LayoutSet", BuildFrame(0xA1, 0x01, kLan, 0x33, kLayout40),
                      "A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 33 28 24 02 AE"},
        WorkedExample{"SetBorderOn", BuildFrame(0xA1, 0x01, kLan, 0x3F, kBorderOn),
                      "A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 3F 01 09 02 AE"},
        WorkedExample{"CustomNameSerial", BuildCustomNameFrame(0xA1, 0x01, kSerial, ToUtf16le(u"AB")),
                      "A5 6C 18 00 A1 01 00 00 00 00 00 00 00 00 00 00 0F 41 00 42 00 5D 02 AE"},
        WorkedExample{"DiscoveryRequest", BuildDiscoveryRequest(kLan, LocalTime(2026, 12, 8, 2, 20, 41, 5)),
                      "A5 6C 1B 00 FF FF 01 00 00 00 00 00 00 00 00 00 FF 26 12 08 02 20 41 05 D2 04 AE"},
        WorkedExample{
            "NetworkConfig",
            BuildNetworkConfigFrame(0xA1, 0x01, kLan, {192, 168, 1, 100, 255, 255, 255, 0, 192, 168, 1, 1},
                                    0),
            "A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 64 FF FF FF 00 C0 A8 01 01 00 "
            "0E 08 AE"}),
    [](const ::testing::TestParamInfo<WorkedExample>& info) { return std::string(info.param.name); });

TEST(DiscoveryRequest, NewYear2030IsPackedBcd) {
    const Frame request = BuildDiscoveryRequest(kLan, LocalTime(2030, 1, 1, 2, 0, 0, 0));
    ASSERT_EQ(request.size(), 27u);
    EXPECT_EQ(Frame(request.begin() + 17, request.begin() + 24), Hex("30 01 01 02 00 00 00"));
}

TEST(DiscoveryRequest, FromTheClockIsWellFormed) {
    const Frame request = BuildDiscoveryRequest(kSerial);
    ASSERT_EQ(request.size(), 27u);
    EXPECT_EQ(request[frame_offset::kLinkByte], kSerial);
    EXPECT_EQ(request[frame_offset::kOpcode], kOpcodeDiscovery);
    for (std::size_t at = 17; at < 24; ++at) {
        EXPECT_LE(request[at] & 0x0F, 9) << "offset " << at;
        EXPECT_LE(request[at] >> 4, 9) << "offset " << at;
    }
}

TEST(Frame, SerialAndLanDifferOnlyInLinkByteAndChecksum) {
    const Frame lan = BuildFrame(0xA1, 0x01, kLan, 0x33, kLayout40);
    const Frame serial = BuildFrame(0xA1, 0x01, kSerial, 0x33, kLayout40);
    ASSERT_EQ(lan.size(), serial.size());
    for (std::size_t at = 0; at < lan.size(); ++at) {
        const bool mayDiffer = at == frame_offset::kLinkByte || at == lan.size() - 3;
        EXPECT_EQ(lan[at] == serial[at], !mayDiffer) << "offset " << at;
    }
}

TEST(Frame, ChecksumWrapsModulo65536) {
    const std::vector<std::uint8_t> payload(300, 0xFF);
    const Frame frame = BuildFrame(0xA1, 0x01, kLan, 0x0A, payload);
    const unsigned fullSum = std::accumulate(frame.begin(), frame.end() - 3, 0u);
    ASSERT_GT(fullSum, 0xFFFFu);
    EXPECT_EQ(frame[frame.size() - 3] | (frame[frame.size() - 2] << 8), fullSum % 65536);
    EXPECT_EQ(FrameChecksum(std::span(frame).first(frame.size() - 3)), fullSum % 65536);
}

TEST(Frame, LongFrameCarriesTheLengthHighByte) {
    const std::vector<std::uint8_t> payload(280, 0x11);
    const Frame frame = BuildFrame(0xA1, 0x01, kLan, 0x32, payload);
    ASSERT_EQ(frame.size(), 300u);
    EXPECT_EQ(frame[frame_offset::kLength], 300 & 0xFF);
    EXPECT_EQ(frame[frame_offset::kLength + 1], 300 >> 8);
    EXPECT_EQ(frame.back(), kTerminator);
}

TEST(Frame, LongerThanTheLengthFieldIsRefused) {
    const std::vector<std::uint8_t> payload(0xFFFF, 0x00);
    EXPECT_THROW(BuildFrame(0xA1, 0x01, kLan, 0x32, payload), std::length_error);
}

TEST(CustomNameFrame, SixteenCharactersMake52BytesAndEmptyMakesAQuery) {
    const Frame full = BuildCustomNameFrame(0xA1, 0x01, kLan, ToUtf16le(u"ABCDEFGHIJKLMNOP"));
    EXPECT_EQ(full.size(), 52u);
    const Frame empty = BuildCustomNameFrame(0xA1, 0x01, kLan, {});
    EXPECT_EQ(empty, BuildFrame(0xA1, 0x01, kLan, kOpcodeCustomName));
    EXPECT_EQ(empty.size(), 20u);
}

} // namespace
} // namespace brenvik
