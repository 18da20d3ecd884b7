#pragma once

#include "link/frame.h"

#include <cstdint>

namespace brenvik {

// The matrix switcher's four frames; the routing commands are texts, not frames.
Frame BuildQueryMatrixState(std::uint8_t linkByte);
Frame BuildQueryBacklight(std::uint8_t linkByte);
Frame BuildSetBacklightTime(std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t value);
Frame BuildSetBacklightBrightness(std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t value);

} // namespace brenvik
