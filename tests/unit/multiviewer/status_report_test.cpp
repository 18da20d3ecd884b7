#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/status_report.h"
#include "report_frames.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace brenvik {
namespace {

using test::Report;
using F = MultiviewerField;
using Changes = std::vector<MultiviewerChange>;

// The record as a state read leaves it, in Multiviewer Mode, with values that differ per window so
// that a report written to the wrong entry shows.
MultiviewerState StartState() {
    MultiviewerState state = MultiviewerState::Defaults();
    state.layoutCode = 40;
    state.switcherMode = 0;
    for (int n = 1; n <= kWindowCount; ++n) {
        state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        state.loopRoute.At(n) = static_cast<std::uint8_t>(17 - n);
        state.umdTextColor.At(n) = 7;
        state.umdBackColor.At(n) = static_cast<std::uint8_t>(n % 8);
        state.formatTextColor.At(n) = static_cast<std::uint8_t>(15 - n % 8);
        state.formatBackColor.At(n) = 1;
        state.timecodeTextColor.At(n) = 9;
        state.timecodeBackColor.At(n) = static_cast<std::uint8_t>(n % 4);
        state.meterChannel.At(n) = static_cast<std::uint8_t>(n % 8);
        state.signalPresent.At(n) = 1;
        state.signalFormat.At(n) = 15;
    }
    state.meterOn.At(4) = 1;
    state.umdColorInput = 2;
    state.formatColorWindow = 3;
    state.meterWindow = 4;
    state.windowRects = ComputeLayoutGeometry(40);
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);
    return state;
}

