#include "matrix/core/matrix_frames.h"

#include "link/device_table.h"
#include "matrix/core/matrix_opcodes.h"

#include <array>

namespace brenvik {

namespace {

Frame BuildBacklightSet(std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t opcode,
                        std::uint8_t value) {
    const std::array<std::uint8_t, 1> payload{value};
    return BuildFrame(matrix_opcode::kBacklightTypeCode, unitAddress, linkByte, opcode, payload);
}

} // namespace

Frame BuildQueryMatrixState(std::uint8_t linkByte) {
    return BuildFrame(kTypeMatrixSwitcher, matrix_opcode::kQueryUnitAddress, linkByte, matrix_opcode::kQueryState);
}

Frame BuildQueryBacklight(std::uint8_t linkByte) {
    return BuildFrame(matrix_opcode::kBacklightTypeCode, matrix_opcode::kQueryUnitAddress, linkByte,
                      matrix_opcode::kQueryBacklight);
}

Frame BuildSetBacklightTime(std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t value) {
    return BuildBacklightSet(unitAddress, linkByte, matrix_opcode::kSetBacklightTime, value);
}

Frame BuildSetBacklightBrightness(std::uint8_t unitAddress, std::uint8_t linkByte, std::uint8_t value) {
    return BuildBacklightSet(unitAddress, linkByte, matrix_opcode::kSetBacklightBrightness, value);
}

} // namespace brenvik
