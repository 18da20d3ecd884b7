#include "setting_page_harness.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/audio_page.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"

#include <QComboBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

namespace pc = page_control;
using test::Choose;
using test::ExpectedFrame;

constexpr std::uint8_t kOpcodeMeter = 0x37;
constexpr std::uint8_t kOpcodeAudioSource = 0x39;
constexpr std::uint8_t kOpcodeMeterChannel = 0x52;
constexpr std::uint8_t kOpcodeAllMeters = 0x5B;
constexpr std::uint8_t kOpcodeCustomLoaded = 0x59;

// Window n's meter is on for even n, and shows channel pair n % 8.
sim::MultiviewerSettings Meters() {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.audioSource = 0;
    settings.allMetersOn = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        settings.windows[i].meterOn = (i + 1) % 2 == 0 ? 1 : 0;
        settings.windows[i].meterChannel = static_cast<std::uint8_t>((i + 1) % 8);
    }
    return settings;
}

class AudioPage {
public:
    explicit AudioPage(sim::MultiviewerSettings settings = Meters())
        : harness(kPageAudio, std::move(settings)) {}

    QComboBox* List(int id) { return harness.Get<QComboBox>(id); }
    QRadioButton* Radio(int id) { return harness.Get<QRadioButton>(id); }
    PictureButton* AllMeters() { return harness.Get<PictureButton>(pc::kAllMetersButton); }
    // Source, window, channel pair, "ON" checked, "OFF" checked, the all-meters picture.
    std::vector<int> Shown() {
        return {List(pc::kAudioSourceList)->currentIndex(),  List(pc::kMeterWindowList)->currentIndex(),
                List(pc::kMeterChannelList)->currentIndex(), Radio(pc::kMeterOnRadio)->isChecked(),
                Radio(pc::kMeterOffRadio)->isChecked(),      AllMeters()->ShownPicture()};
    }

    test::PageHarness harness;
};

