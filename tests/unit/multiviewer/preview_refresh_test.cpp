#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/preview_refresh.h"

#include <gtest/gtest.h>

#include <functional>

namespace brenvik {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kUntouched{1, 2, 3};

class PreviewRefresh : public ::testing::Test {
protected:
    PreviewRefresh() {
        for (int n = 1; n <= kWindowCount; ++n) {
            m_state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        }
        m_state.umdBackRgb.values.fill(kUntouched);
        m_state.umdTextRgb.values.fill(kUntouched);
        m_state.formatBackRgb.values.fill(kUntouched);
        m_state.formatTextRgb.values.fill(kUntouched);
    }
    MultiviewerState m_state = MultiviewerState::Defaults();
};

TEST_F(PreviewRefresh, UmdColoursFollowTheInputShownInTheWindow) {
    m_state.windowSource.At(2) = 5;
    m_state.umdBackColor.At(5) = 2;
    m_state.umdTextColor.At(5) = 1;
    m_state.umdBackColor.At(2) = 1;
    RefreshUmdBackColors(m_state);
    RefreshUmdTextColors(m_state);
    EXPECT_EQ(m_state.umdBackRgb.At(2), kRed);
    EXPECT_EQ(m_state.umdTextRgb.At(2), kBlue);
    EXPECT_EQ(m_state.umdBackRgb.At(1), (Rgb{0, 0, 0}));
}

TEST_F(PreviewRefresh, FormatColoursArePerWindow) {
    m_state.windowSource.At(3) = 9;
    m_state.formatBackColor.At(3) = 2;
    m_state.formatTextColor.At(3) = 1;
    RefreshFormatBackColors(m_state);
    RefreshFormatTextColors(m_state);
    EXPECT_EQ(m_state.formatBackRgb.At(3), kRed);
    EXPECT_EQ(m_state.formatTextRgb.At(3), kBlue);
}

// A window whose source is not an input (0, or above 16 from a unit's block) has no input to take
// label colours from: its entry stays as it was, and no table is indexed with that number.
TEST_F(PreviewRefresh, WindowWithoutAValidSourceKeepsItsLabelColours) {
    m_state.umdBackColor.values.fill(2);
    m_state.umdTextColor.values.fill(2);
    m_state.windowSource.At(4) = 0;
    m_state.windowSource.At(5) = 17;
    m_state.windowSource.At(6) = 255;
    RefreshUmdBackColors(m_state);
    RefreshUmdTextColors(m_state);
    for (int window : {4, 5, 6}) {
        EXPECT_EQ(m_state.umdBackRgb.At(window), kUntouched) << window;
        EXPECT_EQ(m_state.umdTextRgb.At(window), kUntouched) << window;
    }
    EXPECT_EQ(m_state.umdBackRgb.At(7), kRed);
}

TEST_F(PreviewRefresh, ColourIndexAbove15KeepsTheEntry) {
    m_state.formatBackColor.At(1) = 16;
    m_state.formatTextColor.At(1) = 31;
    m_state.umdBackColor.At(1) = 20;
    RefreshFormatBackColors(m_state);
    RefreshFormatTextColors(m_state);
    RefreshUmdBackColors(m_state);
    EXPECT_EQ(m_state.formatBackRgb.At(1), kUntouched);
    EXPECT_EQ(m_state.formatTextRgb.At(1), kUntouched);
    EXPECT_EQ(m_state.umdBackRgb.At(1), kUntouched);
    EXPECT_EQ(m_state.formatBackRgb.At(2), (Rgb{0, 0, 0}));
}

TEST_F(PreviewRefresh, FormatTexts) {
    m_state.signalPresent.At(1) = 0;
    m_state.signalFormat.At(1) = 31;
    m_state.signalPresent.At(2) = 1;
    m_state.signalFormat.At(2) = 39;
    m_state.signalPresent.At(3) = 1;
    m_state.signalFormat.At(3) = 2;
    m_state.formatTexts.At(3) = u"kept";
    RefreshFormatTexts(m_state);
    EXPECT_EQ(m_state.formatTexts.At(1), u"No Signal");
    EXPECT_EQ(m_state.formatTexts.At(2), u"1080psf24");
    EXPECT_EQ(m_state.formatTexts.At(3), u"kept");
}

TEST_F(PreviewRefresh, RefreshAllRecomputesEverything) {
    m_state.layoutCode = 40;
    m_state.umdBackColor.At(1) = 2;
    m_state.formatTextColor.At(1) = 1;
    m_state.signalPresent.At(1) = 1;
    m_state.signalFormat.At(1) = 31;
    m_state.loopRoute.At(6) = 11;
    RefreshAllDrawingData(m_state);
    EXPECT_EQ(m_state.windowRects[3], (PreviewRect{360, 240, 360, 240, 4}));
    EXPECT_EQ(m_state.windowRects[4], PreviewRect{});
    EXPECT_EQ(m_state.umdBackRgb.At(1), kRed);
    EXPECT_EQ(m_state.formatTextRgb.At(1), kBlue);
    EXPECT_EQ(m_state.formatTexts.At(1), u"1080p60");
    EXPECT_EQ(m_state.switcherCells[5].number, 11);
}

TEST_F(PreviewRefresh, SwitcherCellsCarryTheLoopRoute) {
    m_state.loopRoute.At(6) = 11;
    RecomputeSwitcherCells(m_state);
    EXPECT_EQ(m_state.switcherCells[5], (PreviewRect{180, 120, 180, 120, 11}));
}

// A change of one field brings up to date the drawing data that follows it; a field nothing is
// derived from leaves the drawing data alone. The session calls this after every write.
TEST_F(PreviewRefresh, EachFieldRefreshesWhatFollowsIt) {
    using F = MultiviewerField;
    const struct {
        F field;
        std::function<bool(const MultiviewerState&)> refreshed;
    } cases[] = {
        {F::LayoutCode, [](const auto& s) { return s.windowRects == ComputeLayoutGeometry(40); }},
        {F::WindowSource,
         [](const auto& s) { return s.umdBackRgb.At(1) == kRed && s.umdTextRgb.At(1) == kBlue; }},
        {F::LoopRoute, [](const auto& s) { return s.switcherCells[5].number == 11; }},
        {F::UmdTextColor, [](const auto& s) { return s.umdTextRgb.At(1) == kBlue; }},
        {F::UmdBackColor, [](const auto& s) { return s.umdBackRgb.At(1) == kRed; }},
        {F::FormatTextColor, [](const auto& s) { return s.formatTextRgb.At(1) == kBlue; }},
        {F::FormatBackColor, [](const auto& s) { return s.formatBackRgb.At(1) == kRed; }},
        {F::Signal, [](const auto& s) { return s.formatTexts.At(1) == u"1080p60"; }},
        {F::Border, [](const auto&) { return false; }},
        {F::TimecodeTextColor, [](const auto&) { return false; }},
    };
    for (const auto& c : cases) {
        MultiviewerState state = m_state;
        state.layoutCode = 40;
        state.loopRoute.At(6) = 11;
        state.umdBackColor.At(1) = 2;
        state.umdTextColor.At(1) = 1;
        state.formatBackColor.At(1) = 2;
        state.formatTextColor.At(1) = 1;
        state.signalPresent.At(1) = 1;
        state.signalFormat.At(1) = 31;
        const MultiviewerState before = state;
        RefreshDrawingData(state, c.field);
        const bool anything =
            state.windowRects != before.windowRects || state.switcherCells != before.switcherCells ||
            state.umdBackRgb != before.umdBackRgb || state.umdTextRgb != before.umdTextRgb ||
            state.formatBackRgb != before.formatBackRgb || state.formatTextRgb != before.formatTextRgb ||
            state.formatTexts != before.formatTexts;
        EXPECT_EQ(anything, c.refreshed(state)) << "field " << static_cast<int>(c.field);
    }
}

} // namespace
} // namespace brenvik
