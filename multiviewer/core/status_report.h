#pragma once

#include "link/device_table.h"
#include "multiviewer/core/multiviewer_observer.h"
#include "multiviewer/core/multiviewer_opcodes.h"
#include "multiviewer/core/multiviewer_state.h"

#include <array>
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

// The values of a report, [18] onwards; the row's checks have made sure the report holds them.
class ReportValues {
public:
    explicit ReportValues(std::span<const std::uint8_t> report) : m_report(report) {}
    std::uint8_t operator[](std::size_t k) const;

private:
    std::span<const std::uint8_t> m_report;
};

// What one report changed in the record, in order.
class ReportChanges {
public:
    static constexpr std::size_t kMost = 4;
    void Add(MultiviewerField field, int index = 0);
    const MultiviewerChange* begin() const { return m_changes.data(); }
    const MultiviewerChange* end() const { return m_changes.data() + m_count; }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

private:
    std::array<MultiviewerChange, kMost> m_changes{};
    std::size_t m_count = 0;
};

using ReportHandler = void (*)(MultiviewerState& state, ReportValues values, ReportChanges& changes);

// One report the console handles: how many values it carries, which of them are window or input
// numbers (the first `numberCount` values must lie in lowest..highest, or the report is ignored),
// and what it does to the record. The settings-replaced reports have no handler: they start a
// re-read.
struct ReportLayout {
    std::uint8_t opcode;
    std::uint8_t valueCount;
    std::uint8_t numberCount;
    std::uint8_t lowest;
    std::uint8_t highest;
    ReportHandler handler;
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

// Applies one report to the record, whole, and says what it changed (not the drawing data, which
// follows from the changes). A report too short for its values, of an opcode without a handler, or
// naming a window or input outside what it allows changes nothing.
ReportChanges ApplyStatusReport(MultiviewerState& state, std::span<const std::uint8_t> report);

} // namespace brenvik
