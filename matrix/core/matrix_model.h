#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brenvik {

// Eight inputs, eight outputs; numbered 1..8, index 0 of each array is output 1.
inline constexpr std::size_t kMatrixPorts = 8;
using MatrixRouting = std::array<std::uint8_t, kMatrixPorts>;

// What the console knows of the matrix switcher it talks to, owned by its MatrixSession: the
// routing this console last sent, the routing the unit last reported (or the last routing command
// set), and the backlight settings.
struct MatrixModel {
    MatrixRouting sentRouting{};          // per output, the input this console last routed to it; 0 = none
    MatrixRouting statusRouting{};        // per output, the input reported by the unit or last routed
    std::uint8_t backlightTime = 0;       // index into the backlight time texts; the unit may send more
    std::uint8_t backlightBrightness = 0; // 0..100 from the console; the unit may send more
};

} // namespace brenvik
