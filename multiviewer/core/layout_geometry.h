#pragma once

#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstdint>

namespace brenvik {

inline constexpr int kCanvasWidth = 720;
inline constexpr int kCanvasHeight = 480;

// The window rectangles of a layout code in canvas units, numbered 1, 2, ... in record order (a
// single-window layout 1..16 carries its own code as the number). Unknown codes give no windows.
std::array<PreviewRect, kWindowCount> ComputeLayoutGeometry(std::uint8_t layoutCode);

// The 4 x 4 grid of the Switcher Mode preview: cell k at (180 (k mod 4), 120 (k div 4)), 180 x 120,
// numbered with the input that feeds loop output k + 1.
std::array<PreviewRect, kWindowCount> ComputeSwitcherCells(const PerWindow<std::uint8_t>& loopRoute);

} // namespace brenvik
