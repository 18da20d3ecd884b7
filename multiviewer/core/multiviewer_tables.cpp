#include "multiviewer/core/multiviewer_tables.h"

#include <algorithm>

namespace brenvik {

std::optional<Rgb> ColourRgb(std::uint8_t colourIndex) {
    if (colourIndex >= kColourTable.size()) {
        return std::nullopt;
    }
    return kColourTable[colourIndex].rgb;
}

std::optional<int> OutputFormatListPosition(std::uint8_t code) {
    const auto* found = std::find_if(kOutputFormats.begin(), kOutputFormats.end(),
                                     [code](const OutputFormatEntry& entry) { return entry.code == code; });
    if (found == kOutputFormats.end()) {
        return std::nullopt;
    }
    return found->listPosition;
}

std::optional<std::string_view> SignalFormatText(std::uint8_t code) {
    const auto* found = std::find_if(kSignalFormats.begin(), kSignalFormats.end(),
                                     [code](const SignalFormatEntry& entry) { return entry.code == code; });
    if (found == kSignalFormats.end()) {
        return std::nullopt;
    }
    return found->text;
}

} // namespace brenvik