TEST(AudioPageTest, FillsTheListsAndOpensOnTheRecord) {
    AudioPage page;
    EXPECT_EQ(page.List(pc::kAudioSourceList)->itemText(0), QStringLiteral("OFF"));
    EXPECT_EQ(page.List(pc::kAudioSourceList)->itemText(16), QStringLiteral("WIN 16"));
    EXPECT_EQ(page.List(pc::kMeterWindowList)->count(), 16);
    EXPECT_EQ(page.List(pc::kMeterChannelList)->count(), 8);
    EXPECT_EQ(page.List(pc::kMeterChannelList)->itemText(2), QStringLiteral("CH 05 & 06"));
    EXPECT_EQ(page.List(pc::kMeterChannelList)->itemText(7), QStringLiteral("CH 15 & 16"));
    EXPECT_EQ(page.Shown(), (std::vector<int>{0, 0, 1, 0, 1, pc::kAllMetersPictureOff}));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ActionCase {
    const char* what;
    std::function<void(AudioPage&)> act;
    std::vector<Frame> sent;
    std::vector<int> shown;
};

// The operator's actions in turn; choosing a window only shows it.
TEST(AudioPageTest, ActionsSendTheirFramesAndShowTheirState) {
    const std::vector<ActionCase> cases{
        {"source window 3",
         [](AudioPage& p) { Choose(p.List(pc::kAudioSourceList), 3); },
         {ExpectedFrame(kOpcodeAudioSource, {3})},
         {3, 0, 1, 0, 1, pc::kAllMetersPictureOff}},
        {"window 7",
         [](AudioPage& p) { Choose(p.List(pc::kMeterWindowList), 6); },
         {},
         {3, 6, 7, 0, 1, pc::kAllMetersPictureOff}},
        {"ON for window 7",
         [](AudioPage& p) { p.Radio(pc::kMeterOnRadio)->click(); },
         {ExpectedFrame(kOpcodeMeter, {7, 1})},
         {3, 6, 7, 1, 0, pc::kAllMetersPictureOff}},
        {"window 2",
         [](AudioPage& p) { Choose(p.List(pc::kMeterWindowList), 1); },
         {},
         {3, 1, 2, 1, 0, pc::kAllMetersPictureOff}},
        {"CH 05 & 06 for window 2",
         [](AudioPage& p) { Choose(p.List(pc::kMeterChannelList), 2); },
         {ExpectedFrame(kOpcodeMeterChannel, {2, 2})},
         {3, 1, 2, 1, 0, pc::kAllMetersPictureOff}},
        {"OFF for window 2",
         [](AudioPage& p) { p.Radio(pc::kMeterOffRadio)->click(); },
         {ExpectedFrame(kOpcodeMeter, {2, 0})},
         {3, 1, 2, 0, 1, pc::kAllMetersPictureOff}},
        {"ALL AUDIO METER ON",
         [](AudioPage& p) { p.AllMeters()->click(); },
         {ExpectedFrame(kOpcodeAllMeters, {1})},
         {3, 1, 2, 0, 1, pc::kAllMetersPictureOn}},
    };
    AudioPage page;
    for (const ActionCase& c : cases) {
        c.act(page);
        EXPECT_EQ(page.harness.TakeSent(), c.sent) << c.what;
        EXPECT_EQ(page.Shown(), c.shown) << c.what;
    }
    const MultiviewerState& state = page.harness.State();
    EXPECT_EQ(state.audioSource, 3);
    EXPECT_EQ(state.meterWindow, 1);
    EXPECT_EQ(state.meterOn.At(7), 1);
    EXPECT_EQ(state.meterOn.At(2), 0);
    EXPECT_EQ(state.meterChannel.At(2), 2);
    EXPECT_EQ(state.meterAllOn, 1);
}

TEST(AudioPageTest, WhileLockedEveryControlReturnsToTheRecordAndNothingIsSent) {
    AudioPage page;
    page.harness.Lock(true);
    // Choosing the window to look at is no change to the unit and works while locked.
    Choose(page.List(pc::kMeterWindowList), 1);
    const std::vector<int> before = page.Shown();
    EXPECT_EQ(before, (std::vector<int>{0, 1, 2, 1, 0, pc::kAllMetersPictureOff}));
    page.Radio(pc::kMeterOffRadio)->click();
    Choose(page.List(pc::kAudioSourceList), 5);
    Choose(page.List(pc::kMeterChannelList), 6);
    page.AllMeters()->click();
    EXPECT_EQ(page.Shown(), before);
    EXPECT_EQ(page.harness.State().audioSource, 0);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ReportCase {
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    std::vector<int> shown;
};

// A meter or channel pair report makes its window the chosen one, with its pair and flag.
TEST(AudioPageTest, ReportsChangeTheShownControlsAndSendNothing) {
    const std::vector<ReportCase> cases{
        {kOpcodeMeter, {9, 1}, {0, 8, 1, 1, 0, pc::kAllMetersPictureOff}},
        {kOpcodeMeterChannel, {4, 5}, {0, 3, 5, 1, 0, pc::kAllMetersPictureOff}},
        {kOpcodeAudioSource, {12}, {12, 3, 5, 1, 0, pc::kAllMetersPictureOff}},
        {kOpcodeAllMeters, {1}, {12, 3, 5, 1, 0, pc::kAllMetersPictureOn}},
    };
    AudioPage page;
    for (const ReportCase& c : cases) {
        page.harness.UnitReports(c.opcode, c.values);
        EXPECT_EQ(page.Shown(), c.shown) << int{c.opcode};
    }
    EXPECT_EQ(page.harness.State().meterWindow, 3);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// After a custom memory was loaded meterWindow keeps its value: the page shows that window with
// its pair and flag as re-read, and "ON" acts on the window shown.
TEST(AudioPageTest, CustomLoadShowsTheChosenWindowAndTheRadiosActOnIt) {
    AudioPage page;
    Choose(page.List(pc::kMeterWindowList), 4);
    sim::MultiviewerSettings loaded = Meters();
    loaded.windows[4].meterChannel = 0;
    loaded.windows[4].meterOn = 1;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(loaded, kOpcodeCustomLoaded));
    EXPECT_EQ(page.Shown(), (std::vector<int>{0, 4, 0, 1, 0, pc::kAllMetersPictureOff}));
    page.harness.TakeSent();
    page.Radio(pc::kMeterOffRadio)->click();
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{ExpectedFrame(kOpcodeMeter, {5, 0})});
}

// Settings replaced at the unit put the chosen window back on window 1.
TEST(AudioPageTest, ReplacedSettingsShowWindowOneAndTheNewValues) {
    AudioPage page;
    Choose(page.List(pc::kMeterWindowList), 4);
    sim::MultiviewerSettings replaced = Meters();
    replaced.windows[0].meterOn = 1;
    replaced.windows[0].meterChannel = 6;
    replaced.allMetersOn = 1;
    replaced.audioSource = 8;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(replaced));
    EXPECT_EQ(page.harness.State().meterWindow, 0);
    EXPECT_EQ(page.Shown(), (std::vector<int>{8, 0, 6, 1, 0, pc::kAllMetersPictureOn}));
}

} // namespace
} // namespace brenvik
