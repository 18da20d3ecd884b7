#include "setting_page_harness.h"

#include "app/console_pages.h"
#include "app/main_window.h"
#include "multiviewer/ui/console_page.h"
#include "multiviewer/ui/pages/colour_page.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"
#include "sim/unit_simulator.h"
#include "support/loopback_ports.h"
#include "support/recording_dialogs.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace brenvik {
namespace {

namespace pc = page_control;
using test::Choose;
using test::ExpectedFrame;
using test::kStateQuery;

constexpr std::uint8_t kOpcodeUmdText = 0x3B;
constexpr std::uint8_t kOpcodeFormatBack = 0x3E;
constexpr std::uint8_t kOpcodeBorder = 0x3F;
constexpr std::uint8_t kOpcodeTimecodeBack = 0x55;
constexpr int kRed = 2;
constexpr int kHalfTrans = 15;

// Every input and window gets colours of its own, so that a list showing the wrong target shows.
sim::MultiviewerSettings Distinct() {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    for (std::size_t i = 0; i < 16; ++i) {
        const auto n = static_cast<std::uint8_t>(i);
        settings.labels[i].textColour = n;
        settings.labels[i].backColour = static_cast<std::uint8_t>(15 - n);
        settings.windows[i].formatTextColour = static_cast<std::uint8_t>((n + 1) % 16);
        settings.windows[i].formatBackColour = static_cast<std::uint8_t>((n + 2) % 16);
        settings.windows[i].timecodeTextColour = static_cast<std::uint8_t>((n + 3) % 16);
        settings.windows[i].timecodeBackColour = static_cast<std::uint8_t>((n + 4) % 16);
    }
    settings.borderOn = 0;
    return settings;
}

class ColourPage {
public:
    explicit ColourPage(sim::MultiviewerSettings settings = Distinct())
        : harness(kPageColors, std::move(settings)) {}

    QComboBox* List(int id) { return harness.Get<QComboBox>(id); }
    int Entry(int id) { return List(id)->currentIndex(); }
    // The entries of the six colour lists and the border list, top to bottom.
    std::vector<int> ShownColours() {
        std::vector<int> entries;
        for (const int id : {pc::kUmdTextColourList, pc::kUmdBackColourList, pc::kFormatTextColourList,
                             pc::kFormatBackColourList, pc::kBorderList, pc::kTimecodeTextColourList,
                             pc::kTimecodeBackColourList}) {
            entries.push_back(Entry(id));
        }
        return entries;
    }

