#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brenvik {

// The backlight time settings by value, by the names the operator sees for them.
inline constexpr std::array<std::string_view, 5> kBacklightTimeTexts{"15s Dim", "60s Dim", "15s Off",
                                                                     "60s Off", "Always On"};
inline constexpr std::uint8_t kBrightnessMax = 100;

// The list position of a backlight time value; nothing (no selection) for a value the list lacks.
constexpr std::optional<int> BacklightTimePosition(std::uint8_t value) {
    return value < kBacklightTimeTexts.size() ? std::optional<int>(value) : std::nullopt;
}

} // namespace brenvik
