#include "setting_page_harness.h"

#include "controls/picture_button.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/ui/pages/layout_page.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace brenvik {
namespace {

using test::ExpectedFrame;
using test::kStateQuery;

constexpr int kWindowCountList = 1074;
constexpr std::uint8_t kOpcodeLayout = 0x33;
constexpr std::uint8_t kOpcodeSource = 0x34;

// Every layout button with its normal picture, in the order of the page's groups.
struct Button {
    int id;
    int normalPicture;
};
const std::vector<Button> kButtons = [] {
    std::vector<Button> buttons;
    for (int code = 1; code <= 16; ++code) {
        buttons.push_back({1083 + code - 1, 215 + 2 * (code - 1)});
    }
    const std::vector<Button> multiWindow{{1082, 247}, {1099, 249}, {1100, 251}, {1101, 253}, {1117, 361},
                                          {1102, 255}, {1103, 257}, {1104, 259}, {1114, 369}, {1105, 263},
                                          {1106, 261}, {1107, 265}, {1108, 267}, {1109, 269}, {1110, 271},
                                          {1115, 455}, {1111, 273}, {1112, 275}, {1113, 277}, {1116, 391}};
    buttons.insert(buttons.end(), multiWindow.begin(), multiWindow.end());
    return buttons;
}();

std::vector<int> SingleWindowButtons() {
    std::vector<int> ids;
    for (int id = 1083; id <= 1098; ++id) {
        ids.push_back(id);
    }
    return ids;
}

sim::MultiviewerSettings WithLayout(std::uint8_t code) {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.layoutCode = code;
    return settings;
}

class LayoutPage {
public:
    explicit LayoutPage(sim::MultiviewerSettings settings, test::PageHarness::Options options = {})
        : harness(kPageLayout, std::move(settings), options) {}

    auto* Page() { return static_cast<CClass_16_view_mode*>(&harness.Page()); }
    PictureButton* ButtonNumbered(int id) { return harness.Get<PictureButton>(id); }
    QComboBox* List(int id) { return harness.Get<QComboBox>(id); }
    QComboBox* SourceList(int window) { return List(page_control::LayoutSourceList(window)); }

