#include "matrix/core/matrix_frames.h"

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

constexpr std::uint8_t kLan = 1;
constexpr std::uint8_t kSerial = 0;

Frame Hex(const std::string& text) {
    Frame bytes;
    for (std::size_t at = 0; at < text.size(); at += 3) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

TEST(MatrixFrames, WorkedExamplesAreBuiltByteForByte) {
    const struct {
        const char* name;
        Frame built;
        const char* expected;
    } examples[] = {
        {"QueryMatrixStateLan", BuildQueryMatrixState(kLan),
         "A5 6C 14 00 82 01 01 00 00 00 00 00 00 00 00 00 53 FC 01 AE"},
        {"QueryMatrixStateSerial", BuildQueryMatrixState(kSerial),
         "A5 6C 14 00 82 01 00 00 00 00 00 00 00 00 00 00 53 FB 01 AE"},
        {"QueryBacklight", BuildQueryBacklight(kLan),
         "A5 6C 14 00 03 01 01 00 00 00 00 00 00 00 00 00 50 7A 01 AE"},
        {"SetBacklightTime", BuildSetBacklightTime(0x01, kLan, 4),
         "A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 51 04 80 01 AE"},
        {"SetBacklightBrightnessSerial", BuildSetBacklightBrightness(0x01, kSerial, 100),
         "A5 6C 15 00 03 01 00 00 00 00 00 00 00 00 00 00 52 64 E0 01 AE"},
    };
    for (const auto& example : examples) {
        EXPECT_EQ(example.built, Hex(example.expected)) << example.name;
    }
}

TEST(MatrixFrames, SetFramesCarryTheSelectedUnitsAddress) {
    EXPECT_EQ(BuildSetBacklightTime(0x07, kLan, 1)[5], 0x07);
    EXPECT_EQ(BuildSetBacklightBrightness(0x09, kLan, 50)[5], 0x09);
}

} // namespace
} // namespace brenvik
