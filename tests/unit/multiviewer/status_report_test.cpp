#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/page_type.h"
#include "multiviewer/core/status_report.h"
#include "multiviewer/core/status_report_applier.h"
#include "report_frames.h"
#include "support/recording_console.h"

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

using test::Report;
using U = PageUpdate;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kCyan{0, 255, 255};

MultiviewerState StartState() {
    MultiviewerState state = MultiviewerState::Defaults();
    state.layoutCode = 40;
    for (int n = 1; n <= kWindowCount; ++n) {
        const auto number = static_cast<std::uint8_t>(n);
        state.windowSource.At(n) = number;
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

class ReportFixture : public ::testing::Test {
protected:
    MultiviewerState m_state = StartState();
    test::RecordingView m_view;
    test::RecordingMainWindow m_mainWindow;
    bool m_locked = false;
    StatusReportApplier m_applier{m_state, m_view, m_mainWindow, m_locked};

    void ExpectIgnored(std::uint8_t page, const Frame& report) {
        m_state.pageType = page;
        const MultiviewerState before = m_state;
        m_applier.Apply(report);
        EXPECT_EQ(m_state, before);
        EXPECT_EQ(m_view.redraws, 0);
        EXPECT_TRUE(m_view.updates.empty());
    }
};

struct ReportCase {
    const char* name;
    std::uint8_t page;
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    std::function<void(MultiviewerState&)> change;
    bool redrawn;
    std::vector<PageUpdate> updates;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

void NoChange(MultiviewerState&) {}

const ReportCase kReportCases[] = {
    {"LayoutOnLayoutPage",
     kPageLayout,
     0x33,
     {90},
     [](MultiviewerState& s) {
         s.layoutCode = 90;
         s.windowRects = ComputeLayoutGeometry(90);
     },
     true,
     {U::Refresh(kPageLayout)}},
    {"SingleWindowLayoutSelectsSourceOfWindow1",
     kPageLayout,
     0x33,
     {7},
     [](MultiviewerState& s) {
         s.layoutCode = 7;
         s.windowRects = ComputeLayoutGeometry(7);
     },
     true,
     {U::Refresh(kPageLayout), U::Select(kPageLayout, 1028, 6)}},
    {"LayoutOnSwitcherPageKeepsGeometry",
     kPageSwitcher,
     0x33,
     {60},
     [](MultiviewerState& s) { s.layoutCode = 60; },
     false,
     {}},
    {"LayoutOnColourPage",
     kPageColors,
     0x33,
     {160},
     [](MultiviewerState& s) {
         s.layoutCode = 160;
         s.windowRects = ComputeLayoutGeometry(160);
     },
     true,
     {}},
    {"SourceOnSwitcherPage",
     kPageSwitcher,
     0x34,
     {9, 4},
     [](MultiviewerState& s) {
         s.loopRoute.At(4) = 9;
         s.switcherCells[3].number = 9;
     },
     true,
     {U::Select(kPageSwitcher, 1077, 8)}},
    {"SourceOnSwitcherPageOutput12",
     kPageSwitcher,
     0x34,
     {1, 12},
     [](MultiviewerState& s) {
         s.loopRoute.At(12) = 1;
         s.switcherCells[11].number = 1;
     },
     true,
     {U::Select(kPageSwitcher, 1086, 0)}},
    {"SourceOnLayoutPage",
     kPageLayout,
     0x34,
     {9, 4},
     [](MultiviewerState& s) { s.windowSource.At(4) = 9; },
     true,
     {U::Select(kPageLayout, 1031, 8)}},
    {"SourceOnColourPageOnlyRedraws", kPageColors, 0x34, {9, 4}, NoChange, true, {}},
    {"UmdWindowOn",
     kPageUmdOverlay,
     0x36,
     {5, 1},
     [](MultiviewerState& s) { s.umdOn.At(5) = 1; },
     true,
     {U::Image(kPageUmdOverlay, 1131, 407)}},
    {"UmdWindowOff", kPageUmdOverlay, 0x36, {1, 0}, NoChange, true, {U::Image(kPageUmdOverlay, 1127, 398)}},
    {"UmdWindowOnOtherPage",
     kPageColors,
     0x36,
     {16, 1},
     [](MultiviewerState& s) { s.umdOn.At(16) = 1; },
     true,
     {}},
    {"AllUmdOn",
     kPageUmdOverlay,
     0x5C,
     {1},
     [](MultiviewerState& s) { s.umdAllOn = 1; },
     true,
     {U::Image(kPageUmdOverlay, 1115, 202)}},
    {"AllUmdOff", kPageUmdOverlay, 0x5C, {0}, NoChange, true, {U::Image(kPageUmdOverlay, 1115, 201)}},
    {"UmdTextColourAllStoresInput1",
     kPageColors,
     0x3B,
     {0, 5},
     [](MultiviewerState& s) {
         s.umdColorInput = 0;
         s.umdTextColor.At(1) = 5;
         s.umdTextRgb.values.fill(Rgb{255, 255, 255});
         s.umdTextRgb.At(1) = kCyan;
     },
     true,
     {U::Select(kPageColors, 1032, 0), U::Select(kPageColors, 1033, 5), U::Select(kPageColors, 1034, 1)}},
    {"UmdTextColourOne",
     kPageColors,
     0x3B,
     {3, 2},
     [](MultiviewerState& s) {
         s.umdColorInput = 3;
         s.umdTextColor.At(3) = 2;
         s.umdTextRgb.values.fill(Rgb{255, 255, 255});
         s.umdTextRgb.At(3) = kRed;
     },
     true,
     {U::Select(kPageColors, 1032, 3), U::Select(kPageColors, 1033, 2), U::Select(kPageColors, 1034, 3)}},
    {"UmdBackColour",
     kPageColors,
     0x3C,
     {4, 1},
     [](MultiviewerState& s) {
         s.umdColorInput = 4;
         s.umdBackColor.At(4) = 1;
         for (int n = 1; n <= kWindowCount; ++n) {
             s.umdBackRgb.At(n) = *ColourRgb(s.umdBackColor.At(n));
         }
     },
     true,
     {U::Select(kPageColors, 1032, 4), U::Select(kPageColors, 1034, 1), U::Select(kPageColors, 1033, 7)}},
    {"FormatTextColourAll",
     kPageColors,
     0x3D,
     {0, 2},
     [](MultiviewerState& s) {
         s.formatColorWindow = 0;
         s.formatTextColor.At(1) = 2;
         for (int n = 1; n <= kWindowCount; ++n) {
             s.formatTextRgb.At(n) = *ColourRgb(s.formatTextColor.At(n));
         }
     },
     true,
     {U::Select(kPageColors, 1035, 0), U::Select(kPageColors, 1036, 2), U::Select(kPageColors, 1037, 1)}},
    {"FormatBackColour",
     kPageColors,
     0x3E,
     {6, 2},
     [](MultiviewerState& s) {
         s.formatColorWindow = 6;
         s.formatBackColor.At(6) = 2;
         s.formatBackRgb.values.fill(kBlue);
         s.formatBackRgb.At(6) = kRed;
     },
     true,
     {U::Select(kPageColors, 1035, 6), U::Select(kPageColors, 1037, 2), U::Select(kPageColors, 1036, 9)}},
    {"TimecodeTextColourAll",
     kPageColors,
     0x54,
     {0, 3},
     [](MultiviewerState& s) {
         s.formatColorWindow = 0;
         s.timecodeTextColor.At(1) = 3;
     },
     true,
     {U::Select(kPageColors, 1035, 0), U::Select(kPageColors, 1075, 3), U::Select(kPageColors, 1076, 1)}},
    {"TimecodeBackColour",
     kPageColors,
     0x55,
     {2, 4},
     [](MultiviewerState& s) {
         s.formatColorWindow = 2;
         s.timecodeBackColor.At(2) = 4;
     },
     true,
     {U::Select(kPageColors, 1035, 2), U::Select(kPageColors, 1076, 4), U::Select(kPageColors, 1075, 9)}},
    {"ColourReportOnOtherPage",
     kPageAudio,
     0x55,
     {2, 4},
     [](MultiviewerState& s) {
         s.formatColorWindow = 2;
         s.timecodeBackColor.At(2) = 4;
     },
     true,
     {}},
    {"Border",
     kPageColors,
     0x3F,
     {1},
     [](MultiviewerState& s) { s.borderOn = 1; },
     true,
     {U::Select(kPageColors, 1074, 1)}},
    {"FormatStatus3A",
     kPageControls,
     0x3A,
     {1},
     [](MultiviewerState& s) { s.formatStatusOn = 1; },
     true,
     {U::Image(kPageControls, 1116, 206)}},
    {"FormatStatus5DOff", kPageControls, 0x5D, {0}, NoChange, true, {U::Image(kPageControls, 1116, 205)}},
    {"Timecode53",
     kPageControls,
     0x53,
     {1},
     [](MultiviewerState& s) { s.timecodeOn = 1; },
     false,
     {U::Image(kPageControls, 1118, 283)}},
    {"Timecode5EOff", kPageControls, 0x5E, {0}, NoChange, false, {U::Image(kPageControls, 1118, 282)}},
    {"AudioAlarm",
     kPageControls,
     0x56,
     {1},
     [](MultiviewerState& s) { s.audioAlarmOn = 1; },
     false,
     {U::Image(kPageControls, 1117, 204)}},
    {"OutputFormat",
     kPageControls,
     0x19,
     {0, 9},
     [](MultiviewerState& s) { s.outputFormat = 9; },
     false,
     {U::Select(kPageControls, 1051, 2)}},
    {"OutputFormatNotInTableSelectsNothing",
     kPageControls,
     0x19,
     {0, 2},
     [](MultiviewerState& s) { s.outputFormat = 2; },
     false,
     {}},
    {"AudioSourceOnAudioPage",
     kPageAudio,
     0x39,
     {5},
     [](MultiviewerState& s) { s.audioSource = 5; },
     true,
     {U::Select(kPageAudio, 1074, 5)}},
    {"AudioSourceOnOtherPageNotRedrawn",
     kPageLayout,
     0x39,
     {5},
     [](MultiviewerState& s) { s.audioSource = 5; },
     false,
     {}},
    {"Meter",
     kPageAudio,
     0x37,
     {2, 1},
     [](MultiviewerState& s) {
         s.meterWindow = 1;
         s.meterOn.At(2) = 1;
     },
     true,
     {U::Select(kPageAudio, 1075, 1), U::MeterRadios(kPageAudio, true), U::Select(kPageAudio, 1077, 2)}},
    {"AllMeters",
     kPageAudio,
     0x5B,
     {1},
     [](MultiviewerState& s) { s.meterAllOn = 1; },
     true,
     {U::Image(kPageAudio, 1146, 453)}},
    {"MeterChannel",
     kPageAudio,
     0x52,
     {4, 6},
     [](MultiviewerState& s) {
         s.meterWindow = 3;
         s.meterChannel.At(4) = 6;
     },
     false,
     {U::Select(kPageAudio, 1075, 3), U::Select(kPageAudio, 1077, 6), U::MeterRadios(kPageAudio, true)}},
    {"SignalPresentWindow4",
     kPageLayout,
     0x51,
     {3, 1, 31},
     [](MultiviewerState& s) {
         s.signalFormat.At(4) = 31;
         s.formatTexts.At(4) = u"1080p60";
     },
     true,
     {}},
    {"SignalGoneWindow4",
     kPageLayout,
     0x51,
     {3, 0, 31},
     [](MultiviewerState& s) {
         s.signalPresent.At(4) = 0;
         s.signalFormat.At(4) = 31;
         s.formatTexts.At(4) = u"No Signal";
     },
     true,
     {}},
};

class ReportTable : public ReportFixture, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportTable, AppliesTheReport) {
    const ReportCase& c = GetParam();
    m_state.pageType = c.page;
    // The colour arrays as the last full refresh left them.
    for (int n = 1; n <= kWindowCount; ++n) {
        m_state.umdTextRgb.At(n) = *ColourRgb(m_state.umdTextColor.At(n));
        m_state.umdBackRgb.At(n) = *ColourRgb(m_state.umdBackColor.At(n));
        m_state.formatTextRgb.At(n) = *ColourRgb(m_state.formatTextColor.At(n));
        m_state.formatBackRgb.At(n) = *ColourRgb(m_state.formatBackColor.At(n));
    }
    MultiviewerState expected = m_state;
    c.change(expected);
    m_applier.Apply(Report(c.opcode, c.values));
    EXPECT_EQ(m_state, expected);
    EXPECT_EQ(m_view.redraws > 0, c.redrawn);
    EXPECT_EQ(m_view.updates, c.updates);
}

INSTANTIATE_TEST_SUITE_P(StatusReports, ReportTable, ::testing::ValuesIn(kReportCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The console must not read past what arrived: a report that stops before its last value changes
// nothing, whatever lies in memory beyond it.
TEST_F(ReportFixture, ShortReportsAreIgnored) {
    for (const ReportCase& c : kReportCases) {
        Frame report = Report(c.opcode, c.values);
        report.resize(18 + c.values.size() - 1);
        ExpectIgnored(c.page, report);
    }
    ExpectIgnored(kPageLayout, Frame(16, 0xA5));
}

TEST_F(ReportFixture, NumbersOutsideTheirRangeAreIgnored) {
    struct Case {
        std::uint8_t page;
        std::uint8_t opcode;
        std::vector<std::uint8_t> values;
    };
    const Case cases[] = {
        {kPageSwitcher, 0x34, {0, 4}}, {kPageSwitcher, 0x34, {17, 4}},   {kPageLayout, 0x34, {9, 0}},
        {kPageLayout, 0x34, {9, 17}},  {kPageUmdOverlay, 0x36, {0, 1}},  {kPageUmdOverlay, 0x36, {17, 1}},
        {kPageColors, 0x3B, {17, 1}},  {kPageColors, 0x3C, {255, 1}},    {kPageColors, 0x3D, {17, 1}},
        {kPageColors, 0x3E, {17, 1}},  {kPageColors, 0x54, {17, 1}},     {kPageColors, 0x55, {17, 1}},
        {kPageAudio, 0x37, {0, 1}},    {kPageAudio, 0x37, {17, 1}},      {kPageAudio, 0x52, {0, 3}},
        {kPageAudio, 0x52, {17, 3}},   {kPageLayout, 0x51, {16, 1, 31}},
    };
    for (const Case& c : cases) {
        ExpectIgnored(c.page, Report(c.opcode, c.values));
    }
}

TEST_F(ReportFixture, UnknownOpcodesAreIgnored) {
    for (std::uint8_t opcode : {0x00, 0x0A, 0x1E, 0x5A, 0x62, 0x7E, 0xFF}) {
        ExpectIgnored(kPageLayout, Report(opcode, {1, 1, 1}));
    }
}

// Their re-read and the steps after it come from the receiver; the report itself changes nothing.
TEST_F(ReportFixture, SettingsReplacedReportsThemselvesChangeNothing) {
    for (std::uint8_t opcode : {0x0B, 0x38, 0x59}) {
        ExpectIgnored(kPageColors, Report(opcode, {}));
    }
}

TEST_F(ReportFixture, StateReadAfterSettingsReplacedDecodesTheBlock) {
    StateRead read{StateRead::Outcome::Answered, StateBlock{}};
    (*read.block)[0] = 160;
    (*read.block)[3] = 0x80;
    m_locked = true;
    m_applier.ApplyStateRead(read);
    EXPECT_EQ(m_state.layoutCode, 160);
    EXPECT_EQ(m_state.switcherMode, 1);
    EXPECT_EQ(m_state.stateBlock, *read.block);
    EXPECT_TRUE(m_state.stateLoaded);
    EXPECT_EQ(m_mainWindow.nameTexts, std::vector<std::u16string>{u"Custom Name"});
    EXPECT_EQ(m_mainWindow.lockPictures, std::vector<int>{kLockPictureLocked});
}

struct FinishCase {
    std::uint8_t opcode;
    std::uint8_t page;
    bool selectionsReset;
    std::vector<PageUpdate> updates;
};

void PrintTo(const FinishCase& c, std::ostream* os) {
    *os << int(c.opcode) << " on page " << int(c.page);
}

class FinishTable : public ReportFixture, public ::testing::WithParamInterface<FinishCase> {};

TEST_P(FinishTable, RefreshesPreviewSelectionsAndPage) {
    const FinishCase& c = GetParam();
    m_state.pageType = c.page;
    m_state.layoutCode = 90;
    m_applier.FinishSettingsReplaced(c.opcode);
    EXPECT_EQ(m_state.windowRects, ComputeLayoutGeometry(90));
    EXPECT_EQ(m_state.umdBackRgb.At(3), (Rgb{255, 0, 255}));
    EXPECT_EQ(m_state.formatBackRgb.At(3), kBlue);
    EXPECT_GE(m_view.redraws, 1);
    EXPECT_EQ(m_state.umdColorInput == 0 && m_state.formatColorWindow == 0 && m_state.meterWindow == 0,
              c.selectionsReset);
    EXPECT_EQ(m_view.updates, c.updates);
}

INSTANTIATE_TEST_SUITE_P(
    StatusReports, FinishTable,
    ::testing::Values(FinishCase{0x0B, kPageColors, true, {U::Refresh(kPageColors)}},
                      FinishCase{0x38, kPageAudio, true, {U::Refresh(kPageAudio)}},
                      FinishCase{0x59, kPageLayout, false, {U::Refresh(kPageLayout)}},
                      FinishCase{0x59, kPageUmdOverlay, false, {U::Refresh(kPageUmdOverlay)}},
                      FinishCase{0x0B, kPageControls, true, {U::Refresh(kPageControls)}},
                      FinishCase{0x0B, kPageSwitcher, true, {U::Refresh(kPageSwitcher)}}));

TEST(StatusReportChecks, IdentifierAndLength) {
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
}

} // namespace
} // namespace brenvik
