#pragma once

#include "matrix/core/matrix_model.h"

#include <cstdint>
#include <optional>

// The skin pictures of the matrix page, named once. Keys show the digit 1..8, grey or blue.
namespace brenvik::matrix_picture {

inline constexpr int kBackground = 191;
inline constexpr int kApply = 198;
inline constexpr int kApplyHighlighted = 199;
inline constexpr int kOneToAll = 194;
inline constexpr int kOneToAllHighlighted = 195;
inline constexpr int kOneToOne = 196;
inline constexpr int kOneToOneHighlighted = 197;
inline constexpr int kRefresh = 451;
inline constexpr int kRefreshPressed = 450;

constexpr bool IsPort(int number) {
    return number >= 1 && number <= static_cast<int>(kMatrixPorts);
}

// The key of input or output `number` (1..8).
constexpr int Key(int number, bool highlighted) {
    return 173 + 2 * number + (highlighted ? 1 : 0);
}

// The picture a status key shows for a reported value: the blue key of that input, or nothing for
// a value that is no input number (the key keeps what it shows).
constexpr std::optional<int> StatusKey(std::uint8_t value) {
    return IsPort(value) ? std::optional<int>(Key(value, true)) : std::nullopt;
}

} // namespace brenvik::matrix_picture
