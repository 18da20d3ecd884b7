#include "status_report.h"

#include "link/frame.h"

#include <algorithm>
#include <array>

namespace brenvik {

namespace {

// Every report the console handles. Window and input numbers are 1..16, 0 = all for the colour
// reports; the signal report alone counts windows 0..15.
constexpr std::array<ReportLayout, 25> kReportLayouts{{
    {kReportDefaultLoaded, 0, 0, 0, 0},
    {kReportSettingsReplaced, 0, 0, 0, 0},
    {kReportCustomLoaded, 0, 0, 0, 0},
    {0x33, 1, 0, 0, 0},  // layout code
    {0x34, 2, 2, 1, 16}, // input, window or loop output
    {0x36, 2, 1, 1, 16}, // window, UMD label on
    {0x5C, 1, 0, 0, 0},  // all UMD labels
    {0x3B, 2, 1, 0, 16}, // input, UMD text colour
    {0x3C, 2, 1, 0, 16}, // input, UMD background colour
    {0x3D, 2, 1, 0, 16}, // window, format text colour
    {0x3E, 2, 1, 0, 16}, // window, format background colour
    {0x54, 2, 1, 0, 16}, // window, time code text colour
    {0x55, 2, 1, 0, 16}, // window, time code background colour
    {0x3F, 1, 0, 0, 0},  // borders
    {0x3A, 1, 0, 0, 0},  // format status
    {0x5D, 1, 0, 0, 0},  // format status
    {0x53, 1, 0, 0, 0},  // time code
    {0x5E, 1, 0, 0, 0},  // time code
    {0x56, 1, 0, 0, 0},  // audio alarm
    {0x19, 2, 0, 0, 0},  // 0, output format code
    {0x39, 1, 0, 0, 0},  // audio source
    {0x37, 2, 1, 1, 16}, // window, meter on
    {0x5B, 1, 0, 0, 0},  // all meters
    {0x52, 2, 1, 1, 16}, // window, channel pair
    {0x51, 3, 1, 0, 15}, // window index, signal present, signal format code
}};

} // namespace

std::optional<ReportLayout> FindReportLayout(std::uint8_t opcode) {
    const auto* found =
        std::find_if(kReportLayouts.begin(), kReportLayouts.end(),
                     [opcode](const ReportLayout& layout) { return layout.opcode == opcode; });
    if (found == kReportLayouts.end()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<std::size_t> ReportMinimumLength(std::uint8_t opcode) {
    const auto layout = FindReportLayout(opcode);
    if (!layout) {
        return std::nullopt;
    }
    if (layout->valueCount == 0) {
        return frame_offset::kOpcode + 1;
    }
    return frame_offset::kUnitData + layout->valueCount;
}

bool IsAcceptableReport(std::span<const std::uint8_t> report, const DeviceEntry& unit) {
    if (report.size() <= frame_offset::kOpcode) {
        return false;
    }
    if (!std::equal(unit.unitId.begin(), unit.unitId.end(), report.begin() + frame_offset::kUnitId)) {
        return false;
    }
    const auto minimum = ReportMinimumLength(report[frame_offset::kOpcode]);
    return minimum && report.size() >= *minimum;
}

bool ReportNumbersInRange(const ReportLayout& layout, std::span<const std::uint8_t> report) {
    if (report.size() < frame_offset::kUnitData + layout.numberCount) {
        return false;
    }
    for (std::size_t k = 0; k < layout.numberCount; ++k) {
        const std::uint8_t number = report[frame_offset::kUnitData + k];
        if (number < layout.lowest || number > layout.highest) {
            return false;
        }
    }
    return true;
}

} // namespace brenvik
