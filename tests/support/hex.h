#pragma once

#include "link/frame.h"

#include <string>

namespace brenvik::test {

// Bytes written as the examples write them: two hex digits each, one space between ("A5 6C 14").
inline Frame Hex(const std::string& text) {
    Frame bytes;
    for (std::size_t at = 0; at < text.size(); at += 3) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

} // namespace brenvik::test
