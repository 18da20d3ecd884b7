#include "multiviewer/core/input_name_frame.h"

#include "multiviewer/core/multiviewer_opcodes.h"

#include <algorithm>
#include <array>
#include <vector>

namespace brenvik {

namespace {

namespace input_name_offset {
constexpr std::size_t kInputNumber = 0;
constexpr std::size_t kFixed = 1;
constexpr std::size_t kName = 8;
} // namespace input_name_offset
constexpr std::array<std::uint8_t, 7> kInputNameFixedBytes{0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01};

} // namespace

Frame BuildInputNameFrame(std::uint8_t typeCode, std::uint8_t unitAddress, std::uint8_t linkByte,
                          std::uint8_t inputNumber, std::span<const std::uint8_t> nameUtf16le) {
    std::vector<std::uint8_t> payload(input_name_offset::kName + nameUtf16le.size(), 0x00);
    payload[input_name_offset::kInputNumber] = inputNumber;
    std::copy(kInputNameFixedBytes.begin(), kInputNameFixedBytes.end(),
              payload.begin() + input_name_offset::kFixed);
    std::copy(nameUtf16le.begin(), nameUtf16le.end(), payload.begin() + input_name_offset::kName);
    return BuildFrame(typeCode, unitAddress, linkByte, mv_opcode::kSetInputName, payload);
}

} // namespace brenvik
