// The multiviewer session's command set and the unit's reports as the session applies them: what is
// stored, what the observers are told, what drawing data follows and which frame is queued.
#include "link/text_codec.h"
#include "multiviewer/core/input_name_frame.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/multiviewer_tables.h"
#include "multiviewer/core/preview_placement.h"
#include "session_rig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace brenvik {
namespace {

using test::kSessionUnitAddress;
using test::Report;
using F = MultiviewerField;
using Changes = std::vector<MultiviewerChange>;

constexpr Rgb kBlue = kColourTable[1].rgb;
constexpr Rgb kRed = kColourTable[2].rgb;

Frame Expected(std::uint8_t opcode, std::vector<std::uint8_t> payload, std::uint8_t linkByte = 1) {
    return BuildFrame(kTypeMultiviewer, kSessionUnitAddress, linkByte, opcode, payload);
}

// A unit in Multiviewer Mode showing layout 40, window n showing input n, loop output n fed by input
// 17 - n, every window with a 1080p30 signal; label text white, label backgrounds by input number.
StateBlock StartBlock() {
    using namespace block_offset;
    return test::BlockOf([](StateBlock& b) {
        b[kLayoutCode] = 40;
        for (std::size_t k = 0; k < kWindowCount; ++k) {
            const auto n = static_cast<std::uint8_t>(k + 1);
            b[kWindowSources + k] = n;
            b[kLoopRoutes + k] = static_cast<std::uint8_t>(17 - n);
            b[kLabelRecords + kLabelRecordSize * k] = 7 << 1;
            b[kLabelRecords + kLabelRecordSize * k + 1] = static_cast<std::uint8_t>(n % 8);
            b[kWindowRecords + kWindowRecordSize * k + 1] = 0x40 | 15;
            b[kWindowRecords + kWindowRecordSize * k + 2] = 7 << 1;
            b[kWindowRecords + kWindowRecordSize * k + 3] = 1;
        }
    });
}

// The same unit in Switcher Mode.
StateBlock SwitcherBlock() {
    StateBlock block = StartBlock();
    block[block_offset::kFlags] |= 1u << flag_bit::kSwitcherMode;
    return block;
}

struct SenderCase {
    const char* name;
    std::function<bool(MultiviewerSession&)> send; // as a page calls it
    Frame frame;                                   // empty: nothing is sent
    Changes changes;
    std::function<void(MultiviewerState&)> change; // the record afterwards, drawing data included
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SenderCase& c, std::ostream* os) {
    *os << c.name;
}

void NoChange(MultiviewerState&) {}

const SenderCase kSenderCases[] = {
    {"SetLayoutCode",
     [](auto& s) { return s.SetLayoutCode(90); },
     Expected(0x33, {90}),
     {{F::LayoutCode}},
     [](auto& s) {
         s.layoutCode = 90;
         s.windowRects = ComputeLayoutGeometry(90);
     }},
    {"SetWindowSource",
     [](auto& s) { return s.SetWindowSource(4, 9); },
     Expected(0x34, {9, 4}),
     {{F::WindowSource, 4}},
     [](auto& s) {
         s.windowSource.At(4) = 9;
         s.umdBackRgb.At(4) = kBlue; // the label takes the colours of input 9
     }},
    {"SetLoopRoute",
     [](auto& s) { return s.SetLoopRoute(4, 9); },
     Expected(0x34, {9, 4}),
     {{F::LoopRoute, 4}},
     [](auto& s) {
         s.loopRoute.At(4) = 9;
         s.switcherCells[3].number = 9;
     }},
    {"RouteOneToOne",
     [](auto& s) { return s.RouteOneToOne(); },
     Expected(0x5A, {}),
     {{F::LoopRoute, 0}},
     [](auto& s) {
         for (int n = 1; n <= kWindowCount; ++n) {
             s.loopRoute.At(n) = static_cast<std::uint8_t>(n);
         }
         s.switcherCells = ComputeSwitcherCells(s.loopRoute);
     }},
    {"SetSwitcherMode",
     [](auto& s) { return s.SetSwitcherMode(1); },
     Expected(0x62, {1}),
     {{F::SwitcherMode}},
     [](auto& s) { s.switcherMode = 1; }},
    {"SetUmdOfAWindow",
     [](auto& s) { return s.SetUmd(5, 1); },
     Expected(0x36, {5, 1}),
     {{F::UmdOn, 5}},
     [](auto& s) { s.umdOn.At(5) = 1; }},
    {"SetUmdOfAllWindows",
     [](auto& s) { return s.SetUmd(0, 1); },
     Expected(0x5C, {1}),
     {{F::UmdAllOn}},
     [](auto& s) { s.umdAllOn = 1; }},
    {"SetInputName",
     [](auto& s) { return s.SetInputName(3, u"Cam \u00DF"); },
     BuildInputNameFrame(kTypeMultiviewer, kSessionUnitAddress, 1, 3, ToUtf16le(u"Cam \u00DF")),
     {{F::InputName, 3}},
     [](auto& s) { s.inputNames.At(3) = u"Cam \u00DF"; }},
    {"SetUmdTextColorAll",
     [](auto& s) { return s.SetUmdTextColor(0, 2); },
     Expected(0x3B, {0, 2}),
     {{F::UmdTextColor, 0}},
     [](auto& s) {
         s.umdTextColor.values.fill(2);
         s.umdTextRgb.values.fill(kRed);
     }},
    {"SetUmdTextColorOne",
     [](auto& s) { return s.SetUmdTextColor(3, 2); },
     Expected(0x3B, {3, 2}),
     {{F::UmdTextColor, 3}},
     [](auto& s) {
         s.umdTextColor.At(3) = 2;
         s.umdTextRgb.At(3) = kRed;
     }},
    {"SetUmdBackColorAll",
     [](auto& s) { return s.SetUmdBackColor(0, 1); },
     Expected(0x3C, {0, 1}),
     {{F::UmdBackColor, 0}},
     [](auto& s) {
         s.umdBackColor.values.fill(1);
         s.umdBackRgb.values.fill(kBlue);
     }},
    {"SetFormatTextColorOne",
     [](auto& s) { return s.SetFormatTextColor(16, 2); },
     Expected(0x3D, {16, 2}),
     {{F::FormatTextColor, 16}},
     [](auto& s) {
         s.formatTextColor.At(16) = 2;
         s.formatTextRgb.At(16) = kRed;
     }},
    {"SetFormatBackColorAll",
     [](auto& s) { return s.SetFormatBackColor(0, 2); },
     Expected(0x3E, {0, 2}),
     {{F::FormatBackColor, 0}},
     [](auto& s) {
         s.formatBackColor.values.fill(2);
         s.formatBackRgb.values.fill(kRed);
     }},
    // "All Windows" gives every window the time code colour, as the unit does.
    {"SetTimecodeTextColorAll",
     [](auto& s) { return s.SetTimecodeTextColor(0, 5); },
     Expected(0x54, {0, 5}),
     {{F::TimecodeTextColor, 0}},
     [](auto& s) { s.timecodeTextColor.values.fill(5); }},
    {"SetTimecodeBackColorAll",
     [](auto& s) { return s.SetTimecodeBackColor(0, 6); },
     Expected(0x55, {0, 6}),
     {{F::TimecodeBackColor, 0}},
     [](auto& s) { s.timecodeBackColor.values.fill(6); }},
    {"SetTimecodeBackColorOne",
     [](auto& s) { return s.SetTimecodeBackColor(7, 3); },
     Expected(0x55, {7, 3}),
     {{F::TimecodeBackColor, 7}},
     [](auto& s) { s.timecodeBackColor.At(7) = 3; }},
    // Written out byte by byte once, independently of BuildFrame.
    {"SetBorder",
     [](auto& s) { return s.SetBorder(1); },
     Frame{0xA5, 0x6C, 0x15, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
           0x00, 0x00, 0x00, 0x00, 0x00, 0x3F, 0x01, 0x09, 0x02, 0xAE},
     {{F::Border}},
     [](auto& s) { s.borderOn = 1; }},
    {"SetFormatStatus",
     [](auto& s) { return s.SetFormatStatus(1); },
     Expected(0x5D, {1}),
     {{F::FormatStatus}},
     [](auto& s) { s.formatStatusOn = 1; }},
    {"SetTimecode",
     [](auto& s) { return s.SetTimecode(1); },
     Expected(0x5E, {1}),
     {{F::Timecode}},
     [](auto& s) { s.timecodeOn = 1; }},
    {"SetAudioAlarm",
     [](auto& s) { return s.SetAudioAlarm(1); },
     Expected(0x56, {1}),
     {{F::AudioAlarm}},
     [](auto& s) { s.audioAlarmOn = 1; }},
    {"SetOutputFormat",
     [](auto& s) { return s.SetOutputFormat(11); },
     Expected(0x19, {0, 11}),
     {{F::OutputFormat}},
     [](auto& s) { s.outputFormat = 11; }},
    {"SetAudioSource",
     [](auto& s) { return s.SetAudioSource(9); },
     Expected(0x39, {9}),
     {{F::AudioSource}},
     [](auto& s) { s.audioSource = 9; }},
    {"SetMeterOfAWindow",
     [](auto& s) { return s.SetMeter(4, 1); },
     Expected(0x37, {4, 1}),
     {{F::MeterOn, 4}},
     [](auto& s) { s.meterOn.At(4) = 1; }},
    {"SetMeterOfAllWindows",
     [](auto& s) { return s.SetMeter(0, 1); },
     Expected(0x5B, {1}),
     {{F::MeterAllOn}},
     [](auto& s) { s.meterAllOn = 1; }},
    {"SetMeterChannel",
     [](auto& s) { return s.SetMeterChannel(16, 7); },
     Expected(0x52, {16, 7}),
     {{F::MeterChannel, 16}},
     [](auto& s) { s.meterChannel.At(16) = 7; }},
    {"SetCustomName",
     [](auto& s) { return s.SetCustomName(u"Rack 7"); },
     BuildCustomNameFrame(kTypeMultiviewer, kSessionUnitAddress, 1, ToUtf16le(u"Rack 7")),
     {{F::CustomName}},
     [](auto& s) { s.customName = u"Rack 7"; }},
    {"SaveCustom", [](auto& s) { return s.SaveCustom(2); }, Expected(0x58, {2}), {}, NoChange},
};

class SenderTable : public ::testing::TestWithParam<SenderCase> {};

TEST_P(SenderTable, StoresTellsAndQueuesItsFrame) {
    const SenderCase& c = GetParam();
    test::SessionRig rig;
    rig.Open(StartBlock());
    MultiviewerState expected = rig.session->State();
    c.change(expected);
    EXPECT_TRUE(c.send(*rig.session));
    EXPECT_EQ(rig.link.sent, std::vector<Frame>{c.frame});
    EXPECT_EQ(rig.observer.changes, c.changes);
    EXPECT_EQ(rig.session->State(), expected);
}

TEST_P(SenderTable, LockedConsoleStoresTellsAndSendsNothing) {
    const SenderCase& c = GetParam();
    test::SessionRig rig;
    rig.Open(StartBlock());
    const MultiviewerState before = rig.session->State();
    rig.locked = true;
    EXPECT_FALSE(c.send(*rig.session));
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_TRUE(rig.observer.changes.empty());
    EXPECT_EQ(rig.session->State(), before);
}

INSTANTIATE_TEST_SUITE_P(MultiviewerSession, SenderTable, ::testing::ValuesIn(kSenderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MultiviewerSession, NumbersOutsideWhatACommandTakesStoreTellAndSendNothing) {
    const std::function<bool(MultiviewerSession&)> refused[] = {
        [](auto& s) { return s.SetWindowSource(0, 1); },
        [](auto& s) { return s.SetWindowSource(17, 1); },
        [](auto& s) { return s.SetWindowSource(1, 0); },
        [](auto& s) { return s.SetWindowSource(1, 17); },
        [](auto& s) { return s.SetLoopRoute(0, 1); },
        [](auto& s) { return s.SetLoopRoute(1, 17); },
        [](auto& s) { return s.SetUmd(17, 1); },
        [](auto& s) { return s.SetUmd(-1, 1); },
        [](auto& s) { return s.SetInputName(0, u"A"); },
        [](auto& s) { return s.SetInputName(17, u"A"); },
        [](auto& s) { return s.SetUmdTextColor(17, 1); },
        [](auto& s) { return s.SetUmdBackColor(-1, 1); },
        [](auto& s) { return s.SetFormatTextColor(17, 1); },
        [](auto& s) { return s.SetFormatBackColor(-1, 1); },
        [](auto& s) { return s.SetTimecodeTextColor(17, 1); },
        [](auto& s) { return s.SetTimecodeBackColor(-1, 1); },
        [](auto& s) { return s.SetMeter(17, 1); },
        [](auto& s) { return s.SetMeter(-1, 1); },
        [](auto& s) { return s.SetMeterChannel(0, 1); },
        [](auto& s) { return s.SetMeterChannel(17, 1); },
    };
    test::SessionRig rig;
    rig.Open(StartBlock());
    const MultiviewerState before = rig.session->State();
    for (const auto& send : refused) {
        EXPECT_FALSE(send(*rig.session));
    }
    // The console's own selections take numbers the pages offer, and nothing else.
    rig.session->SelectColourInput(17);
    rig.session->SelectColourWindow(17);
    rig.session->SelectMeterWindow(16);
    EXPECT_EQ(rig.session->State(), before);
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_TRUE(rig.observer.changes.empty());
}

// The record keeps what the operator chose also when the link refused the frame, and the observers
// hear of it, so that the console shows it.
TEST(MultiviewerSession, RefusedFrameKeepsTheChangeAndTellsTheObservers) {
    test::SessionRig rig;
    rig.Open(StartBlock());
    rig.link.refuseSends = true;
    EXPECT_FALSE(rig.session->SetBorder(1));
    EXPECT_FALSE(rig.session->SetUmdBackColor(0, 2));
    EXPECT_TRUE(rig.link.sent.empty());
    EXPECT_EQ(rig.session->State().borderOn, 1);
    EXPECT_EQ(rig.session->State().umdBackColor.At(9), 2);
    EXPECT_EQ(rig.session->State().umdBackRgb.At(9), kRed);
    EXPECT_EQ(rig.observer.changes, (Changes{{F::Border}, {F::UmdBackColor, 0}}));
}

TEST(MultiviewerSession, SerialLinkCarriesLinkByteZero) {
    test::SessionRig rig;
    rig.link.mode = LinkMode::Serial;
    EXPECT_TRUE(rig.session->SetBorder(1));
    EXPECT_TRUE(rig.session->SetInputName(2, u"B"));
    EXPECT_EQ(rig.link.sent, (std::vector<Frame>{Expected(0x3F, {1}, 0),
                                                 BuildInputNameFrame(kTypeMultiviewer, kSessionUnitAddress, 0,
                                                                     2, ToUtf16le(u"B"))}));
}

// The selections of the colour and audio pages are kept with the record and told like a field;
// nothing goes to the unit. They are the console's own, so the lock does not hold them.
TEST(MultiviewerSession, SelectionsAreStoredAndToldButNotSent) {
    test::SessionRig rig;
    rig.locked = true;
    rig.session->SelectColourInput(16);
    rig.session->SelectColourWindow(0);
    rig.session->SelectMeterWindow(15);
    EXPECT_EQ(rig.session->State().umdColorInput, 16);
    EXPECT_EQ(rig.session->State().formatColorWindow, 0);
    EXPECT_EQ(rig.session->State().meterWindow, 15);
    EXPECT_EQ(rig.observer.changes, (Changes{{F::ColourSelection}, {F::ColourSelection}, {F::MeterWindow}}));
    EXPECT_TRUE(rig.link.sent.empty());
}

// ---------------------------------------------------------------------------------------------
// The unit's reports through the session: each applied whole, whatever the console shows, with
// the drawing data that follows from it.

int WindowsOf(const std::array<PreviewRect, kWindowCount>& rects) {
    return static_cast<int>(
        std::count_if(rects.begin(), rects.end(), [](const PreviewRect& r) { return r.width > 0; }));
}

// A layout report in Switcher Mode, while the console shows the switcher grid, stores the code and
// its geometry: back in Multiviewer Mode the preview draws the new layout's windows, not the four
// of the layout before.
TEST(MultiviewerSessionReports, LayoutReportStoresTheCodeAndItsGeometryInSwitcherMode) {
    test::SessionRig rig;
    rig.Open(SwitcherBlock());
    ASSERT_EQ(rig.session->State().switcherMode, 1);
    ASSERT_EQ(WindowsOf(rig.session->State().windowRects), 4);
    rig.session->ApplyReport(Report(0x33, {80}));
    EXPECT_EQ(rig.observer.changes, (Changes{{F::LayoutCode}}));
    const MultiviewerState& state = rig.session->State();
    EXPECT_EQ(state.layoutCode, 80);
    EXPECT_EQ(state.windowRects, ComputeLayoutGeometry(80));
    const PreviewPlacement placement = PlacePreview(state, PreviewKind::Layout);
    EXPECT_EQ(placement.windowCount, WindowsOf(ComputeLayoutGeometry(80)));
    EXPECT_NE(placement.windowCount, 4);
}

// A source report is stored whatever the console shows: in Multiviewer Mode the window shows the
// input, and its label takes that input's colours; in Switcher Mode the loop output is fed by it, and
// the switcher grid shows it.
TEST(MultiviewerSessionReports, SourceReportIsStoredInTheUnitsMode) {
    for (const bool switcher : {false, true}) {
        SCOPED_TRACE(switcher ? "Switcher Mode" : "Multiviewer Mode");
        test::SessionRig rig;
        rig.Open(switcher ? SwitcherBlock() : StartBlock());
        MultiviewerState expected = rig.session->State();
        if (switcher) {
            expected.loopRoute.At(4) = 9;
            expected.switcherCells[3].number = 9;
        } else {
            expected.windowSource.At(4) = 9;
            expected.umdBackRgb.At(4) = kBlue;
        }
        rig.session->ApplyReport(Report(0x34, {9, 4}));
        EXPECT_EQ(rig.session->State(), expected);
        EXPECT_EQ(rig.observer.changes, (Changes{{switcher ? F::LoopRoute : F::WindowSource, 4}}));
        if (switcher) {
            EXPECT_EQ(PlacePreview(rig.session->State(), PreviewKind::SwitcherGrid).windows[3].number.text,
                      u"9");
        }
    }
}

// A colour report for "all" gives every entry the colour, and the drawn colours follow.
TEST(MultiviewerSessionReports, ColourReportForAllStoresEveryEntry) {
    using Entries = PerWindow<std::uint8_t> MultiviewerState::*;
    const struct {
        std::uint8_t opcode;
        Entries entries;
        F field;
        PerWindow<Rgb> MultiviewerState::*drawn; // nullptr: not drawn
    } cases[] = {
        {0x3B, &MultiviewerState::umdTextColor, F::UmdTextColor, &MultiviewerState::umdTextRgb},
        {0x3C, &MultiviewerState::umdBackColor, F::UmdBackColor, &MultiviewerState::umdBackRgb},
        {0x3D, &MultiviewerState::formatTextColor, F::FormatTextColor, &MultiviewerState::formatTextRgb},
        {0x3E, &MultiviewerState::formatBackColor, F::FormatBackColor, &MultiviewerState::formatBackRgb},
        {0x54, &MultiviewerState::timecodeTextColor, F::TimecodeTextColor, nullptr},
        {0x55, &MultiviewerState::timecodeBackColor, F::TimecodeBackColor, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "opcode " << int(c.opcode));
        test::SessionRig rig;
        rig.Open(StartBlock());
        rig.session->SelectColourInput(5);
        rig.session->SelectColourWindow(5);
        rig.observer.Clear();
        rig.session->ApplyReport(Report(c.opcode, {0, 2}));
        const MultiviewerState& state = rig.session->State();
        for (int n = 1; n <= kWindowCount; ++n) {
            EXPECT_EQ((state.*c.entries).At(n), 2) << "entry " << n;
            if (c.drawn != nullptr) {
                EXPECT_EQ((state.*c.drawn).At(n), kRed) << "entry " << n;
            }
        }
        EXPECT_EQ(rig.observer.changes, (Changes{{F::ColourSelection}, {c.field, 0}}));
    }
}

TEST(MultiviewerSessionReports, SpoiltReportsChangeAndTellNothing) {
    test::SessionRig rig;
    rig.Open(StartBlock());
    const MultiviewerState before = rig.session->State();
    Frame cut = Report(0x51, {3, 0, 31});
    cut.resize(20);
    for (const Frame& report : {cut, Report(0x34, {9, 17}), Report(0x7E, {1, 1}), Frame(12, 0xA5), Frame{}}) {
        rig.session->ApplyReport(report);
    }
    EXPECT_EQ(rig.session->State(), before);
    EXPECT_TRUE(rig.observer.changes.empty());
    EXPECT_FALSE(rig.session->Rereading());
}

TEST(MultiviewerSessionReports, SignalReportShowsInTheFormatText) {
    test::SessionRig rig;
    rig.Open(StartBlock());
    rig.session->ApplyReport(Report(0x51, {4, 1, 27}));
    EXPECT_EQ(rig.session->State().formatTexts.At(5), u"1080p50");
    rig.session->ApplyReport(Report(0x51, {4, 0, 27}));
    EXPECT_EQ(rig.session->State().formatTexts.At(5), u"No Signal");
    EXPECT_EQ(rig.observer.changes, (Changes{{F::Signal, 5}, {F::Signal, 5}}));
}

} // namespace
} // namespace brenvik
