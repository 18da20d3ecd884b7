#include "setting_page_harness.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"
#include "multiviewer/ui/pages/settings_page.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

namespace pc = page_control;
using namespace std::chrono_literals;
using test::Choose;
using test::ExpectedFrame;
using test::kStateQuery;

constexpr std::uint8_t kOpcodeLoadDefault = 0x0B;
constexpr std::uint8_t kOpcodeOutputFormat = 0x19;
constexpr std::uint8_t kOpcodeFormatStatusReport = 0x3A;
constexpr std::uint8_t kOpcodeTimecodeReport = 0x53;
constexpr std::uint8_t kOpcodeAudioAlarm = 0x56;
constexpr std::uint8_t kOpcodeSaveCustom = 0x58;
constexpr std::uint8_t kOpcodeLoadCustom = 0x59;
constexpr std::uint8_t kOpcodeFormatStatus = 0x5D;
constexpr std::uint8_t kOpcodeTimecode = 0x5E;
constexpr int kLoadDefaultButton = 1052;
constexpr int kSaveCustom1 = 1119;
constexpr int kSaveCustom2 = 1120;
constexpr int kLoadCustom1 = 1121;

// 1080i50, format status off, audio alarm and timecode on: every control away from the defaults.
sim::MultiviewerSettings Controls(std::uint8_t outputFormat = 1) {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.outputFormat = outputFormat;
    settings.formatStatusOn = 0;
    settings.audioAlarmOn = 1;
    settings.timecodeOn = 1;
    return settings;
}

class SettingsPage {
public:
    explicit SettingsPage(sim::MultiviewerSettings settings = Controls(),
                          test::PageHarness::Options options = {})
        : harness(kPageControls, std::move(settings), options) {}

    CClass_16_view_set& Page() { return static_cast<CClass_16_view_set&>(harness.Page()); }
    QComboBox* Formats() { return harness.Get<QComboBox>(pc::kOutputFormatList); }
    PictureButton* Button(int id) { return harness.Get<PictureButton>(id); }
    // The format entry and the pictures of the format status, audio alarm and timecode toggles.
    std::vector<int> Shown() {
        return {Formats()->currentIndex(), Button(pc::kFormatStatusButton)->ShownPicture(),
                Button(pc::kAudioAlarmButton)->ShownPicture(), Button(pc::kTimecodeButton)->ShownPicture()};
    }
    // Clicks a load and waits until its re-read is shown.
    void Load(int button) {
        Button(button)->click();
        EXPECT_TRUE(Page().Reloading());
        EXPECT_TRUE(QTest::qWaitFor([this] { return !Page().Reloading(); }));
    }

    test::PageHarness harness;
};

struct OpenCase {
    std::uint8_t outputFormat;
    int entry;
};

TEST(SettingsPageTest, OpensOnTheRecordsFormatAndFlags) {
    const std::vector<OpenCase> cases{{7, 0}, {1, 3}, {6, 8}, {2, -1}};
    for (const OpenCase& c : cases) {
        SettingsPage page(Controls(c.outputFormat));
        EXPECT_EQ(page.Formats()->count(), 9);
        EXPECT_EQ(page.Formats()->itemText(0), QStringLiteral("1080p60"));
        EXPECT_EQ(page.Formats()->itemText(3), QStringLiteral("1080i50"));
        EXPECT_EQ(page.Formats()->itemText(8), QStringLiteral("720p50"));
        EXPECT_EQ(page.Shown(), (std::vector<int>{c.entry, pc::kFormatStatusPictureOff,
                                                  pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}))
            << int{c.outputFormat};
        EXPECT_TRUE(page.harness.TakeSent().empty());
    }
}

struct ActionCase {
    const char* what;
    std::function<void(SettingsPage&)> act;
    std::vector<Frame> sent;
    std::vector<int> shown;
};

