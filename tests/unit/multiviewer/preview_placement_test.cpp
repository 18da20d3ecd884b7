#include "multiviewer/core/layout_geometry.h"
#include "multiviewer/core/preview_placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brenvik {
namespace {

using Box = PreviewPlacement::Box;
using Kind = PreviewPlacement::Decoration::Kind;

// A record showing `code` with every label, meter and format label switched on, window n
// showing input n named "Umd".
MultiviewerState LabelledState(int code) {
    MultiviewerState state;
    state.layoutCode = static_cast<std::uint8_t>(code);
    state.windowRects = ComputeLayoutGeometry(state.layoutCode);
    state.umdAllOn = 1;
    state.meterAllOn = 1;
    state.formatStatusOn = 1;
    state.borderOn = 1;
    for (int n = 1; n <= kWindowCount; ++n) {
        state.windowSource.At(n) = static_cast<std::uint8_t>(n);
        state.umdOn.At(n) = 1;
        state.meterOn.At(n) = 1;
        state.inputNames.At(n) = u"Umd";
        state.formatTexts.At(n) = u"1080p30";
    }
    return state;
}

const PreviewPlacement::Window& WindowAt(const PreviewPlacement& placement, int position) {
    return placement.windows.at(static_cast<std::size_t>(position - 1));
}

struct RowCase {
    int code;
    int position; // window position in record order
    std::u16string name;
    Box drawn;
    std::u16string umdText;
    int umdX;
    int umdY;
    Box meter;
    int formatX;
    int formatY;
};

// One case or two (a name that fits and one that does not) for every row of the layout table.
const std::vector<RowCase> kRowCases = {
    {7, 1, u"Camera", {0, 0, 720, 480}, u"Camera", 220, 420, {20, 120, 45, 336}, 650, 10},
    {7, 1, u"ABCDEFGHIJKLMNOPQRSTU", {0, 0, 720, 480}, u"ABCDEFG...", 312, 420, {20, 120, 45, 336}, 650, 10},
    {40, 2, u"Camera", {360, 0, 360, 240}, u"Camera", 440, 210, {380, 60, 22, 168}, 650, 10},
    {40,
     2,
     u"ABCDEFGHIJKLMNOPQRSTU",
     {360, 0, 360, 240},
     u"ABCDEFG...",
     492,
     210,
     {380, 60, 22, 168},
     650,
     10},
    {41, 3, u"Camera", {40, 265, 304, 190}, u"Camera", 92, 457, {5, 312, 30, 133}, 274, 245},
    {42, 1, u"Camera", {40, 25, 280, 140}, u"Camera", 80, 167, {5, 60, 25, 98}, 250, 5},
    {42,
     1,
     u"ABCDEFGHIJKLMNOPQRSTU",
     {40, 25, 280, 140},
     u"ABCDEFGHIJKLMNOPQRST...",
     132,
     167,
     {5, 60, 25, 98},
     250,
     5},
    {42, 4, u"Camera", {400, 315, 280, 140}, u"Camera", 440, 457, {365, 350, 25, 98}, 610, 295},
    {60, 1, u"Camera", {0, 0, 480, 320}, u"Camera", 216, 280, {20, 80, 30, 224}, 410, 10},
    {60, 1, u"Camera North", {0, 0, 480, 320}, u"Camera North", 180, 280, {20, 80, 30, 224}, 410, 10},
    {60, 5, u"Camera", {240, 320, 240, 160}, u"Camera", 336, 460, {260, 360, 15, 112}, 410, 330},
    {60, 5, u"Camera North", {240, 320, 240, 160}, u"Camera Nor...", 296, 460, {260, 360, 15, 112}, 410, 330},
    {61, 1, u"Camera", {40, 25, 428, 270}, u"Camera", 147, 297, {5, 92, 25, 189}, 398, 5},
    {61, 1, u"Camera North", {40, 25, 428, 270}, u"Camera North", 194, 261, {5, 92, 25, 189}, 398, 5},
    {61, 2, u"Camera", {520, 25, 188, 110}, u"Camera", 567, 137, {485, 52, 25, 77}, 638, 5},
    {61, 2, u"Camera North", {520, 25, 188, 110}, u"Camera Nor...", 550, 137, {485, 52, 25, 77}, 638, 5},
    {80, 6, u"ABCDEFGH", {180, 240, 180, 120}, u"ABCDEFGH", 238, 337, {200, 270, 20, 84}, 290, 245},
    {80, 6, u"ABCDEFGHI", {180, 240, 180, 120}, u"ABCDEFGH...", 222, 337, {200, 270, 20, 84}, 290, 245},
    {81, 1, u"ABCDEFGH", {40, 145, 132, 70}, u"ABCDEFGH", 74, 217, {5, 162, 20, 56}, 102, 125},
    {81, 1, u"ABCDEFGHI", {40, 145, 132, 70}, u"ABCDEFGH...", 42, 217, {5, 162, 20, 56}, 102, 125},
    {82, 3, u"Camera", {40, 185, 188, 110}, u"Camera", 110, 297, {5, 212, 25, 77}, 158, 165},
    {82, 3, u"Camera North", {40, 185, 188, 110}, u"Camera Nor...", 62, 297, {5, 212, 25, 77}, 158, 165},
    {83, 5, u"Camera North", {520, 185, 188, 110}, u"Camera Nor...", 542, 297, {485, 212, 25, 77}, 638, 165},
    {90, 9, u"Camera", {480, 320, 240, 160}, u"Camera", 576, 460, {500, 360, 25, 112}, 650, 325},
    {90, 9, u"Camera North", {480, 320, 240, 160}, u"Camera Nor...", 536, 460, {500, 360, 25, 112}, 650, 325},
    {91, 1, u"ABCDEFGH", {40, 25, 188, 110}, u"ABCDEFGH", 102, 140, {5, 52, 25, 77}, 158, 5},
    {91, 1, u"ABCDEFGHI", {40, 25, 188, 110}, u"ABCDEFGH...", 62, 140, {5, 52, 25, 77}, 158, 5},
    {92, 1, u"ABCDEFGH", {220, 145, 308, 190}, u"ABCDEFGH", 342, 337, {185, 192, 25, 133}, 458, 125},
    {92, 1, u"Camera North", {220, 145, 308, 190}, u"Camera North", 278, 337, {185, 192, 25, 133}, 458, 125},
    {92, 2, u"ABCDEFGH", {40, 25, 128, 70}, u"ABCDEFGH", 72, 97, {5, 42, 25, 49}, 98, 5},
    {92, 2, u"ABCDEFGHI", {40, 25, 128, 70}, u"ABCDEFGH...", 40, 97, {5, 42, 25, 49}, 98, 5},
    {93, 1, u"Camera North", {40, 25, 308, 190}, u"Camera North", 98, 217, {5, 72, 25, 133}, 278, 5},
    {100, 1, u"ABCDEFGH", {0, 0, 360, 240}, u"ABCDEFGH", 132, 210, {20, 60, 22, 168}, 290, 10},
    {100, 1, u"Camera North", {0, 0, 360, 240}, u"Camera North", 120, 210, {20, 60, 22, 168}, 290, 10},
    {100, 3, u"ABCDEFGH", {0, 240, 180, 120}, u"ABCDEFGH", 42, 337, {20, 270, 11, 84}, 110, 250},
    {100, 3, u"ABCDEFGHI", {0, 240, 180, 120}, u"ABCDEFGH...", 34, 345, {20, 270, 11, 84}, 110, 250},
    {101, 2, u"ABCDEFGH", {400, 25, 308, 190}, u"ABCDEFGH", 522, 217, {365, 72, 25, 133}, 638, 5},
    {101, 2, u"Camera North", {400, 25, 308, 190}, u"Camera North", 482, 217, {365, 72, 25, 133}, 638, 5},
    {102, 10, u"ABCDEFGH", {580, 385, 128, 70}, u"ABCDEFGH", 612, 457, {545, 402, 25, 49}, 638, 365},
    {102, 10, u"ABCDEFGHI", {580, 385, 128, 70}, u"ABCDEFGH...", 580, 457, {545, 402, 25, 49}, 638, 365},
    {111, 1, u"ABCDEFGH", {212, 145, 316, 190}, u"ABCDEFGH", 338, 337, {192, 192, 15, 133}, 458, 125},
    {111, 1, u"Camera North", {212, 145, 316, 190}, u"Camera North", 274, 337, {192, 192, 15, 133}, 458, 125},
    {111, 11, u"ABCDEFGH", {572, 385, 136, 70}, u"ABCDEFGH", 608, 457, {552, 402, 15, 49}, 638, 365},
    {111, 11, u"ABCDEFGHI", {572, 385, 136, 70}, u"ABCDEFGH...", 576, 457, {552, 402, 15, 49}, 638, 365},
    {121, 4, u"ABCDEFGHI", {392, 385, 136, 70}, u"ABCDEFGH...", 396, 457, {372, 402, 15, 49}, 458, 365},
    {161, 16, u"ABCDEFGHI", {572, 385, 136, 70}, u"ABCDEFGH...", 576, 457, {552, 402, 15, 49}, 638, 365},
    {160, 1, u"ABCDEFGH", {0, 0, 180, 120}, u"ABCDEFGH", 58, 97, {20, 30, 11, 72}, 110, 10},
    {160, 1, u"ABCDEFGHI", {0, 0, 180, 120}, u"ABCDEFGH...", 32, 97, {20, 30, 11, 72}, 110, 10},
};

TEST(PreviewPlacement, EveryRowOfTheLayoutTablePlacesItsWindow) {
    for (const RowCase& row : kRowCases) {
        MultiviewerState state = LabelledState(row.code);
        const int n = state.windowRects.at(static_cast<std::size_t>(row.position - 1)).number;
        state.inputNames.At(n) = row.name;

        const PreviewPlacement placement = PlacePreview(state);
        const PreviewPlacement::Window& window = WindowAt(placement, row.position);

        SCOPED_TRACE(testing::Message() << "layout " << row.code << ", window " << row.position
                                        << ", name length " << row.name.size());
        EXPECT_EQ(window.frame, row.drawn);
        EXPECT_EQ(window.inside,
                  (Box{row.drawn.x + 2, row.drawn.y + 2, row.drawn.width - 4, row.drawn.height - 4}));
        EXPECT_EQ(window.number.x, row.drawn.x + row.drawn.width / 2 - 5);
        EXPECT_EQ(window.number.y, row.drawn.y + row.drawn.height / 2 - 5);
        ASSERT_TRUE(window.umd.shown);
        EXPECT_TRUE(window.umd.text == row.umdText);
        EXPECT_EQ(window.umd.x, row.umdX);
        EXPECT_EQ(window.umd.y, row.umdY);
        ASSERT_TRUE(window.meterShown);
        EXPECT_EQ(window.meter, row.meter);
        ASSERT_TRUE(window.format.shown);
        EXPECT_EQ(window.format.x, row.formatX);
        EXPECT_EQ(window.format.y, row.formatY);
    }
}

TEST(PreviewPlacement, SingleWindowLayoutShowsTheNameOfItsSource) {
    MultiviewerState state = LabelledState(7);
    state.windowSource.At(7) = 12;
    state.inputNames.At(12) = u"Input Twelve";

    const PreviewPlacement placement = PlacePreview(state);

    ASSERT_EQ(placement.windowCount, 1);
    EXPECT_TRUE(placement.windows[0].number.text == u"7");
    EXPECT_TRUE(placement.windows[0].umd.text == u"Input Twelve");
}

TEST(PreviewPlacement, UmdLabelNeedsBothSwitches) {
    MultiviewerState state = LabelledState(40);
    state.umdOn.At(3) = 0;

    PreviewPlacement placement = PlacePreview(state);
    EXPECT_TRUE(WindowAt(placement, 1).umd.shown);
    EXPECT_TRUE(WindowAt(placement, 2).umd.shown);
    EXPECT_FALSE(WindowAt(placement, 3).umd.shown);
    EXPECT_TRUE(WindowAt(placement, 4).umd.shown);

    state.umdAllOn = 0;
    placement = PlacePreview(state);
    for (int position = 1; position <= 4; ++position) {
        EXPECT_FALSE(WindowAt(placement, position).umd.shown) << "window " << position;
    }
}

TEST(PreviewPlacement, SourceOutsideTheInputsGivesNoLabel) {
    MultiviewerState state = LabelledState(40);
    state.windowSource.At(1) = 0;
    state.windowSource.At(2) = 17;
    state.windowSource.At(3) = 255;

    const PreviewPlacement placement = PlacePreview(state);

    ASSERT_EQ(placement.windowCount, 4);
    EXPECT_FALSE(WindowAt(placement, 1).umd.shown);
    EXPECT_FALSE(WindowAt(placement, 2).umd.shown);
    EXPECT_FALSE(WindowAt(placement, 3).umd.shown);
    EXPECT_TRUE(WindowAt(placement, 4).umd.shown);
    EXPECT_TRUE(WindowAt(placement, 1).format.shown);
}

TEST(PreviewPlacement, MetersAndFormatLabelsFollowTheirSwitches) {
    MultiviewerState state = LabelledState(40);
    state.meterOn.At(2) = 0;
    PreviewPlacement placement = PlacePreview(state);
    EXPECT_TRUE(WindowAt(placement, 1).meterShown);
    EXPECT_FALSE(WindowAt(placement, 2).meterShown);

    state.meterAllOn = 0;
    state.formatStatusOn = 0;
    placement = PlacePreview(state);
    for (int position = 1; position <= 4; ++position) {
        EXPECT_FALSE(WindowAt(placement, position).meterShown) << "window " << position;
        EXPECT_FALSE(WindowAt(placement, position).format.shown) << "window " << position;
    }
}

TEST(PreviewPlacement, LabelsTakeTheColoursAndTextsOfTheirWindow) {
    MultiviewerState state = LabelledState(40);
    state.windowSource.At(2) = 4;
    state.inputNames.At(4) = u"Four";
    state.umdTextRgb.At(2) = {255, 255, 0};
    state.umdBackRgb.At(2) = {0, 0, 255};
    state.formatTextRgb.At(2) = {255, 0, 0};
    state.formatBackRgb.At(2) = {224, 255, 255};
    state.formatTexts.At(2) = u"No Signal";

    const PreviewPlacement placement = PlacePreview(state);
    const PreviewPlacement::Window& window = WindowAt(placement, 2);

    EXPECT_TRUE(window.umd.text == u"Four");
    EXPECT_EQ(window.umd.textColor, (Rgb{255, 255, 0}));
    EXPECT_EQ(window.umd.backColor, (Rgb{0, 0, 255}));
    EXPECT_TRUE(window.umd.opaque);
    EXPECT_TRUE(window.format.text == u"No Signal");
    EXPECT_EQ(window.format.textColor, (Rgb{255, 0, 0}));
    EXPECT_EQ(window.format.backColor, (Rgb{224, 255, 255}));
    EXPECT_TRUE(window.format.opaque);
}

TEST(PreviewPlacement, FramesAreBlueWithBordersAndGreyWithout) {
    MultiviewerState state = LabelledState(90);
    const PreviewPlacement withBorders = PlacePreview(state);
    state.borderOn = 0;
    const PreviewPlacement withoutBorders = PlacePreview(state);

    for (int position = 1; position <= 9; ++position) {
        const PreviewPlacement::Window& blue = WindowAt(withBorders, position);
        const PreviewPlacement::Window& grey = WindowAt(withoutBorders, position);
        EXPECT_EQ(blue.frameColor, kFrameBlue);
        EXPECT_EQ(grey.frameColor, kFrameGrey);
        EXPECT_EQ(blue.inside, grey.inside);
        EXPECT_TRUE(blue.number.text == grey.number.text);
        EXPECT_EQ(grey.number.textColor, kFrameBlue);
        EXPECT_FALSE(grey.number.opaque);
    }
}

TEST(PreviewPlacement, CutNeverSplitsASurrogatePair) {
    MultiviewerState state = LabelledState(80);
    state.inputNames.At(1) = u"ABCDEFG\U0001F3A5X";

    const PreviewPlacement placement = PlacePreview(state);
    const PreviewPlacement::Window& window = WindowAt(placement, 1);

    EXPECT_TRUE(window.umd.text == u"ABCDEFG\U0001F3A5...");
}

TEST(PreviewPlacement, NineCharacterNameIsLongIn80ButEightFitsWhole) {
    MultiviewerState state = LabelledState(80);
    state.inputNames.At(1) = u"ABCDEFGH";
    state.inputNames.At(2) = u"ABCDEFGHI";

    const PreviewPlacement placement = PlacePreview(state);

    EXPECT_TRUE(WindowAt(placement, 1).umd.text == u"ABCDEFGH");
    EXPECT_TRUE(WindowAt(placement, 2).umd.text == u"ABCDEFGH...");
}

struct DecorationCase {
    int code;
    std::vector<PreviewPlacement::Decoration> decorations;
};

const std::vector<DecorationCase> kDecorationCases = {
    {42, {{Kind::Clock, {300, 180, 120, 120}}}},
    {82, {{Kind::Bar, {280, 40, 180, 30}}, {Kind::Bar, {280, 96, 180, 30}}}},
    {83, {{Kind::Bar, {280, 200, 180, 30}}, {Kind::Bar, {280, 256, 180, 30}}}},
    {92,
     {{Kind::Clock, {0, 150, 180, 180}}, {Kind::Bar, {552, 180, 156, 45}}, {Kind::Bar, {552, 255, 156, 45}}}},
    {93,
     {{Kind::Clock, {360, 30, 180, 180}}, {Kind::Bar, {552, 60, 156, 45}}, {Kind::Bar, {552, 135, 156, 45}}}},
    {111,
     {{Kind::Bar, {225, 375, 120, 30}},
      {Kind::Bar, {225, 420, 120, 30}},
      {Kind::Bar, {405, 375, 120, 30}},
      {Kind::Bar, {405, 420, 120, 30}}}},
    {121,
     {{Kind::Clock, {180, 30, 180, 180}}, {Kind::Bar, {368, 60, 164, 45}}, {Kind::Bar, {368, 135, 164, 45}}}},
    {7, {}},
    {40, {}},
    {160, {}},
};

TEST(PreviewPlacement, DecorationsOfEachLayoutWhateverTheFlags) {
    for (const DecorationCase& expected : kDecorationCases) {
        MultiviewerState state = LabelledState(expected.code);
        state.umdAllOn = 0;
        state.meterAllOn = 0;
        state.formatStatusOn = 0;
        const PreviewPlacement placement = PlacePreview(state);

        ASSERT_EQ(placement.decorationCount, static_cast<int>(expected.decorations.size()))
            << "layout " << expected.code;
        for (std::size_t k = 0; k < expected.decorations.size(); ++k) {
            EXPECT_EQ(placement.decorations[k].kind, expected.decorations[k].kind)
                << "layout " << expected.code;
            EXPECT_EQ(placement.decorations[k].box, expected.decorations[k].box)
                << "layout " << expected.code;
        }
    }
}

TEST(PreviewPlacement, SwitcherGridShowsTheLoopOutputsInsteadOfTheLayout) {
    MultiviewerState state = LabelledState(42);
    state.borderOn = 0;
    for (int output = 1; output <= kWindowCount; ++output) {
        state.loopRoute.At(output) = static_cast<std::uint8_t>(17 - output);
    }
    state.switcherCells = ComputeSwitcherCells(state.loopRoute);

    const PreviewPlacement placement = PlacePreview(state, PreviewKind::SwitcherGrid);

    ASSERT_EQ(placement.windowCount, kWindowCount);
    EXPECT_EQ(placement.decorationCount, 0);
    const PreviewPlacement::Window& cell = placement.windows[5];
    EXPECT_EQ(cell.frame, (Box{180, 120, 180, 120}));
    EXPECT_EQ(cell.frameColor, kFrameBlue);
    EXPECT_EQ(cell.inside, (Box{182, 122, 176, 116}));
    EXPECT_TRUE(cell.number.text == u"11");
    EXPECT_EQ(cell.number.x, 265);
    EXPECT_EQ(cell.number.y, 175);
    EXPECT_FALSE(cell.umd.shown);
    EXPECT_FALSE(cell.meterShown);
    EXPECT_FALSE(cell.format.shown);
}

TEST(PreviewPlacement, UnknownLayoutShowsNothingButTheBackground) {
    for (const int code : {0, 50}) {
        const PreviewPlacement placement = PlacePreview(LabelledState(code));
        EXPECT_EQ(placement.windowCount, 0) << "layout " << code;
        EXPECT_EQ(placement.decorationCount, 0) << "layout " << code;
    }
}

// The placement does not trust the record to be consistent: rectangles that do not belong to the
// layout code are still drawn, and windows the code has no row for get no labels.
TEST(PreviewPlacement, RectanglesOfAnotherLayoutAreDrawnWithoutLabelsWhereTheCodeHasNoRow) {
    MultiviewerState state = LabelledState(160);
    state.layoutCode = 40;

    const PreviewPlacement placement = PlacePreview(state);

    ASSERT_EQ(placement.windowCount, kWindowCount);
    EXPECT_TRUE(WindowAt(placement, 4).umd.shown);
    EXPECT_FALSE(WindowAt(placement, 5).umd.shown);
    EXPECT_EQ(WindowAt(placement, 5).frame, (Box{0, 120, 180, 120}));
}

} // namespace
} // namespace brenvik
