#pragma once

#include "multiviewer/core/multiviewer_state.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brenvik {

// The colour index every colour field uses, in the order the colour page lists the names. The RGB
// is what the layout preview paints; "Trans" and "HalfTrans" are painted as the greys given.
struct ColourEntry {
    std::string_view name;
    Rgb rgb;
};
inline constexpr std::array<ColourEntry, 16> kColourTable{{
    {"Black", {0, 0, 0}},
    {"Blue", {0, 0, 255}},
    {"Red", {255, 0, 0}},
    {"Magenta", {255, 0, 255}},
    {"Green", {0, 255, 0}},
    {"Cyan", {0, 255, 255}},
    {"Yellow", {255, 255, 0}},
    {"White", {255, 255, 255}},
    {"Gray", {186, 183, 186}},
    {"VioletRed", {219, 112, 147}},
    {"LightBlue", {173, 216, 230}},
    {"LightGreen", {144, 238, 144}},
    {"LightCyan", {224, 255, 255}},
    {"LightYellow", {255, 255, 224}},
    {"Trans", {152, 152, 152}},
    {"HalfTrans", {182, 182, 182}},
}};

// Nothing for an index above 15.
std::optional<Rgb> ColourRgb(std::uint8_t colourIndex);

// The unit's output formats, in the order of the system settings page's list.
struct OutputFormatEntry {
    std::uint8_t code;
    std::string_view text;
    int listPosition;
};
inline constexpr std::array<OutputFormatEntry, 9> kOutputFormats{{
    {7, "1080p60", 0},
    {11, "1080p50", 1},
    {9, "1080i60", 2},
    {1, "1080i50", 3},
    {3, "1080p30", 4},
    {13, "1080p25", 5},
    {5, "1080p24", 6},
    {14, "720p60", 7},
    {6, "720p50", 8},
}};

// Nothing for a code the unit does not offer.
std::optional<int> OutputFormatListPosition(std::uint8_t code);

// The signal formats a window reports. This code space is not the output formats': 1080p60 is
// output code 7 but signal code 31.
struct SignalFormatEntry {
    std::uint8_t code;
    std::string_view text;
};
inline constexpr std::array<SignalFormatEntry, 18> kSignalFormats{{
    {5, "720p24"},
    {7, "1080p24"},
    {9, "720p25"},
    {11, "1080p25"},
    {13, "720p30"},
    {15, "1080p30"},
    {16, "626i50"},
    {19, "1080i50"},
    {20, "525i60"},
    {23, "1080i60"},
    {25, "720p50"},
    {27, "1080p50"},
    {29, "720p60"},
    {30, "1035i60"},
    {31, "1080p60"},
    {39, "1080psf24"},
    {51, "1080psf25"},
    {55, "1080psf30"},
}};

inline constexpr std::string_view kNoSignalText = "No Signal";

// Nothing for a code outside the table.
std::optional<std::string_view> SignalFormatText(std::uint8_t code);

} // namespace brenvik