    test::PageHarness harness;
};

TEST(ColourPageTest, FillsTheListsAndOpensOnTheRecordsSelections) {
    ColourPage page;
    EXPECT_EQ(page.List(pc::kColourInputList)->count(), 17);
    EXPECT_EQ(page.List(pc::kColourInputList)->itemText(0), QStringLiteral("All Windows"));
    EXPECT_EQ(page.List(pc::kColourInputList)->itemText(16), QStringLiteral("SDI 16"));
    EXPECT_EQ(page.List(pc::kColourWindowList)->itemText(5), QStringLiteral("Window_05"));
    EXPECT_EQ(CClass_16_view_color::ColourEntries().size(), 16);
    EXPECT_EQ(page.List(pc::kUmdTextColourList)->itemText(9), QStringLiteral("VioletRed"));
    EXPECT_EQ(page.List(pc::kTimecodeBackColourList)->itemText(15), QStringLiteral("HalfTrans"));
    EXPECT_EQ(page.List(pc::kBorderList)->itemText(1), QStringLiteral("ON"));
    // "All" shows the colours of input 1 and window 1.
    EXPECT_EQ(page.Entry(pc::kColourInputList), 0);
    EXPECT_EQ(page.Entry(pc::kColourWindowList), 0);
    EXPECT_EQ(page.ShownColours(), (std::vector<int>{0, 15, 1, 2, 0, 3, 4}));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

TEST(ColourPageTest, SelectorsShowTheirTargetsColoursAndSendNothing) {
    ColourPage page;
    Choose(page.List(pc::kColourWindowList), 5);
    EXPECT_EQ(page.harness.State().formatColorWindow, 5);
    EXPECT_EQ(page.ShownColours(), (std::vector<int>{0, 15, 5, 6, 0, 7, 8}));
    Choose(page.List(pc::kColourInputList), 12);
    EXPECT_EQ(page.harness.State().umdColorInput, 12);
    EXPECT_EQ(page.ShownColours(), (std::vector<int>{11, 4, 5, 6, 0, 7, 8}));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ChoiceCase {
    int selector;
    int target;
    int list;
    int entry;
    Frame sent;
};

// A choice is sent with the selector's target, 0 for all.
TEST(ColourPageTest, ChoicesSendTheirCommandForTheSelectedTarget) {
    const std::vector<ChoiceCase> cases{
        {pc::kColourInputList, 0, pc::kUmdTextColourList, kRed, ExpectedFrame(kOpcodeUmdText, {0, 2})},
        {pc::kColourWindowList, 3, pc::kFormatBackColourList, kHalfTrans,
         ExpectedFrame(kOpcodeFormatBack, {3, 15})},
        {pc::kColourWindowList, 16, pc::kTimecodeBackColourList, 14,
         ExpectedFrame(kOpcodeTimecodeBack, {16, 14})},
        {pc::kColourWindowList, 16, pc::kBorderList, 1, ExpectedFrame(kOpcodeBorder, {1})},
    };
    ColourPage page;
    for (const ChoiceCase& c : cases) {
        Choose(page.List(c.selector), c.target);
        Choose(page.List(c.list), c.entry);
        EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{c.sent}) << c.list;
    }
    const MultiviewerState& state = page.harness.State();
    EXPECT_TRUE(std::all_of(state.umdTextColor.values.begin(), state.umdTextColor.values.end(),
                            [](std::uint8_t colour) { return colour == kRed; }));
    EXPECT_EQ(state.formatBackColor.At(3), kHalfTrans);
    EXPECT_EQ(state.formatBackColor.At(4), 5);
    EXPECT_EQ(state.timecodeBackColor.At(16), 14);
    EXPECT_EQ(state.borderOn, 1);
}

TEST(ColourPageTest, WhileLockedEveryListReturnsToTheRecordAndNothingIsSent) {
    ColourPage page;
    Choose(page.List(pc::kColourWindowList), 2);
    page.harness.Lock(true);
    const std::vector<int> before = page.ShownColours();
    Choose(page.List(pc::kColourInputList), 7);
    Choose(page.List(pc::kColourWindowList), 9);
    for (const int id :
         {pc::kUmdTextColourList, pc::kFormatBackColourList, pc::kTimecodeTextColourList, pc::kBorderList}) {
        Choose(page.List(id), 13 % page.List(id)->count());
    }
    EXPECT_EQ(page.Entry(pc::kColourInputList), 0);
    EXPECT_EQ(page.Entry(pc::kColourWindowList), 2);
    EXPECT_EQ(page.harness.State().formatColorWindow, 2);
    EXPECT_EQ(page.ShownColours(), before);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ReportCase {
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    std::vector<std::pair<int, int>> shown; // list, entry
};

// A colour report selects its target and its colour, and the other list of the pair shows the
// target's colour; a colour index without an entry selects none.
TEST(ColourPageTest, ReportsSelectTheirTargetAndColourAndSendNothing) {
    ColourPage page;
    const std::vector<ReportCase> cases{
        {kOpcodeUmdText,
         {4, 9},
         {{pc::kColourInputList, 4}, {pc::kUmdTextColourList, 9}, {pc::kUmdBackColourList, 12}}},
        {kOpcodeTimecodeBack,
         {0, 14},
         {{pc::kColourWindowList, 0}, {pc::kTimecodeBackColourList, 14}, {pc::kTimecodeTextColourList, 3}}},
        {kOpcodeFormatBack, {7, 20}, {{pc::kColourWindowList, 7}, {pc::kFormatBackColourList, -1}}},
        {kOpcodeBorder, {1}, {{pc::kBorderList, 1}}},
    };
    for (const ReportCase& c : cases) {
        page.harness.UnitReports(c.opcode, c.values);
        for (const auto& [list, entry] : c.shown) {
            EXPECT_EQ(page.Entry(list), entry) << int{c.opcode} << " list " << list;
        }
    }
    EXPECT_EQ(page.harness.State().umdColorInput, 4);
    EXPECT_EQ(page.harness.State().formatColorWindow, 7);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// After the unit replaced its settings both selectors are back on "All Windows" and every list
// shows the new colours of input 1 and window 1.
TEST(ColourPageTest, ReplacedSettingsRefreshSelectorsAndColours) {
    ColourPage page;
    Choose(page.List(pc::kColourInputList), 6);
    Choose(page.List(pc::kColourWindowList), 5);
    sim::MultiviewerSettings replaced = Distinct();
    replaced.labels[0].textColour = 13;
    replaced.windows[0].formatTextColour = 10;
    replaced.borderOn = 1;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(replaced));
    EXPECT_EQ(page.Entry(pc::kColourInputList), 0);
    EXPECT_EQ(page.Entry(pc::kColourWindowList), 0);
    EXPECT_EQ(page.ShownColours(), (std::vector<int>{13, 15, 10, 2, 1, 3, 4}));
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{kStateQuery});
}

// In the console window: another page in between and the COLORS page opens on the input and
// window chosen before.
TEST(ColourPageInConsoleTest, ReopeningKeepsTheSelections) {
    const Endpoints endpoints = test::LoopbackEndpoints();
    sim::UnitSimulator simulator(endpoints);
    simulator.AddUnit({{127, 0, 0, 43}, kTypeMultiviewer, 0x01, {'M', 'V'}, {1, 2, 3, 5}},
                      std::make_unique<sim::MultiviewerModel>(Distinct()));
    ASSERT_TRUE(simulator.Start()) << simulator.StartError();

    test::RecordingDialogs dialogs;
    CVARNOLUX_16_VIEWDlg window(ConsoleWindowSetup{endpoints, {}, &dialogs});
    RegisterConsolePages(window);
    window.show();
    DeviceEntry entry;
    entry.SetIp("127.0.0.43");
    entry.typeCode = kTypeMultiviewer;
    entry.unitAddress = 0x01;
    entry.unitId = {1, 2, 3, 5};
    window.State().devices.At(0) = entry;
    window.State().devices.SetSelectedIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("1003"))->addItem(QStringLiteral("MV_127.0.0.43"));
    window.OpenUnitPage();
    auto* console = qobject_cast<CClass_child_main_dlg*>(window.CurrentPage());
    ASSERT_NE(console, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([console] { return console->Initialised(); }));

    const auto list = [console](int id) {
        return console->ShownSettingPage()->findChild<QComboBox*>(QString::number(id));
    };
    ASSERT_TRUE(console->SwitchPage(kPageColors));
    Choose(list(pc::kColourInputList), 4);
    Choose(list(pc::kColourWindowList), 11);
    ASSERT_TRUE(console->SwitchPage(kPageUmdOverlay));
    ASSERT_TRUE(console->SwitchPage(kPageColors));
    EXPECT_EQ(list(pc::kColourInputList)->currentIndex(), 4);
    EXPECT_EQ(list(pc::kUmdTextColourList)->currentIndex(), 3);
    EXPECT_EQ(list(pc::kColourWindowList)->currentIndex(), 11);
    EXPECT_EQ(list(pc::kFormatTextColourList)->currentIndex(), 11);
}

} // namespace
} // namespace brenvik
