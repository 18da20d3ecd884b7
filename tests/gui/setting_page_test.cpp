// What every setting page shares: it follows the session's changes, whichever page is shown when a
// report comes, and what a report or a refresh changes never sends (no echo).
#include "setting_page_harness.h"

#include "controls/picture_button.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <ostream>

namespace brenvik {
namespace {

namespace pc = page_control;
using test::kStateQuery;

struct Report {
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
};

// One report of every kind the unit sends, each changing what some page shows.
const std::vector<Report> kEveryReport{
    {0x33, {90}},      // layout
    {0x34, {5, 3}},    // window 3 takes input 5
    {0x36, {4, 0}},    // window 4's label off
    {0x5C, {0}},       // all labels off
    {0x3B, {3, 9}},    // input 3's label text colour
    {0x3C, {0, 4}},    // every label's ground colour
    {0x3D, {6, 2}},    // window 6's format text colour
    {0x3E, {6, 3}},    // window 6's format ground colour
    {0x54, {2, 5}},    // window 2's timecode text colour
    {0x55, {2, 6}},    // window 2's timecode ground colour
    {0x3F, {0}},       // borders off
    {0x3A, {0}},       // format status off
    {0x5D, {1}},       // format status on
    {0x53, {1}},       // timecode on
    {0x5E, {0}},       // timecode off
    {0x56, {1}},       // audio alarm on
    {0x19, {0, 11}},   // output format 1080p50
    {0x39, {4}},       // audio from window 4
    {0x37, {3, 0}},    // window 3's meter off
    {0x5B, {0}},       // all meters off
    {0x52, {3, 6}},    // window 3's meter on channels 13 & 14
    {0x51, {2, 1, 5}}, // a signal on window 3
};

// Counts every signal by which a control of the page tells of a change, whoever made it: what a
// report or a refresh changes must leave all of them silent, or an operator handler could send it.
class ControlSignals {
public:
    explicit ControlSignals(QWidget& page) {
        const auto count = [this] { ++m_count; };
        for (QComboBox* list : page.findChildren<QComboBox*>()) {
            QObject::connect(list, &QComboBox::currentIndexChanged, &m_context, count);
            QObject::connect(list, &QComboBox::activated, &m_context, count);
        }
        for (QAbstractButton* button : page.findChildren<QAbstractButton*>()) {
            QObject::connect(button, &QAbstractButton::toggled, &m_context, count);
            QObject::connect(button, &QAbstractButton::clicked, &m_context, count);
        }
        for (QLineEdit* field : page.findChildren<QLineEdit*>()) {
            QObject::connect(field, &QLineEdit::textChanged, &m_context, count);
        }
    }
    int Count() const { return m_count; }

private:
    QObject m_context;
    int m_count = 0;
};

sim::MultiviewerSettings Replaced() {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.layoutCode = 160;
    settings.outputFormat = 13;
    settings.allUmdOn = 0;
    settings.allMetersOn = 0;
    settings.borderOn = 0;
    settings.audioSource = 9;
    settings.timecodeOn = 1;
    settings.inputNames[2] = u"REPLACED";
    for (std::size_t i = 0; i < 16; ++i) {
        settings.windowSource[i] = static_cast<std::uint8_t>(16 - i);
        settings.loopRoute[i] = static_cast<std::uint8_t>(1 + (i + 3) % 16);
        settings.labels[i] = {static_cast<std::uint8_t>(i % 2), static_cast<std::uint8_t>(i), 3};
        settings.windows[i].meterChannel = static_cast<std::uint8_t>(7 - i % 8);
    }
    return settings;
}

struct PageCase {
    std::uint8_t pageType;
    const char* name;
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class EveryPage : public ::testing::TestWithParam<PageCase> {};

// The page shown takes every report and a whole replacement, locked or not, and not one of its
// controls says it changed: nothing can be sent back, and only the re-read's query went out.
TEST_P(EveryPage, FollowsReportsAndReplacementsWithoutEcho) {
    test::PageHarness harness(GetParam().pageType, sim::MultiviewerSettings::Factory());
    ControlSignals controls(harness.Page());
    const QImage before = harness.Page().grab().toImage();
    for (const Report& report : kEveryReport) {
        harness.UnitReports(report.opcode, report.values);
    }
    ASSERT_TRUE(harness.UnitReplacesSettings(Replaced()));
    harness.Lock(true);
    for (const Report& report : kEveryReport) {
        harness.UnitReports(report.opcode, report.values);
    }
    ASSERT_TRUE(harness.UnitReplacesSettings(sim::MultiviewerSettings::Factory()));
    harness.Lock(false);
    ASSERT_TRUE(harness.UnitReplacesSettings(Replaced()));
    EXPECT_EQ(controls.Count(), 0);
    EXPECT_EQ(harness.TakeSent(), (std::vector<Frame>{kStateQuery, kStateQuery, kStateQuery}));
    // The page did follow: it no longer looks as it opened.
    EXPECT_NE(harness.Page().grab().toImage(), before);
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryPage,
                         ::testing::Values(PageCase{kPageLayout, "LAYOUT"}, PageCase{kPageUmdOverlay, "UMD"},
                                           PageCase{kPageColors, "COLORS"},
                                           PageCase{kPageControls, "CONTROLS"},
                                           PageCase{kPageSwitcher, "SWITCHER"},
                                           PageCase{kPageAudio, "AUDIO"}));

// What a control shows: a list its entry, a picture button its picture.
int Shown(QWidget* control) {
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        return list->currentIndex();
    }
    if (auto* button = qobject_cast<PictureButton*>(control)) {
        return button->ShownPicture();
    }
    ADD_FAILURE() << "control " << control->objectName().toStdString() << " shows nothing this test reads";
    return -2;
}

struct ElsewhereCase {
    Report report;
    std::uint8_t pageType;
    int control;
    int shown;
};

// Reports that come while the LAYOUT page is shown are kept whole, and every other page shows them
// as it opens.
TEST(SettingPages, ReportsForAPageNotShownAreShownWhenItOpens) {
    const std::vector<ElsewhereCase> cases{
        {{0x36, {4, 0}}, kPageUmdOverlay, pc::UmdWindowButton(4), pc::UmdWindowPicture(4, false)},
        {{0x5C, {0}}, kPageUmdOverlay, pc::kAllUmdButton, pc::kAllUmdPictureOff},
        {{0x3B, {3, 9}}, kPageColors, pc::kUmdTextColourList, 9},
        {{0x3E, {6, 3}}, kPageColors, pc::kFormatBackColourList, 3},
        {{0x19, {0, 11}}, kPageControls, pc::kOutputFormatList, 1},
        {{0x53, {1}}, kPageControls, pc::kTimecodeButton, pc::kTimecodePictureOn},
        {{0x39, {4}}, kPageAudio, pc::kAudioSourceList, 4},
        {{0x52, {3, 6}}, kPageAudio, pc::kMeterChannelList, 6},
    };
    for (const ElsewhereCase& c : cases) {
        test::PageHarness harness(kPageLayout, sim::MultiviewerSettings::Factory());
        harness.UnitReports(c.report.opcode, c.report.values);
        harness.ShowPage(c.pageType);
        EXPECT_EQ(Shown(harness.Get<QWidget>(c.control)), c.shown) << "report " << int{c.report.opcode};
        EXPECT_TRUE(harness.TakeSent().empty());
    }
}

} // namespace
} // namespace brenvik
