#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brenvik {

// Names travel as UTF-16LE code units with no terminator; the console keeps them as UTF-16 text.
std::vector<std::uint8_t> ToUtf16le(const std::u16string& text);

// Reads at most maxBytes of `bytes` as UTF-16LE, up to the first zero code unit. Never reads past
// `bytes`: an odd count or a short buffer reads as if the name sat in a zero-filled buffer.
std::u16string FromUtf16le(std::span<const std::uint8_t> bytes, std::size_t maxBytes);

// Model names in discovery replies are one byte per character, the first 256 code points.
std::u16string FromLatin1(std::span<const std::uint8_t> bytes);

std::u16string ToU16(const std::string& ascii);

} // namespace brenvik
