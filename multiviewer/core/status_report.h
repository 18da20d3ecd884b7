#pragma once

#include "link/device_table.h"
#include "multiviewer/core/multiviewer_opcodes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace brenvik {

// A multiviewer's report is a frame whose offsets 10..13 carry the unit identifier and offset 16
// the opcode; its values begin at offset 18 ([18], [19], [20]).
inline constexpr std::size_t kReportBufferSize = 1400;

// After these the unit's whole state is read again.
constexpr bool IsSettingsReplacedReport(std::uint8_t opcode) {
    return opcode == mv_opcode::kLoadDefault || opcode == mv_opcode::kReportSettingsReplaced ||
           opcode == mv_opcode::kLoadCustom;
}

// How many values a report carries and which of them are window or input numbers: the first
// `numberCount` values must lie in lowest..highest, or the report is ignored.
struct ReportLayout {
    std::uint8_t opcode;
    std::uint8_t valueCount;
    std::uint8_t numberCount;
    std::uint8_t lowest;
    std::uint8_t highest;
};

// Nothing for an opcode the console does not handle.
std::optional<ReportLayout> FindReportLayout(std::uint8_t opcode);

// The number of bytes a report with this opcode must have to hold every value it is read for;
// nothing for an opcode the console does not handle.
std::optional<std::size_t> ReportMinimumLength(std::uint8_t opcode);

// The receiver's test before a report is handed on: from `unit` (identifier at 10..13), an opcode
// the console handles, and long enough for its values.
bool IsAcceptableReport(std::span<const std::uint8_t> report, const DeviceEntry& unit);

// Whether a report of a handled opcode, long enough for its values, names windows and inputs that
// exist.
bool ReportNumbersInRange(const ReportLayout& layout, std::span<const std::uint8_t> report);

} // namespace brenvik
