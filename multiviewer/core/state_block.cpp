#include "multiviewer/core/state_block.h"

#include "link/frame.h"
#include "link/text_codec.h"

#include <algorithm>

namespace brenvik {

namespace {

// Label record (per input; its first bit is the UMD flag of the window of the same number).
namespace label_byte {
constexpr std::size_t kFlagsAndText = 0; // bit 0 UMD on, bits 1-4 text colour
constexpr std::size_t kBack = 1;         // bits 0-4 background colour
} // namespace label_byte

// Window record (per window).
namespace window_byte {
constexpr std::size_t kMeter = 0;        // bit 0 meter on, bits 1-4 channel pair
constexpr std::size_t kSignal = 1;       // bits 0-5 signal format code, bit 6 signal present
constexpr std::size_t kFormatText = 2;   // bits 1-4
constexpr std::size_t kFormatBack = 3;   // bits 0-4
constexpr std::size_t kTimecodeText = 4; // bits 1-4
constexpr std::size_t kTimecodeBack = 5; // bits 0-4
} // namespace window_byte

constexpr std::uint8_t Bit(std::uint8_t byte, unsigned bit) {
    return static_cast<std::uint8_t>((byte >> bit) & 1u);
}
constexpr std::uint8_t Bits1To4(std::uint8_t byte) {
    return static_cast<std::uint8_t>((byte >> 1) & 0x0F);
}
constexpr std::uint8_t Bits0To4(std::uint8_t byte) {
    return static_cast<std::uint8_t>(byte & 0x1F);
}
constexpr std::uint8_t Bits0To3(std::uint8_t byte) {
    return static_cast<std::uint8_t>(byte & 0x0F);
}
constexpr std::uint8_t Bits0To5(std::uint8_t byte) {
    return static_cast<std::uint8_t>(byte & 0x3F);
}

std::span<const std::uint8_t> Record(const StateBlock& block, std::size_t first, std::size_t size,
                                     int number) {
    return std::span<const std::uint8_t>(block).subspan(first + size * static_cast<std::size_t>(number - 1),
                                                        size);
}

// A name of `length` bytes from its record, never more than the console keeps.
std::u16string Name(std::span<const std::uint8_t> bytes, std::uint8_t length) {
    return FromUtf16le(bytes, std::min<std::size_t>(length, kMaxNameBytes));
}

} // namespace

bool StoreStateFrame(std::span<const std::uint8_t> frame, MultiviewerState& state) {
    if (frame.size() < frame_offset::kUnitData + state.stateBlock.size()) {
        return false;
    }
    std::copy_n(frame.begin() + frame_offset::kUnitData, state.stateBlock.size(), state.stateBlock.begin());
    return true;
}

std::optional<std::u16string> DecodeStateBlock(const StateBlock& block, MultiviewerState& state) {
    using namespace block_offset;
    const std::uint8_t flags = block[kFlags];
    const std::uint8_t audio = block[kAudio];

    state.layoutCode = block[kLayoutCode];
    for (int n = 1; n <= kWindowCount; ++n) {
        state.windowSource.At(n) = block[kWindowSources + static_cast<std::size_t>(n - 1)];
        state.loopRoute.At(n) = block[kLoopRoutes + static_cast<std::size_t>(n - 1)];
    }
    state.switcherMode = Bit(flags, flag_bit::kSwitcherMode);
    state.umdAllOn = Bit(flags, flag_bit::kUmdAllOn);

    for (int n = 1; n <= kWindowCount; ++n) {
        const auto label = Record(block, kLabelRecords, kLabelRecordSize, n);
        state.umdOn.At(n) = Bit(label[label_byte::kFlagsAndText], 0);
        state.umdTextColor.At(n) = Bits1To4(label[label_byte::kFlagsAndText]);
        state.umdBackColor.At(n) = Bits0To4(label[label_byte::kBack]);
        const auto name = Record(block, kInputNames, kInputNameRecordSize, n);
        state.inputNames.At(n) = Name(name.subspan(1, kInputNameBytes), name[0]);
    }

    state.outputFormat = Bits0To3(block[kOutputFormat]);

    for (int n = 1; n <= kWindowCount; ++n) {
        const auto record = Record(block, kWindowRecords, kWindowRecordSize, n);
        state.signalPresent.At(n) = Bit(record[window_byte::kSignal], 6);
        state.signalFormat.At(n) = Bits0To5(record[window_byte::kSignal]);
        state.formatTextColor.At(n) = Bits1To4(record[window_byte::kFormatText]);
        state.formatBackColor.At(n) = Bits0To4(record[window_byte::kFormatBack]);
        state.meterOn.At(n) = Bit(record[window_byte::kMeter], 0);
        state.meterChannel.At(n) = Bits1To4(record[window_byte::kMeter]);
        state.timecodeTextColor.At(n) = Bits1To4(record[window_byte::kTimecodeText]);
        state.timecodeBackColor.At(n) = Bits0To4(record[window_byte::kTimecodeBack]);
    }

    state.formatStatusOn = Bit(flags, flag_bit::kFormatStatusOn);
    state.meterAllOn = Bit(audio, 7);
    state.timecodeOn = Bit(flags, flag_bit::kTimecodeOn);
    state.audioSource = Bits0To4(audio);
    state.audioAlarmOn = Bit(flags, flag_bit::kAudioAlarmOn);
    state.borderOn = Bit(flags, flag_bit::kBorderOn);
    state.networkDhcp = Bit(flags, flag_bit::kNetworkDhcp);

    const std::uint8_t customLength = block[kCustomNameLength];
    if (customLength > kCustomNameBytes) {
        return std::nullopt;
    }
    state.customName = FromUtf16le(
        std::span<const std::uint8_t>(block).subspan(kCustomName, kCustomNameBytes), customLength);
    if (state.customName.empty()) {
        return std::nullopt;
    }
    return state.customName;
}

} // namespace brenvik