struct ReportCase {
    const char* name;
    std::uint8_t switcherMode;
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    std::function<void(MultiviewerState&)> change; // the record's fields afterwards
    Changes changes;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

void NoChange(MultiviewerState&) {}

// Every report is applied whole: nothing but the unit's mode decides where a value goes. The drawing
// data is not touched here; the session refreshes it from the changes.
const ReportCase kReportCases[] = {
    {"Layout", 0, 0x33, {90}, [](auto& s) { s.layoutCode = 90; }, {{F::LayoutCode}}},
    {"LayoutInSwitcherMode", 1, 0x33, {60}, [](auto& s) { s.layoutCode = 60; }, {{F::LayoutCode}}},
    {"SourceInMultiviewerMode",
     0,
     0x34,
     {9, 4},
     [](auto& s) { s.windowSource.At(4) = 9; },
     {{F::WindowSource, 4}}},
    {"SourceInSwitcherMode", 1, 0x34, {9, 4}, [](auto& s) { s.loopRoute.At(4) = 9; }, {{F::LoopRoute, 4}}},
    {"SourceInSwitcherModeOutput12",
     1,
     0x34,
     {1, 12},
     [](auto& s) { s.loopRoute.At(12) = 1; },
     {{F::LoopRoute, 12}}},
    {"UmdWindowOn", 0, 0x36, {5, 1}, [](auto& s) { s.umdOn.At(5) = 1; }, {{F::UmdOn, 5}}},
    {"UmdWindowOff", 0, 0x36, {16, 0}, NoChange, {{F::UmdOn, 16}}},
    {"AllUmdOn", 0, 0x5C, {1}, [](auto& s) { s.umdAllOn = 1; }, {{F::UmdAllOn}}},
    {"UmdTextColourAll",
     0,
     0x3B,
     {0, 5},
     [](auto& s) {
         s.umdColorInput = 0;
         s.umdTextColor.values.fill(5);
     },
     {{F::ColourSelection}, {F::UmdTextColor, 0}}},
    {"UmdTextColourOne",
     0,
     0x3B,
     {3, 2},
     [](auto& s) {
         s.umdColorInput = 3;
         s.umdTextColor.At(3) = 2;
     },
     {{F::ColourSelection}, {F::UmdTextColor, 3}}},
    {"UmdBackColour",
     0,
     0x3C,
     {4, 1},
     [](auto& s) {
         s.umdColorInput = 4;
         s.umdBackColor.At(4) = 1;
     },
     {{F::ColourSelection}, {F::UmdBackColor, 4}}},
    {"FormatTextColourAll",
     0,
     0x3D,
     {0, 2},
     [](auto& s) {
         s.formatColorWindow = 0;
         s.formatTextColor.values.fill(2);
     },
     {{F::ColourSelection}, {F::FormatTextColor, 0}}},
    {"FormatBackColour",
     0,
     0x3E,
     {6, 2},
     [](auto& s) {
         s.formatColorWindow = 6;
         s.formatBackColor.At(6) = 2;
     },
     {{F::ColourSelection}, {F::FormatBackColor, 6}}},
    {"TimecodeTextColourAll",
     0,
     0x54,
     {0, 3},
     [](auto& s) {
         s.formatColorWindow = 0;
         s.timecodeTextColor.values.fill(3);
     },
     {{F::ColourSelection}, {F::TimecodeTextColor, 0}}},
    {"TimecodeBackColourAll",
     0,
     0x55,
     {0, 4},
     [](auto& s) {
         s.formatColorWindow = 0;
         s.timecodeBackColor.values.fill(4);
     },
     {{F::ColourSelection}, {F::TimecodeBackColor, 0}}},
    {"TimecodeBackColour",
     0,
     0x55,
     {2, 4},
     [](auto& s) {
         s.formatColorWindow = 2;
         s.timecodeBackColor.At(2) = 4;
     },
     {{F::ColourSelection}, {F::TimecodeBackColor, 2}}},
    {"Border", 0, 0x3F, {1}, [](auto& s) { s.borderOn = 1; }, {{F::Border}}},
    {"FormatStatus3A", 0, 0x3A, {1}, [](auto& s) { s.formatStatusOn = 1; }, {{F::FormatStatus}}},
    {"FormatStatus5DOff", 0, 0x5D, {0}, NoChange, {{F::FormatStatus}}},
    {"Timecode53", 0, 0x53, {1}, [](auto& s) { s.timecodeOn = 1; }, {{F::Timecode}}},
    {"Timecode5EOff", 0, 0x5E, {0}, NoChange, {{F::Timecode}}},
    {"AudioAlarm", 0, 0x56, {1}, [](auto& s) { s.audioAlarmOn = 1; }, {{F::AudioAlarm}}},
    {"OutputFormat", 0, 0x19, {0, 9}, [](auto& s) { s.outputFormat = 9; }, {{F::OutputFormat}}},
    {"AudioSource", 0, 0x39, {5}, [](auto& s) { s.audioSource = 5; }, {{F::AudioSource}}},
    {"Meter",
     0,
     0x37,
     {2, 1},
     [](auto& s) {
         s.meterWindow = 1;
         s.meterOn.At(2) = 1;
     },
     {{F::MeterWindow}, {F::MeterOn, 2}}},
    {"AllMeters", 0, 0x5B, {1}, [](auto& s) { s.meterAllOn = 1; }, {{F::MeterAllOn}}},
    {"MeterChannel",
     0,
     0x52,
     {4, 6},
     [](auto& s) {
         s.meterWindow = 3;
         s.meterChannel.At(4) = 6;
     },
     {{F::MeterWindow}, {F::MeterChannel, 4}}},
    {"SignalPresentWindow4",
     0,
     0x51,
     {3, 1, 31},
     [](auto& s) { s.signalFormat.At(4) = 31; },
     {{F::Signal, 4}}},
    {"SignalGoneWindow16",
     0,
     0x51,
     {15, 0, 31},
     [](auto& s) {
         s.signalPresent.At(16) = 0;
         s.signalFormat.At(16) = 31;
     },
     {{F::Signal, 16}}},
};

class ReportTable : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTable, AppliesTheReportWholeAndSaysWhatChanged) {
    const ReportCase& c = GetParam();
    MultiviewerState state = StartState();
    state.switcherMode = c.switcherMode;
    MultiviewerState expected = state;
    c.change(expected);
    const ReportChanges changes = ApplyStatusReport(state, Report(c.opcode, c.values));
    EXPECT_EQ(state, expected);
    EXPECT_EQ(Changes(changes.begin(), changes.end()), c.changes);
}

INSTANTIATE_TEST_SUITE_P(StatusReports, ReportTable, ::testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.name); });

