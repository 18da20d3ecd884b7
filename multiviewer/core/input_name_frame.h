#pragma once

#include "link/frame.h"

#include <cstdint>
#include <span>

namespace brenvik {

// The frame that names one of the multiviewer's inputs: the input number, seven fixed bytes, then
// the name as UTF-16LE code units.
Frame BuildInputNameFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                          std::uint8_t inputNumber, std::span<const std::uint8_t> nameUtf16le);

} // namespace brenvik
