#include "setting_page_harness.h"

#include "controls/picture_button.h"
#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/ui/pages/page_controls.h"
#include "multiviewer/ui/pages/page_type.h"

#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

namespace brenvik {
namespace {

using test::ExpectedFrame;
using test::kStateQuery;

constexpr std::uint8_t kOpcodeSource = 0x34;
constexpr std::uint8_t kOpcodeOneToOne = 0x5A;
constexpr int kOneToOneButton = 1114;

sim::MultiviewerSettings InSwitcherMode(std::array<std::uint8_t, 16> loopRoute) {
    sim::MultiviewerSettings settings = sim::MultiviewerSettings::Factory();
    settings.switcherMode = 1;
    settings.loopRoute = loopRoute;
    return settings;
}

// Output n takes input 17 - n: every output differs from one to one.
constexpr std::array<std::uint8_t, 16> kReversed{16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};

class RoutingPage {
public:
    explicit RoutingPage(std::array<std::uint8_t, 16> loopRoute = kReversed)
        : harness(kPageSwitcher, InSwitcherMode(loopRoute)) {}

    QComboBox* OutputList(int output) {
        return harness.Get<QComboBox>(page_control::SwitcherOutputList(output));
    }
    std::vector<int> ShownRoutes() {
        std::vector<int> inputs;
        for (int output = 1; output <= 16; ++output) {
            inputs.push_back(OutputList(output)->currentIndex() + 1);
        }
        return inputs;
    }
    std::vector<int> CellInputs() {
        std::vector<int> inputs;
        for (const PreviewRect& cell : harness.State().switcherCells) {
            inputs.push_back(cell.number);
        }
        return inputs;
    }

    test::PageHarness harness;
};

std::vector<int> Numbers(std::array<std::uint8_t, 16> bytes) {
    return {bytes.begin(), bytes.end()};
}

std::vector<int> OneToOne() {
    std::vector<int> inputs;
    for (int n = 1; n <= 16; ++n) {
        inputs.push_back(n);
    }
    return inputs;
}

TEST(RoutingPageTest, OpensOnTheRecordsRoutingAndCopiesItToThePreview) {
    std::array<std::uint8_t, 16> routes = kReversed;
    routes[3] = 9;
    RoutingPage page(routes);
    EXPECT_EQ(page.OutputList(4)->currentText(), QStringLiteral("SDI_09"));
    EXPECT_EQ(page.ShownRoutes(), Numbers(routes));
    EXPECT_EQ(page.CellInputs(), Numbers(routes));
    EXPECT_EQ(page.harness.State().switcherCells, ComputeSwitcherCells(page.harness.State().loopRoute));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// Every choice is sent, the input the output has already included.
TEST(RoutingPageTest, EveryChoiceIsSentAndStored) {
    RoutingPage page;
    test::Choose(page.OutputList(16), 1); // SDI_02
    EXPECT_EQ(page.harness.State().loopRoute.At(16), 2);
    EXPECT_EQ(page.harness.State().switcherCells[15].number, 2);
    test::Choose(page.OutputList(5), 11); // SDI_12, which output 5 has
    EXPECT_EQ(page.harness.TakeSent(), (std::vector<Frame>{ExpectedFrame(kOpcodeSource, {2, 16}),
                                                           ExpectedFrame(kOpcodeSource, {12, 5})}));
}

TEST(RoutingPageTest, OneToOneSendsOnceAndShowsEveryOutputOnItsOwnInput) {
    RoutingPage page;
    QTest::mouseClick(page.harness.Get<PictureButton>(kOneToOneButton), Qt::LeftButton);
    EXPECT_EQ(page.ShownRoutes(), OneToOne());
    EXPECT_EQ(page.CellInputs(), OneToOne());
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{ExpectedFrame(kOpcodeOneToOne, {})});
    // The unit reports all sixteen routes back; nothing goes out again.
    for (std::uint8_t n = 1; n <= 16; ++n) {
        page.harness.UnitReports(kOpcodeSource, {n, n});
    }
    EXPECT_EQ(page.ShownRoutes(), OneToOne());
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

TEST(RoutingPageTest, WhileLockedTheListsSpringBackAndNothingIsSent) {
    RoutingPage page;
    page.harness.Lock(true);
    test::Choose(page.OutputList(3), 0);
    QTest::mouseClick(page.harness.Get<PictureButton>(kOneToOneButton), Qt::LeftButton);
    EXPECT_EQ(page.ShownRoutes(), Numbers(kReversed));
    EXPECT_EQ(page.CellInputs(), Numbers(kReversed));
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

TEST(RoutingPageTest, ASourceReportChangesTheListAndTheCellAndSendsNothing) {
    RoutingPage page;
    page.harness.UnitReports(kOpcodeSource, {7, 12});
    EXPECT_EQ(page.OutputList(12)->currentIndex(), 6);
    EXPECT_EQ(page.harness.State().loopRoute.At(12), 7);
    EXPECT_EQ(page.harness.State().switcherCells[11].number, 7);
    EXPECT_TRUE(page.harness.TakeSent().empty());
}

// After the unit replaced its settings the lists and the preview's cells show the new routing.
TEST(RoutingPageTest, ReplacedSettingsRefreshTheListsAndThePreviewCells) {
    RoutingPage page;
    ASSERT_TRUE(
        page.harness.UnitReplacesSettings(InSwitcherMode({3, 3, 3, 3, 5, 5, 5, 5, 7, 7, 7, 7, 9, 9, 9, 9})));
    const std::vector<int> expected{3, 3, 3, 3, 5, 5, 5, 5, 7, 7, 7, 7, 9, 9, 9, 9};
    EXPECT_EQ(page.ShownRoutes(), expected);
    EXPECT_EQ(page.CellInputs(), expected);
    EXPECT_EQ(page.harness.TakeSent(), std::vector<Frame>{kStateQuery});
}

// A route in the record that names no input (0, 17) selects nothing.
TEST(RoutingPageTest, RoutesOutsideTheInputsSelectNothing) {
    std::array<std::uint8_t, 16> routes = kReversed;
    routes[0] = 0;
    routes[8] = 17;
    RoutingPage page(routes);
    EXPECT_EQ(page.OutputList(1)->currentIndex(), -1);
    EXPECT_EQ(page.OutputList(9)->currentIndex(), -1);
    EXPECT_EQ(page.OutputList(2)->currentIndex(), 14);
}

} // namespace
} // namespace brenvik