    std::vector<int> VisibleButtons() {
        std::vector<int> ids;
        for (const Button& button : kButtons) {
            if (ButtonNumbered(button.id)->isVisibleTo(Page())) {
                ids.push_back(button.id);
            }
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // The buttons showing their highlighted picture; every other button shows its normal one.
    std::vector<int> HighlightedButtons() {
        std::vector<int> ids;
        for (const Button& button : kButtons) {
            const int shown = ButtonNumbered(button.id)->ShownPicture();
            EXPECT_TRUE(shown == button.normalPicture || shown == button.normalPicture + 1) << button.id;
            if (shown == button.normalPicture + 1) {
                ids.push_back(button.id);
            }
        }
        return ids;
    }
    int EnabledSourceLists() {
        int count = 0;
        for (int window = 1; window <= 16; ++window) {
            count += SourceList(window)->isEnabled() ? 1 : 0;
        }
        return count;
    }

    test::PageHarness harness;
};

struct OpeningCase {
    std::uint8_t code;
    int countEntry; // -1: none selected
    std::vector<int> visible;
    std::vector<int> highlighted;
    int enabledSourceLists;
};

void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << "layout " << int(c.code);
}

class LayoutPageOpening : public ::testing::TestWithParam<OpeningCase> {};

// The page shows the record's layout: its window count, its group with its button highlighted and
// the source lists of its windows; opening sends nothing.
TEST_P(LayoutPageOpening, ShowsTheRecordsLayout) {
    const OpeningCase& c = GetParam();
    LayoutPage page(WithLayout(c.code));
    EXPECT_EQ(page.List(kWindowCountList)->currentIndex(), c.countEntry);
    EXPECT_EQ(page.VisibleButtons(), c.visible);
    EXPECT_EQ(page.HighlightedButtons(), c.highlighted);
    EXPECT_EQ(page.EnabledSourceLists(), c.enabledSourceLists);
    EXPECT_EQ(page.Page()->LastLayoutCode(), c.code);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LayoutPageOpening,
    ::testing::Values(OpeningCase{40, 1, {1082, 1099, 1100}, {1082}, 4},
                      OpeningCase{1, 0, SingleWindowButtons(), {1083}, 0},
                      OpeningCase{7, 0, SingleWindowButtons(), {1089}, 0},
                      OpeningCase{16, 0, SingleWindowButtons(), {1098}, 0},
                      OpeningCase{0, 0, SingleWindowButtons(), {}, 0},
                      OpeningCase{61, 2, {1101, 1117}, {1117}, 6},
                      OpeningCase{83, 3, {1102, 1103, 1104, 1114}, {1114}, 8},
                      OpeningCase{102, 5, {1109, 1110, 1115}, {1115}, 10},
                      OpeningCase{111, 6, {1111}, {1111}, 11}, OpeningCase{121, 7, {1112}, {1112}, 12},
                      // Any variant of 11 or 12 windows is the one button of its count.
                      OpeningCase{115, 6, {1111}, {1111}, 11}, OpeningCase{161, 8, {1113, 1116}, {1116}, 16},
                      // A variant no button pictures: its group, nothing highlighted.
                      OpeningCase{95, 4, {1105, 1106, 1107, 1108}, {}, 9},
                      // A count the list does not hold selects no entry and shows no group.
                      OpeningCase{170, -1, {}, {}, 16}));

TEST(LayoutPageTest, AWindowCountShowsItsGroupAndOnlyAButtonSendsTheLayout) {
    LayoutPage page(WithLayout(40));
    test::Choose(page.List(kWindowCountList), 4); // WIN 9
    EXPECT_EQ(page.VisibleButtons(), (std::vector<int>{1105, 1106, 1107, 1108}));
    EXPECT_EQ(page.EnabledSourceLists(), 9);
    EXPECT_EQ(page.HighlightedButtons(), std::vector<int>{1082}); // hidden, still the one chosen
    EXPECT_TRUE(page.harness.TakeSent().empty());

    QTest::mouseClick(page.ButtonNumbered(1105), Qt::LeftButton); // 3 x 3
    EXPECT_EQ(page.HighlightedButtons(), std::vector<int>{1105});
    EXPECT_EQ(page.harness.State().layoutCode, 90);
    EXPECT_EQ(page.harness.State().windowRects, ComputeLayoutGeometry(90));
    EXPECT_EQ(page.Page()->LastLayoutCode(), 90);
    EXPECT_EQ(page.List(kWindowCountList)->currentIndex(), 4);
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{ExpectedFrame(kOpcodeLayout, {90})});

    // The unit reports the new layout back; the page shows it and sends nothing.
    page.harness.UnitReports(kOpcodeLayout, {90});
    EXPECT_EQ(page.HighlightedButtons(), std::vector<int>{1105});
    EXPECT_TRUE(page.harness.TakeSent().empty());

