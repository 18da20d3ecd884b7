#pragma once

#include <cstdint>

namespace brenvik {

// The setting page the console page shows, as the console page keeps it. The numbers are
// the captions of the page buttons in order; page 5 is Switcher Mode, every other page Multiviewer
// Mode.
inline constexpr std::uint8_t kPageNone = 0;
inline constexpr std::uint8_t kPageLayout = 1;
inline constexpr std::uint8_t kPageUmdOverlay = 2;
inline constexpr std::uint8_t kPageColors = 3;
inline constexpr std::uint8_t kPageControls = 4;
inline constexpr std::uint8_t kPageSwitcher = 5;
inline constexpr std::uint8_t kPageAudio = 6;

} // namespace brenvik
