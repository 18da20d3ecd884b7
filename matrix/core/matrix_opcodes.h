#pragma once

#include <cstdint>

// The matrix switcher's wire opcodes and the fixed header bytes of its frames, named once.
namespace brenvik::matrix_opcode {

inline constexpr std::uint8_t kQueryBacklight = 0x50;
inline constexpr std::uint8_t kSetBacklightTime = 0x51;
inline constexpr std::uint8_t kSetBacklightBrightness = 0x52;
inline constexpr std::uint8_t kQueryState = 0x53;

// The backlight frames carry type code 0x03, not the unit's own 0x82; the two queries always carry
// unit address 0x01, the set frames the selected unit's address.
inline constexpr std::uint8_t kBacklightTypeCode = 0x03;
inline constexpr std::uint8_t kQueryUnitAddress = 0x01;

} // namespace brenvik::matrix_opcode
