#pragma once

#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brenvik {

using StateBlock = std::array<std::uint8_t, kMultiviewerStateBlockSize>;

// The 789-byte block in which a multiviewer reports its whole state; block byte k stands at frame
// offset 18 + k of the unit's answer to query 0x0A. Bits count from the least significant bit 0.
namespace block_offset {
inline constexpr std::size_t kLayoutCode = 0;
inline constexpr std::size_t kOutputFormat = 1; // bits 0-3
inline constexpr std::size_t kAudio = 2;        // bits 0-4 audio source, bit 7 all meters on
inline constexpr std::size_t kFlags = 3;        // see flag_bit
inline constexpr std::size_t kWindowSources = 4;
inline constexpr std::size_t kLoopRoutes = 20;
inline constexpr std::size_t kLabelRecords = 36; // 16 x 2 bytes, per input (umdOn per window)
inline constexpr std::size_t kLabelRecordSize = 2;
inline constexpr std::size_t kWindowRecords = 68; // 16 x 8 bytes, per window
inline constexpr std::size_t kWindowRecordSize = 8;
inline constexpr std::size_t kInputNames = 196; // 16 x 35 bytes: length byte, then 34 bytes UTF-16LE
inline constexpr std::size_t kInputNameRecordSize = 35;
inline constexpr std::size_t kInputNameBytes = 34;
inline constexpr std::size_t kCustomNameLength = 756;
inline constexpr std::size_t kCustomName = 757;
inline constexpr std::size_t kCustomNameBytes = 32;
} // namespace block_offset

namespace flag_bit {
inline constexpr unsigned kUmdAllOn = 0;
inline constexpr unsigned kFormatStatusOn = 1;
inline constexpr unsigned kTimecodeOn = 2;
inline constexpr unsigned kAudioAlarmOn = 3;
inline constexpr unsigned kBorderOn = 4;
inline constexpr unsigned kNetworkDhcp = 6;
inline constexpr unsigned kSwitcherMode = 7;
} // namespace flag_bit

// The console uses at most 16 characters of a name, whatever length byte the unit sends.
inline constexpr std::size_t kMaxNameBytes = 32;

// Decodes the block into the record's fields (not stateBlock, not the derived drawing data).
// Returns the unit's name; nothing when it is empty or its length byte is above 32 (customName
// then keeps its text).
std::optional<std::u16string> DecodeStateBlock(const StateBlock& block, MultiviewerState& state);

// A whole-state frame that answered a serial search: its block (offsets 18..806) becomes the
// record's raw stateBlock, not decoded; the next state read decodes it. A frame too short to hold
// the block changes nothing and gives false.
bool StoreStateFrame(std::span<const std::uint8_t> frame, MultiviewerState& state);

} // namespace brenvik
