#include "multiviewer/core/status_report.h"

#include "link/frame.h"

#include <algorithm>
#include <array>

namespace brenvik {

namespace {

// Every report the console handles. Window and input numbers are 1..16, 0 = all for the colour
// reports; the signal report alone counts windows 0..15.
constexpr std::array<ReportLayout, 25> kReportLayouts{{
    {mv_opcode::kLoadDefault, 0, 0, 0, 0},
    {mv_opcode::kReportSettingsReplaced, 0, 0, 0, 0},
    {mv_opcode::kLoadCustom, 0, 0, 0, 0},
    {mv_opcode::kSetLayoutCode, 1, 0, 0, 0},         // layout code
    {mv_opcode::kSetSource, 2, 2, 1, 16},            // input, window or loop output
    {mv_opcode::kSetUmd, 2, 1, 1, 16},               // window, UMD label on
    {mv_opcode::kSetUmdAll, 1, 0, 0, 0},             // all UMD labels
    {mv_opcode::kSetUmdTextColor, 2, 1, 0, 16},      // input, UMD text colour
    {mv_opcode::kSetUmdBackColor, 2, 1, 0, 16},      // input, UMD background colour
    {mv_opcode::kSetFormatTextColor, 2, 1, 0, 16},   // window, format text colour
    {mv_opcode::kSetFormatBackColor, 2, 1, 0, 16},   // window, format background colour
    {mv_opcode::kSetTimecodeTextColor, 2, 1, 0, 16}, // window, time code text colour
    {mv_opcode::kSetTimecodeBackColor, 2, 1, 0, 16}, // window, time code background colour
    {mv_opcode::kSetBorder, 1, 0, 0, 0},             // borders
    {mv_opcode::kReportFormatStatus, 1, 0, 0, 0},    // format status
    {mv_opcode::kSetFormatStatus, 1, 0, 0, 0},       // format status
    {mv_opcode::kReportTimecode, 1, 0, 0, 0},        // time code
    {mv_opcode::kSetTimecode, 1, 0, 0, 0},           // time code
    {mv_opcode::kSetAudioAlarm, 1, 0, 0, 0},         // audio alarm
    {mv_opcode::kSetOutputFormat, 2, 0, 0, 0},       // 0, output format code
    {mv_opcode::kSetAudioSource, 1, 0, 0, 0},        // audio source
    {mv_opcode::kSetMeter, 2, 1, 1, 16},             // window, meter on
    {mv_opcode::kSetMeterAll, 1, 0, 0, 0},           // all meters
    {mv_opcode::kSetMeterChannel, 2, 1, 1, 16},      // window, channel pair
    {mv_opcode::kReportSignal, 3, 1, 0, 15},         // window index, signal present, signal format code
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
