#include "link/text_codec.h"

#include <algorithm>

namespace brenvik {

std::vector<std::uint8_t> ToUtf16le(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

std::u16string FromUtf16le(std::span<const std::uint8_t> bytes, std::size_t maxBytes) {
    const std::size_t count = std::min(bytes.size(), maxBytes);
    // A lone last byte pairs with a zero high byte, as if the name sat in a zero-filled buffer.
    const auto byteAt = [&](std::size_t at) -> unsigned { return at < count ? bytes[at] : 0u; };
    std::u16string text;
    for (std::size_t at = 0; at < count; at += 2) {
        const auto unit = static_cast<char16_t>(byteAt(at) | (byteAt(at + 1) << 8));
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::u16string FromLatin1(std::span<const std::uint8_t> bytes) {
    return std::u16string(bytes.begin(), bytes.end());
}

std::u16string ToU16(const std::string& ascii) {
    std::u16string text;
    text.reserve(ascii.size());
    for (char c : ascii) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace brenvik
