#pragma once

#include "link/frame.h"

#include <array>
#include <cstdint>
#include <vector>

namespace brenvik::test {

inline constexpr std::array<std::uint8_t, 4> kReportUnitId{0x0A, 0x0B, 0x0C, 0x0D};

// A report as a multiviewer sends it: its identifier at 10..13, the opcode at 16, offset 17 unused,
// the values from offset 18, checksum and terminator.
inline Frame Report(std::uint8_t opcode, const std::vector<std::uint8_t>& values,
                    const std::array<std::uint8_t, 4>& unitId = kReportUnitId) {
    std::vector<std::uint8_t> payload(1, 0x00);
    payload.insert(payload.end(), values.begin(), values.end());
    Frame frame = BuildFrame(0xA1, 0x01, 1, opcode, payload);
    for (std::size_t i = 0; i < unitId.size(); ++i) {
        frame[10 + i] = unitId[i];
    }
    const std::uint16_t checksum = FrameChecksum(std::span(frame).first(frame.size() - 3));
    frame[frame.size() - 3] = static_cast<std::uint8_t>(checksum & 0xFF);
    frame[frame.size() - 2] = static_cast<std::uint8_t>(checksum >> 8);
    return frame;
}

} // namespace brenvik::test
