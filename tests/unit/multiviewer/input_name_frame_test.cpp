#include "multiviewer/core/input_name_frame.h"

#include "link/text_codec.h"

#include "support/hex.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

constexpr std::uint8_t kLan = 1;

using test::Hex;

TEST(InputNameFrame, CarriesNumberFixedBytesAndName) {
    const Frame named = BuildInputNameFrame(0xA1, 0x01, kLan, 3, ToUtf16le(u"Cam"));
    ASSERT_EQ(named.size(), 34u);
    EXPECT_EQ(Frame(named.begin() + 16, named.begin() + 31),
              Hex("1E 03 01 00 01 00 01 00 01 43 00 61 00 6D 00"));
}

TEST(InputNameFrame, EmptyNameIs28BytesWithChecksumOverBytes0To24) {
    const Frame frame = BuildInputNameFrame(0xA1, 0x01, kLan, 16, {});
    ASSERT_EQ(frame.size(), 28u);
    EXPECT_EQ(frame[17], 16);
    const std::uint16_t sum = FrameChecksum(std::span(frame).first(25));
    EXPECT_EQ(frame[25] | (frame[26] << 8), sum);
    EXPECT_EQ(frame[27], kTerminator);
}

} // namespace
} // namespace brenvik
