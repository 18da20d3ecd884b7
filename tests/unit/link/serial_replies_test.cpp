#include "link/discovery.h"
#include "link/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

Frame UnitFrame(std::uint8_t typeCode, std::uint8_t opcode, const std::string& data) {
    std::vector<std::uint8_t> payload{0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return BuildFrame(typeCode, 0x07, 0, opcode, payload);
}

Frame Concat(const Frame& a, const Frame& b) {
    Frame all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

TEST(ScanSerialReplies, DiscoveryReplyGivesTheReportedNameAndEntryZero) {
    const SerialScanResult result =
        ScanSerialReplies(UnitFrame(0xA1, 0xFF, "16CH Monitorgrid-0-\x01\x02\x03\x04"));
    EXPECT_TRUE(result.over);
    EXPECT_EQ(result.modelName, u"16CH Monitorgrid");
    ASSERT_TRUE(result.entry);
    DeviceEntry expected;
    expected.typeCode = 0xA1;
    expected.unitAddress = 0x07;
    EXPECT_EQ(*result.entry, expected);
    EXPECT_FALSE(result.stateFrame);
}

TEST(ScanSerialReplies, DiscoveryReplyWithoutSeparatorEndsTheSearchWithoutAnItem) {
    const SerialScanResult result = ScanSerialReplies(UnitFrame(0x82, 0xFF, "PQT0642"));
    EXPECT_TRUE(result.over);
    EXPECT_FALSE(result.modelName);
    EXPECT_FALSE(result.entry);
}

TEST(ScanSerialReplies, FullStateFrameIsHandedOverWhole) {
    std::string block(789, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 7);
    }
    const Frame state = UnitFrame(0xA1, 0x32, block);
    ASSERT_EQ(state.size(), 810u);
    const SerialScanResult result = ScanSerialReplies(Concat(UnitFrame(0xA1, 0x33, "\x28"), state));
    EXPECT_TRUE(result.over);
    EXPECT_EQ(result.stateFrame, state);
    EXPECT_FALSE(result.modelName);
}

TEST(ScanSerialReplies, ShortStateFrameEndsTheScanWithTheSearchNotOver) {
    const Frame shortState = UnitFrame(0xA1, 0x32, std::string(100, 'x'));
    const Frame reply = UnitFrame(0xA1, 0xFF, "X-0-\x01\x02\x03\x04");
    const SerialScanResult result = ScanSerialReplies(Concat(shortState, reply));
    EXPECT_FALSE(result.over);
    EXPECT_FALSE(result.modelName);
    EXPECT_FALSE(result.stateFrame);
}

TEST(ScanSerialReplies, OtherOpcodesAreSkippedAndNothingIsNotOver) {
    EXPECT_FALSE(ScanSerialReplies(UnitFrame(0xA1, 0x33, "\x28")).over);
    const SerialScanResult found = ScanSerialReplies(
        Concat(UnitFrame(0xA1, 0x33, "\x28"), UnitFrame(0x90, 0xFF, "Box-0-\x01\x02\x03\x04")));
    EXPECT_TRUE(found.over);
    EXPECT_EQ(found.modelName, u"Box");
}

TEST(ApplyDiscovery, RebuildsTheTableAndSelects) {
    DeviceTable table;
    table.At(5).typeCode = 0x90;
    DiscoveryResult result;
    result.outcome = DiscoveryResult::Outcome::Found;
    result.units.resize(2);
    result.units[1].entry.SetIp("127.0.0.9");
    ApplyDiscovery(table, result);
    EXPECT_EQ(table.SelectedIndex(), 0);
    EXPECT_EQ(table.At(1).Ip(), "127.0.0.9");
    EXPECT_EQ(table.At(5), DeviceEntry{});
}

TEST(ApplyDiscovery, SerialPortClosedKeepsTheTableAndClearsTheSelection) {
    DeviceTable table;
    table.At(0).typeCode = 0xA1;
    table.SetSelectedIndex(0);
    DiscoveryResult result;
    result.outcome = DiscoveryResult::Outcome::SerialPortClosed;
    ApplyDiscovery(table, result);
    EXPECT_EQ(table.SelectedIndex(), -1);
    EXPECT_EQ(table.At(0).typeCode, 0xA1);
    EXPECT_FALSE(table.Selected());
}

TEST(DeviceEntry, KeepsAtMost15CharactersOfTheAddress) {
    DeviceEntry entry;
    entry.SetIp("255.255.255.255.9");
    EXPECT_EQ(entry.Ip(), "255.255.255.255");
    EXPECT_EQ(entry.ipText.back(), '\0');
}

TEST(DeviceTable, SelectedIsNothingOutsideTheTable) {
    DeviceTable table;
    EXPECT_FALSE(table.Selected());
    table.SetSelectedIndex(256);
    EXPECT_FALSE(table.Selected());
    table.SetSelectedIndex(255);
    EXPECT_TRUE(table.Selected());
}

TEST(TextCodec, Utf16leRoundTripAndBoundedReads) {
    EXPECT_EQ(FromUtf16le(ToUtf16le(u"Kamera 1"), 32), u"Kamera 1");
    const std::vector<std::uint8_t> odd{0x41, 0x00, 0x42};
    EXPECT_EQ(FromUtf16le(odd, 32), u"AB");
    EXPECT_EQ(FromUtf16le(ToUtf16le(u"ABCD"), 4), u"AB");
    const std::vector<std::uint8_t> stopped{0x41, 0x00, 0x00, 0x00, 0x42, 0x00};
    EXPECT_EQ(FromUtf16le(stopped, 6), u"A");
    const std::vector<std::uint8_t> latin1{0x41, 0xE9, 0xFF};
    EXPECT_EQ(FromLatin1(latin1), u"A\u00E9\u00FF");
}

} // namespace
} // namespace brenvik