    // The layout just chosen again: nothing.
    QTest::mouseClick(page.ButtonNumbered(1105), Qt::LeftButton);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

TEST(LayoutPageTest, AWindowSourceIsSentOnlyWhenItDiffersFromTheRecord) {
    LayoutPage page(WithLayout(40));
    ASSERT_EQ(page.harness.State().windowSource.At(3), 3);
    EXPECT_EQ(page.SourceList(3)->currentIndex(), 2);
    test::Choose(page.SourceList(3), 2);
    EXPECT_TRUE(page.harness.TakeSent().empty());

    // The unit changes window 3 by itself; the list follows and nothing goes back.
    page.harness.UnitReports(kOpcodeSource, {7, 3});
    EXPECT_EQ(page.SourceList(3)->currentIndex(), 6);
    EXPECT_EQ(page.harness.State().windowSource.At(3), 7);
    EXPECT_TRUE(page.harness.TakeSent().empty());

    // Window 3's input from before the report now differs from the record: sent.
    test::Choose(page.SourceList(3), 2);
    EXPECT_EQ(page.harness.State().windowSource.At(3), 3);
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{ExpectedFrame(kOpcodeSource, {3, 3})});
}

TEST(LayoutPageTest, WhileLockedNothingChangesAndTheSourceListSpringsBack) {
    LayoutPage page(WithLayout(40));
    page.harness.Lock(true);
    test::Choose(page.SourceList(2), 9);
    EXPECT_EQ(page.SourceList(2)->currentIndex(), 1);
    QTest::mouseClick(page.ButtonNumbered(1099), Qt::LeftButton);
    EXPECT_EQ(page.HighlightedButtons(), std::vector<int>{1082});
    EXPECT_EQ(page.harness.State().layoutCode, 40);
    // The window-count list only shows another group.
    test::Choose(page.List(kWindowCountList), 8);
    EXPECT_EQ(page.VisibleButtons(), (std::vector<int>{1113, 1116}));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

struct ReportCase {
    std::uint8_t opcode;
    std::vector<std::uint8_t> values;
    int countEntry;
    std::vector<int> highlighted;
    int window1Entry;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << "report " << int(c.opcode) << " " << (c.values.empty() ? -1 : int(c.values[0]));
}

class LayoutPageReports : public ::testing::TestWithParam<ReportCase> {};

// The unit's reports change what the page shows, never what it sends.
TEST_P(LayoutPageReports, ChangeThePageAndSendNothing) {
    const ReportCase& c = GetParam();
    LayoutPage page(WithLayout(40));
    page.harness.UnitReports(c.opcode, c.values);
    EXPECT_EQ(page.List(kWindowCountList)->currentIndex(), c.countEntry);
    EXPECT_EQ(page.HighlightedButtons(), c.highlighted);
    EXPECT_EQ(page.SourceList(1)->currentIndex(), c.window1Entry);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

INSTANTIATE_TEST_SUITE_P(Reports, LayoutPageReports,
                         ::testing::Values(ReportCase{kOpcodeLayout, {90}, 4, {1105}, 0},
                                           // A single window also shows its input in window 1's list.
                                           ReportCase{kOpcodeLayout, {5}, 0, {1087}, 4},
                                           ReportCase{kOpcodeLayout, {0}, 0, {}, -1},
                                           ReportCase{kOpcodeLayout, {200}, -1, {}, 0},
                                           ReportCase{kOpcodeSource, {12, 1}, 1, {1082}, 11}));

// After the unit replaced its settings the page shows the new layout and the new window sources.
TEST(LayoutPageTest, ReplacedSettingsRefreshLayoutAndSources) {
    LayoutPage page(WithLayout(40));
    sim::MultiviewerSettings replaced = WithLayout(160);
    replaced.windowSource[1] = 9;
    ASSERT_TRUE(page.harness.UnitReplacesSettings(replaced));
    EXPECT_EQ(page.List(kWindowCountList)->currentIndex(), 8);
    EXPECT_EQ(page.HighlightedButtons(), std::vector<int>{1113});
    EXPECT_EQ(page.EnabledSourceLists(), 16);
    EXPECT_EQ(page.SourceList(2)->currentIndex(), 8);
    // The state read is all that went to the unit.
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{kStateQuery});
}

// A window source in the record that names no input (0, 17) selects nothing.
TEST(LayoutPageTest, SourcesOutsideTheInputsSelectNothing) {
    sim::MultiviewerSettings settings = WithLayout(40);
    settings.windowSource[0] = 0;
    settings.windowSource[1] = 17;
    LayoutPage page(settings);
    EXPECT_EQ(page.SourceList(1)->currentIndex(), -1);
    EXPECT_EQ(page.SourceList(2)->currentIndex(), -1);
    EXPECT_EQ(page.SourceList(3)->currentIndex(), 2);
}

struct PlacementCase {
    int dpi;
    int id;
    QRect geometry;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << "control " << c.id << " at " << c.dpi << " dpi";
}

class LayoutPagePlacement : public ::testing::TestWithParam<PlacementCase> {};

// Lists scale their place and size; picture buttons only their place.
TEST_P(LayoutPagePlacement, ScalesPlacesAndListSizes) {
    const PlacementCase& c = GetParam();
    LayoutPage page(WithLayout(40), {ScreenScale{c.dpi, c.dpi}});
    EXPECT_EQ(page.harness.Get<QWidget>(c.id)->geometry(), c.geometry);
}

INSTANTIATE_TEST_SUITE_P(Dpi, LayoutPagePlacement,
                         ::testing::Values(PlacementCase{96, 1074, {100, 25, 120, 20}},
                                           PlacementCase{144, 1074, {150, 37, 180, 30}},
                                           PlacementCase{144, 1043, {547, 562, 105, 30}},
                                           PlacementCase{96, 1098, {140, 375, 70, 45}},
                                           PlacementCase{144, 1116, {60, 345, 180, 155}}));

} // namespace
} // namespace brenvik
