#include "sim/unit_frame.h"

#include <algorithm>
#include <vector>

namespace brenvik::sim {

namespace {
// The checksum's two bytes and the terminator end every frame.
constexpr std::size_t kChecksumFromEnd = 3;
} // namespace

Frame BuildUnitFrame(const UnitConfig& unit, std::uint8_t linkByte, std::uint8_t opcode,
                     std::span<const std::uint8_t> data) {
    // The payload of a unit's frame starts one byte earlier than its data: offset 17 is unused.
    std::vector<std::uint8_t> payload(1 + data.size(), 0x00);
    std::copy(data.begin(), data.end(), payload.begin() + 1);
    Frame frame = BuildFrame(unit.typeCode, unit.unitAddress, linkByte, opcode, payload);
    std::copy(unit.unitId.begin(), unit.unitId.end(), frame.begin() + frame_offset::kUnitId);
    StampChecksum(frame);
    return frame;
}

void StampChecksum(Frame& frame) {
    if (frame.size() < kFrameOverhead) {
        return;
    }
    const std::size_t at = frame.size() - kChecksumFromEnd;
    const std::uint16_t checksum = FrameChecksum(std::span(frame).first(at));
    frame[at] = static_cast<std::uint8_t>(checksum & 0xFF);
    frame[at + 1] = static_cast<std::uint8_t>(checksum >> 8);
}

} // namespace brenvik::sim
