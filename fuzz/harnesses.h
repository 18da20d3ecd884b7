#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace brenvik::fuzz {

// One harness per function that takes bytes from outside the console. Each must survive any input:
// no crash, no read or write out of bounds, no undefined behaviour, no allocation in proportion to a
// length read from the input.
using Harness = void (*)(std::span<const std::uint8_t> input);

void FuzzSerialFrames(std::span<const std::uint8_t> input);
void FuzzSerialReplies(std::span<const std::uint8_t> input);
void FuzzLanDiscovery(std::span<const std::uint8_t> input);
void FuzzStateBlock(std::span<const std::uint8_t> input);
void FuzzStatusReports(std::span<const std::uint8_t> input);
void FuzzUtf16Names(std::span<const std::uint8_t> input);
void FuzzSerialStateRead(std::span<const std::uint8_t> input);
void FuzzSerialDiscovery(std::span<const std::uint8_t> input);
void FuzzMatrixReplies(std::span<const std::uint8_t> input);

struct NamedHarness {
    std::string_view name; // also the folder of its seed corpus and regression inputs
    Harness run;
};

inline constexpr NamedHarness kHarnesses[] = {
    {"serial_frames", FuzzSerialFrames},        {"serial_replies", FuzzSerialReplies},
    {"lan_discovery", FuzzLanDiscovery},        {"state_block", FuzzStateBlock},
    {"status_reports", FuzzStatusReports},      {"utf16_names", FuzzUtf16Names},
    {"serial_state_read", FuzzSerialStateRead}, {"serial_discovery", FuzzSerialDiscovery},
    {"matrix_replies", FuzzMatrixReplies},
};

} // namespace brenvik::fuzz