TEST(SettingsPageTest, ActionsSendTheirFramesAndShowTheirState) {
    const std::vector<ActionCase> cases{
        {"1080p50",
         [](SettingsPage& p) { Choose(p.Formats(), 1); },
         {ExpectedFrame(kOpcodeOutputFormat, {0, 11})},
         {1, pc::kFormatStatusPictureOff, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {"720p60",
         [](SettingsPage& p) { Choose(p.Formats(), 7); },
         {ExpectedFrame(kOpcodeOutputFormat, {0, 14})},
         {7, pc::kFormatStatusPictureOff, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {"format status",
         [](SettingsPage& p) { p.Button(pc::kFormatStatusButton)->click(); },
         {ExpectedFrame(kOpcodeFormatStatus, {1})},
         {7, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {"audio alarm",
         [](SettingsPage& p) { p.Button(pc::kAudioAlarmButton)->click(); },
         {ExpectedFrame(kOpcodeAudioAlarm, {0})},
         {7, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOn}},
        {"timecode",
         [](SettingsPage& p) { p.Button(pc::kTimecodeButton)->click(); },
         {ExpectedFrame(kOpcodeTimecode, {0})},
         {7, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOff}},
        {"save custom 1",
         [](SettingsPage& p) { p.Button(kSaveCustom1)->click(); },
         {ExpectedFrame(kOpcodeSaveCustom, {1})},
         {7, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOff}},
        {"save custom 2",
         [](SettingsPage& p) { p.Button(kSaveCustom2)->click(); },
         {ExpectedFrame(kOpcodeSaveCustom, {2})},
         {7, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOff}},
    };
    SettingsPage page;
    for (const ActionCase& c : cases) {
        c.act(page);
        EXPECT_EQ(page.harness.TakeSent(), c.sent) << c.what;
        EXPECT_EQ(page.Shown(), c.shown) << c.what;
        EXPECT_FALSE(page.Page().Reloading()) << c.what;
    }
    const MultiviewerState& state = page.harness.State();
    EXPECT_EQ(state.outputFormat, 14);
    EXPECT_EQ(state.formatStatusOn, 1);
    EXPECT_EQ(state.audioAlarmOn, 0);
    EXPECT_EQ(state.timecodeOn, 0);
}

// The unit comes back with its factory settings; the page and the console's own selections follow
// once the state is read again.
TEST(SettingsPageTest, LoadDefaultReadsTheUnitAgainAndShowsIt) {
    SettingsPage page;
    page.harness.Session().SelectMeterWindow(5);
    page.harness.Session().SelectColourWindow(3);
    page.harness.Session().SelectColourInput(2);
    page.harness.Unit() = sim::MultiviewerSettings::Factory(); // as the unit does on the load
    page.Load(kLoadDefaultButton);
    EXPECT_EQ(page.Shown(), (std::vector<int>{0, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff,
                                              pc::kTimecodePictureOff}));
    const MultiviewerState& state = page.harness.State();
    EXPECT_EQ(state.outputFormat, 7);
    EXPECT_EQ(state.meterWindow, 0);
    EXPECT_EQ(state.formatColorWindow, 0);
    EXPECT_EQ(state.umdColorInput, 0);
    EXPECT_EQ(page.harness.Replacements(), 1);
    EXPECT_EQ(page.harness.TakeSent(),
              (std::vector<Frame>{ExpectedFrame(kOpcodeLoadDefault, {0}), kStateQuery}));
}

// During the unit's full wait the page refuses the operator's clicks; the page going away in the
// middle of it cancels the wait and the read.
TEST(SettingsPageTest, DuringTheWaitClicksAreRefusedAndThePageMayGo) {
    SettingsPage page(Controls(), {ScreenScale{}, 3000ms});
    QTest::mouseClick(page.Button(pc::kTimecodeButton), Qt::LeftButton);
    page.Button(kLoadDefaultButton)->click();
    ASSERT_TRUE(page.Page().Reloading());
    QTest::mouseClick(page.Button(pc::kTimecodeButton), Qt::LeftButton);
    EXPECT_EQ(page.harness.TakeSent(), (std::vector<Frame>{ExpectedFrame(kOpcodeTimecode, {0}),
                                                           ExpectedFrame(kOpcodeLoadDefault, {0})}));
    EXPECT_TRUE(page.Page().Reloading());
    page.harness.ShowPage(kPageLayout);
    QCoreApplication::processEvents();
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// A custom memory brings back what was saved in it; the console's selections stay.
TEST(SettingsPageTest, LoadCustomBringsBackTheSavedSettings) {
    SettingsPage page;
    page.Button(kSaveCustom1)->click();
    Choose(page.Formats(), 0);
    page.Button(pc::kFormatStatusButton)->click();
    EXPECT_EQ(page.harness.TakeSent(), (std::vector<Frame>{ExpectedFrame(kOpcodeSaveCustom, {1}),
                                                           ExpectedFrame(kOpcodeOutputFormat, {0, 7}),
                                                           ExpectedFrame(kOpcodeFormatStatus, {1})}));
    page.harness.Session().SelectMeterWindow(5);
    page.harness.Unit() = Controls(); // what memory 1 holds, as the unit loads it
    page.Load(kLoadCustom1);
    EXPECT_EQ(page.Shown(), (std::vector<int>{3, pc::kFormatStatusPictureOff, pc::kAudioAlarmPictureOn,
                                              pc::kTimecodePictureOn}));
    EXPECT_EQ(page.harness.State().outputFormat, 1);
    EXPECT_EQ(page.harness.State().meterWindow, 5);
    EXPECT_EQ(page.harness.TakeSent(),
              (std::vector<Frame>{ExpectedFrame(kOpcodeLoadCustom, {1}), kStateQuery}));
}

// While locked the list springs back and nothing changes the unit; a custom load still reads the
// unit's state again, which is all it then does.
TEST(SettingsPageTest, WhileLockedNothingIsSentButTheStateQuery) {
    SettingsPage page;
    page.harness.Lock(true);
    const std::vector<int> before = page.Shown();
    Choose(page.Formats(), 5);
    page.Button(pc::kFormatStatusButton)->click();
    page.Button(pc::kAudioAlarmButton)->click();
    page.Button(pc::kTimecodeButton)->click();
    page.Button(kLoadDefaultButton)->click();
    EXPECT_FALSE(page.Page().Reloading());
    page.Button(kSaveCustom2)->click();
    EXPECT_EQ(page.Shown(), before);
    EXPECT_EQ(page.harness.State().outputFormat, 1);
    EXPECT_TRUE(page.harness.TakeSent().empty());

    page.Load(kLoadCustom1);
    EXPECT_EQ(page.Shown(), before);
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{kStateQuery});
}

struct ReportCase {
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    std::vector<int> shown;
};

// A format code the list lacks leaves the list where it was.
TEST(SettingsPageTest, ReportsChangeThePageAndSendNothing) {
    const std::vector<ReportCase> cases{
        {kOpcodeOutputFormat,
         {0, 11},
         {1, pc::kFormatStatusPictureOff, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {kOpcodeOutputFormat,
         {0, 2},
         {1, pc::kFormatStatusPictureOff, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {kOpcodeFormatStatusReport,
         {1},
         {1, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOn, pc::kTimecodePictureOn}},
        {kOpcodeAudioAlarm,
         {0},
         {1, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOn}},
        {kOpcodeTimecodeReport,
         {0},
         {1, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOff}},
        {kOpcodeTimecode,
         {1},
         {1, pc::kFormatStatusPictureOn, pc::kAudioAlarmPictureOff, pc::kTimecodePictureOn}},
    };
    SettingsPage page;
    for (const ReportCase& c : cases) {
        page.harness.UnitReports(c.opcode, c.values);
        EXPECT_EQ(page.Shown(), c.shown) << int{c.opcode};
    }
    EXPECT_EQ(page.harness.State().outputFormat, 2);
    EXPECT_EQ(page.harness.State().timecodeOn, 1);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// Settings replaced at the unit are shown once the session has read them.
TEST(SettingsPageTest, ReplacedSettingsRefreshThePage) {
    SettingsPage page;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(Controls(13)));
    EXPECT_EQ(page.Formats()->currentIndex(), 5);
    EXPECT_EQ(page.harness.State().outputFormat, 13);
}

} // namespace
} // namespace brenvik