void ExpectIgnored(const Frame& report, std::uint8_t switcherMode = 0) {
    MultiviewerState state = StartState();
    state.switcherMode = switcherMode;
    const MultiviewerState before = state;
    EXPECT_TRUE(ApplyStatusReport(state, report).empty());
    EXPECT_EQ(state, before);
}

// The console must not read past what arrived: a report that stops before its last value changes
// nothing, whatever lies in memory beyond it.
TEST(StatusReportsIgnored, ShortReports) {
    for (const ReportCase& c : kReportCases) {
        SCOPED_TRACE(c.name);
        Frame report = Report(c.opcode, c.values);
        report.resize(18 + c.values.size() - 1);
        ExpectIgnored(report, c.switcherMode);
    }
    ExpectIgnored(Frame(16, 0xA5));
    ExpectIgnored(Frame(17, 0x33));
    ExpectIgnored({});
}

TEST(StatusReportsIgnored, NumbersOutsideTheirRange) {
    const struct {
        std::uint8_t switcherMode;
        std::uint8_t opcode;
        std::vector<std::uint8_t> values;
    } cases[] = {
        {1, 0x34, {0, 4}},      {1, 0x34, {17, 4}}, {0, 0x34, {9, 0}},  {0, 0x34, {9, 17}},
        {0, 0x36, {0, 1}},      {0, 0x36, {17, 1}}, {0, 0x3B, {17, 1}}, {0, 0x3C, {255, 1}},
        {0, 0x3D, {17, 1}},     {0, 0x3E, {17, 1}}, {0, 0x54, {17, 1}}, {0, 0x55, {17, 1}},
        {0, 0x37, {0, 1}},      {0, 0x37, {17, 1}}, {0, 0x52, {0, 3}},  {0, 0x52, {17, 3}},
        {0, 0x51, {16, 1, 31}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "opcode " << int(c.opcode) << " value " << int(c.values[0]));
        ExpectIgnored(Report(c.opcode, c.values), c.switcherMode);
    }
}

TEST(StatusReportsIgnored, UnknownOpcodes) {
    for (std::uint8_t opcode : {0x00, 0x0A, 0x1E, 0x5A, 0x62, 0x7E, 0xFF}) {
        ExpectIgnored(Report(opcode, {1, 1, 1}));
    }
}

// The session reads the whole state again after them; the report itself changes nothing.
TEST(StatusReportsIgnored, SettingsReplacedReportsThemselves) {
    for (std::uint8_t opcode : {0x0B, 0x38, 0x59}) {
        EXPECT_TRUE(IsSettingsReplacedReport(opcode));
        ExpectIgnored(Report(opcode, {}));
        ExpectIgnored(Report(opcode, {1}));
    }
    EXPECT_FALSE(IsSettingsReplacedReport(0x33));
}

// The status receiver's test before it hands a report on: the unit's identifier, an opcode the
// console handles, and every value the report is read for.
TEST(StatusReportChecks, IdentifierOpcodeAndLength) {
    DeviceEntry unit;
    unit.unitId = test::kReportUnitId;
    EXPECT_TRUE(IsAcceptableReport(Report(0x51, {3, 1, 31}), unit));
    EXPECT_FALSE(IsAcceptableReport(Report(0x51, {3, 1, 31}, {0x0A, 0x0B, 0x0C, 0x0E}), unit));
    Frame shortSignal = Report(0x51, {3, 1, 31});
    shortSignal.resize(20);
    EXPECT_FALSE(IsAcceptableReport(shortSignal, unit));
    shortSignal.resize(21);
    EXPECT_TRUE(IsAcceptableReport(shortSignal, unit));
    const Frame replaced = Report(0x0B, {});
    EXPECT_TRUE(IsAcceptableReport(std::span(replaced).first(17), unit));
    EXPECT_FALSE(IsAcceptableReport(std::span(replaced).first(16), unit));
    EXPECT_FALSE(IsAcceptableReport(Report(0x7E, {1, 2, 3}), unit));
    EXPECT_FALSE(IsAcceptableReport(Frame{}, unit));
}

} // namespace
} // namespace brenvik
