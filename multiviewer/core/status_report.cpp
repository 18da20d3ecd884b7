#include "multiviewer/core/status_report.h"

#include "link/frame.h"

#include <algorithm>

namespace brenvik {

std::uint8_t ReportValues::operator[](std::size_t k) const {
    return m_report[frame_offset::kUnitData + k];
}

void ReportChanges::Add(MultiviewerField field, int index) {
    if (m_count < kMost) {
        m_changes[m_count++] = MultiviewerChange{field, index};
    }
}

namespace {

using F = MultiviewerField;
using Flag = std::uint8_t MultiviewerState::*;
using Entries = PerWindow<std::uint8_t> MultiviewerState::*;

void LayoutCode(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    s.layoutCode = v[0];
    c.Add(F::LayoutCode);
}

// In Switcher Mode the unit routes inputs to its loop outputs, in Multiviewer Mode to its windows:
// the report names whichever the unit is in.
void Source(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    const int target = v[1];
    if (s.switcherMode == 1) {
        s.loopRoute.At(target) = v[0];
        c.Add(F::LoopRoute, target);
    } else {
        s.windowSource.At(target) = v[0];
        c.Add(F::WindowSource, target);
    }
}

template <Entries kEntries, F kField> void Indexed(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    (s.*kEntries).At(v[0]) = v[1];
    c.Add(kField, v[0]);
}

template <Flag kFlag, F kField> void OnOff(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    s.*kFlag = v[0];
    c.Add(kField);
}

// A colour report names its target (0 = all, every entry takes the colour); the colour page's
// selection follows it.
template <Flag kSelection, Entries kColours, F kField>
void Colour(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    s.*kSelection = v[0];
    if (v[0] == 0) {
        (s.*kColours).values.fill(v[1]);
    } else {
        (s.*kColours).At(v[0]) = v[1];
    }
    c.Add(F::ColourSelection);
    c.Add(kField, v[0]);
}

void OutputFormat(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    s.outputFormat = v[1];
    c.Add(F::OutputFormat);
}

// The meter reports make their window the audio page's.
template <Entries kEntries, F kField> void MeterOf(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    const int window = v[0];
    s.meterWindow = static_cast<std::uint8_t>(window - 1);
    (s.*kEntries).At(window) = v[1];
    c.Add(F::MeterWindow);
    c.Add(kField, window);
}

// The signal report alone counts windows from 0.
void Signal(MultiviewerState& s, ReportValues v, ReportChanges& c) {
    const int window = v[0] + 1;
    s.signalPresent.At(window) = v[1];
    s.signalFormat.At(window) = v[2];
    c.Add(F::Signal, window);
}

using S = MultiviewerState;

// Every report the console handles, its values and what it does. Window and input numbers are
// 1..16, 0 = all for the colour reports; the signal report alone counts windows 0..15.
constexpr std::array<ReportLayout, 25> kReportLayouts{{
    {mv_opcode::kLoadDefault, 0, 0, 0, 0, nullptr},
    {mv_opcode::kReportSettingsReplaced, 0, 0, 0, 0, nullptr},
    {mv_opcode::kLoadCustom, 0, 0, 0, 0, nullptr},
    {mv_opcode::kSetLayoutCode, 1, 0, 0, 0, &LayoutCode},                               // layout code
    {mv_opcode::kSetSource, 2, 2, 1, 16, &Source},                                      // input, window or output
    {mv_opcode::kSetUmd, 2, 1, 1, 16, &Indexed<&S::umdOn, F::UmdOn>},                   // window, label on
    {mv_opcode::kSetUmdAll, 1, 0, 0, 0, &OnOff<&S::umdAllOn, F::UmdAllOn>},             // all labels
    {mv_opcode::kSetUmdTextColor, 2, 1, 0, 16,                                          // input, colour
     &Colour<&S::umdColorInput, &S::umdTextColor, F::UmdTextColor>},
    {mv_opcode::kSetUmdBackColor, 2, 1, 0, 16,                                          // input, colour
     &Colour<&S::umdColorInput, &S::umdBackColor, F::UmdBackColor>},
    {mv_opcode::kSetFormatTextColor, 2, 1, 0, 16,                                       // window, colour
     &Colour<&S::formatColorWindow, &S::formatTextColor, F::FormatTextColor>},
    {mv_opcode::kSetFormatBackColor, 2, 1, 0, 16,                                       // window, colour
     &Colour<&S::formatColorWindow, &S::formatBackColor, F::FormatBackColor>},
    {mv_opcode::kSetTimecodeTextColor, 2, 1, 0, 16,                                     // window, colour
     &Colour<&S::formatColorWindow, &S::timecodeTextColor, F::TimecodeTextColor>},
    {mv_opcode::kSetTimecodeBackColor, 2, 1, 0, 16,                                     // window, colour
     &Colour<&S::formatColorWindow, &S::timecodeBackColor, F::TimecodeBackColor>},
    {mv_opcode::kSetBorder, 1, 0, 0, 0, &OnOff<&S::borderOn, F::Border>},               // borders
    {mv_opcode::kReportFormatStatus, 1, 0, 0, 0, &OnOff<&S::formatStatusOn, F::FormatStatus>},
    {mv_opcode::kSetFormatStatus, 1, 0, 0, 0, &OnOff<&S::formatStatusOn, F::FormatStatus>},
    {mv_opcode::kReportTimecode, 1, 0, 0, 0, &OnOff<&S::timecodeOn, F::Timecode>},
    {mv_opcode::kSetTimecode, 1, 0, 0, 0, &OnOff<&S::timecodeOn, F::Timecode>},
    {mv_opcode::kSetAudioAlarm, 1, 0, 0, 0, &OnOff<&S::audioAlarmOn, F::AudioAlarm>},
    {mv_opcode::kSetOutputFormat, 2, 0, 0, 0, &OutputFormat},                           // 0, format code
    {mv_opcode::kSetAudioSource, 1, 0, 0, 0, &OnOff<&S::audioSource, F::AudioSource>},  // audio source
    {mv_opcode::kSetMeter, 2, 1, 1, 16, &MeterOf<&S::meterOn, F::MeterOn>},             // window, meter on
    {mv_opcode::kSetMeterAll, 1, 0, 0, 0, &OnOff<&S::meterAllOn, F::MeterAllOn>},       // all meters
    {mv_opcode::kSetMeterChannel, 2, 1, 1, 16, &MeterOf<&S::meterChannel, F::MeterChannel>}, // window, pair
    {mv_opcode::kReportSignal, 3, 1, 0, 15, &Signal}, // window index, signal present, signal format code
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

ReportChanges ApplyStatusReport(MultiviewerState& state, std::span<const std::uint8_t> report) {
    ReportChanges changes;
    if (report.size() <= frame_offset::kOpcode) {
        return changes;
    }
    const std::uint8_t opcode = report[frame_offset::kOpcode];
    const auto layout = FindReportLayout(opcode);
    const auto minimum = ReportMinimumLength(opcode);
    if (!layout || layout->handler == nullptr || !minimum || report.size() < *minimum ||
        !ReportNumbersInRange(*layout, report)) {
        return changes;
    }
    layout->handler(state, ReportValues(report), changes);
    return changes;
}

} // namespace brenvik
