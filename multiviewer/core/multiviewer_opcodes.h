#pragma once

#include <cstdint>

// The multiviewer's wire opcodes, named once. Commands and the reports that echo them share their
// opcode; a few reports have opcodes of their own.
namespace brenvik::mv_opcode {

inline constexpr std::uint8_t kQueryState = 0x0A;
inline constexpr std::uint8_t kLoadDefault = 0x0B;
inline constexpr std::uint8_t kSetOutputFormat = 0x19;
inline constexpr std::uint8_t kSetInputName = 0x1E;
inline constexpr std::uint8_t kSetLayoutCode = 0x33;
inline constexpr std::uint8_t kSetSource = 0x34;
inline constexpr std::uint8_t kSetUmd = 0x36;
inline constexpr std::uint8_t kSetMeter = 0x37;
inline constexpr std::uint8_t kSetAudioSource = 0x39;
inline constexpr std::uint8_t kSetUmdTextColor = 0x3B;
inline constexpr std::uint8_t kSetUmdBackColor = 0x3C;
inline constexpr std::uint8_t kSetFormatTextColor = 0x3D;
inline constexpr std::uint8_t kSetFormatBackColor = 0x3E;
inline constexpr std::uint8_t kSetBorder = 0x3F;
inline constexpr std::uint8_t kSetMeterChannel = 0x52;
inline constexpr std::uint8_t kSetTimecodeTextColor = 0x54;
inline constexpr std::uint8_t kSetTimecodeBackColor = 0x55;
inline constexpr std::uint8_t kSetAudioAlarm = 0x56;
inline constexpr std::uint8_t kSaveCustom = 0x58;
inline constexpr std::uint8_t kLoadCustom = 0x59;
inline constexpr std::uint8_t kRouteOneToOne = 0x5A;
inline constexpr std::uint8_t kSetMeterAll = 0x5B;
inline constexpr std::uint8_t kSetUmdAll = 0x5C;
inline constexpr std::uint8_t kSetFormatStatus = 0x5D;
inline constexpr std::uint8_t kSetTimecode = 0x5E;
inline constexpr std::uint8_t kSetSwitcherMode = 0x62;

// Reports only the unit sends.
inline constexpr std::uint8_t kReportSettingsReplaced = 0x38;
inline constexpr std::uint8_t kReportFormatStatus = 0x3A;
inline constexpr std::uint8_t kReportSignal = 0x51;
inline constexpr std::uint8_t kReportTimecode = 0x53;

} // namespace brenvik::mv_opcode
